#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace quell::sim {

// Time on a simulated bus: microseconds since an origin the host picks (steady, never going back).
using SimTime = std::chrono::microseconds;

// What a device puts on the bus for one request: its bytes, and how much later than its normal
// turnaround it starts sending them (a slow device).
struct Reply {
    std::string bytes;
    SimTime extraDelay{0};
};

// One device on a serial bus. It hears every complete request frame and answers the ones
// addressed to it. Not thread-safe: the host serialises calls (one bus, one frame at a time).
class SimDevice {
public:
    virtual ~SimDevice() = default;
    // The answer to a request frame heard at time now; nothing when the frame is not for this
    // device or the device stays silent.
    virtual std::optional<Reply> respond(std::string_view request, SimTime now) = 0;
    // "model@address", for logs.
    virtual std::string label() const = 0;
};

} // namespace quell::sim
