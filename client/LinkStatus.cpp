#include "client/LinkStatus.h"

namespace quell {

namespace {

QString secondsText(qint64 ms)
{
    // Tenths while it is short, whole seconds after that: the number must not flicker.
    constexpr qint64 kWholeSecondsFrom = 10000;
    if (ms < kWholeSecondsFrom)
        return QString::number(double(ms) / 1000.0, 'f', 1) + QStringLiteral(" s");
    const qint64 seconds = ms / 1000;
    if (seconds < 120)
        return QString::number(seconds) + QStringLiteral(" s");
    if (seconds < 7200)
        return QString::number(seconds / 60) + QStringLiteral(" min");
    return QString::number(seconds / 3600) + QStringLiteral(" h");
}

QString nextTryText(int ms)
{
    if (ms < 0)
        return {};
    // Rounded up: "0 s" would read as never.
    return QStringLiteral(" in %1 s").arg((ms + 999) / 1000);
}

} // namespace

QString linkStateText(const LinkStatus& status)
{
    switch (status.state) {
    case LinkState::Stopped:
        switch (status.stopCause) {
        case StopCause::ConnectionLost:
            return QStringLiteral("Connection to %1 lost").arg(status.server);
        case StopCause::NotReached:
            return QStringLiteral("%1 does not answer").arg(status.server);
        case StopCause::User:
            break;
        }
        return QStringLiteral("Stopped");
    case LinkState::Connecting:
        return QStringLiteral("Connecting to %1").arg(status.server);
    case LinkState::Connected:
        return status.paused ? QStringLiteral("Connected to %1, reading paused").arg(status.server)
                             : QStringLiteral("Connected to %1").arg(status.server);
    case LinkState::Reconnecting:
        return QStringLiteral("Connection to %1 lost, reconnecting").arg(status.server)
               + nextTryText(status.nextTryMs);
    case LinkState::Lost:
        return QStringLiteral("%1 does not answer").arg(status.server)
               + (status.nextTryMs < 0 ? QString() : QStringLiteral(", trying again"))
               + nextTryText(status.nextTryMs);
    }
    return {};
}

QString lastAnswerText(const LinkStatus& status)
{
    if (status.sinceAnswerMs)
        return QStringLiteral("Last answer %1 ago").arg(secondsText(*status.sinceAnswerMs));
    return status.state == LinkState::Stopped ? QString() : QStringLiteral("No answer yet");
}

QString answerCountsText(const LinkStatus& status)
{
    return QStringLiteral("Time-outs %1 \u00B7 Errors %2")
        .arg(status.timeOuts)
        .arg(status.errorAnswers);
}

} // namespace quell
