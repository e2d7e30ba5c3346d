#pragma once

#include <array>
#include <cstdint>

namespace quell {

// One calibration or test point of a channel. In a calibration the window keeps the constant
// before the run (Old) and the last accepted reading (New); in a test, New is the measured value
// and Expected the value the settings promise, both times 100, with the deviation in percent.
// The check box a calibration point is bound to stays with the window that owns the boxes.
struct TPointResult {
    std::int16_t Old = 0;
    std::int16_t New = 0;
    std::int16_t Expected = 0;
    double Deviation = 0.0;
    std::uint8_t Done = 0;
    friend bool operator==(const TPointResult&, const TPointResult&) = default;
};

// Channel rows of the calibration recipe: EMC 1, Temp 1, EMC 2, Temp 2, Drvo, Drvo (deep),
// Drvo sve.
inline constexpr int kRecipeRows = 7;
// Points of a test row: eight references and the open input.
inline constexpr int kTestPointsPerRow = 9;
// The row the tests never measure and the settings never fill.
inline constexpr int kUntestedRow = 5;

// Test results, [row][point - 1].
using TTestPoints = std::array<std::array<TPointResult, kTestPointsPerRow>, kRecipeRows>;
// Expected values by row and point, as the settings give them.
using TExpectedTable = std::array<std::array<std::int16_t, kTestPointsPerRow>, kRecipeRows>;

// Puts the expected values into every tested row; measured values and the untested row stay.
void SetExpected(TTestPoints& points, const TExpectedTable& expected);

} // namespace quell
