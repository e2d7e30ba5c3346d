#include "compact/CompactTableModel.h"

#include "client/ValueCellMarks.h"
#include "compact/CompactScheduler.h"
#include "compact/UCommands.h"

#include <algorithm>

namespace quell::compact {

CompactTableModel::CompactTableModel(CompactScheduler& scheduler, QObject* parent)
    : QAbstractTableModel(parent), scheduler_(scheduler)
{
}

int CompactTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(names_.size());
}

int CompactTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant CompactTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(names_.size()))
        return {};
    if (index.column() == 0)
        return role == Qt::DisplayRole || role == Qt::ToolTipRole ? names_[index.row()]
                                                                  : QVariant();
    const std::uint8_t entry = entryOfRow(index.row());
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return QString::fromStdString(scheduler_.cellText(entry));
    if (!isCellMarkRole(role))
        return {};
    const bool readOnly = index.row() < int(readOnly_.size()) && readOnly_[index.row()];
    return valueCellMarkData(role, scheduler_.cellMarks(entry), live_,
                             !scheduler_.cellText(entry).empty(),
                             readOnly ? QString() : QStringLiteral("Enter writes it"));
}

QVariant CompactTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section == 0 ? QStringLiteral("Par") : QStringLiteral("Value");
    return section + 1;
}

Qt::ItemFlags CompactTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!index.isValid() || index.column() != 1)
        return f;
    if (started_ && index.row() < int(readOnly_.size()) && readOnly_[index.row()])
        return f & ~Qt::ItemIsSelectable;
    return f | Qt::ItemIsEditable;
}

bool CompactTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != 1 || role != Qt::EditRole)
        return false;
    scheduler_.setCellText(entryOfRow(index.row()), value.toString().toStdString());
    emit dataChanged(index, index);
    return true;
}

void CompactTableModel::reload()
{
    beginResetModel();
    names_.clear();
    readOnly_.clear();
    scheduler_.withTable([&](const TProtocol& t) {
        for (int i = 1; i <= t.Count; ++i) {
            const TCommands& c = t.Commands[static_cast<std::size_t>(i)];
            names_ << QString::fromStdString(c.Name);
            readOnly_.push_back(c.Access == kAccessReadOnly);
        }
        return 0;
    });
    endResetModel();
}

void CompactTableModel::setLinkStarted(bool started)
{
    started_ = started;
    refreshAll();
}

void CompactTableModel::setValuesLive(bool live)
{
    if (live == live_)
        return;
    live_ = live;
    if (!names_.isEmpty())
        emit dataChanged(index(0, 1), index(int(names_.size()) - 1, 1));
}

void CompactTableModel::cellsChanged(const std::vector<std::uint8_t>& entries)
{
    for (std::uint8_t entry : entries) {
        const int row = entry - 1;
        if (row >= 0 && row < int(names_.size()))
            emit dataChanged(this->index(row, 1), this->index(row, 1));
    }
}

void CompactTableModel::refreshAll()
{
    if (!names_.isEmpty())
        emit dataChanged(index(0, 0), index(int(names_.size()) - 1, 1));
}

int CompactTableModel::firstWritableRow() const
{
    const auto at = std::find(readOnly_.begin(), readOnly_.end(), false);
    return at == readOnly_.end() ? 0 : int(at - readOnly_.begin());
}

QStringList CompactTableModel::pickList(int row) const
{
    const std::uint8_t entry = entryOfRow(row);
    return scheduler_.withTable([&](const TProtocol& t) {
        QStringList items;
        const TCommands& c = t.Commands[entry];
        if (c.TypeCode == kTypePickList)
            for (int i = 0; i <= c.Max && i < kPickListSize; ++i)
                items << QString::fromStdString(c.PickList[static_cast<std::size_t>(i)]);
        return items;
    });
}

} // namespace quell::compact
