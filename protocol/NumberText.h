#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quell {

// Number syntax of description files, value texts and device data fields.

// An optionally signed decimal integer, or hexadecimal after "$" or "0x" (sign first), with
// leading blanks allowed; the value must fit 32 bits (hexadecimal up to FFFFFFFF, taken as the
// signed 32-bit pattern). Throws EConvertError::integer otherwise.
std::int32_t parseInteger(std::string_view text);

// A decimal floating point number with "." as separator and an optional exponent, blanks allowed
// around it; no "inf" or "nan". Throws EConvertError::floating otherwise, also on overflow.
double parseFloat(std::string_view text);

// parseFloat for texts that may well not be numbers (a label still showing "-----"): the value,
// or nothing instead of the error.
std::optional<double> TryParseFloat(std::string_view text);

// A plain decimal integer (digits with an optional "-", nothing else around them) within
// low..high, as command lines take their numbers; nothing when the text is not one.
std::optional<int> parseBoundedInteger(std::string_view text, int low, int high);

// parseBoundedInteger for a command-line option: the number, or std::invalid_argument naming the
// option, the text and the range.
int boundedIntegerOption(const std::string& option, const std::string& text, int low, int high);

// The decimal text scaled by 10^decimals and truncated toward zero, computed on the decimal
// digits themselves (so "0.7" with one decimal is exactly 7), returned as its low 16 bits.
// Same syntax and errors as parseFloat.
std::int16_t scaleDecimalText(std::string_view text, unsigned decimals);

} // namespace quell
