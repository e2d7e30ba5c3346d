#pragma once

#include <QMouseEvent>
#include <QObject>

#include <optional>

class QLineEdit;
class QMenu;
class QPoint;
class QPushButton;
class QWidget;
class TVesmarLiquidIndicator;

namespace quell {

class UpDown;

// The strip above the pages: the stopwatch LedTime, "PB:" with the board number VRQPB and its
// up-down UDPB, "Connect"/"STOP" and the two database buttons. It makes the controls with their
// names and reports the operator's actions; the window decides what they do.
class ViewStrip : public QObject {
    Q_OBJECT
public:
    // Makes the controls on parent; the board number runs from 0 to maxBoard.
    ViewStrip(QWidget* parent, int maxBoard);

    TVesmarLiquidIndicator* ledTime() const { return ledTime_; }
    QLineEdit* boardEdit() const { return vrqpb_; }
    // EditOpis: the description of the board ("PB:" at start).
    QLineEdit* editOpis() const { return editOpis_; }
    UpDown* board() const { return udpb_; }

    // Opens PopupMenuStoper at a point of LedTime.
    void popupStopwatchMenu(const QPoint& at);
    // "STOP" while the link is started, else "Connect".
    void showStarted(bool started);
    // The database button's hint and cursor: nothing to write yet (none), still reading
    // (false) or everything read (true).
    void showReadiness(std::optional<bool> ready);

signals:
    void connectClicked();
    void boardChanging();
    void boardEditFinished();
    void ledTimeMouseUp(QMouseEvent* event);
    // "Reset" of the stopwatch popup.
    void stopwatchReset();

private:
    TVesmarLiquidIndicator* ledTime_;
    QLineEdit* editOpis_;
    QLineEdit* vrqpb_;
    UpDown* udpb_;
    QPushButton* bConnect_;
    QPushButton* uBazu_;
    QPushButton* izBaze_;
    QMenu* popupMenuStoper_;
    // What the database button shows, so that a refresh after every answer sets it only when it
    // changes (setting a hint or cursor sends events).
    std::optional<std::optional<bool>> readiness_;
};

} // namespace quell
