#include "gateway/BusExchanger.h"

#include "gateway/AnswerFramer.h"
#include "gateway/AnswerLine.h"

#include <algorithm>

namespace quell::gw {

namespace {

enum class Wait { Done, Failed, Abandoned };

// link.receive() up to deadline, but in short slices, so that an exchange nobody waits for any
// more does not hold the bus (and the server's shutdown) for the rest of a long time-out. Done
// with nothing appended means the deadline passed.
Wait receiveUntil(ByteLink& link, std::string& received, ByteLink::Clock::time_point deadline,
                  std::string& failure, const BusExchanger::Abandoned& abandoned)
{
    const std::size_t before = received.size();
    for (;;) {
        if (abandoned && abandoned())
            return Wait::Abandoned;
        const auto sliceEnd =
            abandoned ? std::min(deadline, ByteLink::Clock::now() + BusExchanger::kAbandonCheck)
                      : deadline;
        if (!link.receive(received, sliceEnd, failure))
            return Wait::Failed;
        if (received.size() != before || ByteLink::Clock::now() >= deadline)
            return Wait::Done;
    }
}

} // namespace

std::chrono::nanoseconds BusExchanger::characterGap(const SerialSettings& settings)
{
    // A few characters' time, but never so short that a busy machine splits an answer.
    return std::max<std::chrono::nanoseconds>(std::chrono::milliseconds(20),
                                              settings.characterTime() * 4);
}

BusExchanger::Outcome BusExchanger::exchange(ByteLink& link, const SerialSettings& settings,
                                             std::string_view frame, TrafficTrace& trace,
                                             int client, const Abandoned& abandoned)
{
    const AnswerFramer framer(frame);
    Outcome outcome;
    std::string failure;
    for (int attempt = 0; attempt <= settings.retries; ++attempt) {
        if (abandoned && abandoned()) {
            trace.note(client, "fail", kAbandoned);
            return {false, kAbandoned, outcome.tries};
        }
        outcome.tries = attempt + 1;
        link.discardInput();
        if (!link.send(frame, failure)) {
            trace.note(client, "error", failure);
            return {false, failure, outcome.tries};
        }
        trace.bytes(client, "tx", frame);
        auto deadline = ByteLink::Clock::now() + std::chrono::milliseconds(settings.timeoutMs);
        std::string received;
        const char* word = kTimeOut;
        for (;;) {
            const std::size_t before = received.size();
            const Wait wait = receiveUntil(link, received, deadline, failure, abandoned);
            if (wait == Wait::Abandoned) {
                trace.note(client, "fail", kAbandoned);
                return {false, kAbandoned, outcome.tries};
            }
            if (wait == Wait::Failed) {
                trace.note(client, "error", failure);
                return {false, failure, outcome.tries};
            }
            if (received.size() == before) {
                // Time-out, or a pause: an answer that had begun and did not finish is broken,
                // except where only the pause can end it.
                if (!received.empty()) {
                    trace.bytes(client, "rx", received);
                    if (framer.protocol() == AnswerFramer::Protocol::Unknown) {
                        if (AnswerLine::carriable(received))
                            return {true, received, outcome.tries};
                        word = kUnframable;
                    } else {
                        word = kPartial;
                    }
                }
                break;
            }
            if (framer.skipNoise(received))
                trace.note(client, "noise", "skipped bytes before an answer");
            bool broken = false;
            while (const std::size_t length = framer.complete(received)) {
                const std::string answer = received.substr(0, length);
                received.erase(0, length);
                trace.bytes(client, "rx", answer);
                if (!framer.belongs(answer)) {
                    trace.note(client, "skip", "answer to another request");
                    continue;
                }
                if (!framer.checks(answer)) {
                    word = kBadCheck;
                    broken = true;
                    break;
                }
                if (!AnswerLine::carriable(answer)) {
                    word = kUnframable;
                    broken = true;
                    break;
                }
                return {true, answer, outcome.tries};
            }
            if (broken)
                break;
            framer.skipNoise(received);
            if (!received.empty())
                deadline = ByteLink::Clock::now() + characterGap(settings);
        }
        trace.note(client, "fail", word);
        outcome.text = word;
    }
    return outcome;
}

} // namespace quell::gw
