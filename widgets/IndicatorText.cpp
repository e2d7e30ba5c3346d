#include "widgets/IndicatorText.h"

#include "widgets/DotMatrixFont.h"
#include "widgets/SegmentPatterns.h"

namespace IndicatorText {

namespace {

bool isPoint(QChar ch)
{
    return ch == QLatin1Char('.') || ch == QLatin1Char(',');
}

} // namespace

std::vector<IndicatorCell> cells(const QString& text, int count, Vm::TVMIndicatorKind kind)
{
    if (count <= 0)
        return {};
    std::vector<IndicatorCell> shown;
    shown.reserve(std::size_t(text.size()));
    const bool segments = kind != Vm::ik5x7matrix;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (segments && isPoint(ch)) {
            // A point joins the character before it unless that was a point itself.
            if (i > 0 && !isPoint(text.at(i - 1)))
                shown.back().point = true;
            else
                shown.push_back({QLatin1Char(' '), true});
            continue;
        }
        shown.push_back({ch, false});
    }
    if (shown.size() > std::size_t(count))
        shown.resize(std::size_t(count));
    std::vector<IndicatorCell> result(std::size_t(count) - shown.size());
    result.insert(result.end(), shown.begin(), shown.end());
    return result;
}

std::uint64_t litElements(const IndicatorCell& cell, Vm::TVMIndicatorKind kind)
{
    if (kind == Vm::ik5x7matrix) {
        const DotMatrixFont::Glyph glyph = DotMatrixFont::glyph(cell.ch);
        std::uint64_t bits = 0;
        for (int row = 0; row < 7; ++row)
            for (int column = 0; column < 5; ++column)
                if ((glyph[std::size_t(row)] >> (4 - column)) & 1u)
                    bits |= std::uint64_t(1) << (row * 5 + column);
        return bits;
    }
    std::uint64_t bits = SegmentPatterns::pattern(cell.ch, kind);
    if (cell.point)
        bits |= std::uint64_t(1) << SegmentPatterns::SegPoint;
    return bits;
}

} // namespace IndicatorText
