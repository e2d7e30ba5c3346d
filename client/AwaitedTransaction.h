#pragma once

#include "client/DeviceLink.h"

#include <QObject>

#include <functional>

namespace quell {

class LinkController;

// The one way a step on the GUI thread waits for the board while the windows keep running: an
// event-loop wait that wakes only when the link has applied an answer line or its time is up,
// never by polling. One guard ends every running wait with Aborted: the link's waitsAborted(),
// sent when the link stops (Stop, also from the view) and when the window closes (its "Exit",
// or SIGTERM and SIGINT, which close it the same way).
//
// Waits nest: a wait started while another runs (a second button pressed meanwhile) runs to its
// own end first, and the outer one returns after it, with the outcome it had reached by then
// (done when its condition holds, else timed out or aborted). GUI thread only.
class AwaitedTransaction {
public:
    // Done (for awaitCommand: the command was answered or failed), TimedOut or Aborted.
    using Outcome = WaitOutcome;

    // Waits on the given link (not owned; it outlives the waits).
    explicit AwaitedTransaction(LinkController& link);

    // Waits until the current command has its outcome: State 3 (answered) or 4 (not accepted,
    // or never queued). Aborted at once when the link is not started.
    Outcome awaitCommand(int timeoutMs);
    // Waits until condition() holds; it is asked at the start, after every applied answer line
    // and once more when the time runs out. condition must not itself wait.
    Outcome waitUntil(const std::function<bool()>& condition, int timeoutMs);

private:
    LinkController& link_;
};

} // namespace quell
