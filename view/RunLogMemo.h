#pragma once

#include <QObject>
#include <QStringList>

class QAction;
class QMenu;
class QPlainTextEdit;

namespace quell {

class RunLog;

// The run log on screen: the memo MemoLog shows the log's lines as they come, and its popup
// PopupMenuLog holds "Log Active" (LogON). The memo is what gets saved at the end, remarks the
// operator typed included.
class RunLogMemo : public QObject {
    Q_OBJECT
public:
    // Binds memo (not owned) and gives it its popup.
    explicit RunLogMemo(QPlainTextEdit* memo, QObject* parent = nullptr);

    // Shows every line of log (the memo may be made before or after the log starts).
    void showAll(const RunLog& log);
    // Shows the line the log took last.
    void showLast(const RunLog& log);
    // Sets the check mark of "Log Active".
    void setActive(bool active);
    // The memo's lines, as they will be saved.
    QStringList lines() const;

signals:
    // "Log Active" was chosen.
    void logOnTriggered();

private:
    QPlainTextEdit* memo_;
    QMenu* popupMenuLog_;
    QAction* logOn_;
};

} // namespace quell
