#pragma once

#include "client/GridView.h"

#include <cstdint>

namespace quell {

class ParameterTableModel;
class RequestScheduler;

// The parameter grid "ValueListEditor": one row per entry, name and value columns, in-place
// editing with the entry's pick list, the limits as tool tip and mouse presses reported to the
// window (which opens its menus). The table is read under the scheduler's lock.
class ParameterGrid : public GridView {
    Q_OBJECT
public:
    // A grid over the scheduler's table and cells (not owned; both outlive the grid).
    ParameterGrid(RequestScheduler& scheduler, QWidget* parent = nullptr);

    // The model of the rows.
    ParameterTableModel& rows() const { return *model_; }
    // The entry of the current cell, 0 for none.
    std::uint16_t selectedEntry() const;
    // Selects the value cell of an entry's row (entries outside the table are ignored).
    void selectEntry(std::uint16_t entry);
    // Shows the current entry's limits as tool tip ("read_only" for read-only entries, nothing
    // for pick lists and indexes).
    void showLimitsOfSelected();

signals:
    // Enter or Esc in a row's value cell.
    void valueKeyPressed(int row, int key);
    // The user typed a value cell's text (committed, not yet written to the device).
    void cellTyped();
    // A mouse button went down in the grid (the right button is not passed on to the grid).
    void mousePressed(const QPoint& pos, Qt::MouseButton button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    RequestScheduler& scheduler_;
    ParameterTableModel* model_ = nullptr;
};

} // namespace quell
