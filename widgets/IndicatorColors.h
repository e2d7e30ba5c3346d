#pragma once

#include "widgets/IndicatorTypes.h"

#include <QColor>
#include <QImage>

#include <cstdint>

// The five colours a colour scheme sets.
struct SchemeColors {
    QColor backColor;
    QColor bevelColor;
    QColor numberBackColor;
    QColor numberForeColor;
    QColor numberForeColor1;
};

// The copies of a background material that bevels and unlit segments are drawn with.
struct MaterialShades {
    QImage dark;   // bevel faces in the shade
    QImage light;  // bevel faces in the light
    QImage shadow; // unlit segments
};

// Colour arithmetic of the indicator: schemes, bevel shades and material copies.
namespace IndicatorColors {

// Converts a colour written the Windows way, 0xBBGGRR, into a QColor.
QColor fromBgr(std::uint32_t bgr);

// The five colours of the given scheme.
SchemeColors scheme(Vm::TVMColorScheme scheme);

// The colour with delta added to each of its red, green and blue channels, clamped to 0..255.
QColor shaded(const QColor& color, int delta);

// An opaque 32-bit copy of image with delta added to every channel, clamped to 0..255;
// a null image gives a null image.
QImage shadedImage(const QImage& image, int delta);

// The three copies of back: darker by 64, lighter by 64, and the shadow copy darker or lighter
// by 32 or unchanged, per mode. All null for a null back.
MaterialShades materialShades(const QImage& back, Vm::TVMMaterialShadowMode mode);

} // namespace IndicatorColors
