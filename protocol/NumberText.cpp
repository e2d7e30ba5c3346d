#include "protocol/NumberText.h"

#include "protocol/ConvertError.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

namespace quell {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A decimal number taken apart: its digits without leading zeros and the power of ten of the
// last digit, so the value is (-1)^negative * digits * 10^exponent.
struct DecimalParts {
    bool negative = false;
    std::string digits;
    long exponent = 0;
};

// Parses the float syntax; false when the text is not such a number.
bool splitDecimal(std::string_view text, DecimalParts& parts)
{
    std::size_t i = 0;
    std::size_t end = text.size();
    while (i < end && isBlank(text[i]))
        ++i;
    while (end > i && isBlank(text[end - 1]))
        --end;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        parts.negative = text[i] == '-';
        ++i;
    }
    bool anyDigit = false;
    long fractionDigits = 0;
    while (i < end && isDigit(text[i])) {
        parts.digits += text[i++];
        anyDigit = true;
    }
    if (i < end && text[i] == '.') {
        ++i;
        while (i < end && isDigit(text[i])) {
            parts.digits += text[i++];
            ++fractionDigits;
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return false;
    long exponent = 0;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < end && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        if (i == end || !isDigit(text[i]))
            return false;
        while (i < end && isDigit(text[i])) {
            // Anything this large overflows a double anyway; the caller's range check refuses it.
            if (exponent < 100000)
                exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != end)
        return false;
    const auto firstNonZero = parts.digits.find_first_not_of('0');
    parts.digits =
        firstNonZero == std::string::npos ? std::string() : parts.digits.substr(firstNonZero);
    parts.exponent = exponent - fractionDigits;
    return true;
}

} // namespace

std::int32_t parseInteger(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && text[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0'
               && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == text.size())
        throw EConvertError::integer(text);
    std::int64_t magnitude = 0;
    const std::int64_t limit = hex ? 0xFFFFFFFFLL : (negative ? 0x80000000LL : 0x7FFFFFFFLL);
    for (; i < text.size(); ++i) {
        const int digit = hex ? hexDigit(text[i]) : (isDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0)
            throw EConvertError::integer(text);
        magnitude = magnitude * (hex ? 16 : 10) + digit;
        if (magnitude > limit)
            throw EConvertError::integer(text);
    }
    // Hexadecimal text is a bit pattern: $FFFFFFFF is -1, as 32-bit integers always had it.
    const auto pattern = static_cast<std::uint32_t>(negative ? -magnitude : magnitude);
    return static_cast<std::int32_t>(pattern);
}

double parseFloat(std::string_view text)
{
    DecimalParts parts;
    if (!splitDecimal(text, parts))
        throw EConvertError::floating(text);
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    std::string_view trimmed = text.substr(begin, end - begin);
    if (!trimmed.empty() && trimmed.front() == '+')
        trimmed.remove_prefix(1);
    double value = 0.0;
    const auto result = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Underflow to zero is harmless; overflow is not a number we can hold.
        if (parts.digits.empty() || parts.exponent + static_cast<long>(parts.digits.size()) < 0)
            return parts.negative ? -0.0 : 0.0;
        throw EConvertError::floating(text);
    }
    if (result.ec != std::errc() || !std::isfinite(value))
        throw EConvertError::floating(text);
    return value;
}

std::optional<double> TryParseFloat(std::string_view text)
{
    try {
        return parseFloat(text);
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

std::int16_t scaleDecimalText(std::string_view text, unsigned decimals)
{
    // Checks the syntax and the range exactly as parseFloat does.
    (void)parseFloat(text);
    DecimalParts parts;
    splitDecimal(text, parts);
    // The integer part of digits * 10^(exponent + decimals), modulo 2^16: only its low 16 bits
    // are kept, and the digits after the point are cut off (toward zero).
    const long shift = parts.exponent + static_cast<long>(decimals);
    long integerDigits = static_cast<long>(parts.digits.size()) + shift;
    std::uint32_t low = 0;
    for (long k = 0; k < integerDigits; ++k) {
        const int digit = k < static_cast<long>(parts.digits.size()) ? parts.digits[k] - '0' : 0;
        low = (low * 10 + static_cast<std::uint32_t>(digit)) & 0xFFFFu;
    }
    if (parts.negative)
        low = (0x10000u - low) & 0xFFFFu;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(low));
}

std::optional<int> parseBoundedInteger(std::string_view text, int low, int high)
{
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || v < low
        || v > high)
        return std::nullopt;
    return v;
}

int boundedIntegerOption(const std::string& option, const std::string& text, int low, int high)
{
    if (const auto v = parseBoundedInteger(text, low, high))
        return *v;
    throw std::invalid_argument(option + ": '" + text + "' is not a number from "
                                + std::to_string(low) + " to " + std::to_string(high));
}

} // namespace quell
