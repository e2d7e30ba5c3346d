#include "calibration/TPointResult.h"

#include <gtest/gtest.h>

namespace quell {
namespace {

TEST(TPointResult, SetExpectedFillsTheTestedRowsAndKeepsMeasurementsAndTheUntestedRow)
{
    TTestPoints points{};
    // A loaded record file may carry anything in the untested row and measured values elsewhere.
    points[kUntestedRow][3] = {7, 8, 9, 1.5, 1};
    points[0][0] = {1, 4150, 0, 1.19, 1};
    TExpectedTable expected{};
    for (std::size_t row = 0; row < expected.size(); ++row) {
        for (std::size_t p = 0; p < expected[row].size(); ++p) {
            expected[row][p] = static_cast<std::int16_t>(100 * row + p);
        }
    }
    SetExpected(points, expected);
    for (std::size_t row = 0; row < points.size(); ++row) {
        for (std::size_t p = 0; p < points[row].size(); ++p) {
            if (row == kUntestedRow) {
                continue;
            }
            EXPECT_EQ(points[row][p].Expected, expected[row][p]) << row << "," << p;
        }
    }
    EXPECT_EQ(points[kUntestedRow][3], (TPointResult{7, 8, 9, 1.5, 1}));
    EXPECT_EQ(points[0][0], (TPointResult{1, 4150, 0, 1.19, 1}));
}

} // namespace
} // namespace quell
