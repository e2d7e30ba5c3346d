#include "widgets/IndicatorGeometry.h"

#include <QLineF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace IndicatorGeometry {

namespace {

double radians(int angle)
{
    return angle / 10.0 * std::numbers::pi / 180.0;
}

// A bar from p0 to p1 with pointed ends, so that bars meeting at a corner leave a mitred gap
// between them the way the segments of a real glass do.
QPolygonF bar(const QPointF& p0, const QPointF& p1, double thickness)
{
    const QLineF line(p0, p1);
    const double length = line.length();
    if (length <= 0.0)
        return {};
    const QPointF along = (p1 - p0) / length;
    const QPointF across(-along.y(), along.x());
    const double gap = std::max(0.5, thickness * 0.15);
    const double half = thickness / 2.0;
    // The point only has to keep the neighbour's point on its side of the corner's bisector;
    // anything longer eats into short bars.
    const double reach = std::clamp(half - gap / 2.0, 0.0, std::max(0.0, length / 2.0 - gap));
    const QPointF tip0 = p0 + along * gap;
    const QPointF tip1 = p1 - along * gap;
    const QPointF shoulder0 = tip0 + along * reach;
    const QPointF shoulder1 = tip1 - along * reach;
    return QPolygonF({tip0, shoulder0 + across * half, shoulder1 + across * half, tip1,
                      shoulder1 - across * half, shoulder0 - across * half});
}

// A small six-cornered mark between x0 and x1, pointed left and right, centred on y.
QPolygonF mark(double x0, double x1, double y, double height)
{
    const double cut = std::min((x1 - x0) / 3.0, height / 4.0);
    const double half = height / 2.0;
    return QPolygonF({QPointF(x0, y), QPointF(x0 + cut, y - half), QPointF(x1 - cut, y - half),
                      QPointF(x1, y), QPointF(x1 - cut, y + half), QPointF(x0 + cut, y + half)});
}

} // namespace

int cellMargin(const IndicatorOptions& options)
{
    int margin = options.indicatorGap;
    if (options.outerBevel != Vm::bkNone)
        margin += options.outerBevelWidth;
    if (options.innerBevel != Vm::bkNone)
        margin += options.innerBevelWidth;
    return margin;
}

QRect cellRect(const IndicatorOptions& options, int index)
{
    const int margin = cellMargin(options);
    const int count = std::max(1, options.signNumber);
    // When the margins leave no room (or a negative gap leaves too much), the cells take the
    // whole display in that direction, and then they also start at its edge rather than at
    // the margin, which would push them past the far edge.
    int top = margin;
    int height = options.indicatorHeight - 2 * margin;
    if (height < 1 || height > options.indicatorHeight) {
        height = options.indicatorHeight;
        top = 0;
    }
    int left = margin;
    int width = (options.indicatorWidth - 2 * margin) / count;
    if (width < 1 || width > options.indicatorWidth) {
        width = options.indicatorWidth / count;
        left = 0;
    }
    return QRect(left + index * width, top, width, height);
}

double segmentThickness(const QSizeF& cell, Vm::TVMIndicatorStyle style, bool thickened)
{
    const double side = std::min(cell.width(), cell.height());
    double thickness = 0;
    switch (style) {
    case Vm::isThin:
        thickness = std::max(2.0, side / (thickened ? 6.0 : 8.0));
        break;
    case Vm::isNormal:
        thickness = std::max(3.0, side / (thickened ? 5.0 : 6.0));
        break;
    case Vm::isThick:
        thickness = std::max(4.0, side / (thickened ? 4.5 : 5.0));
        break;
    }
    // In a squat little cell the floors above would turn every bar into a diamond and "1" into
    // ":"; no bar may be thicker than 40 % of the length of the shortest one.
    const double shortestBar = std::min(3.0 * cell.height() / 8.0, 4.5 * cell.width() / 8.0);
    return std::min(thickness, std::max(1.0, shortestBar / 2.5));
}

