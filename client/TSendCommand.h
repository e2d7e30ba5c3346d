#pragma once

#include <cstdint>
#include <string>

namespace quell {

// One direct request of the parameter window, the view or a procedure, and its outcome.
struct TSendCommand {
    // States a caller can observe.
    enum : std::uint8_t { kNone = 0, kQueued = 1, kSent = 2, kAnswered = 3, kFailed = 4 };

    std::int16_t Value = 0;    // the new raw value; after an accepted answer, the entry's Value
    std::string Frame;         // the device request frame, built when the request was queued
    std::uint16_t Index = 0;   // the table entry
    std::int16_t OldValue = 0; // the entry's raw Value before the request
    std::uint8_t State = kNone;
};

} // namespace quell
