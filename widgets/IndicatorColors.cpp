#include "widgets/IndicatorColors.h"

#include <algorithm>

namespace IndicatorColors {

QColor fromBgr(std::uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

SchemeColors scheme(Vm::TVMColorScheme scheme)
{
    // back, bevel, unlit, lit, lit under the pointer
    struct Row {
        std::uint32_t back, bevel, numberBack, numberFore, numberFore1;
    };
    static constexpr Row kRows[] = {
        {0xDDDDDD, 0xDDDDDD, 0xD3D3D3, 0x363636, 0x0000FF}, // csSilver
        {0x000000, 0xDDDDDD, 0x363636, 0xDDDDDD, 0x0000FF}, // csInvSilver
        {0xFFFFFF, 0xDDDDDD, 0xFFFFFF, 0x000000, 0x0000FF}, // csWhite
        {0x000000, 0x808080, 0x000000, 0xFFFFFF, 0x0080FF}, // csBlack
        {0x000080, 0x000080, 0x400080, 0x48BFFF, 0x80FFFF}, // csPlasma
        {0x48BFFF, 0x48BFFF, 0x57A3F7, 0x000080, 0x2747FC}, // csInvPlasma
        {0xA00000, 0xA00000, 0x804000, 0xDAF376, 0x00FFFF}, // csVORN
    };
    const int index = std::clamp(int(scheme), 0, int(std::size(kRows)) - 1);
    const Row& row = kRows[index];
    return {fromBgr(row.back), fromBgr(row.bevel), fromBgr(row.numberBack), fromBgr(row.numberFore),
            fromBgr(row.numberFore1)};
}

QColor shaded(const QColor& color, int delta)
{
    auto channel = [delta](int value) { return std::clamp(value + delta, 0, 255); };
    return QColor(channel(color.red()), channel(color.green()), channel(color.blue()));
}

QImage shadedImage(const QImage& image, int delta)
{
    if (image.isNull())
        return {};
    QImage result = image.convertToFormat(QImage::Format_RGB32);
    // A lookup table keeps this one pass of byte loads over the picture.
    std::uint8_t table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = std::uint8_t(std::clamp(i + delta, 0, 255));
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgb(table[qRed(p)], table[qGreen(p)], table[qBlue(p)]);
        }
    }
    return result;
}

MaterialShades materialShades(const QImage& back, Vm::TVMMaterialShadowMode mode)
{
    if (back.isNull())
        return {};
    const int shadow = mode == Vm::msmDark ? -32 : mode == Vm::msmLight ? 32 : 0;
    return {shadedImage(back, -64), shadedImage(back, 64), shadedImage(back, shadow)};
}

} // namespace IndicatorColors
