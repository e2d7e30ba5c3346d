#pragma once

#include <QTabWidget>

namespace quell {

// The view's tabbed pages with a tab height of its owner's choosing and, optionally, room
// between the pane's top edge and the pages.
class PageControl : public QTabWidget {
    Q_OBJECT
public:
    // An empty page control.
    explicit PageControl(QWidget* parent = nullptr);

    // Makes every tab height pixels high and lays the pages out again at once.
    void setTabHeight(int height);
    // The height the tabs are given (0: the style's own).
    int tabHeight() const;
    // Leaves room pixels between the pane's top edge and the pages.
    void setPageRoom(int room);

    // Adds an empty page per name, named and captioned so; returns them in order.
    QList<QWidget*> addPages(const QStringList& names);
    // Fits the control to its owner's client area by the view's proportions: one percent above,
    // the rest of the height, tabs four percent of it and the pages below the strip on the tab
    // row. Every page takes the current page's size, so pages not shown are laid out for the
    // size they will be shown at. Returns that size.
    QSize fit(QSize client);
};

} // namespace quell
