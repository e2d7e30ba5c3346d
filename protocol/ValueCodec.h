#pragma once

// The conversions between a parameter's raw device value and the text the user reads and types,
// on one entry, so that every engine holding TCommands entries converts alike. TProtocol's
// ValueToText, TextToValue and StoreEIData are these, addressed by entry number.

#include "protocol/UCommands.h"

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quell {

// The display text of a raw value by the entry's type; fallback where the value cannot be shown
// (a pick-list index beyond Max, a type without text). Never throws.
std::string valueToText(const TCommands& entry, std::int32_t raw, const std::string& fallback);

// The raw value (low 16 bits) a text stands for by the entry's type; oldValue where the text
// cannot be mapped (no such pick-list item, a type without conversion). Throws EConvertError
// when a number was expected and the text is none.
std::int16_t textToValue(const TCommands& entry, std::string_view text, std::int16_t oldValue);

// A write refused before it was sent, with writeRefusal()'s text.
class EWriteRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Why a typed text must not be written to the entry: for the number types (f<n>, d, u), a value
// outside the entry's Min..Max, or one whose raw value does not fit 16 bits (it would reach the
// device cut to its low bits); the text names the entry and its limits. Nothing for a text within
// them, for other types, and for an entry whose Min and Max are both 0 (no limits given) unless
// the value does not fit. Throws EConvertError when the text is not a number.
std::optional<std::string> writeRefusal(const TCommands& entry, std::string_view text);

// What that rule reads of an entry, so that the compact engine's smaller entry record is held to
// the same limits.
struct WriteLimits {
    std::string_view name;
    std::uint8_t typeCode = 0;
    unsigned decimals = 0;
    int offset = 0;
    std::int16_t min = 0;
    std::int16_t max = 0;
};
std::optional<std::string> writeRefusal(const WriteLimits& entry, std::string_view text);

// Stores an EI-Bisynch data field into the entry (FloatValue, Value, LongValue or a pick-list
// item by type); false when nothing or a clamped pick-list index was stored. Throws
// EConvertError when a number was expected; the entry then stays as it was.
bool storeEIData(TCommands& entry, std::string_view text);

// The pieces of those conversions that do not depend on the entry record, for the compact
// engine's smaller one.

// A pick-list index as the device holds it (v) back to the item index: a positive offset shifts
// right, a negative one left (shift counts modulo 32).
std::uint32_t decodeIndexShift(std::uint32_t v, int offset);
// An item index to what the device holds: a positive offset shifts left, a negative one right.
std::uint32_t encodeIndexShift(std::uint32_t v, int offset);
// The text of an f<n> value: raw / 10^decimals with exactly `decimals` digits after the point;
// -32768 is "error", and offset 1 reads a negative raw value as unsigned.
std::string fixedValueText(std::int32_t raw, unsigned decimals, int offset);
// The two bit fields of a v value, "a,b": each descriptor's high byte masks raw, its low byte
// shifts the masked bits right (modulo 32).
std::string bitFieldsText(std::int32_t raw, std::int16_t min, std::int16_t max);
// The index of the first of items[0..max] equal to text (exact, case-sensitive), or -1.
int findPickItem(const std::array<std::string, kPickListSize>& items, int max,
                 std::string_view text);

} // namespace quell
