#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace quell::compact {

class CompactScheduler;

// The compact grid's model: row r shows entry r + 1 with its name (column 0, whole in its tool
// tip) and its value cell (column 1). While the link runs, the value cells of read-only entries
// cannot be selected, so nobody types into a cell that could not be written. Value cells show
// their marks as the full tool's grid does: waiting to be sent, or not live. GUI thread only.
class CompactTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // A model over the scheduler's table and cells (not owned).
    explicit CompactTableModel(CompactScheduler& scheduler, QObject* parent = nullptr);

    // The entry number shown in a model row.
    static std::uint8_t entryOfRow(int row) { return static_cast<std::uint8_t>(row + 1); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Rebuilds the rows after a description was loaded.
    void reload();
    // Whether the link runs (read-only value cells are then not selectable).
    void setLinkStarted(bool started);
    // Whether values arrive now; when not, every value cell is shown as old.
    void setValuesLive(bool live);
    // Repaints the value cells of these entries.
    void cellsChanged(const std::vector<std::uint8_t>& entries);
    // Repaints every row.
    void refreshAll();
    // The first row whose value cell can be selected while the link runs (0 when none is).
    int firstWritableRow() const;
    // The items a row's pick list offers (empty for other types).
    QStringList pickList(int row) const;

private:
    CompactScheduler& scheduler_;
    QStringList names_;
    std::vector<bool> readOnly_;
    bool started_ = false;
    bool live_ = false;
};

} // namespace quell::compact
