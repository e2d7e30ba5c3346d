#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace quell {

// Asks for another database after a connection failed: a file name (the "..." button browses)
// or a PostgreSQL URI typed in. A tool window centred on the screen, captioned with the program's
// title.
class TDatabasePromptForm : public QDialog {
    Q_OBJECT
public:
    explicit TDatabasePromptForm(QWidget* parent = nullptr);

    QLineEdit* ledDBName() const { return ledDBName_; }

    // "...": a database file, database files first; the chosen name goes into the edit.
    void ButtonPathClick();
    // "Spoji ": an empty edit is refused with a warning and the dialog stays.
    void ButtonOKClick();

private:
    QLineEdit* ledDBName_;
};

// Shows the prompt with path; on OK the edit's text becomes path and true is returned, on Cancel
// false. With QUELL_NONINTERACTIVE=1 it answers Cancel without showing anything.
bool PromptDatabasePath(QString& path, QWidget* parent);

} // namespace quell
