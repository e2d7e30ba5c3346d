#pragma once

#include "widgets/IndicatorColors.h"
#include "widgets/IndicatorOptions.h"
#include "widgets/IndicatorScene.h"

#include <QImage>
#include <QRect>

#include <cstdint>
#include <vector>

// Paints an indicator scene into a back buffer. Background, bevels and the unlit elements are
// kept as a finished layer, and the smoothed outline of every element as a coverage mask, so a
// new text costs one copy of the layer and one blend per lit element: no path is rasterised.
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
    // How much of each pixel of rect an element covers, 0..255, row by row.
    struct Coverage {
        QRect rect;
        std::vector<std::uint8_t> alpha;
    };

    void renderLayer(const IndicatorScene& scene, const IndicatorOptions& options,
                     const MaterialShades& shades);
    void blend(const Coverage& coverage, const QImage& source);

    QImage layer_;
    QImage image_;
    QImage litSource_;   // what lit elements show: NumberForeColor or ForeMaterial
    QImage hoverSource_; // NumberForeColor1 all over
    std::vector<std::vector<Coverage>> coverage_;
    std::vector<std::uint64_t> drawnLit_;
    bool layerValid_ = false;
    bool imageValid_ = false;
    bool hoverColor_ = false;
};
