// The conversions between a parameter's raw device value and the text the user reads and types.

#include "protocol/ValueCodec.h"

#include "protocol/ConvertError.h"
#include "protocol/HexText.h"
#include "protocol/NumberText.h"

#include <algorithm>
#include <cstdlib>

namespace quell {

namespace {

// Shift counts are taken modulo 32, on unsigned values so that no shift is undefined.
std::uint32_t shiftRight(std::uint32_t v, int count)
{
    return v >> (static_cast<unsigned>(count) & 31u);
}

std::uint32_t shiftLeft(std::uint32_t v, int count)
{
    return v << (static_cast<unsigned>(count) & 31u);
}

// raw / 10^decimals with exactly `decimals` digits after the point, computed on integers so that
// no binary rounding can change a digit.
std::string fixedPointText(std::int64_t raw, unsigned decimals)
{
    const bool negative = raw < 0;
    std::string digits = std::to_string(negative ? -raw : raw);
    if (digits.size() <= decimals)
        digits.insert(0, decimals + 1 - digits.size(), '0');
    if (decimals > 0)
        digits.insert(digits.size() - decimals, 1, '.');
    return negative ? "-" + digits : digits;
}

} // namespace

std::uint32_t decodeIndexShift(std::uint32_t v, int offset)
{
    if (offset > 0)
        return shiftRight(v, offset);
    if (offset < 0)
        return shiftLeft(v, -offset);
    return v;
}

std::uint32_t encodeIndexShift(std::uint32_t v, int offset)
{
    if (offset > 0)
        return shiftLeft(v, offset);
    if (offset < 0)
        return shiftRight(v, -offset);
    return v;
}

std::string fixedValueText(std::int32_t raw, unsigned decimals, int offset)
{
    if (raw == -32768)
        return "error";
    std::int64_t value = raw;
    if (offset == 1 && value < 0)
        value += 65536;
    return fixedPointText(value, decimals);
}

std::string bitFieldsText(std::int32_t raw, std::int16_t min, std::int16_t max)
{
    const auto value = static_cast<std::uint32_t>(raw);
    const auto first = static_cast<std::uint16_t>(min);
    const auto second = static_cast<std::uint16_t>(max);
    const std::uint32_t a = shiftRight(value & (first >> 8), first & 0xFF);
    const std::uint32_t b = shiftRight(value & (second >> 8), second & 0xFF);
    return std::to_string(a) + "," + std::to_string(b);
}

int findPickItem(const std::array<std::string, kPickListSize>& items, int max,
                 std::string_view text)
{
    for (int i = 0; i <= max && i < kPickListSize; ++i) {
        if (items[static_cast<std::size_t>(i)] == text)
            return i;
    }
    return -1;
}

std::string valueToText(const TCommands& entry, std::int32_t raw, const std::string& fallback)
{
    switch (entry.TypeCode) {
    case kTypeFixed:
        return fixedValueText(raw, entry.Decimals, entry.Offset);
    case kTypeDecimal:
    case kTypeUnsigned:
        return std::to_string(static_cast<std::int64_t>(raw) + entry.Offset);
    case kTypePickList:
    case kTypeIndex: {
        const std::uint32_t index =
            decodeIndexShift(static_cast<std::uint32_t>(raw) & 0xFFu, entry.Offset);
        if (static_cast<std::int64_t>(index) > entry.Max)
            return fallback;
        return entry.pickItem(index);
    }
    case kTypeBcd:
        return wordToHex4(static_cast<std::uint16_t>(raw & 0xFF));
    case kTypeBitFields:
        return bitFieldsText(raw, entry.Min, entry.Max);
    case kTypeLong:
        return std::to_string(raw);
    case kTypeHex:
        return wordToHex4(static_cast<std::uint16_t>(raw & 0xFFFF));
    default:
        return fallback;
    }
}

std::int16_t textToValue(const TCommands& entry, std::string_view text, std::int16_t oldValue)
{
    auto low16 = [](std::int64_t v) {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(v & 0xFFFF));
    };
    switch (entry.TypeCode) {
    case kTypeFixed:
        return scaleDecimalText(text, entry.Decimals);
    case kTypeDecimal:
    case kTypeUnsigned:
        return low16(static_cast<std::int64_t>(parseInteger(text)) - entry.Offset);
    case kTypePickList:
    case kTypeIndex: {
        const int i = findPickItem(entry.PickList, entry.Max, text);
        if (i < 0)
            return oldValue;
        return static_cast<std::int16_t>(
            encodeIndexShift(static_cast<std::uint32_t>(i), entry.Offset) & 0xFFu);
    }
    case kTypeBcd:
        return byteToBcd(static_cast<std::uint8_t>(parseInteger(text) & 0xFF));
    case kTypeLong:
        return low16(parseInteger(text));
    case kTypeHex:
        return static_cast<std::int16_t>(hexToWord(text));
    default:
        return oldValue;
    }
}

