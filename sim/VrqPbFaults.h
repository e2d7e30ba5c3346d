#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quell::sim {

// Faults a simulated VRQ-PB board is made with, so that a calibration has visible work to do and
// a test can ask for inputs that fail. Channels are bits: 0 EMC1, 1 Temp1, 2 EMC2, 3 Temp2,
// 4..11 the wood inputs MC1..MC8.
struct VrqPbFaults {
    double offsetPercent = 0; // every analog input reads this much above nominal
    std::uint32_t dead = 0;   // channels that never become ready
    std::uint32_t noisy = 0;  // channels whose every reading jumps by up to kNoiseCounts

    // Bound of offsetPercent either way.
    static constexpr double kMaxOffsetPercent = 50;
    // Peak jump of a noisy channel's reading, in 0.1 mV.
    static constexpr double kNoiseCounts = 2000;
    static constexpr int kChannels = 12;

    // Whether the board is a plain one.
    bool empty() const { return offsetPercent == 0 && dead == 0 && noisy == 0; }
    // Takes one option of a device list: off=P, dead=CH[+CH...] or noisy=CH[+CH...]. False when
    // the name is none of these; throws std::invalid_argument naming the bad value.
    bool apply(std::string_view name, std::string_view value);
    // The bits of one channel name (emc1, temp1, emc2, temp2, mc1..mc8, or wood for all eight
    // wood inputs); 0 for a name that is none of these.
    static std::uint32_t channelBits(std::string_view name);
    // The name of channel bit k.
    static std::string channelName(int k);
    // The --help lines that explain these options (and seed), each indented by indent blanks.
    static std::string usage(std::size_t indent);
};

} // namespace quell::sim
