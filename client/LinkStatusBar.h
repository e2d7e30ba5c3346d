#pragma once

#include "client/LinkStatus.h"

#include <QStatusBar>

#include <functional>

class QLabel;
class QTimer;

namespace quell {

// The strip at the foot of a main window that says where the link stands ("LinkStateLabel"),
// how long ago the last answer came ("LastAnswerLabel") and how many answers since Start were
// time-outs or errors ("AnswerCountsLabel"). It asks its source twice a second, so the age of
// the last answer and the seconds to the next try count on by themselves.
class LinkStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit LinkStatusBar(std::function<LinkStatus()> source, QWidget* parent = nullptr);

    // Asks the source again now (after a state change, without waiting for the timer).
    void refresh();

private:
    std::function<LinkStatus()> source_;
    QLabel* state_ = nullptr;
    QLabel* lastAnswer_ = nullptr;
    QLabel* counts_ = nullptr;
    QTimer* timer_ = nullptr;
};

} // namespace quell
