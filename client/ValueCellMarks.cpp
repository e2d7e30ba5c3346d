#include "client/ValueCellMarks.h"

#include <QApplication>
#include <QFont>
#include <QPalette>

namespace quell {

QColor unsentCellColour()
{
    return {255, 243, 196};
}

QVariant valueCellMarkData(int role, const CellMarks& marks, bool live, bool hasText,
                           const QString& howToSend)
{
    if (marks.unsent) {
        switch (role) {
        case Qt::BackgroundRole:
            return unsentCellColour();
        case Qt::FontRole: {
            QFont font;
            font.setItalic(true);
            return font;
        }
        case Qt::ToolTipRole:
            // A read-only entry's text came from a file: nothing sends it.
            return howToSend.isEmpty()
                       ? QStringLiteral("Not read from the board: loaded from a file; the "
                                        "board's answer replaces it.")
                       : QStringLiteral("Not sent to the board yet: %1; an answer from the "
                                        "board replaces it.")
                             .arg(howToSend);
        default:
            return {};
        }
    }
    if (live && !marks.unanswered)
        return {};
    if (role == Qt::ForegroundRole)
        return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    if (role == Qt::ToolTipRole && hasText)
        return live ? QStringLiteral("No answer to the last polls of this entry: the value "
                                     "shown is older.")
                    : QStringLiteral("The link does not run: the value shown is the last "
                                     "one read.");
    return {};
}

} // namespace quell
