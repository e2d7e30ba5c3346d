#include "compact/CompactScheduler.h"

#include "client/ClientSettings.h"
#include "compact/UCommands.h"
#include "protocol/ControlChars.h"
#include "protocol/HexText.h"

#include <algorithm>
#include <charconv>

namespace quell::compact {

namespace {

using kestavin::decodePair;

// The board's reply code that confirms a command without carrying a value.
constexpr std::uint8_t kNoErrorCode = 0xB0;

// An answer with the command code, the parameter code and four value characters.
constexpr std::size_t kValueAnswerLength = 10;

// A whole decimal number, or nothing.
std::optional<int> wholeNumber(const std::string& text)
{
    int value = 0;
    const char* end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, value);
    if (parsed.ec != std::errc() || parsed.ptr != end)
        return std::nullopt;
    return value;
}

} // namespace

CompactScheduler::CompactScheduler(TProtocol& table)
    : table_(table), cells_(kTableSize), marks_(kTableSize)
{
}

void CompactScheduler::setSettings(const LinkSettings& settings)
{
    std::lock_guard lock(mutex_);
    settings_ = settings;
}

LinkSettings CompactScheduler::settings() const
{
    std::lock_guard lock(mutex_);
    return settings_;
}

void CompactScheduler::markSettingsChanged(LineProtocol::SettingsWord word)
{
    {
        std::lock_guard lock(mutex_);
        settingsChanged_[LineProtocol::indexOf(word)] = true;
    }
    wake();
}

void CompactScheduler::connected()
{
    {
        std::lock_guard lock(mutex_);
        settingsChanged_.fill(true);
        for (TCommands& entry : table_.Commands)
            entry.Valid = false;
        marks_.connected();
        pollCursor_ = 1;
        pacingWait_ = false;
    }
    wake();
}

std::uint8_t CompactScheduler::addressByte() const
{
    return static_cast<std::uint8_t>(settings_.deviceAddress | settings_.mask);
}

bool CompactScheduler::WriteParameter(std::uint8_t entry)
{
    {
        std::lock_guard lock(mutex_);
        if (entry < 1 || entry > table_.Count)
            return false;
        TSendCommand command;
        command.Index = entry;
        command.Value = table_.Commands[entry].Value;
        command.Frame = table_.BuildWriteFrame(entry, command.Value, addressByte());
        if (!queue_.PushCommand(command))
            return false;
        marks_.sent(entry);
    }
    wake();
    return true;
}

void CompactScheduler::setSelectedRow(std::uint16_t row)
{
    std::lock_guard lock(mutex_);
    selectedRow_ = row;
}

std::string CompactScheduler::cellText(std::uint16_t row) const
{
    std::lock_guard lock(mutex_);
    return row < cells_.size() ? cells_[row] : std::string();
}

void CompactScheduler::setCellText(std::uint16_t row, std::string text)
{
    std::lock_guard lock(mutex_);
    if (row >= cells_.size())
        return;
    // A text the board is known to hold is no news for it (a row left empty gets the value that
    // arrived while it was selected). A value set also fills read-only rows: such a text can
    // never be sent, but it is not the board's either, and is marked as such.
    const TCommands& entry = table_.Commands[row];
    marks_.textPut(row, text, entry.Valid, entry.ValueText);
    cells_[row] = std::move(text);
}

void CompactScheduler::clearCells()
{
    std::lock_guard lock(mutex_);
    for (std::string& cell : cells_)
        cell.clear();
    marks_.cellsCleared();
}

CellMarks CompactScheduler::cellMarks(std::uint16_t row) const
{
    std::lock_guard lock(mutex_);
    return marks_.marks(row);
}

void CompactScheduler::noteOutcome(CompactAnswerEffects& effects, std::uint8_t entry,
                                   AnswerOutcome what)
{
    if (what == AnswerOutcome::TimeOut)
        ++effects.timeOuts;
    else if (what == AnswerOutcome::Error)
        ++effects.errorAnswers;
    if (marks_.answered(entry, what))
        effects.markedCells.push_back(entry);
}

bool CompactScheduler::needsPoll(const TCommands& entry)
{
    switch (entry.PollMode) {
    case kPollPeriodic:
        return true;
    case kPollManual:
        return !entry.Valid;
    default:
        return entry.Access == kAccessReadOnly || entry.Access == kAccessReadWrite;
    }
}

