#include "sim/VrqPbFaults.h"

#include "protocol/NumberText.h"

#include <array>
#include <stdexcept>

namespace quell::sim {

namespace {

constexpr std::array<std::string_view, VrqPbFaults::kChannels> kNames{
    "emc1", "temp1", "emc2", "temp2", "mc1", "mc2", "mc3", "mc4", "mc5", "mc6", "mc7", "mc8"};
constexpr std::uint32_t kWoodBits = 0xFF0;

// "emc1+mc3+wood" as channel bits; throws naming the first name that is no channel.
std::uint32_t channelList(std::string_view name, std::string_view list)
{
    std::uint32_t bits = 0;
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t plus = std::min(list.find('+', start), list.size());
        const std::string_view one = list.substr(start, plus - start);
        const std::uint32_t b = VrqPbFaults::channelBits(one);
        if (b == 0)
            throw std::invalid_argument(std::string(name) + ": unknown channel '" + std::string(one)
                                        + "' (emc1, temp1, emc2, temp2, mc1..mc8 or wood)");
        bits |= b;
        start = plus + 1;
    }
    return bits;
}

} // namespace

bool VrqPbFaults::apply(std::string_view name, std::string_view value)
{
    if (name == "off") {
        const auto p = TryParseFloat(value);
        if (!p || *p < -kMaxOffsetPercent || *p > kMaxOffsetPercent)
            throw std::invalid_argument("off: '" + std::string(value)
                                        + "' is not a percentage from -50 to 50");
        offsetPercent = *p;
    } else if (name == "dead") {
        dead |= channelList(name, value);
    } else if (name == "noisy") {
        noisy |= channelList(name, value);
    } else {
        return false;
    }
    return true;
}

std::uint32_t VrqPbFaults::channelBits(std::string_view name)
{
    if (name == "wood")
        return kWoodBits;
    for (int k = 0; k < kChannels; ++k)
        if (kNames[k] == name)
            return 1u << k;
    return 0;
}

std::string VrqPbFaults::channelName(int k)
{
    return k >= 0 && k < kChannels ? std::string(kNames[k]) : std::string();
}

std::string VrqPbFaults::usage(std::size_t indent)
{
    static constexpr std::string_view kLines[] = {
        "only vrq-pb takes options: faults after its address, each after a",
        "colon, e.g. vrq-pb@1:off=3:dead=emc2:noisy=temp1+mc4:seed=7",
        "  off=P      every analog input reads P percent above nominal",
        "             (-50..50, fractions allowed): a calibration changes",
        "             the constants by about that much",
        "  dead=CHS   the channels never become ready: their not-valid bit",
        "             (entry 89, or 129 for MC1..MC8) stays set",
        "  noisy=CHS  the channels report ready, but every reading of their",
        "             voltage is off by a random amount of up to 200 mV",
        "  seed=N     noise seed, 0..2147483647 (default: the address); the",
        "             same seed gives the same readings",
        "  CHS: emc1, temp1, emc2, temp2, mc1..mc8 or wood (all eight wood",
        "  inputs), several joined by \"+\"",
    };
    std::string out;
    for (const std::string_view line : kLines)
        out += std::string(indent, ' ') + std::string(line) + "\n";
    return out;
}

} // namespace quell::sim
