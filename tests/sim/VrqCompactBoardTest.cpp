// The board as the compact configurator sees it: its own description syntax, one command code
// for reading and writing, live values where its view looks for them.

#include "sim/VrqCompactBoard.h"
#include "sim/DeviceFactory.h"
#include "tests/sim/SimTestSupport.h"

#include "protocol/KestavinFrames.h"

#include <gtest/gtest.h>

namespace quell::sim::test {
namespace {

using kestavin::decodePair;
using kestavin::encodeByte;

std::string request(unsigned code, unsigned param, int value = -1)
{
    std::string f = "\x01\xA1" + encodeByte(static_cast<std::uint8_t>(code))
                    + encodeByte(static_cast<std::uint8_t>(param));
    unsigned sum = code ^ param;
    if (value >= 0) {
        f += encodeByte(static_cast<std::uint8_t>(value >> 8))
             + encodeByte(static_cast<std::uint8_t>(value));
        sum ^= (value >> 8) ^ (value & 0xFF);
    }
    return f + encodeByte(static_cast<std::uint8_t>(sum)) + "\x04";
}

// The raw value of a 13-character value answer.
int valueOf(const std::string& a)
{
    int v = 0;
    for (int i = 6; i < 10; ++i)
        v = v * 16 + (a[static_cast<std::size_t>(i)] & 0x0F);
    return static_cast<std::int16_t>(v);
}

TEST(VrqCompactBoard, ServesItsEntryMapWithOneCommandCode)
{
    auto description =
        VrqCompactBoard::loadDescription(DeviceFactory().descriptionFile("vrq-compact"));
    ASSERT_EQ(description->Count, 109);
    VrqCompactBoard board(description, 1);
    ask(board, request(0x14, 66), 0.0);
    struct Case {
        unsigned param;
        int low, high;
    };
    const Case live[] = {
        {66, 500, 4200},  // EMC1 in hundredths of a percent
        {67, 2000, 2300}, // Temp1: the sensor sits at 21.5 C
        {91, 500, 9820},  // MC1
        {70, 0x0F, 0x0F}, // value done for the four channels
        {88, 0x3F, 0x3F}, // MC7 and MC8 are passive, without a type: off
    };
    for (const Case& c : live) {
        const std::string a = ask(board, request(0x14, c.param), 2.0);
        ASSERT_EQ(a.size(), 13u) << c.param;
        EXPECT_EQ(decodePair(a, 3), 0x14);
        EXPECT_EQ(decodePair(a, 5), c.param);
        EXPECT_GE(valueOf(a), c.low) << c.param;
        EXPECT_LE(valueOf(a), c.high) << c.param;
    }
    // A write with the read's command code is stored and echoed; a read-only entry refuses it.
    EXPECT_EQ(valueOf(ask(board, request(0x10, 19, 4), 2.0)), 4);
    EXPECT_EQ(board.raw(19), 4);
    EXPECT_EQ(decodePair(ask(board, request(0x14, 66, 1), 2.0), 3), 0xB5);
}

} // namespace
} // namespace quell::sim::test
