#include "client/LinkStatusBar.h"

#include <QGridLayout>
#include <QLabel>
#include <QResizeEvent>
#include <QTimer>

namespace quell {

namespace {

constexpr int kRefreshMs = 500;
constexpr int kSpacing = 12;

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
    : QFrame(parent), source_(std::move(source))
{
    setObjectName(QStringLiteral("LinkStatusBar"));
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto makeLabel = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        // Labels never ask for width: the window keeps the width the user gave it. A state cut
        // at the right reads whole in its tool tip.
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        label->setMinimumWidth(0);
        return label;
    };
    state_ = makeLabel("LinkStateLabel");
    lastAnswer_ = makeLabel("LastAnswerLabel");
    counts_ = makeLabel("AnswerCountsLabel");
    // The age and the counts keep room for their widest texts, so they are never cut.
    const QFontMetrics metrics(font());
    for (QLabel* label : {lastAnswer_, counts_})
        label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    lastAnswer_->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("Last answer 10.0 s ago")));
    counts_->setFixedWidth(
        metrics.horizontalAdvance(QStringLiteral("Time-outs 999 \u00B7 Errors 999")));
    timer_ = new QTimer(this);
    timer_->setInterval(kRefreshMs);
    connect(timer_, &QTimer::timeout, this, &LinkStatusBar::refresh);
    timer_->start();
    refresh();
}

void LinkStatusBar::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    arrange();
}

void LinkStatusBar::arrange()
{
    // The longest state a link says, not the current one: the bar must not hop between one
    // line and two as the state changes.
    const QFontMetrics metrics(font());
    const QString widestState =
        QStringLiteral("Connection to %1 lost, reconnecting in 3 s").arg(source_().server);
    const int oneLine =
        metrics.horizontalAdvance(widestState)
        + metrics.horizontalAdvance(QStringLiteral("Last answer 10.0 s ago"))
        + metrics.horizontalAdvance(QStringLiteral("Time-outs 999 \u00B7 Errors 999"))
        + 2 * kSpacing + 8;
    const bool two = width() < oneLine;
    if (arranged_ && two == twoLines_)
        return;
    arranged_ = true;
    twoLines_ = two;
    // A fresh grid each time, so that no column keeps a stretch of the other arrangement.
    delete grid_;
    grid_ = new QGridLayout(this);
    grid_->setContentsMargins(4, 2, 4, 2);
    grid_->setHorizontalSpacing(kSpacing);
    grid_->setVerticalSpacing(0);
    if (two) {
        grid_->addWidget(state_, 0, 0, 1, 2);
        grid_->addWidget(lastAnswer_, 1, 0, Qt::AlignLeft);
        grid_->addWidget(counts_, 1, 1, Qt::AlignLeft);
    } else {
        grid_->addWidget(state_, 0, 0);
        grid_->addWidget(lastAnswer_, 0, 1);
        grid_->addWidget(counts_, 0, 2);
    }
    grid_->setColumnStretch(two ? 1 : 0, 1);
    updateGeometry();
}

void LinkStatusBar::refresh()
{
    if (!arranged_)
        arrange();
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
