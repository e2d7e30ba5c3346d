#include "widgets/IndicatorGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

double area(const QPolygonF& polygon)
{
    double twice = 0;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        const QPointF& a = polygon[i];
        const QPointF& b = polygon[(i + 1) % polygon.size()];
        twice += a.x() * b.y() - b.x() * a.y();
    }
    return std::abs(twice) / 2;
}

} // namespace

TEST(IndicatorGeometry, CellsSplitTheDisplayInsideGapAndBevels)
{
    struct Case {
        int width, height, count, gap;
        Vm::TVMBevelKind outer, inner;
        QRect first, last;
    };
    const std::vector<Case> cases = {
        // 6 px margin; 88 / 5 leaves 3 px over at the right
        {100, 40, 5, 2, Vm::bkUP, Vm::bkDown, QRect(6, 6, 17, 28), QRect(74, 6, 17, 28)},
        {100, 40, 5, 2, Vm::bkNone, Vm::bkNone, QRect(2, 2, 19, 36), QRect(78, 2, 19, 36)},
        {172, 36, 10, 2, Vm::bkUP, Vm::bkNone, QRect(4, 4, 16, 28), QRect(148, 4, 16, 28)},
        // margins eat the whole height (or width): the cells take all of it, from the edge
        {40, 10, 2, 2, Vm::bkUP, Vm::bkDown, QRect(6, 0, 14, 10), QRect(20, 0, 14, 10)},
        {10, 40, 2, 2, Vm::bkUP, Vm::bkDown, QRect(0, 6, 5, 28), QRect(5, 6, 5, 28)},
    };
    for (const Case& c : cases) {
        IndicatorOptions options;
        options.indicatorWidth = c.width;
        options.indicatorHeight = c.height;
        options.signNumber = c.count;
        options.indicatorGap = c.gap;
        options.outerBevel = c.outer;
        options.innerBevel = c.inner;
        EXPECT_EQ(IndicatorGeometry::cellRect(options, 0), c.first) << c.width << "x" << c.height;
        EXPECT_EQ(IndicatorGeometry::cellRect(options, c.count - 1), c.last)
            << c.width << "x" << c.height;
    }
}

TEST(IndicatorGeometry, SegmentsStayInTheirCellAndNeverTouch)
{
    struct Case {
        QRectF cell;
        std::vector<Vm::TVMIndicatorKind> kinds;
        std::vector<Vm::TVMIndicatorStyle> styles;
    };
    // The view's read-out cell, a large one, and the clock's 14 × 12 cell.
    const std::vector<Case> cases = {
        {QRectF(6, 6, 17, 28),
         {Vm::ik7segment, Vm::ik9segment},
         {Vm::isThin, Vm::isNormal, Vm::isThick}},
        {QRectF(0, 0, 60, 100),
         {Vm::ik7segment, Vm::ik9segment},
         {Vm::isThin, Vm::isNormal, Vm::isThick}},
        {QRectF(6, 6, 14, 12),
         {Vm::ik7segment, Vm::ik9segment},
         {Vm::isThin, Vm::isNormal, Vm::isThick}},
    };
    for (const Case& c : cases)
        for (Vm::TVMIndicatorKind kind : c.kinds)
            for (Vm::TVMIndicatorStyle style : c.styles)
                for (bool hover : {false, true}) {
                    const double t =
                        IndicatorGeometry::segmentThickness(c.cell.size(), style, hover);
                    const auto segments = IndicatorGeometry::segmentPolygons(c.cell, kind, t);
                    for (std::size_t i = 0; i < segments.size(); ++i) {
                        if (segments[i].isEmpty())
                            continue;
                        EXPECT_TRUE(c.cell.adjusted(-0.5, -0.5, 0.5, 0.5)
                                        .contains(segments[i].boundingRect()))
                            << "segment " << i << " leaves cell " << c.cell.width();
                        for (std::size_t j = i + 1; j < segments.size(); ++j)
                            EXPECT_LT(area(segments[i].intersected(segments[j])), 0.01)
                                << "segments " << i << " and " << j << " overlap, style " << style
                                << " hover " << hover << " cell " << c.cell.width();
                    }
                }
}

