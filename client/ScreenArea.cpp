#include "client/ScreenArea.h"

#include <QGuiApplication>
#include <QScreen>

namespace quell {

QRect availableAreaAt(int left, int top)
{
    const QScreen* screen = QGuiApplication::screenAt(QPoint(left, top));
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    // Without any screen there is nothing to fit to; a small area keeps the window sane anyway.
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

} // namespace quell
