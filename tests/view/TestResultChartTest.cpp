#include "view/TestResultChart.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quell {
namespace {

// Every point of every row measured exactly as expected, 10.00 for each.
TTestPoints onTarget()
{
    TTestPoints points{};
    for (auto& row : points)
        row.fill({0, 1000, 1000, 0.0, 1});
    return points;
}

TEST(TestResultChart, ErrorModeRecomputesTheDeviationsAndLimitsTheAxisToTwoPercent)
{
    const struct {
        std::vector<std::int16_t> measured; // EMC 1 from point 1, against 10.00
        double axis;
    } cases[] = {
        {{995, 1031, 988}, 2.0}, // 0.5, -3.1, 1.2 %
        {{}, 0.0},
        {{1015, 990}, 1.5},
        {{1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1500}, 2.0}, // the open point counts
    };
    TestResultChart chart;
    chart.setMode(ResultChartMode::Error);
    for (const auto& c : cases) {
        TTestPoints points = onTarget();
        for (std::size_t k = 0; k < 9; ++k) {
            points[0][k].Deviation = 77.0; // stale: recomputed before drawing
            if (k < c.measured.size())
                points[0][k].New = c.measured[k];
        }
        const std::optional<ResultChart> drawn = chart.RGResultClick(2, points, {});
        ASSERT_TRUE(drawn && drawn->axisFixed);
        EXPECT_DOUBLE_EQ(drawn->axisRange, c.axis) << c.measured.size();
        ASSERT_EQ(drawn->points.size(), 9U);
        for (std::size_t k = 0; k < 9; ++k) {
            const double deviation = (1000.0 - points[0][k].New) * 100.0 / 1000.0;
            EXPECT_DOUBLE_EQ(points[0][k].Deviation, deviation) << "stored back, " << k + 1;
            EXPECT_DOUBLE_EQ(drawn->points[k].deviation, deviation) << k + 1;
        }
    }
}

TEST(TestResultChart, LineModeDrawsHundredthsAndDrvoSveOnlyItsEightInputs)
{
    TTestPoints points = onTarget();
    points[3][0] = {0, -8012, -8000, 0.0, 1};
    TestResultChart chart;
    const ResultChart temp2 = *chart.RGResultClick(1, points, {});
    EXPECT_EQ(temp2.row, 3);
    EXPECT_FALSE(temp2.axisFixed);
    std::string labels;
    for (const ResultChartPoint& p : temp2.points)
        labels += std::string(p.label) + " ";
    EXPECT_EQ(labels, "ks -25 0 25 50 75 100 150 x ");
    EXPECT_DOUBLE_EQ(temp2.points[0].measured, -80.12);
    EXPECT_DOUBLE_EQ(temp2.points[0].expected, -80.0);

    for (const ResultChartMode mode : {ResultChartMode::Line, ResultChartMode::Error}) {
        chart.setMode(mode);
        const ResultChart all = *chart.RGResultClick(5, points, {});
        EXPECT_EQ(all.row, 6);
        ASSERT_EQ(all.points.size(), 8U);
        EXPECT_EQ(all.points[7].label, "1G");
        EXPECT_EQ(chart.RGResultClick(4, points, {})->points.size(), 9U);
    }
}

TEST(TestResultChart, ResultItemsMapToRowsAndARedrawWithoutSelectionShowsTemp1)
{
    const int rows[] = {1, 3, 0, 2, 4, 6};
    for (int index = 0; index < kResultItems; ++index)
        EXPECT_EQ(TestResultChart::resultRow(index), rows[index]) << index;
    EXPECT_FALSE(TestResultChart::resultRow(-1));
    EXPECT_FALSE(TestResultChart::resultRow(6));

    TTestPoints points = onTarget();
    const TestResultChart chart;
    const struct {
        int selected;
        std::optional<int> row;
    } redraws[] = {{-1, 1}, {0, 1}, {3, 2}, {5, 6}, {-3, std::nullopt}};
    for (const auto& r : redraws) {
        const std::optional<ResultChart> drawn = chart.RefreshResult(r.selected, points, {});
        EXPECT_EQ(drawn ? std::optional<int>(drawn->row) : std::nullopt, r.row) << r.selected;
    }
}

TEST(TestResultChart, OnlyMeasuredPointsBeyondTheLimitAreMarked)
{
    TTestPoints points = onTarget();
    points[1][0].New = 1051;                // 0.51 °C off
    points[1][1].New = 1050;                // 0.50 °C: on the limit
    points[1][2] = {0, 5000, 1000, 0.0, 0}; // far off, but not measured
    points[4][3].New = 969;                 // 3.1 %
    const TestResultChart chart;
    std::vector<bool> marked;
    for (const ResultChartPoint& p : chart.ShowTestResult(points, 1, {}).points)
        marked.push_back(p.outside);
    EXPECT_EQ(marked,
              (std::vector<bool>{true, false, false, false, false, false, false, false, false}));
    EXPECT_TRUE(chart.ShowTestResult(points, 4, {}).points[3].outside);
    EXPECT_FALSE(chart.ShowTestResult(points, 4, {1.0, 1.0, 3.5}).points[3].outside);
}

} // namespace
} // namespace quell