std::string CompactScheduler::errorWord(std::uint8_t code)
{
    static constexpr const char* kWords[] = {"no_error", "bad_code", "bad_value",
                                             "bad_csm",  "bad_form", "read_only"};
    const unsigned low = code & 0x0Fu;
    return (code & 0xF0u) == 0xB0u && low < std::size(kWords) ? kWords[low] : "unrecognized";
}

std::string CompactScheduler::readFrame(std::uint8_t entry) const
{
    return kSoh + std::string(1, static_cast<char>(addressByte())) + table_.BuildReadBody(entry)
           + kEot;
}

void CompactScheduler::appendSettingsWords(std::string& line)
{
    using LineProtocol::SettingsWord;
    const std::pair<SettingsWord, std::string> words[] = {
        {SettingsWord::User, settings_.userName},
        {SettingsWord::Baud, settings_.baud},
        {SettingsWord::Parity, settings_.parity},
        {SettingsWord::DataBits, settings_.dataBits},
        {SettingsWord::StopBits, settings_.stopBits},
        // Without an MC in the path the board's own time-out goes out as it is set.
        {SettingsWord::TimeOut, std::to_string(settings_.timeOutPosition)},
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

RequestPlan CompactScheduler::BuildRequestLine()
{
    std::lock_guard lock(mutex_);
    woken_ = false;
    RequestPlan plan;
    const Clock::time_point now = Clock::now();
    if (pacingWait_ && now >= pacingUntil_)
        pacingWait_ = false;
    appendSettingsWords(plan.line);
    if (plan.line.empty() && !pacingWait_) {
        // One queued command, a second one when a line may carry more than two blocks, then
        // polls fill the line up to MaxPacket blocks; the line ends when the sweep wraps.
        const int maxBlocks = std::max<int>(1, settings_.maxPacket);
        int blocks = 0;
        TSendCommand command;
        if (queue_.PopCommand(command)) {
            LineProtocol::appendBlock(plan.line, command.Frame);
            ++blocks;
            if (maxBlocks > 2 && queue_.PopCommand(command)) {
                LineProtocol::appendBlock(plan.line, command.Frame);
                ++blocks;
            }
        }
        if (pollCursor_ < 1 || pollCursor_ > table_.Count)
            pollCursor_ = 1;
        while (blocks < maxBlocks && table_.Count > 0) {
            if (needsPoll(table_.Commands[pollCursor_])) {
                LineProtocol::appendBlock(plan.line, readFrame(pollCursor_));
                ++blocks;
            }
            if (pollCursor_ >= table_.Count) {
                pollCursor_ = 1;
                break;
            }
            ++pollCursor_;
        }
        plan.deviceLine = !plan.line.empty();
        if (plan.deviceLine && settings_.transmitDelay > 0) {
            pacingWait_ = true;
            pacingUntil_ = now + std::chrono::milliseconds(settings_.transmitDelay);
        }
    }
    plan.answerTimeout = LineProtocol::answerTimeout(
        LineProtocol::blockCount(plan.line), settings_.timeOutPosition, false, settings_.retries);
    return plan;
}

void CompactScheduler::takeEcho(CompactAnswerEffects& effects)
{
    using LineProtocol::SettingsWord;
    // Only what the controls could hold is taken: the echo goes into them and, at close, into
    // the settings file. Anything else leaves the setting as it is.
    const std::pair<SettingsWord, std::string*> listed[] = {
        {SettingsWord::Baud, &settings_.baud},
        {SettingsWord::Parity, &settings_.parity},
        {SettingsWord::DataBits, &settings_.dataBits},
        {SettingsWord::StopBits, &settings_.stopBits},
    };
    for (const auto& [word, setting] : listed) {
        auto& value = effects.echo[LineProtocol::indexOf(word)];
        const auto offered = LineProtocol::offeredValues(word);
        if (value && std::find(offered.begin(), offered.end(), *value) != offered.end())
            *setting = *value;
        else
            value.reset();
    }
    auto& timeOut = effects.echo[LineProtocol::indexOf(SettingsWord::TimeOut)];
    const std::optional<int> position = timeOut ? wholeNumber(*timeOut) : std::nullopt;
    if (position && *position >= ClientSettings::kTimeOutMin
        && *position <= ClientSettings::kTimeOutMax) {
        settings_.timeOutPosition = *position;
        effects.timeOutPosition = position;
    } else {
        timeOut.reset();
    }
    auto& retries = effects.echo[LineProtocol::indexOf(SettingsWord::Retries)];
    const std::optional<int> count = retries ? wholeNumber(*retries) : std::nullopt;
    if (count && *count >= ClientSettings::kRetryingMin && *count <= ClientSettings::kRetryingMax)
        settings_.retries = *retries;
    else
        retries.reset();
}

std::pair<std::string, bool> CompactScheduler::answerText(std::uint8_t entry, std::uint8_t code,
                                                          std::uint8_t parameterCode,
                                                          std::string_view answer)
{
    TCommands& c = table_.Commands[entry];
    if (answer == "TimeOut")
        return {std::string(answer), false};
    if (answer == LineProtocol::kUnreadableAnswer) {
        c.Valid = true;
        return {std::string(answer), false};
    }
    const std::uint8_t answerCode = decodePair(answer, 3);
    if (answer.size() >= kValueAnswerLength && answerCode == code
        && decodePair(answer, 5) == parameterCode) {
        const auto word =
            static_cast<std::uint16_t>((decodePair(answer, 7) << 8) | decodePair(answer, 9));
        // The board's word is signed, but an unsigned entry shows all sixteen bits.
        const std::int32_t raw = c.TypeCode == kTypeUnsigned
                                     ? std::int32_t{word}
                                     : std::int32_t{static_cast<std::int16_t>(word)};
        table_.ValueToText(entry, raw);
        c.Valid = true;
        return {c.ValueText, true};
    }
    if (answer.size() >= 4 && (answerCode & 0xF0u) == 0xB0u) {
        c.Valid = true;
        return {errorWord(answerCode), false};
    }
    return {std::string(answer), false};
}

CompactAnswerEffects CompactScheduler::ProcessAnswerLine(std::string_view line)
{
    std::lock_guard lock(mutex_);
    CompactAnswerEffects effects;
    effects.echo = LineProtocol::parseSettingsEcho(line);
    takeEcho(effects);

    std::size_t position = 0;
    LineProtocol::AnswerBlock block;
    while (LineProtocol::NextAnswerBody(line, position, block)) {
        const std::uint8_t code = decodePair(block.frame, 3);
        const std::uint8_t parameterCode = decodePair(block.frame, 5);
        std::uint8_t entry = 0;
        if (!table_.FindEntryBackward(code, parameterCode, entry))
            continue;
        auto [text, isValue] = answerText(entry, code, parameterCode, block.answer);
        // Anything but the value is the board's or the server's word for a failure (an error
        // reply, a garbled or foreign answer, "TimeOut", "format"), except the board's
        // "no_error": its confirmation without a value, the reply of a write-only entry read
        // once after Start. Counted, it would report an error at every Start.
        const bool confirmed = !isValue && text == errorWord(kNoErrorCode);
        noteOutcome(
            effects, entry,
            confirmed ? AnswerOutcome::None
                      : classifyAnswer(block.answer, isValue, isValue ? std::string_view() : text));
        effects.answeredEntries.push_back(entry);
        if (entry == selectedRow_)
            continue;
        // The answer replaced whatever waited in the cell.
        const bool waited = marks_.sent(entry);
        if (cells_[entry] != text) {
            cells_[entry] = std::move(text);
            effects.changedCells.push_back(entry);
        } else if (waited) {
            effects.markedCells.push_back(entry);
        }
    }
    return effects;
}

void CompactScheduler::waitForWork(Clock::time_point deadline)
{
    std::unique_lock lock(mutex_);
    const Clock::time_point until = pacingWait_ ? std::min(deadline, pacingUntil_) : deadline;
    workArrived_.wait_until(lock, until, [this] { return woken_; });
    woken_ = false;
}

void CompactScheduler::wake()
{
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    workArrived_.notify_all();
}

std::uint8_t CompactScheduler::pollCursor() const
{
    std::lock_guard lock(mutex_);
    return pollCursor_;
}

} // namespace quell::compact
