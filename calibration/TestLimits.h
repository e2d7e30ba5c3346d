#pragma once

#include "calibration/TPointResult.h"

#include <cmath>
#include <cstdint>

namespace quell {

// How far a tested point may lie from its expected value. The temperature rows get an absolute
// limit, because their expected values run through 0 °C where a percentage means nothing; EMC
// and wood get a limit in percent of the expected value. Plain C++, so the view's chart model
// marks the same points the tests judge.
struct TestLimits {
    double temperature = 0.5; // °C, Temp 1 and Temp 2
    double emc = 2.0;         // percent, EMC 1 and EMC 2
    double wood = 3.0;        // percent, every wood row
    friend bool operator==(const TestLimits&, const TestLimits&) = default;
};

// Which limit a recipe row is judged by.
enum class LimitKind { Temperature, Emc, Wood };

// The limit kind of a recipe row (0..6).
constexpr LimitKind limitKind(int row)
{
    if (row == 1 || row == 3)
        return LimitKind::Temperature;
    if (row == 0 || row == 2)
        return LimitKind::Emc;
    return LimitKind::Wood;
}

// The deviation of a test point in percent: (expected - measured) * 100 / expected, an expected
// of 0 counting as 0.1 so that the open point of a channel expected at zero still gets a number.
inline double testDeviation(std::int16_t expected, std::int16_t measured)
{
    const double base = expected == 0 ? 0.1 : static_cast<double>(expected);
    return (static_cast<double>(expected) - static_cast<double>(measured)) * 100.0 / base;
}

// Whether a reading (times 100) lies within the row's limit of the expected value (times 100):
// temperature by |measured - expected| / 100 in °C, the others by |deviation| in percent. A
// reading exactly on the limit is within it.
inline bool withinLimits(int row, std::int16_t expected, std::int16_t measured,
                         const TestLimits& limits)
{
    switch (limitKind(row)) {
    case LimitKind::Temperature:
        return std::abs(static_cast<double>(measured) - static_cast<double>(expected)) / 100.0
               <= limits.temperature;
    case LimitKind::Emc:
        return std::abs(testDeviation(expected, measured)) <= limits.emc;
    case LimitKind::Wood:
        break;
    }
    return std::abs(testDeviation(expected, measured)) <= limits.wood;
}

// The same for a test record, from its measured and expected values (the stored deviation may
// come from a file and is not trusted).
inline bool withinLimits(int row, const TPointResult& point, const TestLimits& limits)
{
    return withinLimits(row, point.Expected, point.New, limits);
}

} // namespace quell
