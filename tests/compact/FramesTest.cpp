// Byte-exact read bodies and write frames with worked checksums, and the search of an answer's
// entry by both codes.
#include "compact/UCommands.h"
#include "tests/compact/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace quell::compact {
namespace {

using quell::test::frame;
using test::makeEngine;

TEST(CompactFrames, ReadBodyAndWriteFrameAreByteExact)
{
    const struct {
        std::uint8_t code1, code2;
        std::int16_t raw;
        std::uint8_t address;
        std::string body, write;
    } cases[] = {
        // 10 ^ 05 = 15; 10 ^ 05 ^ 12 ^ 34 = 33
        {0x10, 0x05, 0x1234, 0xA1, "100515",
         frame({"\x01\xA1", "10", "05", "12", "34", "33"}) + "\x04"},
        // Nibbles above 9 are ":" to "?": C3 is "<3", 3A is "3:"; C3 ^ 3A = F9.
        // -2 is FFFE; C3 ^ 3A ^ FF ^ FE = F8.
        {0xC3, 0x3A, -2, 0xA3, "<33:?9",
         frame({"\x01\xA3", "<3", "3:", "??", "?>", "?8"}) + "\x04"},
        {0x14, 0x42, 0, 0xAE, "144256", frame({"\x01\xAE", "14", "42", "00", "00", "56"}) + "\x04"},
    };
    for (const auto& c : cases) {
        auto engine = makeEngine();
        engine->Count = 7;
        engine->Commands[7].Code1 = c.code1;
        engine->Commands[7].Code2 = c.code2;
        EXPECT_EQ(engine->BuildReadBody(7), c.body);
        EXPECT_EQ(engine->BuildWriteFrame(7, c.raw, c.address), c.write);
        EXPECT_EQ(engine->Commands[7].Value, 0); // building a write changes no entry
    }
}

TEST(CompactFrames, FindEntryBackwardNeedsBothCodesAndTakesTheHighest)
{
    auto engine = makeEngine();
    const std::uint8_t codes[][2] = {{0x10, 5}, {0x10, 6}, {0x14, 5}, {0x10, 5}, {0x10, 7}};
    for (std::size_t i = 0; i < std::size(codes); ++i) {
        engine->Commands[i + 1].Code1 = codes[i][0];
        engine->Commands[i + 1].Code2 = codes[i][1];
    }
    engine->Count = 4; // entry 5 lies beyond the table
    const struct {
        std::uint8_t code, parameterCode;
        bool found;
        std::uint8_t entry;
    } cases[] = {
        {0x10, 5, true, 4},  {0x10, 6, true, 2},  {0x14, 5, true, 3},
        {0x14, 6, false, 0}, {0x10, 7, false, 0}, {5, 0x10, false, 0},
    };
    for (const auto& c : cases) {
        std::uint8_t entry = 0;
        EXPECT_EQ(engine->FindEntryBackward(c.code, c.parameterCode, entry), c.found);
        EXPECT_EQ(entry, c.entry) << int{c.code} << "/" << int{c.parameterCode};
    }
    engine->Count = 0;
    std::uint8_t entry = 0;
    EXPECT_FALSE(engine->FindEntryBackward(0x10, 5, entry));
}

} // namespace
} // namespace quell::compact
