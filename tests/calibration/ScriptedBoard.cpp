#include "ScriptedBoard.h"

#include <stdexcept>

namespace quell::test {

ScriptedBoard::ScriptedBoard()
{
    if (!table_.LoadFromFile(QUELL_EXAMPLES_DIR "/vrq-pb.var"))
        throw std::runtime_error("vrq-pb.var did not load");
}

void ScriptedBoard::answers(std::uint16_t entry, std::vector<std::int16_t> values)
{
    answers_[entry] = std::deque<std::int16_t>(values.begin(), values.end());
}

std::int16_t ScriptedBoard::deviceValue(std::uint16_t entry) const
{
    const auto found = device_.find(entry);
    return found != device_.end() ? found->second : table_.Commands[entry].Value;
}

void ScriptedBoard::set(std::uint16_t entry, std::int16_t value)
{
    device_[entry] = value;
    table_.Commands[entry].Value = value;
}

std::vector<std::string> ScriptedBoard::writesTo(std::uint16_t entry) const
{
    const std::string prefix = "W " + std::to_string(entry) + " ";
    std::vector<std::string> texts;
    for (const std::string& line : traffic)
        if (line.rfind(prefix, 0) == 0)
            texts.push_back(line.substr(prefix.size()));
    return texts;
}

bool ScriptedBoard::WriteParameter(std::uint16_t entry, const std::string& valueText)
{
    return queue(entry, true, valueText);
}

bool ScriptedBoard::ReadParameter(std::uint16_t entry)
{
    return queue(entry, false, {});
}

bool ScriptedBoard::queue(std::uint16_t entry, bool write, const std::string& text)
{
    if (!started) {
        ++notConnectedMessages;
        return false;
    }
    command_ = {};
    command_.Index = entry;
    command_.OldValue = table_.Commands[entry].Value;
    command_.Value = command_.OldValue;
    command_.State = TSendCommand::kQueued;
    pending_ = true;
    pendingWrite_ = write;
    pendingText_ = text;
    traffic.push_back((write ? "W " : "R ") + std::to_string(entry) + (write ? " " + text : ""));
    return true;
}

std::int16_t ScriptedBoard::reading(std::uint16_t entry)
{
    auto found = answers_.find(entry);
    if (found != answers_.end() && !found->second.empty()) {
        const std::int16_t value = found->second.front();
        if (found->second.size() > 1)
            found->second.pop_front();
        return value;
    }
    if (entry == 86 && device_.find(entry) == device_.end()) {
        const long long phase = now_ % swapPeriodMs;
        return phase < swapPeriodMs / 3 ? 0 : phase < 2 * swapPeriodMs / 3 ? 1 : 2;
    }
    return deviceValue(entry);
}

void ScriptedBoard::exchange()
{
    pending_ = false;
    command_.State = TSendCommand::kSent;
    advanceTo(now_ + exchangeMs);
    const std::uint16_t entry = command_.Index;
    if (lost_.count(entry) || reconnecting)
        return;
    if (int& refusals = refusals_[entry]; refusals > 0) {
        --refusals;
        command_.State = TSendCommand::kFailed;
        return;
    }
    std::int16_t value = 0;
    if (pendingWrite_) {
        value = table_.TextToValue(entry, pendingText_, deviceValue(entry));
        device_[entry] = value;
    } else {
        value = reading(entry);
    }
    table_.Commands[entry].Value = value;
    command_.Value = value;
    command_.State = TSendCommand::kAnswered;
}

void ScriptedBoard::advanceTo(long long ms)
{
    while (!events_.empty() && events_.begin()->first <= ms) {
        auto event = events_.begin()->second;
        now_ = std::max(now_, events_.begin()->first);
        events_.erase(events_.begin());
        event();
    }
    now_ = std::max(now_, ms);
}

WaitOutcome ScriptedBoard::waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const long long deadline = now_ + std::max(0, timeoutMs);
    for (;;) {
        if (aborted)
            return WaitOutcome::Aborted;
        if (condition())
            return WaitOutcome::Done;
        if (pending_) {
            exchange();
            continue;
        }
        if (now_ >= deadline)
            return WaitOutcome::TimedOut;
        // Nothing in flight: the clock moves to the next event or to the deadline.
        const long long next =
            events_.empty() ? deadline : std::min(deadline, events_.begin()->first);
        advanceTo(next);
    }
}

RecordingPanel::RecordingPanel() = default;

void RecordingPanel::paintPoint(int row, int point, PointPaint paint)
{
    if (row == 6)
        return; // "Drvo sve" has no boxes
    paints[{boxRow(row), point}] = paint;
}

bool RecordingPanel::pointChecked(int row, int point) const
{
    return row == 6 || !uncheckedPoints.count({boxRow(row), point});
}

CalibrationHost::PointPaint RecordingPanel::paintOf(int row, int point) const
{
    const auto found = paints.find({boxRow(row), point});
    return found == paints.end() ? PointPaint::Reset : found->second;
}

} // namespace quell::test
