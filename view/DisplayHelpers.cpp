#include "view/DisplayHelpers.h"

#include <cstdlib>

namespace quell {

namespace {

bool bitSet(std::int16_t flags, int bit)
{
    const unsigned mask = 1u << bit;
    return (static_cast<unsigned>(flags) & 0xFFu & mask) == mask;
}

} // namespace

std::string ShowFlaggedValue(std::int16_t errorFlags, std::int16_t doneFlags, int bit,
                             const std::string& valueText, const std::string& shown)
{
    if (bitSet(errorFlags, bit)) {
        return "Error";
    }
    if (bitSet(doneFlags, bit)) {
        return valueText;
    }
    return shown;
}

std::string FlagMark(std::int16_t flags, int bit)
{
    // The whole word counts here: the wood flags use all eight bits and nothing above them.
    return (static_cast<unsigned>(static_cast<std::uint16_t>(flags)) >> bit) & 1u ? "\u00D7" : " ";
}

char ProbeModeLetter(std::int16_t probeConfig)
{
    return (probeConfig & 0x80) != 0 ? 'P' : 'A';
}

std::string ProbeConfigText(std::int16_t probeConfig)
{
    return std::string(1, ProbeModeLetter(probeConfig)) + std::to_string(probeConfig & 3);
}

bool IsPassiveTypeZero(std::int16_t probeConfig)
{
    return (probeConfig & 0xFF) == 0x80;
}

std::string SwapSign(std::int16_t swapState)
{
    return swapState != 0 ? "+" : "-";
}

std::string FormatTenths(int tenths)
{
    const int magnitude = std::abs(tenths);
    std::string text = tenths < 0 ? "-" : "";
    text += std::to_string(magnitude / 10);
    text += '.';
    text += std::to_string(magnitude % 10);
    return text;
}

std::string WoodDeviation(std::int16_t constant, std::int16_t voltage)
{
    const auto wrapped = static_cast<std::int16_t>(static_cast<std::uint16_t>(constant - voltage));
    return FormatTenths(wrapped);
}

std::uint8_t ProbeStateByte(std::uint8_t config, ProbeStateItem item)
{
    switch (item) {
    case ProbeStateItem::Passive:
        return static_cast<std::uint8_t>(config | 0x80);
    case ProbeStateItem::Active:
        return static_cast<std::uint8_t>(config & 0x7F);
    default:
        break;
    }
    const int type = static_cast<int>(item) - static_cast<int>(ProbeStateItem::Type1) + 1;
    return static_cast<std::uint8_t>((config & 0xF8) | type);
}

} // namespace quell