std::optional<std::string> writeRefusal(const TCommands& entry, std::string_view text)
{
    return writeRefusal(
        WriteLimits{entry.Name, entry.TypeCode, entry.Decimals, entry.Offset, entry.Min, entry.Max},
        text);
}

std::optional<std::string> writeRefusal(const WriteLimits& entry, std::string_view text)
{
    const bool isUnsigned = entry.typeCode == kTypeUnsigned;
    std::int64_t raw = 0;
    switch (entry.typeCode) {
    case kTypeFixed: {
        // The size first (the scaled text is only exact within 16 bits), then the exact value.
        double scaled = parseFloat(text);
        for (unsigned d = 0; d < entry.decimals; ++d)
            scaled *= 10.0;
        raw = scaled < -32769.0 || scaled > 32768.0 ? static_cast<std::int64_t>(scaled)
                                                    : scaleDecimalText(text, entry.decimals);
        break;
    }
    case kTypeDecimal:
    case kTypeUnsigned:
        raw = static_cast<std::int64_t>(parseInteger(text)) - entry.offset;
        break;
    default:
        return std::nullopt;
    }
    const std::int64_t fitLow = isUnsigned ? 0 : -32768;
    const std::int64_t fitHigh = isUnsigned ? 65535 : 32767;
    const auto limit = [&](std::int16_t v) {
        return isUnsigned ? static_cast<std::int64_t>(static_cast<std::uint16_t>(v))
                          : static_cast<std::int64_t>(v);
    };
    const bool limitsGiven = entry.min != 0 || entry.max != 0;
    const std::int64_t low = limitsGiven ? limit(entry.min) : fitLow;
    const std::int64_t high = limitsGiven ? limit(entry.max) : fitHigh;
    if (raw >= std::max(low, fitLow) && raw <= std::min(high, fitHigh))
        return std::nullopt;
    const auto shown = [&](std::int64_t v) {
        return entry.typeCode == kTypeFixed
                   ? fixedValueText(static_cast<std::int32_t>(v), entry.decimals, entry.offset)
                   : std::to_string(v + entry.offset);
    };
    return std::string(entry.name) + ": " + std::string(text) + " is outside its limits "
           + shown(low) + " .. " + shown(high) + "; nothing was written";
}

bool storeEIData(TCommands& entry, std::string_view text)
{
    switch (entry.TypeCode) {
    case kTypeFixed:
        entry.FloatValue = parseFloat(text);
        return true;
    case kTypeDecimal:
    case kTypeUnsigned:
    case kTypeBitFields:
        entry.Value =
            static_cast<std::int16_t>(static_cast<std::uint32_t>(parseInteger(text)) & 0xFFFF);
        return true;
    case kTypePickList: {
        const auto shifted = static_cast<std::int32_t>(
            decodeIndexShift(static_cast<std::uint32_t>(parseInteger(text)), entry.Offset));
        std::int32_t index = shifted;
        bool inRange = true;
        // A device index outside the list is pinned to its nearest end, never used to read
        // beyond the items.
        if (index > entry.Max) {
            index = entry.Max;
            inRange = false;
        }
        if (index < 0) {
            index = 0;
            inRange = false;
        }
        entry.Value = static_cast<std::int16_t>(index);
        entry.ValueText = entry.pickItem(index);
        return inRange;
    }
    case kTypeBcd:
        entry.Value = static_cast<std::int16_t>(
            static_cast<std::uint32_t>(parseInteger(text.empty() ? text : text.substr(1)))
            & 0xFFFF);
        return true;
    case kTypeLong:
        entry.LongValue = parseInteger(text);
        return true;
    default:
        return false;
    }
}

} // namespace quell
