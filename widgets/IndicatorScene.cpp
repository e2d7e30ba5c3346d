#include "widgets/IndicatorScene.h"

#include "widgets/IndicatorGeometry.h"

namespace {

bool bitSet(const std::vector<std::uint64_t>& bits, std::size_t cell, std::size_t element)
{
    return cell < bits.size() && ((bits[cell] >> element) & 1u);
}

} // namespace

IndicatorScene::IndicatorScene(const IndicatorOptions& options, bool thickened,
                               const QSize& control)
    : control_(control)
{
    namespace G = IndicatorGeometry;
    const QSize display(options.indicatorWidth, options.indicatorHeight);
    const QTransform toControl = G::displayToControl(display, options.indicatorAngle, control);
    QRectF edge(QPointF(0, 0), QSizeF(display));
    shape_ = toControl.map(QPolygonF(edge));

    auto addBevel = [&](Vm::TVMBevelKind kind, int width) {
        if (kind == Vm::bkNone)
            return;
        const auto polygons = G::bevelFaces(edge, width);
        for (int side = G::Top; side <= G::Left; ++side) {
            const bool up = G::facesLight(G::Side(side), options.indicatorAngle);
            faces_.push_back(
                {toControl.map(polygons[std::size_t(side)]), kind == Vm::bkUP ? up : !up});
        }
        edge.adjust(width, width, -width, -width);
    };
    addBevel(options.outerBevel, options.outerBevelWidth);
    addBevel(options.innerBevel, options.innerBevelWidth);

    const int count = std::max(0, options.signNumber);
    cells_.resize(std::size_t(count));
    for (int k = 0; k < count; ++k) {
        const QRectF cell = G::cellRect(options, k);
        std::vector<QPolygonF>& elements = cells_[std::size_t(k)];
        if (options.indicatorKind == Vm::ik5x7matrix) {
            for (const QRectF& dot : G::dotRects(cell, options.indicatorStyle, thickened))
                elements.push_back(toControl.map(QPolygonF(dot)));
        } else {
            const double thickness =
                G::segmentThickness(cell.size(), options.indicatorStyle, thickened);
            for (const QPolygonF& segment :
                 G::segmentPolygons(cell, options.indicatorKind, thickness))
                elements.push_back(toControl.map(segment));
        }
    }
}

QPainterPath IndicatorScene::elementPath(const std::vector<std::uint64_t>& lit, bool wantLit) const
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (std::size_t k = 0; k < cells_.size(); ++k)
        for (std::size_t e = 0; e < cells_[k].size(); ++e)
            if (!cells_[k][e].isEmpty() && bitSet(lit, k, e) == wantLit)
                path.addPolygon(cells_[k][e]);
    return path;
}

QRegion IndicatorScene::drawnRegion(const std::vector<std::uint64_t>& lit, bool includeUnlit) const
{
    QRegion region;
    for (const Face& face : faces_)
        region += QRegion(face.polygon.toPolygon());
    for (std::size_t k = 0; k < cells_.size(); ++k)
        for (std::size_t e = 0; e < cells_[k].size(); ++e)
            if (!cells_[k][e].isEmpty() && (includeUnlit || bitSet(lit, k, e)))
                region += QRegion(cells_[k][e].toPolygon());
    return region;
}
