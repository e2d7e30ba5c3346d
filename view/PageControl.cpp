#include "view/PageControl.h"

#include "view/ViewLayout.h"

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

QList<QWidget*> PageControl::addPages(const QStringList& names)
{
    QList<QWidget*> pages;
    for (const QString& name : names) {
        auto* page = new QWidget;
        page->setObjectName(name);
        addTab(page, name);
        pages << page;
    }
    return pages;
}

QSize PageControl::fit(QSize client)
{
    using namespace viewlayout;
    setGeometry(0, RoundHalfEven(client.height() / 100.0), client.width(),
                RoundHalfEven(client.height() * 99 / 100.0));
    setTabHeight(TabHeight(height()));
    // The strip stands on the tab row, right of the tabs, and is taller than the tabs; the
    // pages start a little below the pane's edge, so it stays off their captions.
    setPageRoom(StripRoom(height()));
    // The control resizes only the current page.
    const QSize pageSize = currentWidget()->size();
    for (int i = 0; i < count(); ++i) {
        widget(i)->resize(pageSize);
    }
    return pageSize;
}

} // namespace quell
