#pragma once

#include "IndicatorColors.h"
#include "IndicatorOptions.h"
#include "IndicatorScene.h"

#include <QBrush>
#include <QImage>

#include <cstdint>
#include <vector>

// Paints an indicator scene into a back buffer. Background, bevels and the unlit elements are
// kept as a finished layer, so a new text costs one copy of that layer and one fill of the lit
// elements.
class IndicatorRenderer {
public:
    // Forgets the finished layer; call after any change other than which elements are lit.
    void invalidate();

    // The picture of scene with the elements of lit drawn lit (in the hover colour when
    // hoverColor), redrawing only what changed since the previous call.
    const QImage& render(const IndicatorScene& scene, const IndicatorOptions& options,
                         const MaterialShades& shades, bool hoverColor,
                         const std::vector<std::uint64_t>& lit);

private:
    void renderLayer(const IndicatorScene& scene, const IndicatorOptions& options,
                     const MaterialShades& shades);

    QImage layer_;
    QImage image_;
    QBrush litBrush_;
    std::vector<std::uint64_t> drawnLit_;
    bool layerValid_ = false;
    bool imageValid_ = false;
    bool hoverColor_ = false;
};
