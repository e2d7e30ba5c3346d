#include "client/RequestScheduler.h"

#include "client/AnswerOutcome.h"
#include "client/ClientSettings.h"
#include "protocol/ConvertError.h"
#include "protocol/NumberText.h"
#include "protocol/ValueCodec.h"

#include <algorithm>
#include <charconv>

namespace quell {

namespace {

// An echoed value as a message may quote it: a message box is no place for control characters,
// bytes of an unknown code page or thousands of characters.
std::string shownEchoValue(std::string_view value)
{
    constexpr std::size_t kShown = 40;
    std::string shown = "'";
    for (char c : value.substr(0, kShown)) {
        const auto byte = static_cast<unsigned char>(c);
        shown += byte >= 0x20 && byte < 0x7F ? c : '?';
    }
    shown += value.size() > kShown ? "'..." : "'";
    return shown;
}

} // namespace

RequestScheduler::RequestScheduler(TProtocol& table)
    : table_(table), cells_(table.Commands.size()), marks_(table.Commands.size())
{
}

void RequestScheduler::setSettings(const LinkSettings& settings)
{
    std::lock_guard lock(mutex_);
    settings_ = settings;
}

LinkSettings RequestScheduler::settings() const
{
    std::lock_guard lock(mutex_);
    return settings_;
}

void RequestScheduler::markSettingsChanged(LineProtocol::SettingsWord word)
{
    {
        std::lock_guard lock(mutex_);
        settingsChanged_[LineProtocol::indexOf(word)] = true;
    }
    notify();
}

void RequestScheduler::connected()
{
    {
        std::lock_guard lock(mutex_);
        settingsChanged_.fill(true);
        // A new connection may be to a mended server: what it echoes is judged afresh.
        refusedEcho_ = {};
        for (TCommands& entry : table_.Commands)
            entry.Valid = false;
        marks_.connected();
        pollCursor_ = 1;
        pacingWait_ = false;
    }
    notify();
}

void RequestScheduler::beginSendAll()
{
    {
        std::lock_guard lock(mutex_);
        sendAllMode_ = true;
        // Beyond the table, so that the first step wraps to entry 1.
        pollCursor_ = static_cast<std::uint16_t>(table_.Count + 1);
    }
    notify();
}

bool RequestScheduler::sendAllMode() const
{
    std::lock_guard lock(mutex_);
    return sendAllMode_;
}

bool RequestScheduler::WriteParameter(std::uint16_t index, std::string_view valueText)
{
    std::unique_lock lock(mutex_);
    TCommands* entry = index >= 1 && index <= table_.Count ? table_.entryAt(index) : nullptr;
    TSendCommand command;
    command.Index = index;
    if (!entry) {
        command.State = TSendCommand::kFailed;
        currentCommand_ = command;
        return false;
    }
    // A value the entry cannot hold never reaches the device (cut to 16 bits it would be another
    // value altogether).
    if (const auto refusal = writeRefusal(*entry, valueText))
        throw EWriteRefused(*refusal);
    command.OldValue = entry->Value;
    command.Frame =
        table_.BuildWriteRequest(index, valueText, addressFor(index), settings_.mask,
                                 settings_.viaMC, settings_.mcAddress, settings_.mcMask);
    command.Value = entry->Value;
    if (!queueCommand(command)) {
        // The device never sees this write, so the entry must not keep its value either.
        entry->Value = command.OldValue;
        return false;
    }
    marks_.sent(index);
    lock.unlock();
    notify();
    return true;
}

bool RequestScheduler::ReadParameter(std::uint16_t index)
{
    std::unique_lock lock(mutex_);
    TSendCommand command;
    command.Index = index;
    const TCommands* entry = index >= 1 && index <= table_.Count ? table_.entryAt(index) : nullptr;
    if (!entry) {
        command.State = TSendCommand::kFailed;
        currentCommand_ = command;
        return false;
    }
    command.OldValue = entry->Value;
    command.Value = entry->Value;
    command.Frame = readFrame(index);
    if (!queueCommand(command))
        return false;
    lock.unlock();
    notify();
    return true;
}

bool RequestScheduler::queueCommand(TSendCommand command)
{
    command.State = TSendCommand::kQueued;
    currentCommand_ = command;
    if (queue_.PushCommand(command))
        return true;
    // A caller waiting on the state learns at once that this request will never be sent.
    currentCommand_.State = TSendCommand::kFailed;
    return false;
}

TSendCommand RequestScheduler::currentCommand() const
{
    std::lock_guard lock(mutex_);
    return currentCommand_;
}

std::string RequestScheduler::cellText(std::uint16_t row) const
{
    std::lock_guard lock(mutex_);
    return row < cells_.size() ? cells_[row] : std::string();
}

void RequestScheduler::setCellText(std::uint16_t row, std::string text)
{
    std::lock_guard lock(mutex_);
    if (row >= cells_.size())
        return;
    // A text the board is known to hold is no news for it (Esc puts the device's text back).
    const TCommands& entry = table_.Commands[row];
    marks_.textPut(row, text, entry.Valid, entry.ValueText);
    cells_[row] = std::move(text);
}

void RequestScheduler::clearCells()
{
    std::lock_guard lock(mutex_);
    for (std::string& cell : cells_)
        cell.clear();
    marks_.cellsCleared();
}

CellMarks RequestScheduler::cellMarks(std::uint16_t row) const
{
    std::lock_guard lock(mutex_);
    return marks_.marks(row);
}

void RequestScheduler::noteOutcome(AnswerEffects& effects, std::uint16_t entry, AnswerOutcome what)
{
    if (what == AnswerOutcome::TimeOut)
        ++effects.timeOuts;
    else if (what == AnswerOutcome::Error)
        ++effects.errorAnswers;
    if (entry != 0 && marks_.answered(entry, what))
        effects.markedCells.push_back(entry);
}

std::uint8_t RequestScheduler::addressFor(std::uint16_t index) const
{
    const TCommands* entry = table_.entryAt(index);
    return entry && entry->FixedAddress ? kFixedDeviceAddress : settings_.deviceAddress;
}

std::string RequestScheduler::readFrame(std::uint16_t index) const
{
    return table_.BuildReadRequest(index, addressFor(index), settings_.mask, settings_.viaMC,
                                   settings_.mcAddress, settings_.mcMask);
}

void RequestScheduler::appendSettingsWords(std::string& line)
{
    using LineProtocol::SettingsWord;
    const std::pair<SettingsWord, std::string> words[] = {
        {SettingsWord::User, settings_.userName},
        {SettingsWord::Baud, settings_.baud},
        {SettingsWord::Parity, settings_.parity},
        {SettingsWord::DataBits, settings_.dataBits},
        {SettingsWord::StopBits, settings_.stopBits},
        {SettingsWord::TimeOut,
         LineProtocol::timeOutWordValue(settings_.timeOutPosition, settings_.viaMC)},
        {SettingsWord::Retries, settings_.retries},
    };
    LineProtocol::SettingsWordValues values;
    for (const auto& [word, value] : words) {
        const std::size_t i = LineProtocol::indexOf(word);
        if (settingsChanged_[i]) {
            values[i] = value;
            settingsChanged_[i] = false;
        }
    }
    line = LineProtocol::composeSettingsLine(values);
}

void RequestScheduler::sendAllStep(RequestPlan& plan)
{
    pollCursor_ = pollCursor_ > table_.Count ? 1 : static_cast<std::uint16_t>(pollCursor_ + 1);
    while (pollCursor_ <= table_.Count) {
        const TCommands& entry = table_.Commands[pollCursor_];
        if (entry.Enabled && entry.Access == kAccessReadWrite)
            break;
        ++pollCursor_;
    }
    if (pollCursor_ > table_.Count) {
        pollCursor_ = 1;
        sendAllMode_ = false;
        plan.sendAllFinished = true;
        return;
    }
    currentIndex_ = pollCursor_;
    plan.selectRow = pollCursor_;
    try {
        if (const auto refusal = writeRefusal(table_.Commands[pollCursor_], cells_[pollCursor_]))
            throw EWriteRefused(*refusal);
        LineProtocol::appendBlock(
            plan.line, table_.BuildWriteRequest(
                           pollCursor_, cells_[pollCursor_], addressFor(pollCursor_),
                           settings_.mask, settings_.viaMC, settings_.mcAddress, settings_.mcMask));
        marks_.sent(pollCursor_);
    } catch (const std::exception& error) {
        // A cell that is not a number, or outside its entry's limits, is reported and skipped;
        // the rest of the table still goes.
        plan.error = error.what();
    }
}

void RequestScheduler::pollStep(std::string& line)
{
    currentIndex_ = pollCursor_;
    const TCommands* underCursor = table_.entryAt(pollCursor_);
    // Nothing else is asked while entry 1, the device's identity, has no value yet.
    if (!table_.Commands[1].Valid && underCursor && underCursor->Enabled) {
        pollCursor_ = 1;
        LineProtocol::appendBlock(line, readFrame(1));
        return;
    }
    int count = 0;
    bool counting = false;
    for (;;) {
        if (table_.NeedsPoll(pollCursor_)) {
            LineProtocol::appendBlock(line, readFrame(pollCursor_));
            ++count;
        } else if (const TCommands* entry = table_.entryAt(pollCursor_);
                   entry && entry->Enabled && entry->PollRate > 1
                   && entry->Access != kAccessWriteOnly) {
            counting = true;
        }
        ++pollCursor_;
        if (pollCursor_ > table_.Count) {
            pollCursor_ = 1;
            if (currentIndex_ == 1)
                break;
            currentIndex_ = 1;
        }
        if (count >= settings_.maxPacket)
            break;
    }
    nothingDue_ = count == 0 && !counting;
}

std::chrono::milliseconds RequestScheduler::answerTimeoutFor(std::string_view line) const
{
    return LineProtocol::answerTimeout(LineProtocol::blockCount(line), settings_.timeOutPosition,
                                       settings_.viaMC, settings_.retries);
}

RequestPlan RequestScheduler::BuildRequestLine()
{
    std::lock_guard lock(mutex_);
    // This line sees every change made so far; only later ones need to wake the worker again.
    woken_ = false;
    RequestPlan plan;
    const Clock::time_point now = Clock::now();
    if (pacingWait_ && now >= pacingUntil_)
        pacingWait_ = false;
    appendSettingsWords(plan.line);
    if (!plan.line.empty() || pacingWait_) {
        plan.answerTimeout = answerTimeoutFor(plan.line);
        return plan;
    }

    if (sendAllMode_) {
        sendAllStep(plan);
    } else if (queue_.PopCommand(currentCommand_)) {
        if (currentCommand_.State == TSendCommand::kQueued)
            currentCommand_.State = TSendCommand::kSent;
        LineProtocol::appendBlock(plan.line, currentCommand_.Frame);
    } else {
        pollStep(plan.line);
    }
    plan.deviceLine = !plan.line.empty();
    plan.answerTimeout = answerTimeoutFor(plan.line);
    if (settings_.transmitDelay > 0) {
        pacingWait_ = true;
        pacingUntil_ = now + std::chrono::milliseconds(settings_.transmitDelay);
    } else {
        pacingWait_ = false;
    }
    return plan;
}

bool RequestScheduler::acceptEcho(AnswerEffects& effects, LineProtocol::SettingsWord word,
                                  bool accepted, std::string_view reason,
                                  std::optional<std::string>* message)
{
    std::optional<std::string>& value = effects.echo[LineProtocol::indexOf(word)];
    std::optional<std::string>& refused = refusedEcho_[LineProtocol::indexOf(word)];
    if (accepted) {
        refused.reset();
        return true;
    }
    if (refused != value) {
        refused = value;
        std::string text =
            "The server's answer set " + std::string(LineProtocol::settingsWordKey(word))
            + shownEchoValue(*value) + ", " + std::string(reason) + ": the setting stays as it is.";
        if (message)
            *message = std::move(text);
        else
            effects.refused.push_back(std::move(text));
    }
    value.reset();
    return false;
}

AnswerEffects RequestScheduler::ProcessAnswerLine(std::string_view line)
{
    using LineProtocol::SettingsWord;
    std::lock_guard lock(mutex_);
    AnswerEffects effects;
    effects.echo = LineProtocol::parseSettingsEcho(line);
    auto echoed = [&](SettingsWord word) -> std::optional<std::string>& {
        return effects.echo[LineProtocol::indexOf(word)];
    };
    // Only what the controls could hold is taken: the echo goes into them and, at close, into
    // the settings file, so a garbled or hostile echo must not get that far.
    const std::pair<SettingsWord, std::string*> listed[] = {
        {SettingsWord::Baud, &settings_.baud},
        {SettingsWord::Parity, &settings_.parity},
        {SettingsWord::DataBits, &settings_.dataBits},
        {SettingsWord::StopBits, &settings_.stopBits},
    };
    for (const auto& [word, setting] : listed) {
        if (!echoed(word))
            continue;
        const auto offered = LineProtocol::offeredValues(word);
        if (acceptEcho(effects, word,
                       std::find(offered.begin(), offered.end(), *echoed(word)) != offered.end(),
                       "which is not one of the values offered"))
            *setting = *echoed(word);
    }
    if (const auto& timeOut = echoed(SettingsWord::TimeOut)) {
        try {
            const int position =
                LineProtocol::timeOutPositionFromEcho(parseInteger(*timeOut), settings_.viaMC);
            if (acceptEcho(effects, SettingsWord::TimeOut,
                           position >= ClientSettings::kTimeOutMin
                               && position <= ClientSettings::kTimeOutMax,
                           "which is outside the time-out's range")) {
                settings_.timeOutPosition = position;
                effects.timeOutPosition = position;
            }
        } catch (const EConvertError&) {
            // The rest of this line is not applied; the next exchange goes on as usual. A server
            // that keeps echoing the same text is reported only once.
            acceptEcho(effects, SettingsWord::TimeOut, false, "which is not a valid integer value",
                       &effects.error);
            echoed(SettingsWord::Retries).reset();
            return effects;
        }
    }
    if (const auto& retries = echoed(SettingsWord::Retries)) {
        int count = 0;
        const char* end = retries->data() + retries->size();
        const auto parsed = std::from_chars(retries->data(), end, count);
        if (acceptEcho(effects, SettingsWord::Retries,
                       parsed.ec == std::errc() && parsed.ptr == end
                           && count >= ClientSettings::kRetryingMin
                           && count <= ClientSettings::kRetryingMax,
                       "which is not a retry count the settings allow"))
            settings_.retries = *retries;
    }

    std::size_t position = 0;
    LineProtocol::AnswerBlock block;
    while (LineProtocol::NextAnswerBody(line, position, block)) {
        TAnswerResult result;
        try {
            result = table_.ParseAnswer(block.frame, block.answer, currentIndex_);
        } catch (const EConvertError& error) {
            effects.error = error.what();
            ++effects.errorAnswers;
            break;
        }
        currentIndex_ = result.Entry;
        // Only an answer matched to its entry says something about that entry.
        const bool matched = result.Taken || !result.Status.empty();
        noteOutcome(effects, matched ? result.Entry : 0,
                    classifyAnswer(block.answer, result.Taken, result.Status));
        if (!result.Taken) {
            if (currentCommand_.State == TSendCommand::kSent)
                currentCommand_.State = TSendCommand::kFailed;
            continue;
        }
        const TCommands& entry = table_.Commands[result.Entry];
        if (currentCommand_.State == TSendCommand::kSent) {
            currentCommand_.State = TSendCommand::kAnswered;
            currentCommand_.Value = entry.Value;
        }
        effects.answeredEntries.push_back(result.Entry);
        if (cells_[result.Entry] != entry.ValueText) {
            cells_[result.Entry] = entry.ValueText;
            effects.changedCells.push_back(result.Entry);
        }
        // The answer replaced whatever waited in the cell.
        if (marks_.sent(result.Entry))
            effects.markedCells.push_back(result.Entry);
    }
    return effects;
}

void RequestScheduler::waitForWork(Clock::time_point deadline)
{
    std::unique_lock lock(mutex_);
    // While nothing can fall due by itself, only a change (which wakes us) or the deadline ends
    // the wait; otherwise the end of the pause does.
    const Clock::time_point until =
        pacingWait_ && !nothingDue_ ? std::min(deadline, pacingUntil_) : deadline;
    workArrived_.wait_until(lock, until, [this] { return woken_; });
    woken_ = false;
}

void RequestScheduler::wake()
{
    notify();
}

void RequestScheduler::notify()
{
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
        nothingDue_ = false;
    }
    workArrived_.notify_all();
}

bool RequestScheduler::pacing() const
{
    std::lock_guard lock(mutex_);
    return pacingWait_ && Clock::now() < pacingUntil_;
}

std::uint16_t RequestScheduler::pollCursor() const
{
    std::lock_guard lock(mutex_);
    return pollCursor_;
}

} // namespace quell
