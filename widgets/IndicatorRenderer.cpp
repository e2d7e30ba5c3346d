#include "widgets/IndicatorRenderer.h"

#include <QPainter>

#include <cstring>

namespace {

// A material as a brush anchored at the control's top-left corner, either stretched over the
// whole control or repeated at its own size.
QBrush materialBrush(const QImage& material, Vm::TVMMaterialMode mode, const QSize& control)
{
    if (mode == Vm::mmTile)
        return QBrush(material);
    return QBrush(material.scaled(control, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

QImage filled(const QSize& size, const QBrush& brush)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter(&image).fillRect(image.rect(), brush);
    return image;
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
    const QSize control = scene.controlSize().expandedTo(QSize(1, 1));
    layer_ = QImage(control, QImage::Format_ARGB32_Premultiplied);
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

    // Every element goes in unlit; the lit ones are blended over it per text.
    painter.setRenderHint(QPainter::Antialiasing);
    const QBrush unlit = material ? materialBrush(shades.shadow, options.materialMode, control)
                                  : QBrush(options.numberBackColor);
    painter.fillPath(scene.elementPath({}, false), unlit);
    painter.end();

    litSource_ = filled(
        control, options.foreMaterial.isNull()
                     ? QBrush(options.numberForeColor)
                     : materialBrush(options.foreMaterial, options.foreMaterialMode, control));
    hoverSource_ = filled(control, QBrush(options.numberForeColor1));

    // Coverage masks: each element smoothed once, in a scratch image of its own bounds.
    coverage_.assign(std::size_t(scene.cellCount()), {});
    for (int k = 0; k < scene.cellCount(); ++k)
        for (const QPolygonF& element : scene.elements(k)) {
            Coverage coverage;
            coverage.rect = element.boundingRect().toAlignedRect() & layer_.rect();
            if (!element.isEmpty() && !coverage.rect.isEmpty()) {
                QImage scratch(coverage.rect.size(), QImage::Format_ARGB32_Premultiplied);
                scratch.fill(Qt::transparent);
                QPainter mask(&scratch);
                mask.setRenderHint(QPainter::Antialiasing);
                mask.translate(-coverage.rect.topLeft());
                mask.setPen(Qt::NoPen);
                mask.setBrush(Qt::white);
                mask.drawPolygon(element);
                mask.end();
                coverage.alpha.reserve(std::size_t(scratch.width())
                                       * std::size_t(scratch.height()));
                for (int y = 0; y < scratch.height(); ++y) {
                    const auto* line = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
                    for (int x = 0; x < scratch.width(); ++x)
                        coverage.alpha.push_back(std::uint8_t(qAlpha(line[x])));
                }
            }
            coverage_[std::size_t(k)].push_back(std::move(coverage));
        }
    layerValid_ = true;
}

void IndicatorRenderer::blend(const Coverage& coverage, const QImage& source)
{
    const QRect& r = coverage.rect;
    const std::uint8_t* alpha = coverage.alpha.data();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* dst = reinterpret_cast<QRgb*>(image_.scanLine(y)) + r.left();
        const auto* src = reinterpret_cast<const QRgb*>(source.constScanLine(y)) + r.left();
        for (int x = 0; x < r.width(); ++x, ++alpha) {
            const unsigned a = *alpha;
            if (a == 0)
                continue;
            if (a == 255) {
                dst[x] = src[x];
                continue;
            }
            // Both pixels are opaque, so mixing the channels is all smoothing needs.
            const unsigned b = 255 - a;
            const QRgb s = src[x], d = dst[x];
            dst[x] = qRgb(int((qRed(s) * a + qRed(d) * b + 127) / 255),
                          int((qGreen(s) * a + qGreen(d) * b + 127) / 255),
                          int((qBlue(s) * a + qBlue(d) * b + 127) / 255));
        }
    }
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
    // Reuse the buffer: the copy is one memcpy, not an allocation per text.
    if (image_.size() != layer_.size() || image_.format() != layer_.format())
        image_ = QImage(layer_.size(), layer_.format());
    std::memcpy(image_.bits(), layer_.constBits(), std::size_t(layer_.sizeInBytes()));
    const QImage& source = hoverColor ? hoverSource_ : litSource_;
    for (std::size_t k = 0; k < coverage_.size() && k < lit.size(); ++k)
        for (std::size_t e = 0; e < coverage_[k].size(); ++e)
            if ((lit[k] >> e) & 1u)
                blend(coverage_[k][e], source);
    drawnLit_ = lit;
    hoverColor_ = hoverColor;
    imageValid_ = true;
    return image_;
}
