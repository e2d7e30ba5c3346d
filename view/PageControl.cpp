#include "view/PageControl.h"

#include <QCoreApplication>
#include <QEvent>
#include <QStackedWidget>
#include <QTabBar>

namespace quell {

namespace {

// Tabs of one given height, as wide as the style makes them.
class FixedHeightTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;

    int tabHeight() const { return height_; }
    void setTabHeight(int height)
    {
        height_ = height;
        // Setting the elide mode makes the bar measure its tabs again.
        setElideMode(elideMode());
    }

protected:
    QSize tabSizeHint(int index) const override
    {
        const QSize natural = QTabBar::tabSizeHint(index);
        return height_ > 0 ? QSize(natural.width(), height_) : natural;
    }

private:
    int height_ = 0;
};

FixedHeightTabBar* bar(const PageControl& control)
{
    return static_cast<FixedHeightTabBar*>(control.tabBar());
}

} // namespace

PageControl::PageControl(QWidget* parent) : QTabWidget(parent)
{
    setTabBar(new FixedHeightTabBar(this));
}

void PageControl::setTabHeight(int height)
{
    if (height == tabHeight()) {
        return;
    }
    bar(*this)->setTabHeight(height);
    // The page control places its bar and pages on a layout request; ask for it now, so the
    // pages have their new size when this returns.
    QEvent request(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(this, &request);
}

int PageControl::tabHeight() const
{
    return bar(*this)->tabHeight();
}

void PageControl::setPageRoom(int room)
{
    auto* stack = findChild<QStackedWidget*>(QString(), Qt::FindDirectChildrenOnly);
    if (stack != nullptr && stack->contentsMargins().top() != room) {
        stack->setContentsMargins(0, room, 0, 0);
    }
}

} // namespace quell
