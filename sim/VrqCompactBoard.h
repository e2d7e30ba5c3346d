#pragma once

#include "sim/KestavinDevice.h"

#include <random>

namespace quell::sim {

// The board as the compact configurator sees it: its smaller entry map, one command code for
// reading and writing an entry. The inputs see fixed simulated sensors (no calibrator): two EMC
// probes, two temperatures, the reference and ground inputs and up to eight wood probes, sampled
// with a little noise and turned into values through the ground and reference constants.
class VrqCompactBoard : public KestavinDevice {
public:
    // Reads a description in the compact syntax (name, poll mode, access, Min, Max, Default,
    // command code, parameter code, offset, type, items) into a table the device can serve:
    // Code1 = Code2 = the command code, Code3 = the parameter code. Throws std::runtime_error
    // when the file cannot be read or holds no entry.
    static std::shared_ptr<const TProtocol> loadDescription(const std::string& fileName);

    VrqCompactBoard(std::shared_ptr<const TProtocol> description, std::uint8_t address);

protected:
    void advance(SimTime now) override;

private:
    void sample();

    std::mt19937 noise_{11};
    SimTime now_{0};
    bool started_ = false;
    long long cycles_ = 0;
};

} // namespace quell::sim
