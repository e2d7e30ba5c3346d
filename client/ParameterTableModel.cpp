#include "client/ParameterTableModel.h"

#include "client/RequestScheduler.h"
#include "client/ValueCellMarks.h"

#include <QApplication>
#include <QPalette>

namespace quell {

ParameterTableModel::ParameterTableModel(RequestScheduler& scheduler, QObject* parent)
    : QAbstractTableModel(parent), scheduler_(scheduler)
{
}

int ParameterTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(names_.size());
}

int ParameterTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant ParameterTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(names_.size()))
        return {};
    const std::uint16_t entry = entryOfRow(index.row());
    if (index.column() == 0) {
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return names_[index.row()];
        if (role == Qt::BackgroundRole) {
            const bool enabled =
                scheduler_.withTable([&](const TProtocol& t) { return t.Commands[entry].Enabled; });
            const QPalette palette = QApplication::palette();
            return enabled ? palette.color(QPalette::Window)
                           : palette.color(QPalette::Disabled, QPalette::Text);
        }
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return QString::fromStdString(scheduler_.cellText(entry));
    if (!isCellMarkRole(role))
        return {};
    const bool readOnly = role == Qt::ToolTipRole && scheduler_.withTable([&](const TProtocol& t) {
        return t.Commands[entry].Access == kAccessReadOnly;
    });
    return valueCellMarkData(
        role, scheduler_.cellMarks(entry), live_, !scheduler_.cellText(entry).empty(),
        readOnly ? QString() : QStringLiteral("Enter or \"Send all to target\" writes it"));
}

QColor ParameterTableModel::unsentColour()
{
    return unsentCellColour();
}

void ParameterTableModel::setValuesLive(bool live)
{
    if (live == live_)
        return;
    live_ = live;
    if (int(names_.size()) > 0)
        emit dataChanged(index(0, 1), index(int(names_.size()) - 1, 1));
}

QVariant ParameterTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section == 0 ? QStringLiteral("Par") : QStringLiteral("Value");
    return section + 1;
}

Qt::ItemFlags ParameterTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 1)
        f |= Qt::ItemIsEditable;
    return f;
}

bool ParameterTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != 1 || role != Qt::EditRole)
        return false;
    scheduler_.setCellText(entryOfRow(index.row()), value.toString().toStdString());
    emit dataChanged(index, index);
    return true;
}

void ParameterTableModel::reload()
{
    beginResetModel();
    names_.clear();
    scheduler_.withTable([&](const TProtocol& t) {
        for (int i = 1; i <= t.Count; ++i)
            names_ << QString::fromStdString(t.Commands[i].Name);
        return 0;
    });
    endResetModel();
}

void ParameterTableModel::cellsChanged(const std::vector<std::uint16_t>& entries)
{
    for (std::uint16_t entry : entries) {
        const int row = rowOfEntry(entry);
        if (row >= 0 && row < int(names_.size()))
            emit dataChanged(this->index(row, 1), this->index(row, 1));
    }
}

void ParameterTableModel::refreshAll()
{
    if (int(names_.size()) > 0)
        emit dataChanged(index(0, 0), index(int(names_.size()) - 1, 1));
}

} // namespace quell
