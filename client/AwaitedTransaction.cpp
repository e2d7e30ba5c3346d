#include "client/AwaitedTransaction.h"

#include "client/LinkController.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace quell {

AwaitedTransaction::AwaitedTransaction(LinkController& link) : link_(link)
{
}

AwaitedTransaction::Outcome AwaitedTransaction::awaitCommand(int timeoutMs)
{
    if (!link_.started())
        return Outcome::Aborted;
    const LinkController& link = link_;
    return waitUntil(
        [&link] {
            const auto state = link.currentCommand().State;
            return state == TSendCommand::kAnswered || state == TSendCommand::kFailed;
        },
        timeoutMs);
}

AwaitedTransaction::Outcome AwaitedTransaction::waitUntil(const std::function<bool()>& condition,
                                                          int timeoutMs)
{
    if (link_.isShutDown())
        return Outcome::Aborted;
    if (condition())
        return Outcome::Done;
    QEventLoop loop;
    Outcome outcome = Outcome::TimedOut;
    bool ended = false;
    auto end = [&](Outcome result) {
        if (ended)
            return;
        ended = true;
        outcome = result;
        loop.quit();
    };
    // Every connection has the loop as context, so none outlives this call.
    QObject::connect(&link_, &LinkController::answerApplied, &loop, [&] {
        if (condition())
            end(Outcome::Done);
    });
    QObject::connect(&link_, &LinkController::waitsAborted, &loop, [&] { end(Outcome::Aborted); });
    QObject::connect(&link_, &QObject::destroyed, &loop, [&] { end(Outcome::Aborted); });
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop,
                     [&] { end(condition() ? Outcome::Done : Outcome::TimedOut); });
    timer.start(std::max(0, timeoutMs));
    loop.exec();
    return outcome;
}

} // namespace quell
