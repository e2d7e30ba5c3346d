#pragma once

#include <QPoint>
#include <QString>

class QWidget;

namespace quell {

// Every message box and file dialog of the programs goes through this interface, so that tests
// read the texts and give the answers, and headless stations run without a person.
class Dialogs {
public:
    enum class Kind { Error, Warning, Information };

    // A file dialog's request: the folder it starts in, its filter list ("Name|*.ext|..."), the
    // filter selected first (0-based), the default extension and the preset file name.
    struct FileRequest {
        QString folder;
        QString filter;
        int filterIndex = 0;
        QString defaultExtension;
        QString fileName;
    };

    virtual ~Dialogs() = default;

    // A modal message with an OK button; at: top-left corner of the box in screen coordinates
    // (a null point centres it on parent).
    virtual void message(Kind kind, const QString& text, QWidget* parent, QPoint at) = 0;
    // A question with Yes and No; true for Yes. at as for message().
    virtual bool question(const QString& text, QWidget* parent, QPoint at) = 0;
    // The file the user picked to open, or empty on Cancel.
    virtual QString openFileName(const FileRequest& request, QWidget* parent) = 0;
    // The file the user picked to save to, or empty on Cancel.
    virtual QString saveFileName(const FileRequest& request, QWidget* parent) = 0;

    // The program's dialogs: QUELL_NONINTERACTIVE=1 gives the ones that print each message to
    // standard error, answer questions Yes (their default button) and file dialogs Cancel;
    // otherwise real dialogs. Replaced by tests with use().
    static Dialogs& instance();
    // Makes d the program's dialogs (not owned; nullptr restores the default).
    static void use(Dialogs* d);
};

} // namespace quell
