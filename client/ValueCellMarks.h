#pragma once

#include "client/DeviceLink.h"

#include <QColor>
#include <QString>
#include <QVariant>

namespace quell {

// Whether the marks show in a data role (a model need not look them up for the others).
constexpr bool isCellMarkRole(int role)
{
    return role == Qt::ForegroundRole || role == Qt::BackgroundRole || role == Qt::FontRole
           || role == Qt::ToolTipRole;
}

// Ground of a value cell that waits to be sent.
QColor unsentCellColour();

// How a value cell's marks show in a grid, for one data role: a cell that waits to be sent is
// italic on unsentCellColour() with a tool tip that says how it gets sent (howToSend, e.g.
// "Enter writes it"; empty for a read-only entry, whose loaded text is only said not to be the
// board's); one that is not live (the link does not run, or its entry's last answers
// failed) has grey text and, while it shows a value, a tool tip that says the value is old. An
// invalid QVariant for every other role and for a live, unmarked cell.
QVariant valueCellMarkData(int role, const CellMarks& marks, bool live, bool hasText,
                           const QString& howToSend);

} // namespace quell
