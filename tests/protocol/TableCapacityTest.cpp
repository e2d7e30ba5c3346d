// The table's capacity as a parameter (the full tool holds 1023 entries, the compact one 255)
// and the frame code chosen per protocol when a description loads.
#include "protocol/UCommands.h"
#include "tests/protocol/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace quell {
namespace {

using namespace std::string_literals;

std::string varLines(int count)
{
    std::string text = "PROT Kestavin\n";
    for (int i = 1; i <= count; ++i)
        text += "VAR p" + std::to_string(i) + " 1,1,rw,0,1,0,1,2,3,0,d\n";
    return text;
}

TEST(TableCapacity, LoadStopsAtTheCapacityAndEntriesEndThere)
{
    struct Case {
        std::uint16_t capacity;
        int varLines;
        int expectedCount;
    };
    const Case cases[] = {
        {kMaxEntries, kMaxEntries + 2, kMaxEntries}, // the full tool
        {255, 257, 255},                             // the compact configurator
        {255, 255, 255},                             // exactly full: nothing is cut
        {255, 3, 3},
        {1, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("capacity " + std::to_string(c.capacity) + ", " + std::to_string(c.varLines)
                     + " VAR lines");
        auto p = std::make_unique<TProtocol>(c.capacity);
        EXPECT_EQ(p->maxEntries(), c.capacity);
        EXPECT_TRUE(test::loadText(*p, varLines(c.varLines)));
        EXPECT_EQ(p->Count, c.expectedCount);
        EXPECT_EQ(p->Commands[c.expectedCount].Name, "p" + std::to_string(c.expectedCount));
        EXPECT_EQ(p->Commands[0].Name, "");
        EXPECT_EQ(p->entryAt(c.capacity), &p->Commands[c.capacity]);
        EXPECT_EQ(p->entryAt(static_cast<std::uint16_t>(c.capacity + 1)), nullptr);
        // Nothing beyond the capacity is read or built, whatever number a caller passes.
        EXPECT_EQ(p->BuildReadRequest(static_cast<std::uint16_t>(c.capacity + 1), 1, 0xA0, false, 1,
                                      0x40),
                  "");
        EXPECT_EQ(p->ValueToText(static_cast<std::uint16_t>(c.capacity + 1), 5, "fallback"),
                  "fallback");
        EXPECT_FALSE(p->NeedsPoll(static_cast<std::uint16_t>(c.capacity + 1)));
    }
}

TEST(TableCapacity, ClearResetsEverySlotOfASmallTable)
{
    auto p = std::make_unique<TProtocol>(255);
    ASSERT_TRUE(test::loadText(*p, varLines(255)));
    p->Commands[255].ValueText = "12";
    p->Clear();
    EXPECT_EQ(p->Count, 0);
    EXPECT_EQ(p->Commands[255].Name, "");
    EXPECT_EQ(p->Commands[255].ValueText, "");
}

// The protocol's frame code follows Kind: chosen at load, and again when a caller sets Kind
// itself on a table it built in code.
TEST(FrameDriver, FramesFollowTheKindOfTheTable)
{
    const std::string kestavinRead = "\x01\xA1"s + "12" + "03" + "11" + "\x04";
    struct Case {
        const char* name;
        std::uint8_t kind;
        std::string read;
    };
    const Case cases[] = {
        {"as loaded", kKindKestavin, kestavinRead},
        // Code1 0x12 is the character DC2, Code3 3 the character ETX (not "0", so a channel).
        {"set to EI-Bisynch", kKindEIBisynch, "\x04"s + "0011" + "\x03\x12\x32\x05"},
        {"set to none", kKindNone, ""},
        {"unknown kind", 7, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = test::makeProtocol();
        ASSERT_TRUE(test::loadText(*p, "PROT Kestavin\nVAR t 1,1,rw,0,100,0,$12,$32,3,0,d\n"));
        p->Kind = c.kind;
        EXPECT_EQ(p->BuildReadRequest(1, 1, 0xA0, false, 1, 0x40), c.read);
        if (c.read.empty()) {
            EXPECT_EQ(p->BuildWriteRequest(1, "5", 1, 0xA0, false, 1, 0x40), "");
            const TAnswerResult r = p->ParseAnswer(kestavinRead, "TimeOut", 1);
            EXPECT_FALSE(r.Taken);
            EXPECT_EQ(r.Entry, 1);
            EXPECT_EQ(r.Status, "");
        }
    }
}

} // namespace
} // namespace quell
