#pragma once

#include "client/LinkStatus.h"

#include <QFrame>

#include <functional>

class QGridLayout;
class QLabel;
class QTimer;

namespace quell {

// The strip at the foot of a main window that says where the link stands ("LinkStateLabel"),
// how long ago the last answer came ("LastAnswerLabel") and how many answers since Start were
// time-outs or errors ("AnswerCountsLabel"). It asks its source twice a second, so the age of
// the last answer and the seconds to the next try count on by themselves. Where one line would
// cut the state short (a narrow window), the age and the counts move to a second line; the bar
// never makes the window wider than the user left it.
class LinkStatusBar : public QFrame {
    Q_OBJECT
public:
    explicit LinkStatusBar(std::function<LinkStatus()> source, QWidget* parent = nullptr);

    // Asks the source again now (after a state change, without waiting for the timer).
    void refresh();
    // Whether the age and the counts sit on a line of their own.
    bool twoLines() const { return twoLines_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void arrange();

    std::function<LinkStatus()> source_;
    QLabel* state_ = nullptr;
    QLabel* lastAnswer_ = nullptr;
    QLabel* counts_ = nullptr;
    QTimer* timer_ = nullptr;
    QGridLayout* grid_ = nullptr;
    bool twoLines_ = false;
    bool arranged_ = false;
};

} // namespace quell
