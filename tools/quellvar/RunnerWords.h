#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// What the "run" commands of both engines share: splitting a command line into its words, the
// numbers they name, and the JSON of a frame.
namespace quell::tools {

// A command line that cannot be carried out for a reason of its own (not a number conversion).
class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Splits a command line: words are separated by blanks, and a free text argument is the rest of
// the line after the one blank that ends the previous word, blanks and all.
class Arguments {
public:
    explicit Arguments(std::string_view line) : line_(line) {}

    std::string_view word();
    // The next word; CommandError naming what is missing when there is none.
    std::string_view required(const char* what);
    // The rest of the line after the separating blank.
    std::string_view rest();
    // CommandError when a word is left.
    void finish();

private:
    std::string_view line_;
    std::size_t pos_ = 0;
};

// A decimal (or $/0x hexadecimal) number within min..max; CommandError naming what otherwise.
std::int64_t numberIn(std::string_view text, std::int64_t min, std::int64_t max, const char* what);

// {"frame":"HEX"}.
std::string frameObject(const std::string& frame);

} // namespace quell::tools
