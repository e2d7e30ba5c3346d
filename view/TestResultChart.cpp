#include "view/TestResultChart.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quell {

namespace {

constexpr std::array<std::string_view, kTestPointsPerRow> kResistorLabels{
    "10K", "100K", "1M", "10M", "100M", "1G", "10G", "100G", "x"};
constexpr std::array<std::string_view, kTestPointsPerRow> kTemperatureLabels{
    "ks", "-25", "0", "25", "50", "75", "100", "150", "x"};
// "Drvo sve" reads all eight wood inputs on the same reference.
constexpr std::array<std::string_view, kTestPointsPerRow> kAllWoodLabels{
    "1G", "1G", "1G", "1G", "1G", "1G", "1G", "1G", "x"};

constexpr int kAllWoodRow = 6;
// The error axis never reaches beyond this, however far a point lies off.
constexpr double kWidestErrorAxis = 2.0;

TPointResult& record(TTestPoints& points, int row, int point)
{
    return points[static_cast<std::size_t>(row)][static_cast<std::size_t>(point - 1)];
}

} // namespace

std::string_view testPointLabel(int row, int point)
{
    if (point < 1 || point > kTestPointsPerRow)
        return {};
    const auto p = static_cast<std::size_t>(point - 1);
    if (row == 1 || row == 3)
        return kTemperatureLabels[p];
    if (row == kAllWoodRow)
        return kAllWoodLabels[p];
    return kResistorLabels[p];
}

std::optional<int> TestResultChart::resultRow(int itemIndex)
{
    constexpr std::array<int, kResultItems> kRows{1, 3, 0, 2, 4, 6};
    if (itemIndex < 0 || itemIndex >= kResultItems)
        return std::nullopt;
    return kRows[static_cast<std::size_t>(itemIndex)];
}

ResultChart TestResultChart::ShowTestResult(TTestPoints& points, int row,
                                            const TestLimits& limits) const
{
    ResultChart chart;
    chart.row = row;
    chart.mode = mode_;
    if (row < 0 || row >= kRecipeRows)
        return chart;
    if (mode_ == ResultChartMode::Error) {
        double widest = 0.0;
        for (int k = 1; k <= kTestPointsPerRow; ++k) {
            TPointResult& p = record(points, row, k);
            p.Deviation = testDeviation(p.Expected, p.New);
            widest = std::max(widest, std::abs(p.Deviation));
        }
        chart.axisFixed = true;
        chart.axisRange = std::min(widest, kWidestErrorAxis);
    }
    const int drawn = row == kAllWoodRow ? kTestPointsPerRow - 1 : kTestPointsPerRow;
    for (int k = 1; k <= drawn; ++k) {
        const TPointResult& p = record(points, row, k);
        ResultChartPoint point;
        point.point = k;
        point.label = testPointLabel(row, k);
        point.measured = p.New / 100.0;
        point.expected = p.Expected / 100.0;
        point.deviation = p.Deviation;
        point.outside = p.Done != 0 && !withinLimits(row, p, limits);
        point.done = p.Done != 0;
        chart.points.push_back(point);
    }
    return chart;
}

std::optional<ResultChart> TestResultChart::RGResultClick(int itemIndex, TTestPoints& points,
                                                          const TestLimits& limits) const
{
    const std::optional<int> row = resultRow(itemIndex);
    if (!row)
        return std::nullopt;
    return ShowTestResult(points, *row, limits);
}

std::optional<ResultChart> TestResultChart::RefreshResult(int itemIndex, TTestPoints& points,
                                                          const TestLimits& limits) const
{
    // The group fires a click for the neighbour and one for the item itself; in Error mode both
    // store their recomputed deviations.
    const int neighbour = itemIndex <= 0 ? itemIndex + 1 : itemIndex - 1;
    std::optional<ResultChart> shown = RGResultClick(neighbour, points, limits);
    if (std::optional<ResultChart> own = RGResultClick(itemIndex, points, limits))
        shown = std::move(own);
    return shown;
}

} // namespace quell
