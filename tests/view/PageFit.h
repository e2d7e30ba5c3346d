#pragma once

#include <QApplication>
#include <QTabWidget>
#include <QWidget>

namespace quell::testing {

// Resizes the shown view until its pages are wanted big: the tab row and the frame take the
// rest and grow with the window, so it takes a few rounds. Returns the page size reached.
inline QSize FitPage(QWidget& view, QSize wanted)
{
    auto* pages = view.findChild<QTabWidget*>(QStringLiteral("PageControl"));
    for (int round = 0; round < 8 && pages->currentWidget()->size() != wanted; ++round) {
        view.resize(view.size() + wanted - pages->currentWidget()->size());
        QApplication::processEvents();
    }
    return pages->currentWidget()->size();
}

} // namespace quell::testing
