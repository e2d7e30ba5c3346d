#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace quell {

class RequestScheduler;

// The parameter grid's model: row r shows entry r + 1 with its name (column 0, "Par") and its
// value cell (column 1, "Value"). Name cells are drawn on the window background when the entry
// takes part in polling and in the grey-text colour when it does not; a name shows whole in its
// tool tip. A value cell that waits to be sent is drawn italic on a pale yellow ground; one that
// is not live (the link does not run, or the entry's last answers failed) in grey text. GUI
// thread only.
class ParameterTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // A model over the scheduler's table and cells (not owned).
    explicit ParameterTableModel(RequestScheduler& scheduler, QObject* parent = nullptr);

    // The entry number shown in a model row.
    static std::uint16_t entryOfRow(int row) { return static_cast<std::uint16_t>(row + 1); }
    // The model row of an entry number.
    static int rowOfEntry(std::uint16_t entry) { return entry - 1; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Rebuilds the rows after a description was loaded.
    void reload();
    // Repaints the value cells of these entries.
    void cellsChanged(const std::vector<std::uint16_t>& entries);
    // Repaints every row (after enabling or disabling entries).
    void refreshAll();
    // Whether values arrive now; when not, every value cell is shown as old.
    void setValuesLive(bool live);
    bool valuesLive() const { return live_; }
    // Ground of a value cell that waits to be sent.
    static QColor unsentColour();

private:
    RequestScheduler& scheduler_;
    // The names as the last successful load gave them: a load that fails half-way leaves the
    // rows as they were.
    QStringList names_;
    bool live_ = false;
};

} // namespace quell
