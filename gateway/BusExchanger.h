#pragma once

#include "gateway/ByteLink.h"
#include "gateway/SerialSettings.h"
#include "gateway/TrafficTrace.h"

#include <functional>
#include <string>
#include <string_view>

namespace quell::gw {

// One request frame on the bus and its answer: stray bytes flushed first, the frame sent, the
// answer collected until its end (or a pause inside it, or the time-out), late and foreign
// answers skipped, and the whole tried again after a time-out or a broken answer as often as the
// client's settings allow.
class BusExchanger {
public:
    // Failure words after "ERROR=".
    static constexpr const char* kTimeOut = "TimeOut";       // no answer in time
    static constexpr const char* kPartial = "Partial";       // the answer stopped half-way
    static constexpr const char* kBadCheck = "BadCheck";     // the answer's block check is wrong
    static constexpr const char* kUnframable = "Unframable"; // the answer cannot go in a line
    static constexpr const char* kAbandoned = "Abandoned";   // nobody waits for the answer any more

    // What became of one frame.
    struct Outcome {
        bool answered = false;
        std::string text; // the answer, or the failure word
        int tries = 0;
    };

    // Longest pause inside an answer before what came is taken as all there is.
    static std::chrono::nanoseconds characterGap(const SerialSettings& settings);

    // True once the exchange's answer is no longer wanted (the client left, the server stops).
    using Abandoned = std::function<bool()>;
    // How often a waiting exchange asks whether it has been abandoned.
    static constexpr std::chrono::milliseconds kAbandonCheck{50};

    // Runs one exchange on link with settings; trace gets every frame. When abandoned is given and
    // turns true, the exchange ends within kAbandonCheck with kAbandoned. Thread: the caller holds
    // the bus.
    static Outcome exchange(ByteLink& link, const SerialSettings& settings, std::string_view frame,
                            TrafficTrace& trace, int client, const Abandoned& abandoned = {});
};

} // namespace quell::gw
