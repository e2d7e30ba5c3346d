#pragma once

// The conversions between a parameter's raw device value and the text the user reads and types,
// on one entry, so that every engine holding TCommands entries converts alike. TProtocol's
// ValueToText, TextToValue and StoreEIData are these, addressed by entry number.

#include "protocol/UCommands.h"

#include <cstdint>
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

// Stores an EI-Bisynch data field into the entry (FloatValue, Value, LongValue or a pick-list
// item by type); false when nothing or a clamped pick-list index was stored. Throws
// EConvertError when a number was expected; the entry then stays as it was.
bool storeEIData(TCommands& entry, std::string_view text);

} // namespace quell
