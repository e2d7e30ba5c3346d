#include "calibration/BoardPrimitives.h"

#include "calibration/CalibrationStation.h"
#include "client/DeviceLink.h"

#include <cstdlib>

namespace quell {

namespace {

constexpr int kNoSwapState = 255;

int lowByte(std::int16_t value)
{
    return static_cast<std::uint16_t>(value) & 0xFF;
}

} // namespace

QString recipeText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string constantText(std::int16_t raw)
{
    return QString::number(raw / 10.0, 'f', 1).toStdString();
}

double deviationPercent(std::int16_t& old, std::int16_t now)
{
    if (old == 0)
        old = 1;
    return (static_cast<double>(old) - static_cast<double>(now)) * 100.0 / old;
}

BoardPrimitives::BoardPrimitives(CalibrationStation& station) : station_(station)
{
}

bool BoardPrimitives::TransactEntry(std::uint16_t entry, bool write, const std::string& text)
{
    DeviceLink& link = station_.link();
    // After the link stopped or broke in the middle of a run nothing more can reach the board;
    // the remaining steps fail quietly instead of telling the operator once each.
    if (station_.abandoned() && link.linkState() != LinkState::Connected)
        return false;
    // A link that is trying to (re)connect would keep the request and send it whenever the
    // server is back, long after the run gave it up: a reference switched in by nobody.
    if (linkBroken())
        return false;
    for (int attempt = 0; attempt < kTransactionAttempts; ++attempt) {
        if (!(write ? link.WriteParameter(entry, text) : link.ReadParameter(entry)))
            return false;
        const auto settled = [&link, entry] {
            const TSendCommand command = link.currentCommand();
            // Another request queued meanwhile took the current command: ours is out of sight.
            return command.Index != entry || command.State == TSendCommand::kAnswered
                   || command.State == TSendCommand::kFailed;
        };
        const WaitOutcome outcome = link.waitUntil(settled, kTransactionPolls * kTransactionPollMs);
        if (outcome == WaitOutcome::Aborted) {
            // The link stopped or the window closes: the procedure ends as after Stop.
            station_.abandonRun();
            return false;
        }
        const TSendCommand command = link.currentCommand();
        if (outcome != WaitOutcome::Done || command.Index != entry) {
            linkBroken(); // the connection may have gone while the request was out
            return false; // lost: no answer in time
        }
        if (command.State == TSendCommand::kAnswered) {
            answered_ = command.Value;
            return true;
        }
        // Refused by the board: send it again while attempts remain.
    }
    return false;
}

bool BoardPrimitives::linkBroken()
{
    const LinkState state = station_.link().linkState();
    if (state != LinkState::Connecting && state != LinkState::Reconnecting
        && state != LinkState::Lost)
        return false;
    if (!station_.abandoned())
        station_.host().AddLogLine(QStringLiteral("- veza sa serverom je prekinuta"));
    station_.abandonRun();
    return true;
}

bool BoardPrimitives::DeselectAllPoints()
{
    for (const std::uint16_t entry : kSelectEntries)
        if (!TransactEntry(entry, true, "0"))
            return false;
    return true;
}

int BoardPrimitives::PollMeasureStatus(int previous)
{
    if (!TransactEntry(kSwapStateEntry, false)) {
        ++swapReadFailures_;
        return previous;
    }
    swapReadFailures_ = 0;
    const int state = lowByte(answered_);
    if (previous == 0 && state == 2)
        return 2;
    if (state == 0)
        return 0;
    return previous;
}

bool BoardPrimitives::MeasurePoint(int row, bool force, int column, int point)
{
    station_.StopRequested = false;
    bool result = false;
    const TCalib& s = recipeStep(row, column);
    if (s.CalEntry == 0 && !force)
        return false;
    TPointResult p;
    p.Old = entryValue(s.CalEntry);
    p.New = p.Old;
    const TCalib& t = recipeStep(row, point);
    progress_.point = point;
    progress_.reading = 0;
    showProgress();

    if (TransactEntry(t.SelectEntry, true, std::string(t.SelectCode))) {
        int budget = t.WaitMode == 0 ? MaxChecksTimed : MaxChecksPolled;
        int skip = TimedSkip;
        int state = kNoSwapState;
        swapReadFailures_ = 0;
        bool finished = false;
        while (!finished && !station_.StopRequested) {
            if (t.WaitMode == 0) {
                station_.pause(TimedWaitMs);
                state = 2;
            } else {
                // Wood inputs share one measuring path: the input is chosen before each cycle.
                // An input that cannot be chosen (refused, not sent, no answer) fails the point:
                // retrying at once would spin without ever reaching the board's swap cycle.
                if (t.WaitMode == 2
                    && !TransactEntry(kWoodInputEntry, true, std::to_string(point - 1)))
                    break;
                state = PollMeasureStatus(state);
            }
            if (station_.StopRequested)
                break;
            if (state != 2) {
                // A board that no longer answers never completes a cycle: give the point up
                // instead of waiting for Stop.
                if (t.WaitMode != 0 && swapSilent())
                    break;
                continue;
            }
            if (!TransactEntry(t.StatusEntry, false))
                break;
            if ((lowByte(answered_) & t.ReadyMask) == 0) {
                if (!TransactEntry(t.ValueEntry, false))
                    break;
                const std::int16_t r = answered_;
                ++progress_.reading;
                showProgress();
                if (t.WaitMode == 0 && skip > 0) {
                    --skip;
                } else {
                    skip = TimedSkip;
                    if (std::abs(p.New - r) < station_.StableDelta) {
                        result = true;
                        finished = true;
                    }
                    p.New = r;
                }
            }
            // A pass that found the channel not ready spends the budget too, so a channel that
            // never becomes ready fails its points instead of holding the run until Stop.
            if (finished)
                break;
            if (budget > 0)
                --budget;
            else
                break;
            state = kNoSwapState;
        }
        TransactEntry(t.SelectEntry, true, "0");
    }
    if (point >= 1 && point <= kCalPoints)
        station_.calPoint(row, point) = p;
    return result;
}

bool BoardPrimitives::BeginProcedure()
{
    if (station_.procedureRunning())
        return false;
    station_.setProcedureRunning(true);
    station_.clearAbandoned();
    station_.host().beginProcedure();
    progress_ = {};
    progress_.running = true;
    progress_.started = station_.clock();
    showProgress();
    return true;
}

void BoardPrimitives::EndProcedure()
{
    progress_.running = false;
    progress_.channel.clear();
    progress_.point = 0;
    showProgress();
    station_.host().endProcedure();
    station_.setProcedureRunning(false);
}

QString BoardPrimitives::beginChannel(int tag)
{
    const TConfig& config = ProcedureTable[static_cast<std::size_t>(tag)];
    CalibrationHost& host = station_.host();
    station_.StableDelta =
        host.method() == CalibrationHost::Method::Deep ? std::int16_t{1} : station_.different();
    QString channel = recipeText(config.ChannelName);
    host.AddLogLine(recipeText(config.ProcName) + QStringLiteral(" - ") + channel);
    progress_.channel = channel;
    progress_.point = 0;
    showProgress();
    return channel;
}

void BoardPrimitives::ResetPointColors(int row)
{
    for (int k = 1; k <= kCalPoints; ++k)
        station_.host().paintPoint(row, k, CalibrationHost::PointPaint::Reset);
}

std::int16_t BoardPrimitives::entryValue(std::uint16_t entry) const
{
    return readEntry(station_.link(), entry).value;
}

void BoardPrimitives::pointFinished(bool passed)
{
    ++progress_.pointsDone;
    progress_.pointsFailed += passed ? 0 : 1;
    progress_.reading = 0;
    showProgress();
}

void BoardPrimitives::showProgress()
{
    station_.host().showProgress(progress_);
}

} // namespace quell
