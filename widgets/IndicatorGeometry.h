#pragma once

#include "widgets/IndicatorOptions.h"
#include "widgets/SegmentPatterns.h"

#include <QPolygonF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QTransform>

#include <array>

// Where things go on the display, in plain functions that need no painting. Unless a function
// says otherwise, coordinates are in the display's own unrotated frame: (0, 0) is its top-left
// corner and it is indicatorWidth × indicatorHeight pixels.
namespace IndicatorGeometry {

// Edges of the display; a bevel has one face per edge.
enum Side { Top, Right, Bottom, Left };

// Distance from the display's edge to the character cells: the gap plus the bevels drawn.
int cellMargin(const IndicatorOptions& options);

// Cell index (0-based, left first) of options.signNumber cells; what the integer division of the
// width leaves over stays at the right. Where the margins leave no room the cells fill the
// display in that direction.
QRect cellRect(const IndicatorOptions& options, int index);

// Segment thickness in a cell of that size; thickened while the pointer asks for it. Never more
// than 40 % of the shortest bar, so tiny cells stay legible.
double segmentThickness(const QSizeF& cell, Vm::TVMIndicatorStyle style, bool thickened);

// The outline of every segment of a seven- or nine-segment cell, indexed by
// SegmentPatterns::Segment; the colon dots stay empty for the seven-segment kind.
std::array<QPolygonF, SegmentPatterns::SegmentCount>
segmentPolygons(const QRectF& cell, Vm::TVMIndicatorKind kind, double thickness);

// The 35 dots of a matrix cell, row by row from the top, left column first.
std::array<QRectF, 35> dotRects(const QRectF& cell, Vm::TVMIndicatorStyle style, bool thickened);

// The four faces (Top, Right, Bottom, Left) of a bevel of that width inside outer.
std::array<QPolygonF, 4> bevelFaces(const QRectF& outer, double width);

// Whether the face on that side of the display faces up or left on screen once the display is
// turned by angle (tenths of a degree, counter-clockwise); such faces catch the light.
bool facesLight(Side side, int angle);

// Size of the box around a display of that size turned by angle (tenths of a degree).
QSize rotatedBoundingBox(const QSize& display, int angle);

// Maps the display frame into a control of the given size: turned counter-clockwise by angle
// (tenths of a degree) about the display's centre, and centred in the control.
QTransform displayToControl(const QSize& display, int angle, const QSize& control);

} // namespace IndicatorGeometry
