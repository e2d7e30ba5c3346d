#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QSocketNotifier;

namespace quell {

// Closes a window when the process gets SIGTERM or SIGINT, exactly as its "Exit" command does,
// so that settings, logs and files are written as on a normal close. The signal handler only
// writes a byte to a pipe; the close happens on the GUI thread. One per program.
class CloseOnSignal : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; window is closed on the first signal (not owned).
    explicit CloseOnSignal(QWidget* window, QObject* parent = nullptr);
    ~CloseOnSignal() override;

private:
    QPointer<QWidget> window_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace quell
