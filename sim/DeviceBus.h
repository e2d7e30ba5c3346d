#pragma once

#include "sim/SimDevice.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quell::sim {

// The devices sharing one bus: each frame is heard by all of them, and the first that answers
// holds the line (two devices on one address is a wiring fault; the other answer is lost).
class DeviceBus {
public:
    // Adds a device; the bus owns it.
    void add(std::unique_ptr<SimDevice> device);
    // The answer to a complete request frame heard at time now, or nothing when no device answers.
    std::optional<Reply> respond(std::string_view request, SimTime now);
    // "vrq-pb@1, ei-controller@12".
    std::string describe() const;
    bool empty() const { return devices_.empty(); }

private:
    std::vector<std::unique_ptr<SimDevice>> devices_;
};

} // namespace quell::sim
