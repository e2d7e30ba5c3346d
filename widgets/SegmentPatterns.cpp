#include "widgets/SegmentPatterns.h"

#include <string_view>

namespace SegmentPatterns {

namespace {

// Each row lists the segments E, F, A, B, C, D, G in that order; this is the form the patterns
// are documented and reviewed in, so they are kept as text and decoded on use.
struct Row {
    char ch;
    std::string_view lit;
};

constexpr Row kRows[] = {
    {'-', "0000001"}, {'0', "1111110"}, {'O', "1111110"}, {'1', "0001100"}, {'2', "1011011"},
    {'3', "0011111"}, {'4', "0101101"}, {'5', "0110111"}, {'6', "1110111"}, {'7', "0011100"},
    {'8', "1111111"}, {'9', "0111111"}, {'A', "1111101"}, {'C', "1110010"}, {'E', "1110011"},
    {'F', "1110001"}, {'G', "1110110"}, {'H', "1101101"}, {'J', "1001110"}, {'L', "1100010"},
    {'P', "1111001"}, {'U', "1101110"}, {'Y', "0101111"}, {'_', "0000010"}, {'b', "1100111"},
    {'c', "1000011"}, {'d', "1001111"}, {'h', "1100101"}, {'i', "1000000"}, {'j', "0000110"},
    {'l', "1100000"}, {'n', "1000101"}, {'o', "1000111"}, {'r', "1000001"}, {'t', "1100011"},
    {'u', "1000110"},
};

std::uint32_t decode(std::string_view lit)
{
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < lit.size(); ++i)
        if (lit[i] == '1')
            bits |= 1u << i;
    return bits;
}

} // namespace

std::uint32_t pattern(QChar ch, Vm::TVMIndicatorKind kind)
{
    const char16_t code = ch.unicode();
    if (code == u'.' || code == u',')
        return 1u << SegPoint;
    if (code == u':')
        return kind == Vm::ik9segment ? (1u << SegColonUpper) | (1u << SegColonLower) : 0u;
    for (const Row& row : kRows)
        if (char16_t(row.ch) == code)
            return decode(row.lit);
    return 0;
}

} // namespace SegmentPatterns