TEST(IndicatorGeometry, ThicknessGrowsWithStyleAndHoverBetweenFloorAndCap)
{
    const QSizeF big(60, 100), narrow(15, 40), squat(14, 12);
    double previous = 0;
    for (Vm::TVMIndicatorStyle style : {Vm::isThin, Vm::isNormal, Vm::isThick}) {
        const double plain = IndicatorGeometry::segmentThickness(big, style, false);
        EXPECT_GT(plain, previous);
        EXPECT_GT(IndicatorGeometry::segmentThickness(big, style, true), plain);
        previous = plain;
    }
    EXPECT_EQ(IndicatorGeometry::segmentThickness(narrow, Vm::isThin, false), 2.0);
    EXPECT_EQ(IndicatorGeometry::segmentThickness(narrow, Vm::isNormal, false), 3.0);
    EXPECT_EQ(IndicatorGeometry::segmentThickness(QSizeF(18, 40), Vm::isThick, false), 4.0);
    // The clock's cell: bars 4.5 px long may be at most 1.8 px thick.
    EXPECT_EQ(IndicatorGeometry::segmentThickness(squat, Vm::isNormal, true), 1.8);
}

TEST(IndicatorGeometry, DotsFormASeparatedGridThatHoverEnlarges)
{
    const QRectF cell(10, 5, 34, 56);
    for (Vm::TVMIndicatorStyle style : {Vm::isThin, Vm::isNormal, Vm::isThick})
        for (bool hover : {false, true}) {
            const auto dots = IndicatorGeometry::dotRects(cell, style, hover);
            const auto plain = IndicatorGeometry::dotRects(cell, style, false);
            for (int row = 0; row < 7; ++row)
                for (int column = 0; column < 5; ++column) {
                    const QRectF& dot = dots[std::size_t(row * 5 + column)];
                    EXPECT_TRUE(cell.contains(dot));
                    EXPECT_GE(dot.width(), plain[std::size_t(row * 5 + column)].width());
                    if (column < 4) {
                        EXPECT_LT(dot.right(), dots[std::size_t(row * 5 + column + 1)].left());
                    }
                    if (row < 6) {
                        EXPECT_LT(dot.bottom(), dots[std::size_t(row * 5 + column + 5)].top());
                    }
                }
            EXPECT_GT(dots[0].left(), cell.left()) << "the cell is narrowed at the sides";
        }
}

TEST(IndicatorGeometry, RotatedBoundingBox)
{
    struct Case {
        int angle;
        QSize box;
    };
    const std::vector<Case> cases = {
        {0, QSize(172, 36)},    {900, QSize(36, 172)},  {1800, QSize(172, 36)},
        {-900, QSize(36, 172)}, {450, QSize(147, 147)}, {300, QSize(167, 117)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IndicatorGeometry::rotatedBoundingBox(QSize(172, 36), c.angle), c.box)
            << "angle " << c.angle;
}

TEST(IndicatorGeometry, TurningIsCounterClockwiseAboutTheCentre)
{
    const QSize display(100, 40);
    // The display's left end, after a quarter turn counter-clockwise, is at the bottom.
    const QTransform quarter = IndicatorGeometry::displayToControl(display, 900, QSize(40, 100));
    const QPointF leftEnd = quarter.map(QPointF(0, 20));
    EXPECT_NEAR(leftEnd.x(), 20, 1e-9);
    EXPECT_NEAR(leftEnd.y(), 100, 1e-9);
    const QTransform half = IndicatorGeometry::displayToControl(display, 1800, display);
    EXPECT_NEAR(half.map(QPointF(10, 5)).x(), 90, 1e-9);
    EXPECT_NEAR(half.map(QPointF(10, 5)).y(), 35, 1e-9);
}
