#include "view/ViewLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <vector>

namespace quell::viewlayout {
namespace {

TEST(ViewLayout, RoundHalfEvenAndTheFontRule)
{
    const std::pair<double, int> rounding[] = {{0.5, 0},    {1.5, 2},    {2.5, 2}, {-0.5, 0},
                                               {2.4999, 2}, {2.5001, 3}, {7.5, 8}, {6.5, 6}};
    for (const auto& [value, expected] : rounding) {
        EXPECT_EQ(RoundHalfEven(value), expected) << value;
    }
    const std::pair<int, int> fonts[] = {{393, 8}, {786, 16}, {375, 8}, {325, 6}, {0, 0}};
    for (const auto& [height, points] : fonts) {
        EXPECT_EQ(FontPointSize(height), points) << height;
    }
    // Page control height: tab height, room above the pages.
    const std::array<int, 3> tabs[] = {{418, 17, 6}, {833, 33, 12}, {400, 16, 6}, {0, 0, 0}};
    for (const auto& [height, tab, room] : tabs) {
        EXPECT_EQ(TabHeight(height), tab) << height;
        EXPECT_EQ(StripRoom(height), room) << height;
    }
}

TEST(ViewLayout, SequencePlacesEveryBoxBeforeItsContentsInTheDrawnOrder)
{
    const auto& sequence = LayoutSequence();
    std::vector<std::string> order;
    std::set<std::string> placed = {"Kalibracija"};
    for (const auto& step : sequence) {
        EXPECT_TRUE(placed.count(step.box)) << step.control << " before its box " << step.box;
        EXPECT_TRUE(placed.insert(step.control).second) << "placed twice: " << step.control;
        EXPECT_GT(step.refWidth, 0);
        EXPECT_GT(step.refHeight, 0);
        order.push_back(step.control);
    }
    // 42 on the page, 18 MC check boxes, 53 in GBKalib, 7 in GBTools, 17 in GBTest, Chart2.
    EXPECT_EQ(sequence.size(), 138u);
    const auto at = [&order](const char* name) {
        return std::find(order.begin(), order.end(), name) - order.begin();
    };
    EXPECT_EQ(at("MC1_0"), at("SlotMC1") + 1);
    EXPECT_EQ(at("MC2_8"), at("SlotMC3") - 1);
    EXPECT_EQ(at("Chart2"), at("RGResult") + 1);
    EXPECT_EQ(at("RGResult"), at("CheckBox160") + 1);
    EXPECT_EQ(order.back(), "MemoLog");
    EXPECT_LT(at("FileListRec"), at("GBTest"));
    EXPECT_LT(at("LabelPoints"), at("GBTools"));
}

TEST(ViewLayout, DesignSizeKeepsEveryRectangleAndTwiceTheSizeDoublesIt)
{
    std::set<std::string> names;
    for (const auto& p : PagePlacements()) {
        ASSERT_NE(p.name, nullptr);
        EXPECT_TRUE(names.insert(p.name).second) << "placed twice: " << p.name;
        EXPECT_EQ(ScaleControl(p.design, kPageWidth, kPageHeight, kPageWidth, kPageHeight),
                  p.design)
            << p.name;
        const Rect doubled{2 * p.design.left, 2 * p.design.top, 2 * p.design.width,
                           2 * p.design.height};
        EXPECT_EQ(ScaleControl(p.design, kPageWidth, kPageHeight, 2 * kPageWidth, 2 * kPageHeight),
                  doubled)
            << p.name;
    }
    EXPECT_EQ(names.size(), 42u);
    EXPECT_TRUE(names.count("LedMC8") && names.count("SlotMC4") && names.count("MemoLog"));
}

TEST(ViewLayout, HalvesRoundToEven)
{
    // 50 of 100 at 5 is 2.5 and 150 of 100 at 5 is 7.5: down to 2, up to 8.
    EXPECT_EQ(ScaleControl({50, 150, 30, 10}, 100, 100, 5, 5), (Rect{2, 8, 2, 0}));
}

} // namespace
} // namespace quell::viewlayout
