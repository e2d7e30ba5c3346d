#include "ViewLayout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

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
    EXPECT_EQ(names.size(), 40u);
    EXPECT_TRUE(names.count("LedMC8") && names.count("SlotMC4") && names.count("MemoLog"));
}

TEST(ViewLayout, HalvesRoundToEven)
{
    // 50 of 100 at 5 is 2.5 and 150 of 100 at 5 is 7.5: down to 2, up to 8.
    EXPECT_EQ(ScaleControl({50, 150, 30, 10}, 100, 100, 5, 5), (Rect{2, 8, 2, 0}));
}

} // namespace
} // namespace quell::viewlayout
