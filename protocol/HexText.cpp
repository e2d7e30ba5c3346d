#include "protocol/HexText.h"

namespace quell {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

} // namespace

std::string byteToHex(std::uint8_t value)
{
    std::string text;
    for (unsigned v = value; v != 0; v >>= 4)
        text.insert(text.begin(), kHexDigits[v & 0xF]);
    return text.empty() ? "0" : text;
}

std::string wordToHex4(std::uint16_t value)
{
    std::string text(4, '0');
    for (int i = 3; i >= 0; --i, value = static_cast<std::uint16_t>(value >> 4))
        text[static_cast<std::size_t>(i)] = kHexDigits[value & 0xF];
    return text;
}

std::uint16_t hexToWord(std::string_view text)
{
    std::uint16_t result = 0;
    std::uint16_t weight = 1;
    for (auto it = text.rbegin(); it != text.rend() && weight != 0; ++it) {
        const char ch = *it;
        unsigned digit = 0;
        if (ch >= '1' && ch <= '9')
            digit = static_cast<unsigned>(ch - '0');
        else if (ch >= 'A' && ch <= 'F')
            digit = static_cast<unsigned>(ch - 'A' + 10);
        else if (ch >= 'a' && ch <= 'f')
            digit = static_cast<unsigned>(ch - 'a' + 10);
        result = static_cast<std::uint16_t>(result + digit * weight);
        weight = static_cast<std::uint16_t>(weight * 16);
    }
    return result;
}

std::uint8_t byteToBcd(std::uint8_t value)
{
    return static_cast<std::uint8_t>((value / 10) * 16 + value % 10);
}

} // namespace quell
