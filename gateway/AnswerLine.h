#pragma once

#include <string>
#include <string_view>

namespace quell::gw {

// Composes one answer line (without CR LF), block by block, in the order of the request's frames.
class AnswerLine {
public:
    // Longest answer line a client takes, CR LF not counted.
    static constexpr std::size_t kMaxLength = 16384;

    // Settings words in force, in front of the blocks.
    void addSettings(std::string_view echo);
    // "BODY=" frame "END " "ANSWER=" answer "END ".
    void addAnswer(std::string_view frame, std::string_view answer);
    // "BODY=" frame "END " "ERROR=" word " ".
    void addError(std::string_view frame, std::string_view word);
    // A refusal of the whole line: "ERROR=" word " ".
    void addRefusal(std::string_view word);
    // The line; a line too long for a client is replaced by the refusal "ERROR=AnswerTooLong ".
    std::string text() const;
    // True when an answer can be carried in a line unchanged: it must not end the line (CR LF) or
    // be cut short by the client's block scanner ("END").
    static bool carriable(std::string_view answer);

private:
    std::string line_;
};

} // namespace quell::gw
