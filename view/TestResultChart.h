#pragma once

#include "calibration/TPointResult.h"
#include "calibration/TestLimits.h"

#include <optional>
#include <string_view>
#include <vector>

namespace quell {

// The items of "Rezultat" in order: Temp1, Temp2, EMC1, EMC2, Drvo, Drvo sve.
inline constexpr int kResultItems = 6;

// The label of a test point (1..9) of a recipe row (0..6) under the result chart.
std::string_view testPointLabel(int row, int point);

// How the result chart draws a row: readings against expected values, or deviations.
enum class ResultChartMode { Line, Error };

// One drawn point: its label, what the series get, and whether the window marks it.
struct ResultChartPoint {
    int point = 0; // 1..9
    std::string_view label;
    double measured = 0.0;  // measured value, as the board shows it (Line: "Temp1M")
    double expected = 0.0;  // expected value (Line: "Temp1O")
    double deviation = 0.0; // percent, as stored in the record (Error: "Odstup1")
    bool outside = false;   // measured, and outside the row's limit
    bool done = false;      // measured by a test (the record's Done)
};

// What the result chart shows of one row.
struct ResultChart {
    int row = 0;
    ResultChartMode mode = ResultChartMode::Line;
    // Points 1..8, and the open point 9 except for "Drvo sve", whose open point is measured and
    // stored but not drawn.
    std::vector<ResultChartPoint> points;
    // Line: the left axis scales itself. Error: it runs from -axisRange to +axisRange.
    bool axisFixed = false;
    double axisRange = 0.0;
};

// The result chart without its widgets: which row an item of "Rezultat" shows, what the series
// get in either mode of the popup ("Line", "Error"), and which points lie outside the limits.
// The window copies the numbers into its series. GUI thread.
class TestResultChart {
public:
    // The mode chosen in the popup ("Line" at start).
    ResultChartMode mode() const { return mode_; }
    // "Line" or "Error" chosen; the window then redraws with RefreshResult.
    void setMode(ResultChartMode mode) { mode_ = mode; }

    // The row an item of "Rezultat" shows: 0 Temp1 (row 1), 1 Temp2 (3), 2 EMC1 (0), 3 EMC2 (2),
    // 4 Drvo (4), 5 Drvo sve (6); nothing for any other index.
    static std::optional<int> resultRow(int itemIndex);

    // The chart of a row (0..6) in the current mode. In Error mode the deviations of points
    // 1..9 are first recomputed from measured and expected values and stored back into points;
    // the axis reaches the largest of them in size, but never beyond 2 %.
    ResultChart ShowTestResult(TTestPoints& points, int row, const TestLimits& limits) const;

    // An item of "Rezultat" clicked: its chart, or nothing for an index without one.
    std::optional<ResultChart> RGResultClick(int itemIndex, TTestPoints& points,
                                             const TestLimits& limits) const;

    // Redraws the selected item (itemIndex, -1 when none is) by selecting its neighbour and then
    // the item again, as the radio group does: the chart left is that of the item, or with no
    // item selected that of "Temp1". Nothing when neither has a chart.
    std::optional<ResultChart> RefreshResult(int itemIndex, TTestPoints& points,
                                             const TestLimits& limits) const;

private:
    ResultChartMode mode_ = ResultChartMode::Line;
};

} // namespace quell
