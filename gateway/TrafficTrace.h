#pragma once

#include <fstream>
#include <mutex>
#include <string>
#include <string_view>

namespace quell::gw {

// The traffic log for finding bus problems: one time-stamped line per event and client, frames in
// hex. Does nothing when no file was given. Thread-safe.
class TrafficTrace {
public:
    // Appends to path; an empty path traces nothing. Throws std::runtime_error when the file
    // cannot be opened.
    explicit TrafficTrace(const std::string& path = {});

    // "<time> c<client> <what> <hex of bytes>".
    void bytes(int client, std::string_view what, std::string_view bytes);
    // "<time> c<client> <what> <text>", text made printable.
    void note(int client, std::string_view what, std::string_view text);
    bool enabled() const { return enabled_; }

    // Upper-case hex, two digits a byte.
    static std::string hex(std::string_view bytes);
    // text with control characters (below 0x20, and DEL) as \xHH and a backslash doubled, so that
    // text a client chose cannot start a line of its own or drive a terminal. Bytes above 0x7F
    // stay: user names may be written in an 8-bit code page.
    static std::string printable(std::string_view text);

private:
    void write(int client, std::string_view what, std::string_view text);

    bool enabled_ = false;
    std::mutex mutex_;
    std::ofstream file_;
};

} // namespace quell::gw
