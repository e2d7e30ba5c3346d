#pragma once

#include "client/DeviceLink.h"

#include <QString>

#include <optional>

namespace quell {

// Why a link that does not reconnect went back to Stopped by itself.
enum class StopCause {
    User,           // Stop, or never started
    ConnectionLost, // the connection broke
    NotReached,     // the server could not be reached
};

// What the main windows' status bars say about the link, gathered at one moment.
struct LinkStatus {
    LinkState state = LinkState::Stopped;
    bool paused = false;
    QString server;                        // "host:port"
    int nextTryMs = -1;                    // until the next connection attempt; < 0: none planned
    std::optional<qint64> sinceAnswerMs;   // since the last answer line of this start; none yet
    int timeOuts = 0;                      // answers since Start that were time-outs
    int errorAnswers = 0;                  // answers since Start that were errors
    StopCause stopCause = StopCause::User; // said while Stopped, until the next Start

    // Whether values arrive now.
    bool live() const { return state == LinkState::Connected && !paused; }
};

// Where the link stands, in words: "Stopped" (or why it stopped by itself), "Connecting to
// host:port", "Connected to host:port", paused, or lost and how long until the next try.
QString linkStateText(const LinkStatus& status);
// "Last answer 1.2 s ago", "No answer yet" while started, empty while stopped without answers.
QString lastAnswerText(const LinkStatus& status);
// "Time-outs 2 · Errors 0" (answers that were errors).
QString answerCountsText(const LinkStatus& status);

} // namespace quell
