#pragma once

#include "widgets/IndicatorOptions.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QRegion>
#include <QSize>

#include <cstdint>
#include <vector>

// Every outline of one indicator in control coordinates (turned and centred), built once per
// layout so that a text change only has to pick which elements are lit.
class IndicatorScene {
public:
    // One face of a bevel and whether it is drawn in the light shade.
    struct Face {
        QPolygonF polygon;
        bool light = false;
    };

    // An empty scene: nothing to draw.
    IndicatorScene() = default;

    // Lays out a display with these options in a control of that size; thickened while the
    // pointer asks for bolder segments or dots.
    IndicatorScene(const IndicatorOptions& options, bool thickened, const QSize& control);

    // Size of the control the scene was laid out in.
    QSize controlSize() const { return control_; }

    // The turned display rectangle: the shape the control takes.
    const QPolygonF& shape() const { return shape_; }

    // The faces of both bevels, outer first; none for a bevel of kind bkNone.
    const std::vector<Face>& bevelFaces() const { return faces_; }

    // Number of character cells.
    int cellCount() const { return int(cells_.size()); }

    // Outlines of the elements (segments or dots) of a cell, indexed like IndicatorText bits.
    const std::vector<QPolygonF>& elements(int cell) const { return cells_[std::size_t(cell)]; }

    // The elements whose bit in lit[cell] equals wantLit, as one path.
    QPainterPath elementPath(const std::vector<std::uint64_t>& lit, bool wantLit) const;

    // The region drawn: the bevels, the lit elements and, with includeUnlit, the unlit ones.
    QRegion drawnRegion(const std::vector<std::uint64_t>& lit, bool includeUnlit) const;

private:
    QSize control_;
    QPolygonF shape_;
    std::vector<Face> faces_;
    std::vector<std::vector<QPolygonF>> cells_;
};
