#pragma once

#include "widgets/IndicatorTypes.h"

#include <QChar>

#include <cstdint>

// Which segments of a seven- or nine-segment cell a character lights.
namespace SegmentPatterns {

// Element indices of a segment cell; bit n of a pattern lights element n.
enum Segment {
    SegE,          // lower left
    SegF,          // upper left
    SegA,          // top
    SegB,          // upper right
    SegC,          // lower right
    SegD,          // bottom
    SegG,          // middle
    SegColonUpper, // nine-segment only
    SegColonLower, // nine-segment only
    SegPoint,      // decimal point
    SegmentCount
};

// The segments ch lights in a cell of the given kind; characters without a pattern light none.
// The decimal point is lit only by "." and ","; a point joined to a character is added by the
// caller.
std::uint32_t pattern(QChar ch, Vm::TVMIndicatorKind kind);

} // namespace SegmentPatterns
