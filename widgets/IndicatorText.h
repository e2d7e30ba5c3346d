#pragma once

#include "widgets/IndicatorTypes.h"

#include <QChar>
#include <QString>

#include <cstdint>
#include <vector>

// One character cell of the display: the character it shows and, for the segment kinds,
// whether its decimal point is lit.
struct IndicatorCell {
    QChar ch = QLatin1Char(' ');
    bool point = false;

    // Cells are equal when they show the same character and point.
    bool operator==(const IndicatorCell&) const = default;
};

// How a text fills the character cells, and which elements of a cell are lit.
namespace IndicatorText {

// Exactly count cells (none for count <= 0) showing text right-aligned, blanks on the left.
// In the segment kinds a "." or "," right after another character lights that character's point
// instead of taking a cell; a text needing more cells than count shows its first count cells.
std::vector<IndicatorCell> cells(const QString& text, int count, Vm::TVMIndicatorKind kind);

// Bit n set when element n of the cell is lit: segment n for the segment kinds (see
// SegmentPatterns::Segment), dot row * 5 + column for the dot matrix.
std::uint64_t litElements(const IndicatorCell& cell, Vm::TVMIndicatorKind kind);

} // namespace IndicatorText
