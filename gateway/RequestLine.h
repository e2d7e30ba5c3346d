#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quell::gw {

// One request line from a client, taken apart: settings words and device frames. Lines are byte
// strings; frames are carried exactly as they came, control characters and all.
struct RequestLine {
    enum class Kind {
        Empty,    // no item at all
        Settings, // settings words only
        Device,   // one or more frames (settings words may precede them)
        Bad,      // something that is neither; problem names it
    };

    // Longest request line accepted, CR LF not counted.
    static constexpr std::size_t kMaxLength = 16384;

    Kind kind = Kind::Empty;
    std::vector<std::pair<std::string, std::string>> settings; // word (without "="), value
    std::vector<std::string> frames;
    std::string problem; // one word, for the refusal

    // Parses a line without its CR LF. Items are separated by blanks; a frame runs from "BODY="
    // to the first "END" that is followed by a blank or the end of the line.
    static RequestLine parse(std::string_view line);
    // True for the seven words a settings line may carry.
    static bool isSettingsWord(std::string_view word);
};

} // namespace quell::gw
