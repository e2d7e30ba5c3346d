#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace quell {

// The next request line and what the window must do because of it (on the GUI thread).
struct RequestPlan {
    std::string line;                           // without CR LF; empty: nothing to send now
    bool deviceLine = false;                    // the line carries device blocks
    std::chrono::milliseconds answerTimeout{0}; // how long its answer may take, from the settings
    std::optional<std::uint16_t> selectRow;     // send-all: the row being written
    bool sendAllFinished = false;               // send-all went through the table
    std::optional<std::string> error;           // a value text of send-all that is not a number
};

// What the link worker asks of a scheduler: the next request line, a wait until one may be due,
// and a way to end that wait. Each program has its own rules for what goes into a line; the
// worker and its socket handling are the same for both. Every member is thread-safe.
class LineScheduler {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~LineScheduler() = default;

    // The next request line (empty while the pause runs or nothing is due). Worker thread.
    virtual RequestPlan BuildRequestLine() = 0;
    // Waits until a request line may be due, or the deadline passed. Worker thread.
    virtual void waitForWork(Clock::time_point deadline) = 0;
    // Releases waitForWork (for Stop and pause). Any thread.
    virtual void wake() = 0;
};

} // namespace quell
