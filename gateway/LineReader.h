#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quell::gw {

// Cuts a client's byte stream into request lines at CR LF. A line longer
// than the limit is reported once as too long and skipped up to its end, so its tail is never
// taken for the next line.
class LineReader {
public:
    enum class Event { Line, TooLong };

    struct Item {
        Event event;
        std::string line; // empty for TooLong
    };

    explicit LineReader(std::size_t maxLength) : maxLength_(maxLength) {}

    // Adds received bytes.
    void append(std::string_view bytes);
    // The next complete line or too-long report, if any.
    std::optional<Item> next();

private:
    std::size_t maxLength_;
    std::string buffer_;
    bool skipping_ = false;
};

} // namespace quell::gw
