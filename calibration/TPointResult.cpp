#include "calibration/TPointResult.h"

namespace quell {

void SetExpected(TTestPoints& points, const TExpectedTable& expected)
{
    for (std::size_t row = 0; row < points.size(); ++row) {
        if (row == kUntestedRow) {
            continue;
        }
        for (std::size_t p = 0; p < points[row].size(); ++p) {
            points[row][p].Expected = expected[row][p];
        }
    }
}

} // namespace quell
