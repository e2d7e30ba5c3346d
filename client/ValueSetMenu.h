#pragma once

#include "client/Dialogs.h"

#include <QString>

#include <optional>

namespace quell {

class RequestScheduler;

// What the "Save Value" and "Load Value" items do between the file dialog and the message box:
// the value column saved under the description's section, or a saved set put into the cells.
// GUI thread; the table is read under the scheduler's lock.
class ValueSetMenu {
public:
    // What the user is told afterwards.
    struct Report {
        Dialogs::Kind kind = Dialogs::Kind::Information;
        QString text;
    };

    // The file dialog's request: folder "Vals", value files first, extension ".val".
    static Dialogs::FileRequest fileRequest();
    // Whether a description with a section is loaded; without one nothing can be loaded.
    static bool hasSection(const RequestScheduler& scheduler);
    // Saves every row's value cell and the board number to file (the old file kept as backup).
    static Report save(const QString& file, const RequestScheduler& scheduler, int boardNumber);
    // Puts the values of file into the cells of the rows it names; boardNumber gets the set's
    // board number when it has one. A text that is no number stops before any cell changes.
    static Report load(const QString& file, RequestScheduler& scheduler,
                       std::optional<int>& boardNumber);
};

} // namespace quell
