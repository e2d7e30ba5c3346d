#include "client/GridView.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace quell {

namespace {

constexpr int kRowHeight = 18;

} // namespace

GridView::GridView(QWidget* parent) : QTableView(parent)
{
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setStretchLastSection(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
}

void GridView::setEmptyText(const QString& text)
{
    emptyText_ = text;
    viewport()->update();
}

int GridView::nameColumnWidthForLongest() const
{
    // The header's own caption counts too, and the cell's margins on both sides.
    int widest = horizontalHeader()->sectionSizeHint(0);
    if (model() == nullptr)
        return widest;
    const QFontMetrics metrics(font());
    const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    for (int row = 0; row < model()->rowCount(); ++row)
        widest =
            std::max(widest, metrics.horizontalAdvance(
                                 model()->data(model()->index(row, 0), Qt::DisplayRole).toString())
                                 + margin);
    return widest;
}

void GridView::startNameColumn(bool stored, int storedWidth)
{
    constexpr int kNarrowest = 30;
    constexpr int kWidest = 2000;
    setColumnWidth(0, stored ? std::clamp(storedWidth, kNarrowest, kWidest)
                             : nameColumnWidthForLongest());
}

void GridView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if ((model() != nullptr && model()->rowCount() > 0) || emptyText_.isEmpty())
        return;
    QPainter painter(viewport());
    constexpr int kMargin = 12;
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(viewport()->rect().adjusted(kMargin, kMargin, -kMargin, -kMargin),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, emptyText_);
}

QString noDescriptionText(const QString& file, const QString& why, const QString& loadCaption,
                          const QString& settingsFile)
{
    // The grid stays empty until a description loads; it says why, so that the window does not
    // sit there blank after the message box is gone.
    return QStringLiteral("No protocol description is loaded.\n\nDescription file: %1\n%2\n\n"
                          "To load another, right-click here and choose \"%3\" (this window's "
                          "menu is the one the right mouse button opens). The file chosen is "
                          "kept in the settings file %4.")
        .arg(file.isEmpty() ? QStringLiteral("(none named)") : file, why, loadCaption,
             settingsFile);
}

} // namespace quell
