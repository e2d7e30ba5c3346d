#include "IndicatorRenderer.h"

#include <QPainter>

namespace {

// A material as a brush anchored at the control's top-left corner, either stretched over the
// whole control or repeated at its own size.
QBrush materialBrush(const QImage& material, Vm::TVMMaterialMode mode, const QSize& control)
{
    if (mode == Vm::mmTile)
        return QBrush(material);
    return QBrush(material.scaled(control, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

} // namespace

void IndicatorRenderer::invalidate()
{
    layerValid_ = false;
    imageValid_ = false;
}

void IndicatorRenderer::renderLayer(const IndicatorScene& scene, const IndicatorOptions& options,
                                    const MaterialShades& shades)
{
    const QSize control = scene.controlSize();
    layer_ = QImage(control.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&layer_);
    const bool material = !options.backMaterial.isNull();
    if (material)
        painter.fillRect(layer_.rect(),
                         materialBrush(options.backMaterial, options.materialMode, control));
    else
        painter.fillRect(layer_.rect(), options.backColor);

    // Bevel faces meet on diagonals; without smoothing they join without a seam.
    const QBrush light = material ? materialBrush(shades.light, options.materialMode, control)
                                  : QBrush(IndicatorColors::shaded(options.bevelColor, 32));
    const QBrush dark = material ? materialBrush(shades.dark, options.materialMode, control)
                                 : QBrush(IndicatorColors::shaded(options.bevelColor, -32));
    painter.setPen(Qt::NoPen);
    for (const IndicatorScene::Face& face : scene.bevelFaces()) {
        painter.setBrush(face.light ? light : dark);
        painter.drawPolygon(face.polygon);
    }

    // Every element goes in unlit first; the lit ones are painted over it per text.
    painter.setRenderHint(QPainter::Antialiasing);
    const QBrush unlit = material ? materialBrush(shades.shadow, options.materialMode, control)
                                  : QBrush(options.numberBackColor);
    painter.fillPath(scene.elementPath({}, false), unlit);
    painter.end();

    litBrush_ = options.foreMaterial.isNull()
                    ? QBrush(options.numberForeColor)
                    : materialBrush(options.foreMaterial, options.foreMaterialMode, control);
    layerValid_ = true;
}

const QImage& IndicatorRenderer::render(const IndicatorScene& scene,
                                        const IndicatorOptions& options,
                                        const MaterialShades& shades, bool hoverColor,
                                        const std::vector<std::uint64_t>& lit)
{
    if (!layerValid_)
        renderLayer(scene, options, shades);
    else if (imageValid_ && hoverColor == hoverColor_ && lit == drawnLit_)
        return image_;
    image_ = layer_;
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(scene.elementPath(lit, true),
                     hoverColor ? QBrush(options.numberForeColor1) : litBrush_);
    painter.end();
    drawnLit_ = lit;
    hoverColor_ = hoverColor;
    imageValid_ = true;
    return image_;
}
