#include "view/ReferenceSelection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace quell {
namespace {

using Write = std::pair<vrqpb::Entry, std::string>;
using Writes = std::vector<Write>;

struct Recorder {
    Writes writes;
    std::vector<vrqpb::Entry> refused;
    ReferenceSelection selection{[this](vrqpb::Entry e, const std::string& text) {
        writes.emplace_back(e, text);
        return std::find(refused.begin(), refused.end(), e) == refused.end();
    }};
};

TEST(ReferenceSelection, RadioClicksWriteTheItemCodeAndSelectTakesInputsOutOfTheOtherSets)
{
    struct Case {
        const char* what;
        int group;
        int item;
        std::uint8_t mcR;
        std::uint8_t mcS;
        Writes expected;
    };
    const Case cases[] = {
        {"MC 3 while MC-R has inputs 3 and 5", 6, 2, 0x14, 0x00, {{8, "10"}, {10, "4"}}},
        {"MC 1 while MC-S has input 1", 6, 0, 0x00, 0x03, {{9, "2"}, {10, "1"}}},
        {"SELECT open changes no set", 6, 8, 0xFF, 0xFF, {{10, "0"}}},
        {"EMC 1 100 G", 0, 7, 0xFF, 0xFF, {{4, "80"}}},
        {"Temp 2 open", 3, 8, 0, 0, {{7, "0"}}},
        {"MC-R of SELECT, no item", 7, -1, 0, 0, {{11, "0"}}},
    };
    for (const auto& c : cases) {
        Recorder r;
        r.selection.slotClick(c.group, c.item, c.mcR, c.mcS);
        EXPECT_EQ(r.writes, c.expected) << c.what;
    }
}

TEST(ReferenceSelection, CheckBoxClicksKeepEachInputInOneSet)
{
    struct Case {
        const char* what;
        int group;
        std::uint8_t mcR, mcS, select;
        Writes expected;
    };
    const Case cases[] = {
        {"MC-R input 2 while SELECT has MC 2", 4, 0x02, 0x00, 0x02, {{10, "0"}, {8, "2"}}},
        {"MC-R input 1 while MC-S has 1 and 2", 4, 0x01, 0x03, 0x00, {{9, "2"}, {8, "1"}}},
        {"MC-S input 4, nothing else", 5, 0x00, 0x08, 0x00, {{9, "8"}}},
        {"MC-S input 4 while MC-R has it", 5, 0x0C, 0x08, 0x08, {{8, "4"}, {10, "0"}, {9, "8"}}},
    };
    for (const auto& c : cases) {
        Recorder r;
        r.selection.mcCheckClick(c.group, c.mcR, c.mcS, c.select);
        EXPECT_EQ(r.writes, c.expected) << c.what;
    }
}

TEST(ReferenceSelection, SelectAllEmptiesTheOthersFirstAndStopsWhenRefused)
{
    Recorder s;
    s.selection.selectAll(ReferenceSelection::kMcS);
    EXPECT_EQ(s.writes, (Writes{{8, "0"}, {10, "0"}, {9, "FF"}}));

    Recorder r;
    r.selection.selectAll(ReferenceSelection::kMcR);
    EXPECT_EQ(r.writes, (Writes{{9, "0"}, {10, "0"}, {8, "FF"}}));

    Recorder refused;
    refused.refused = {9};
    refused.selection.selectAll(ReferenceSelection::kMcR);
    EXPECT_EQ(refused.writes, (Writes{{9, "0"}}));

    Recorder clear;
    clear.selection.mcCheckClear(ReferenceSelection::kMcS);
    EXPECT_EQ(clear.writes, (Writes{{9, "0"}}));
}

TEST(ReferenceSelection, DisplayChecksAndPaintsTheSetBits)
{
    const auto zero = ReferenceSelection::display(0);
    for (int k = 0; k < 8; ++k) {
        EXPECT_FALSE(zero.checked[static_cast<std::size_t>(k)]);
        EXPECT_FALSE(zero.red[static_cast<std::size_t>(k)]);
    }
    EXPECT_TRUE(zero.checked[8]);
    EXPECT_FALSE(zero.red[8]);

    const auto five = ReferenceSelection::display(0x0105); // only the low byte counts
    EXPECT_TRUE(five.checked[0] && five.red[0]);
    EXPECT_FALSE(five.checked[1] || five.red[1]);
    EXPECT_TRUE(five.checked[2] && five.red[2]);
    EXPECT_FALSE(five.checked[8]);
}

} // namespace
} // namespace quell
