#pragma once

#include <QChar>

#include <array>
#include <cstdint>

// The 5×7 dot-matrix font of the indicator.
namespace DotMatrixFont {

// Seven rows, top first; bit 4 of a row is the left column, bit 0 the right one.
using Glyph = std::array<std::uint8_t, 7>;

// The glyph of ch; characters outside "!".."~" and the grave accent are blank.
Glyph glyph(QChar ch);

// Whether the dot at row (0..6, top first) and column (0..4, left first) of ch is lit.
bool dotLit(QChar ch, int row, int column);

} // namespace DotMatrixFont
