#include "client/WindowGeometry.h"

#include <algorithm>

namespace quell {

namespace {

// value kept within [low, high] in a width that the file's extreme values cannot overflow; when
// the range is empty the upper end wins.
long long keepWithin(long long value, long long low, long long high)
{
    return std::min(std::max(value, low), high);
}

} // namespace

QRect fitWindowGeometry(int left, int top, int width, int height, const QRect& available,
                        QSize minimum)
{
    const long long areaLeft = available.left();
    const long long areaTop = available.top();
    const long long areaWidth = std::max(available.width(), 1);
    const long long areaHeight = std::max(available.height(), 1);
    const long long fittedWidth = keepWithin(width, minimum.width(), areaWidth);
    const long long fittedHeight = keepWithin(height, minimum.height(), areaHeight);
    const long long fittedLeft = keepWithin(left, areaLeft, areaLeft + areaWidth - fittedWidth);
    const long long fittedTop = keepWithin(top, areaTop, areaTop + areaHeight - fittedHeight);
    return {static_cast<int>(fittedLeft), static_cast<int>(fittedTop),
            static_cast<int>(fittedWidth), static_cast<int>(fittedHeight)};
}

} // namespace quell
