#pragma once

#include "client/AnswerOutcome.h"
#include "client/CellMarkBook.h"
#include "client/CommandQueue.h"
#include "client/DeviceLink.h"
#include "client/LineProtocol.h"
#include "client/LineScheduler.h"
#include "client/TSendCommand.h"

#include "protocol/UCommands.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quell {

// What the settings controls say, as the scheduler needs it. The window hands over a fresh copy
// whenever a control changes, so the worker never reads a control.
struct LinkSettings {
    std::string userName; // login name, at most 20 characters
    std::string baud = "57600";
    std::string parity = "Even";
    std::string dataBits = "8";
    std::string stopBits = "1";
    int timeOutPosition = 80;
    std::string retries = "3";
    bool viaMC = false;
    std::uint8_t deviceAddress = 1;
    std::uint8_t mask = 160;
    std::uint8_t mcAddress = 1;
    std::uint8_t mcMask = 64;
    std::uint8_t maxPacket = 1;
    int transmitDelay = 10; // milliseconds of pause after each device line; <= 0: none
};

// What one answer line changed, for the window to show (on the GUI thread).
struct AnswerEffects {
    LineProtocol::SettingsWordValues echo;      // settings words the server echoed
    std::optional<int> timeOutPosition;         // up-down position from an echoed "TOUT="
    std::vector<std::uint16_t> changedCells;    // rows whose value cell now shows ValueText
    std::vector<std::uint16_t> answeredEntries; // entries whose answer was taken, in line order
    std::optional<std::string> error;           // conversion error that stopped the line
    // Echoed settings words refused because the controls could not hold them (not a value they
    // offer, or a number out of range), one message each; a word refused again with the same
    // value is not reported again within the connection.
    std::vector<std::string> refused;
    // Answers in this line that said the device did not answer in time, and those that said it
    // answered wrongly (refused, garbled, not understood).
    int timeOuts = 0;
    int errorAnswers = 0;
    // Rows whose mark (not sent, no answer lately) changed without their text changing.
    std::vector<std::uint16_t> markedCells;
};

// The request scheduler of one link: which request line goes out next (settings words, a send-all
// step, a queued command or a batch of polls), the pacing pause after device lines, and how an
// answer line is applied to the parameter table. It owns the value cells the parameter window
// shows and the lock that guards them and the table, so the worker thread and the GUI thread can
// share them. Every public member is thread-safe.
class RequestScheduler : public LineScheduler {
public:
    // The scheduler of a table that outlives it.
    explicit RequestScheduler(TProtocol& table);

    // ---- GUI thread ----

    // New settings from the controls; the words already marked changed carry the new values.
    void setSettings(const LinkSettings& settings);
    // The current settings.
    LinkSettings settings() const;
    // Marks one settings word for the next request line.
    void markSettingsChanged(LineProtocol::SettingsWord word);
    // A new connection: every settings word is due, every entry is read again from entry 1,
    // no pause runs.
    void connected();
    // Starts "Send all to target" from entry 1.
    void beginSendAll();
    // True while "Send all to target" is in progress.
    bool sendAllMode() const;
    // Queues a write of a value text; false when the queue is full (the entry keeps its value
    // and CurrentCommand shows the request as failed). Throws EConvertError for a text that is
    // not a number, and EWriteRefused (nothing queued) for a number outside the entry's limits.
    bool WriteParameter(std::uint16_t index, std::string_view valueText);
    // Queues a one-off read; false when the queue is full (CurrentCommand shows it failed).
    bool ReadParameter(std::uint16_t index);
    // The direct request last queued or last taken from the queue.
    TSendCommand currentCommand() const;
    // Applies one answer line: settings echo, then every answer block in line order.
    AnswerEffects ProcessAnswerLine(std::string_view line);
    // The text of a row's value cell.
    std::string cellText(std::uint16_t row) const;
    // Sets the text of a row's value cell (the user typed it, or a value set was loaded).
    void setCellText(std::uint16_t row, std::string text);
    // Empties every value cell; they fill again as answers arrive.
    void clearCells();
    // The marks of a row's value cell (none beyond the table).
    CellMarks cellMarks(std::uint16_t row) const;
    // Failed answers in a row after which an entry's value counts as unanswered.
    static constexpr int kUnansweredAfter = CellMarkBook::kUnansweredAfter;
    // Runs fn with the table locked against the worker; fn must not call back into this object.
    template <typename Fn> auto withTable(Fn&& fn) const
    {
        std::lock_guard lock(mutex_);
        return fn(static_cast<const TProtocol&>(table_));
    }
    // Runs fn with the table and the value cells (cells[n] shows entry n) locked against the
    // worker, for reading both at once; fn must not call back into this object.
    template <typename Fn> auto withTableAndCells(Fn&& fn) const
    {
        std::lock_guard lock(mutex_);
        return fn(static_cast<const TProtocol&>(table_), std::as_const(cells_));
    }
    // Runs fn with the table locked for changes (loading, enabling); the worker looks again.
    template <typename Fn> auto editTable(Fn&& fn)
    {
        struct NotifyAfterUnlock {
            RequestScheduler* self;
            ~NotifyAfterUnlock() { self->notify(); }
        } notifyAfterUnlock{this};
        std::lock_guard lock(mutex_);
        return fn(table_);
    }

    // ---- worker thread ----

    // The next request line (empty while the pause runs or nothing is due).
    RequestPlan BuildRequestLine() override;
    // Waits until a request line may be due: the pause ended, a command was queued, a settings
    // word or send-all was asked for, wake() was called, or the deadline passed.
    void waitForWork(Clock::time_point deadline) override;
    // Releases waitForWork (for Stop).
    void wake() override;
    // True while the pause after a device line runs.
    bool pacing() const;
    // Where the next poll or send-all step begins.
    std::uint16_t pollCursor() const;

private:
    std::string readFrame(std::uint16_t index) const;
    std::chrono::milliseconds answerTimeoutFor(std::string_view line) const; // lock held
    bool acceptEcho(AnswerEffects& effects, LineProtocol::SettingsWord word, bool accepted,
                    std::string_view reason, std::optional<std::string>* message = nullptr);
    std::uint8_t addressFor(std::uint16_t index) const;
    void appendSettingsWords(std::string& line);
    void sendAllStep(RequestPlan& plan);
    void pollStep(std::string& line);
    bool queueCommand(TSendCommand command);
    void notify();
    // Counts one answer block's outcome for the line and, unless entry is 0, for its entry.
    void noteOutcome(AnswerEffects& effects, std::uint16_t entry, AnswerOutcome what); // lock held

    TProtocol& table_;
    mutable std::mutex mutex_;
    std::condition_variable workArrived_;
    bool woken_ = false;
    LinkSettings settings_;
    std::array<bool, LineProtocol::kSettingsWordCount> settingsChanged_{};
    std::uint16_t pollCursor_ = 1;
    std::uint16_t currentIndex_ = 1;
    bool pacingWait_ = false;
    // The last poll scan found nothing due and no entry counting towards its turn: until
    // something changes, another scan would find nothing either.
    bool nothingDue_ = false;
    Clock::time_point pacingUntil_{};
    bool sendAllMode_ = false;
    TSendCommand currentCommand_;
    CommandQueue queue_;
    std::vector<std::string> cells_;
    CellMarkBook marks_;
    // Per settings word, the echoed value last refused on this connection: a server that
    // repeats it with every answer is reported once, not once per exchange.
    LineProtocol::SettingsWordValues refusedEcho_;
};

} // namespace quell
