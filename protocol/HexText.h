#pragma once

// Byte and number texts shared by both protocol engines and the measurement views: hexadecimal
// and BCD helpers, and the maker's way of sending a byte as two characters 0x30 + nibble.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quell {

// Upper-case hexadecimal without leading zeros ("0" for 0).
std::string byteToHex(std::uint8_t value);
// Exactly four upper-case hexadecimal digits.
std::string wordToHex4(std::uint16_t value);
// Hexadecimal text as a word: digits read from the last character with weights 1, 16, 256, 4096
// (a fifth digit and further ones add nothing); characters that are no digit count as 0.
std::uint16_t hexToWord(std::string_view text);
// 0..99 as one BCD byte (tens in the high nibble).
std::uint8_t byteToBcd(std::uint8_t value);

namespace kestavin {

// Inline, as they run several times for every frame built or parsed.

// A byte as its two characters: 0x30 + high nibble, 0x30 + low nibble ("0".."?").
inline std::string encodeByte(std::uint8_t value)
{
    return {static_cast<char>(0x30 + (value >> 4)), static_cast<char>(0x30 + (value & 0x0F))};
}

// The byte of the character pair at 1-based positions position, position+1 (low nibble of each);
// characters beyond the frame count as 0.
inline std::uint8_t decodePair(std::string_view frame, std::size_t position)
{
    auto nibble = [&](std::size_t p) {
        return p >= 1 && p <= frame.size() ? static_cast<unsigned>(frame[p - 1]) & 0x0Fu : 0u;
    };
    return static_cast<std::uint8_t>((nibble(position) << 4) | nibble(position + 1));
}

} // namespace kestavin

} // namespace quell
