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
};

} // namespace quell
