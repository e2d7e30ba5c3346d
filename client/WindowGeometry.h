#pragma once

#include <QRect>
#include <QSize>

namespace quell {

// The smallest window a settings file may ask for: below it the controls cannot be reached.
inline constexpr QSize kMinimumWindowSize{120, 80};

// A window geometry read from a settings file (left, top, width, height as stored), made to fit
// the available screen area: the size is kept between minimum and the area's size, and the
// window is moved so that it lies inside the area. A hand-edited or damaged file must not make a
// window that is bigger than the screen (its backing store alone can take gigabytes) or that
// opens where nobody can see it. When the area is smaller than minimum, the area wins.
QRect fitWindowGeometry(int left, int top, int width, int height, const QRect& available,
                        QSize minimum = kMinimumWindowSize);

} // namespace quell
