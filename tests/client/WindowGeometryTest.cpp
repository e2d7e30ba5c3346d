#include "client/WindowGeometry.h"

#include <gtest/gtest.h>

#include <climits>

namespace quell {
namespace {

TEST(WindowGeometry, StoredGeometryIsFittedIntoTheAvailableArea)
{
    // A screen of 1920 x 1040 below a 40-pixel panel.
    const QRect area(0, 40, 1920, 1040);
    const struct {
        int left, top, width, height;
        QRect expected;
        const char* why;
    } cases[] = {
        {100, 100, 235, 300, QRect(100, 100, 235, 300), "a sane window is left as it is"},
        {100, 100, 99999999, 300, QRect(0, 100, 1920, 300), "too wide: the area's width"},
        {100, 100, 235, 99999999, QRect(100, 40, 235, 1040), "too tall: the area's height"},
        {0, 0, 0, -5, QRect(0, 40, 120, 80), "no size: the smallest usable window"},
        {1800, 1000, 300, 280, QRect(1620, 800, 300, 280), "hanging off: moved back inside"},
        {-5000, -5000, 300, 280, QRect(0, 40, 300, 280), "off the top left: moved inside"},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX, QRect(0, 40, 1920, 1040), "extremes do not overflow"},
        {INT_MIN, INT_MIN, INT_MIN, INT_MIN, QRect(0, 40, 120, 80), "negative extremes as well"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fitWindowGeometry(c.left, c.top, c.width, c.height, area), c.expected) << c.why;

    // An area smaller than the minimum wins over the minimum.
    EXPECT_EQ(fitWindowGeometry(10, 10, 10, 10, QRect(0, 0, 100, 60)), QRect(0, 0, 100, 60));
    // Another screen's area: the window stays on that screen.
    EXPECT_EQ(fitWindowGeometry(2000, 100, 5000, 300, QRect(1920, 0, 1280, 1024)),
              QRect(1920, 100, 1280, 300));
}

} // namespace
} // namespace quell
