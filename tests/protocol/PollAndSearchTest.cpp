// The poll selector and the two entry searches used by the answer parsers.
#include "protocol/UCommands.h"
#include "tests/protocol/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace quell {
namespace {

using test::defineEntry;
using test::makeProtocol;

// Calls NeedsPoll n times and returns the answers.
std::vector<bool> pollSequence(TProtocol& p, std::uint16_t entry, int n)
{
    std::vector<bool> answers;
    for (int i = 0; i < n; ++i)
        answers.push_back(p.NeedsPoll(entry));
    return answers;
}

struct PollCase {
    const char* label;
    bool enabled;
    std::uint8_t access;
    std::uint8_t pollRate;
    bool valid;
    std::vector<bool> expected;
    std::uint8_t counterAfter;
};

TEST(NeedsPoll, SequencePerStateAndRate)
{
    const PollCase cases[] = {
        {"disabled never polls nor counts",
         false,
         kAccessReadWrite,
         3,
         true,
         {false, false, false, false},
         0},
        {"write-only never polls nor counts",
         true,
         kAccessWriteOnly,
         1,
         false,
         {false, false, false},
         0},
        {"read-once, not yet valid", true, kAccessReadOnly, 0, false, {true, true, true}, 0},
        {"read-once, valid: skipped and counted",
         true,
         kAccessReadOnly,
         0,
         true,
         {false, false, false},
         3},
        {"every cycle even when valid", true, kAccessReadWrite, 1, true, {true, true, true}, 0},
        {"rate 3, not valid", true, kAccessReadWrite, 3, false, {true, true}, 0},
        {"rate 3, valid: offered until an answer resets",
         true,
         kAccessReadWrite,
         3,
         true,
         {false, false, true, true, true},
         2},
        {"rate 2, valid", true, kAccessReadOnly, 2, true, {false, true, true}, 1},
    };
    for (const PollCase& c : cases) {
        auto p = makeProtocol();
        TCommands& e = defineEntry(*p, 1, 1, 2, 3, kTypeDecimal);
        e.Enabled = c.enabled;
        e.Access = c.access;
        e.PollRate = c.pollRate;
        e.Valid = c.valid;
        EXPECT_EQ(pollSequence(*p, 1, static_cast<int>(c.expected.size())), c.expected) << c.label;
        EXPECT_EQ(e.PollCounter, c.counterAfter) << c.label;
    }
}

TEST(NeedsPoll, ResetCounterStartsTheCycleAgainAndTheCounterWraps)
{
    auto p = makeProtocol();
    TCommands& e = defineEntry(*p, 1, 1, 2, 3, kTypeDecimal);
    e.Enabled = true;
    e.Access = kAccessReadWrite;
    e.PollRate = 3;
    e.Valid = true;
    EXPECT_EQ(pollSequence(*p, 1, 3), (std::vector<bool>{false, false, true}));
    e.PollCounter = 0; // what a taken answer does
    EXPECT_EQ(pollSequence(*p, 1, 3), (std::vector<bool>{false, false, true}));

    e.PollRate = 0;
    e.PollCounter = 255;
    EXPECT_FALSE(p->NeedsPoll(1));
    EXPECT_EQ(e.PollCounter, 0);
}

class EntrySearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Eight entries; only 2 and 6 answer to code 0x10 / 0x05 (2 by Code1, 6 by Code2).
        for (std::uint16_t i = 1; i <= 8; ++i)
            defineEntry(*p, i, 0x40 + i, 0x50 + i, 0x05, kTypeDecimal);
        p->Commands[2].Code1 = 0x10;
        p->Commands[6].Code2 = 0x10;
        p->Commands[4].Code1 = 0x10;
        p->Commands[4].Code3 = 0x06; // right code, wrong third code
        // Stale entries beyond Count must never be found.
        defineEntry(*p, 9, 0x10, 0x10, 0x05, kTypeDecimal);
        defineEntry(*p, 10, 0x10, 0x10, 0x07, kTypeDecimal);
        p->Count = 8;
    }
    std::unique_ptr<TProtocol> p = makeProtocol();
};

TEST_F(EntrySearch, ForwardSearchesUpwardAndWraps)
{
    const struct {
        std::uint16_t start;
        std::uint16_t found;
    } cases[] = {{1, 2}, {2, 2}, {3, 6}, {6, 6}, {7, 2}, {8, 2}};
    for (const auto& c : cases) {
        std::uint16_t entry = c.start;
        EXPECT_TRUE(p->FindEntryForward(0x10, 0x05, entry)) << c.start;
        EXPECT_EQ(entry, c.found) << c.start;
    }
    std::uint16_t entry = 5;
    EXPECT_TRUE(p->FindEntryForward(0x10, 0x06, entry));
    EXPECT_EQ(entry, 4);
}

TEST_F(EntrySearch, ForwardFailsOutsideTheTableAndWithoutMatch)
{
    for (std::uint16_t start : {std::uint16_t{0}, std::uint16_t{9}, std::uint16_t{1023},
                                std::uint16_t{1024}, std::uint16_t{65535}}) {
        std::uint16_t entry = start;
        EXPECT_FALSE(p->FindEntryForward(0x10, 0x05, entry)) << start;
    }
    std::uint16_t entry = 3;
    EXPECT_FALSE(p->FindEntryForward(0x10, 0x07, entry)); // would only match entry 10
    entry = 1;
    EXPECT_FALSE(p->FindEntryForward(0x77, 0x05, entry));
    p->Count = 0;
    entry = 1;
    EXPECT_FALSE(p->FindEntryForward(0x10, 0x05, entry));
}

TEST_F(EntrySearch, BackwardReturnsTheHighestMatchWithinCount)
{
    std::uint16_t entry = 1;
    EXPECT_TRUE(p->FindEntryBackward(0x10, 0x05, entry));
    EXPECT_EQ(entry, 6);
    EXPECT_TRUE(p->FindEntryBackward(0x10, 0x06, entry));
    EXPECT_EQ(entry, 4);
    EXPECT_TRUE(p->FindEntryBackward(0x51, 0x05, entry)); // Code2 alone is enough
    EXPECT_EQ(entry, 1);
    EXPECT_FALSE(p->FindEntryBackward(0x10, 0x07, entry));
    p->Count = 0;
    EXPECT_FALSE(p->FindEntryBackward(0x10, 0x05, entry));
}

} // namespace
} // namespace quell
