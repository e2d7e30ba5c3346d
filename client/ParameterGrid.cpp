#include "client/ParameterGrid.h"

#include "client/ParameterTableModel.h"
#include "client/RequestScheduler.h"
#include "client/ValueCellDelegate.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace quell {

namespace {

constexpr int kRowHeight = 18;

} // namespace

ParameterGrid::ParameterGrid(RequestScheduler& scheduler, QWidget* parent)
    : QTableView(parent), scheduler_(scheduler)
{
    setObjectName(QStringLiteral("ValueListEditor"));
    model_ = new ParameterTableModel(scheduler_, this);
    setModel(model_);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setStretchLastSection(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    auto* delegate = new ValueCellDelegate(
        [this](int row) {
            const std::uint16_t entry = ParameterTableModel::entryOfRow(row);
            return scheduler_.withTable([&](const TProtocol& t) {
                QStringList items;
                const TCommands& c = t.Commands[entry];
                if (c.TypeCode == kTypePickList)
                    for (int i = 0; i <= c.Max; ++i)
                        items << QString::fromStdString(c.pickItem(i));
                return items;
            });
        },
        this);
    setItemDelegateForColumn(1, delegate);
    connect(delegate, &ValueCellDelegate::keyPressed, this, &ParameterGrid::valueKeyPressed);
    connect(delegate, &QAbstractItemDelegate::commitData, this, &ParameterGrid::cellTyped);
    viewport()->installEventFilter(this);
}

std::uint16_t ParameterGrid::selectedEntry() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? ParameterTableModel::entryOfRow(current.row()) : 0;
}

void ParameterGrid::selectEntry(std::uint16_t entry)
{
    if (entry >= 1 && entry <= model_->rowCount())
        setCurrentIndex(model_->index(ParameterTableModel::rowOfEntry(entry), 1));
}

void ParameterGrid::showLimitsOfSelected()
{
    const std::uint16_t entry = selectedEntry();
    if (entry == 0)
        return;
    setToolTip(scheduler_.withTable([&](const TProtocol& t) {
        const TCommands& c = t.Commands[entry];
        if (c.Access == kAccessReadOnly)
            return QStringLiteral("read_only");
        if (c.TypeCode == kTypePickList || c.TypeCode == kTypeIndex)
            return QString();
        return QStringLiteral("Min=") + QString::fromStdString(t.ValueToText(entry, c.Min, ""))
               + QStringLiteral("; Max=") + QString::fromStdString(t.ValueToText(entry, c.Max, ""));
    }));
}

void ParameterGrid::setEmptyText(const QString& text)
{
    emptyText_ = text;
    viewport()->update();
}

int ParameterGrid::nameColumnWidthForLongest() const
{
    // The header's own caption counts too, and the cell's margins on both sides.
    int widest = horizontalHeader()->sectionSizeHint(0);
    const QFontMetrics metrics(font());
    const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    for (int row = 0; row < model_->rowCount(); ++row)
        widest =
            std::max(widest, metrics.horizontalAdvance(
                                 model_->data(model_->index(row, 0), Qt::DisplayRole).toString())
                                 + margin);
    return widest;
}

void ParameterGrid::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (model_->rowCount() > 0 || emptyText_.isEmpty())
        return;
    QPainter painter(viewport());
    constexpr int kMargin = 12;
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(viewport()->rect().adjusted(kMargin, kMargin, -kMargin, -kMargin),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, emptyText_);
}

bool ParameterGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        emit mousePressed(mouse->position().toPoint(), mouse->button());
        // The right button opens a menu instead of starting an edit.
        if (mouse->button() == Qt::RightButton)
            return true;
    }
    return QTableView::eventFilter(watched, event);
}

} // namespace quell
