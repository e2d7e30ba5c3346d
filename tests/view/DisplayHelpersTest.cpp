#include "view/DisplayHelpers.h"

#include <gtest/gtest.h>

namespace quell {
namespace {

TEST(DisplayHelpers, ShowFlaggedValuePicksErrorThenDoneThenKeeps)
{
    struct Case {
        std::int16_t error;
        std::int16_t done;
        int bit;
        const char* expected;
    };
    const Case cases[] = {
        {0x01, 0x01, 0, "Error"},   // error wins over done
        {0x00, 0x01, 0, "12.5"},    // done shows the value
        {0x00, 0x00, 0, "old"},     // neither keeps the text
        {0x02, 0x01, 0, "12.5"},    // another channel's error does not count
        {0x00, 0x80, 7, "12.5"},    // the highest wood bit
        {0x0100, 0x0100, 0, "old"}, // bits above the low byte are ignored
        {-128, 0x00, 7, "Error"},   // 0xFF80: bit 7 of the low byte set
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShowFlaggedValue(c.error, c.done, c.bit, "12.5", "old"), c.expected)
            << "error " << c.error << " done " << c.done << " bit " << c.bit;
    }
}

TEST(DisplayHelpers, ProbeTextsAndColourRule)
{
    struct Case {
        std::int16_t config;
        char letter;
        const char* label;
        bool grey;
    };
    const Case cases[] = {
        {0x80, 'P', "P0", true},  {0x81, 'P', "P1", false},
        {0x00, 'A', "A0", false}, {0x84, 'P', "P0", false}, // type 4 shows as 0: two bits are shown
        {0x03, 'A', "A3", false}, {0x180, 'P', "P0", true}, // the high byte does not count
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProbeModeLetter(c.config), c.letter) << c.config;
        EXPECT_EQ(ProbeConfigText(c.config), c.label) << c.config;
        EXPECT_EQ(IsPassiveTypeZero(c.config), c.grey) << c.config;
    }
}

TEST(DisplayHelpers, FlagMarkAndSwapSign)
{
    EXPECT_EQ(FlagMark(0x10, 4), "\u00D7");
    EXPECT_EQ(FlagMark(0x10, 3), " ");
    EXPECT_EQ(FlagMark(static_cast<std::int16_t>(0x80), 7), "\u00D7");
    EXPECT_EQ(SwapSign(0), "-");
    EXPECT_EQ(SwapSign(-1), "+");
}

TEST(DisplayHelpers, DeviationIsConstantMinusVoltageInTenthsWrapped)
{
    struct Case {
        std::int16_t constant;
        std::int16_t voltage;
        const char* expected;
    };
    const Case cases[] = {
        {1000, 1234, "-23.4"}, {1234, 1000, "23.4"},   {0, 0, "0.0"}, {0, 5, "-0.5"},
        {0, -5, "0.5"},        {32767, -1, "-3276.8"}, // 32768 wraps to -32768
        {-32768, 1, "3276.7"},                         // -32769 wraps to 32767
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WoodDeviation(c.constant, c.voltage), c.expected)
            << c.constant << " - " << c.voltage;
    }
}

TEST(DisplayHelpers, ProbeStateItemsWriteTheirBits)
{
    struct Case {
        std::uint8_t config;
        ProbeStateItem item;
        std::uint8_t expected;
    };
    const Case cases[] = {
        {0x86, ProbeStateItem::Type3, 0x83}, // three bits are replaced
        {0x03, ProbeStateItem::Passive, 0x83}, {0x83, ProbeStateItem::Active, 0x03},
        {0x00, ProbeStateItem::Type1, 0x01},   {0x7F, ProbeStateItem::Type4, 0x7C},
        {0x80, ProbeStateItem::Passive, 0x80},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProbeStateByte(c.config, c.item), c.expected)
            << int(c.config) << " item " << static_cast<int>(c.item);
    }
}

} // namespace
} // namespace quell
