#include "client/ParameterGrid.h"

#include "client/ParameterTableModel.h"
#include "client/RequestScheduler.h"
#include "client/ValueCellDelegate.h"

#include <QMouseEvent>

namespace quell {

ParameterGrid::ParameterGrid(RequestScheduler& scheduler, QWidget* parent)
    : GridView(parent), scheduler_(scheduler)
{
    setObjectName(QStringLiteral("ValueListEditor"));
    model_ = new ParameterTableModel(scheduler_, this);
    setModel(model_);
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
