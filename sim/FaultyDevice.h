#pragma once

#include "sim/SimDevice.h"

#include <memory>
#include <optional>
#include <string>

namespace quell::sim {

// A device with a fault put on it for tests and training: every n-th answer goes wrong in one way.
class FaultyDevice : public SimDevice {
public:
    enum class Fault { None, NoAnswer, Garbled, Slow, BadChecksum, Partial };

    // Which fault, and on which answers: 1 = every answer, n = every n-th.
    struct Plan {
        Fault fault = Fault::None;
        int every = 1;
    };

    // Reads "KIND" or "KIND:N" with KIND one of none, noanswer, garbled, slow, badsum, partial.
    static std::optional<Plan> parsePlan(const std::string& text);
    // How long a slow answer is held back beyond the device's turnaround.
    static constexpr SimTime kSlowDelay{1'000'000};

    FaultyDevice(std::unique_ptr<SimDevice> inner, Plan plan);

    std::optional<Reply> respond(std::string_view request, SimTime now) override;
    std::string label() const override;

private:
    std::unique_ptr<SimDevice> inner_;
    Plan plan_;
    long long answers_ = 0;
};

} // namespace quell::sim