std::array<QPolygonF, SegmentPatterns::SegmentCount>
segmentPolygons(const QRectF& cell, Vm::TVMIndicatorKind kind, double thickness)
{
    using namespace SegmentPatterns;
    const double u = cell.width() / 8.0;
    const double v = cell.height() / 8.0;
    // The figure leans right: both vertical edges move u to the left over the six rows v..7v.
    auto at = [&](double x, double row) {
        const double lean = (row - 1.0) / 6.0 * u;
        return QPointF(cell.left() + x - lean, cell.top() + row * v);
    };
    const QPointF topLeft = at(2 * u, 1), topRight = at(6.5 * u, 1);
    const QPointF midLeft = at(2 * u, 4), midRight = at(6.5 * u, 4);
    const QPointF bottomLeft = at(2 * u, 7), bottomRight = at(6.5 * u, 7);

    std::array<QPolygonF, SegmentCount> polygons;
    polygons[SegA] = bar(topLeft, topRight, thickness);
    polygons[SegB] = bar(topRight, midRight, thickness);
    polygons[SegC] = bar(midRight, bottomRight, thickness);
    polygons[SegD] = bar(bottomLeft, bottomRight, thickness);
    polygons[SegE] = bar(midLeft, bottomLeft, thickness);
    polygons[SegF] = bar(topLeft, midLeft, thickness);
    polygons[SegG] = bar(midLeft, midRight, thickness);
    const double baseline = cell.top() + 7 * v;
    // The point sits right of the lower-right bar's outer edge, not on its tip, so "1." never
    // reads as a bent "1"; bold hovered segments would push it into the next cell, so it stops
    // at the border.
    const double gap = std::max(0.5, thickness * 0.15);
    const double pointLeft = cell.left() + 5.5 * u + thickness / 2.0 + gap;
    const double pointRight = std::min(pointLeft + 1.25 * thickness, cell.right());
    polygons[SegPoint] =
        mark(std::min(pointLeft, pointRight - 1.0), pointRight, baseline, thickness);
    if (kind == Vm::ik9segment) {
        // The dots keep clear of the bars around them, however bold those are.
        const double room = std::min(3.0 * v - thickness, 4.5 * u - thickness) - 1.0;
        const double dot = std::max(1.0, std::min(thickness * 4.0 / 3.0, room));
        const double upperX = cell.left() + 4.0 * u, upperY = cell.top() + 2.5 * v;
        const double lowerX = cell.left() + 3.5 * u, lowerY = cell.top() + 5.5 * v;
        polygons[SegColonUpper] = mark(upperX - dot / 2, upperX + dot / 2, upperY, dot);
        polygons[SegColonLower] = mark(lowerX - dot / 2, lowerX + dot / 2, lowerY, dot);
    }
    return polygons;
}

std::array<QRectF, 35> dotRects(const QRectF& cell, Vm::TVMIndicatorStyle style, bool thickened)
{
    const double inset = std::round(cell.width() / 16.0) + 1.0;
    const double pitchX = (cell.width() - 2.0 * inset) / 5.0;
    const double pitchY = cell.height() / 7.0;
    double factor = 0.75, minimum = 2.5;
    if (style == Vm::isThin) {
        factor = 2.0 / 3.0;
        minimum = 1.5;
    } else if (style == Vm::isThick) {
        factor = 1.0;
        minimum = 3.5;
    }
    double sizeX = std::max(minimum, pitchX * factor - 1.0);
    double sizeY = std::max(minimum, pitchY * factor - 1.0);
    if (thickened) {
        // The pointer makes dots bolder, never thinner: an eighth of a pitch more, while at least
        // half a pixel still separates neighbours.
        sizeX = std::max(sizeX, std::min(sizeX + pitchX / 8.0, pitchX - 0.5));
        sizeY = std::max(sizeY, std::min(sizeY + pitchY / 8.0, pitchY - 0.5));
    }
    std::array<QRectF, 35> dots;
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 5; ++column) {
            const double x = cell.left() + inset + column * pitchX + (pitchX - sizeX) / 2.0;
            const double y = cell.top() + row * pitchY + (pitchY - sizeY) / 2.0;
            dots[std::size_t(row) * 5 + std::size_t(column)] = QRectF(x, y, sizeX, sizeY);
        }
    return dots;
}

std::array<QPolygonF, 4> bevelFaces(const QRectF& outer, double width)
{
    const QRectF inner = outer.adjusted(width, width, -width, -width);
    return {
        QPolygonF({outer.topLeft(), outer.topRight(), inner.topRight(), inner.topLeft()}),
        QPolygonF({outer.topRight(), outer.bottomRight(), inner.bottomRight(), inner.topRight()}),
        QPolygonF(
            {outer.bottomRight(), outer.bottomLeft(), inner.bottomLeft(), inner.bottomRight()}),
        QPolygonF({outer.bottomLeft(), outer.topLeft(), inner.topLeft(), inner.bottomLeft()}),
    };
}

bool facesLight(Side side, int angle)
{
    static constexpr double kNormals[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    const double a = radians(angle);
    const double nx = kNormals[side][0], ny = kNormals[side][1];
    // Turned counter-clockwise on a screen whose y axis points down.
    const double sx = nx * std::cos(a) + ny * std::sin(a);
    const double sy = -nx * std::sin(a) + ny * std::cos(a);
    const double towardsLight = -sx - sy; // the light comes from the top-left
    if (std::abs(towardsLight) > 1e-6)
        return towardsLight > 0;
    // A face turned exactly along the diagonal counts as lit when it faces up.
    return sy < 0;
}

QSize rotatedBoundingBox(const QSize& display, int angle)
{
    const double a = radians(angle);
    const double c = std::abs(std::cos(a)), s = std::abs(std::sin(a));
    return QSize(int(std::lround(c * display.width() + s * display.height())),
                 int(std::lround(s * display.width() + c * display.height())));
}

QTransform displayToControl(const QSize& display, int angle, const QSize& control)
{
    const double a = radians(angle);
    const double c = std::cos(a), s = std::sin(a);
    const double cx = display.width() / 2.0, cy = display.height() / 2.0;
    const double tx = control.width() / 2.0, ty = control.height() / 2.0;
    // x' = c·(x − cx) + s·(y − cy) + tx, y' = −s·(x − cx) + c·(y − cy) + ty
    return QTransform(c, -s, s, c, tx - c * cx - s * cy, ty + s * cx - c * cy);
}

} // namespace IndicatorGeometry
