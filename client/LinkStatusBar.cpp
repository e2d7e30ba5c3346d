#include "client/LinkStatusBar.h"

#include <QLabel>
#include <QTimer>

namespace quell {

namespace {

constexpr int kRefreshMs = 500;

// Dark enough to read on the window background, apart enough to tell at a glance.
QString stateColour(const LinkStatus& status)
{
    switch (status.state) {
    case LinkState::Connected:
        return status.paused ? QStringLiteral("#8a5a00") : QStringLiteral("#1b6e20");
    case LinkState::Connecting:
        return QStringLiteral("#8a5a00");
    case LinkState::Reconnecting:
    case LinkState::Lost:
        return QStringLiteral("#b00020");
    case LinkState::Stopped:
        if (status.stopCause != StopCause::User)
            return QStringLiteral("#b00020");
        break;
    }
    return {};
}

} // namespace

LinkStatusBar::LinkStatusBar(std::function<LinkStatus()> source, QWidget* parent)
    : QStatusBar(parent), source_(std::move(source))
{
    setObjectName(QStringLiteral("LinkStatusBar"));
    setSizeGripEnabled(false);
    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("LinkStateLabel"));
    // The window keeps the width the user gave it: a long state is cut at the right and reads
    // whole in the tool tip.
    state_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    state_->setMinimumWidth(0);
    lastAnswer_ = new QLabel(this);
    lastAnswer_->setObjectName(QStringLiteral("LastAnswerLabel"));
    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("AnswerCountsLabel"));
    addWidget(state_, 1);
    addPermanentWidget(lastAnswer_);
    addPermanentWidget(counts_);
    timer_ = new QTimer(this);
    timer_->setInterval(kRefreshMs);
    connect(timer_, &QTimer::timeout, this, &LinkStatusBar::refresh);
    timer_->start();
    refresh();
}

void LinkStatusBar::refresh()
{
    const LinkStatus status = source_();
    const QString colour = stateColour(status);
    state_->setStyleSheet(colour.isEmpty() ? QString()
                                           : QStringLiteral("QLabel { color: %1; }").arg(colour));
    state_->setText(linkStateText(status));
    state_->setToolTip(state_->text());
    lastAnswer_->setText(lastAnswerText(status));
    const bool counted = status.state != LinkState::Stopped || status.sinceAnswerMs.has_value();
    counts_->setText(counted ? answerCountsText(status) : QString());
    counts_->setToolTip(counted ? QStringLiteral("Answers since Start that were time-outs, and "
                                                 "that were errors (refused, garbled, not "
                                                 "understood)")
                                : QString());
}

} // namespace quell
