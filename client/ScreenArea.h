#pragma once

#include "client/WindowGeometry.h"

#include <QRect>

namespace quell {

// The available area (without panels and docks) of the screen that holds the point, or of the
// primary screen when no screen does: where a window placed there from the settings may go.
QRect availableAreaAt(int left, int top);

// A geometry from the settings file fitted to the screen it names (see fitWindowGeometry).
inline QRect fitToScreen(int left, int top, int width, int height)
{
    return fitWindowGeometry(left, top, width, height, availableAreaAt(left, top));
}

} // namespace quell
