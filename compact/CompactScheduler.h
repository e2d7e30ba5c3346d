#pragma once

#include "client/AnswerOutcome.h"
#include "client/CellMarkBook.h"
#include "client/CommandQueue.h"
#include "client/DeviceLink.h"
#include "client/LineProtocol.h"
#include "client/LineScheduler.h"
#include "client/RequestScheduler.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quell::compact {

class TProtocol;
struct TCommands;

// What one answer line changed, for the window to show (on the GUI thread).
struct CompactAnswerEffects {
    LineProtocol::SettingsWordValues echo;     // settings words taken from the echo
    std::optional<int> timeOutPosition;        // the time-out an echoed "TOUT=" set
    std::vector<std::uint8_t> changedCells;    // rows whose value cell now shows a new text
    std::vector<std::uint8_t> answeredEntries; // entries an answer block was found for
    int timeOuts = 0;                          // blocks the board did not answer in time
    // Blocks answered wrongly: the board's error replies (but its "no_error" confirmation), garbled
    // or foreign answers, the server's failure words.
    int errorAnswers = 0;
    // Rows whose mark (not sent, no answer lately) changed without their text changing.
    std::vector<std::uint8_t> markedCells;
};

// The compact configurator's request scheduler. It shares the link worker, the line protocol
// and the command ring with the full tool but has its own rules: up to two queued writes and the
// polls share one line, polls follow the poll word (periodic always, manual until the entry has
// a value, on demand while the entry can be read), and the answers are matched and decoded here
// rather than by the engine. It owns the value cells the grid shows and the lock that guards
// them and the table against the worker. Every public member is thread-safe.
class CompactScheduler : public LineScheduler {
public:
    // The scheduler of a table that outlives it.
    explicit CompactScheduler(TProtocol& table);

    // ---- GUI thread ----

    // New settings from the controls (the MC fields are not used).
    void setSettings(const LinkSettings& settings);
    // The current settings.
    LinkSettings settings() const;
    // Marks one settings word for the next request line.
    void markSettingsChanged(LineProtocol::SettingsWord word);
    // A new connection: every settings word is due, no entry has a value, the sweep starts at
    // entry 1, no pause runs. Commands queued while stopped stay queued.
    void connected();
    // Queues a write of the entry's current raw Value; false when the entry is not in the table
    // or ten commands are already waiting (nothing is queued then). The entry's cell no longer
    // counts as unsent once its write is queued.
    bool WriteParameter(std::uint8_t entry);
    // Applies one answer line: the settings echo, then every answer block in line order.
    CompactAnswerEffects ProcessAnswerLine(std::string_view line);
    // The row the user has selected (0: none). Answers never change its cell, so what the user
    // is typing there stays.
    void setSelectedRow(std::uint16_t row);
    // The text of a row's value cell.
    std::string cellText(std::uint16_t row) const;
    // Sets the text of a row's value cell (the user typed it, or a value set was loaded); the
    // cell is marked unsent unless the text is empty, the one the board is known to hold, or the
    // entry is read-only.
    void setCellText(std::uint16_t row, std::string text);
    // Empties every value cell and drops their unsent marks.
    void clearCells();
    // The marks of a row's value cell (none beyond the table).
    CellMarks cellMarks(std::uint16_t row) const;
    // Runs fn with the table locked against the worker; fn must not call back into this object.
    template <typename Fn> auto withTable(Fn&& fn) const
    {
        std::lock_guard lock(mutex_);
        return fn(static_cast<const TProtocol&>(table_));
    }
    // Runs fn with the table locked for changes (loading, typed values); the worker looks again.
    template <typename Fn> auto editTable(Fn&& fn)
    {
        struct NotifyAfterUnlock {
            CompactScheduler* self;
            ~NotifyAfterUnlock() { self->wake(); }
        } notifyAfterUnlock{this};
        std::lock_guard lock(mutex_);
        return fn(table_);
    }

    // ---- worker thread ----

    RequestPlan BuildRequestLine() override;
    void waitForWork(Clock::time_point deadline) override;
    void wake() override;
    // Where the next sweep begins.
    std::uint8_t pollCursor() const;

    // Whether a sweep reads the entry: its poll word is periodic, or manual while it has no
    // value yet, or any other word while it can be read.
    static bool needsPoll(const TCommands& entry);
    // The word a window shows for an error reply of the board (command byte 0xB0-0xBF).
    static std::string errorWord(std::uint8_t code);

private:
    std::string readFrame(std::uint8_t entry) const;
    std::uint8_t addressByte() const;
    void appendSettingsWords(std::string& line);
    void takeEcho(CompactAnswerEffects& effects);
    // The cell's text for an answer block, and whether it carried the entry's value.
    std::pair<std::string, bool> answerText(std::uint8_t entry, std::uint8_t code,
                                            std::uint8_t parameterCode, std::string_view answer);
    // Counts one block's outcome for the line and for its entry.
    void noteOutcome(CompactAnswerEffects& effects, std::uint8_t entry, AnswerOutcome what);

    TProtocol& table_;
    mutable std::mutex mutex_;
    std::condition_variable workArrived_;
    bool woken_ = false;
    LinkSettings settings_;
    std::array<bool, LineProtocol::kSettingsWordCount> settingsChanged_{};
    std::uint8_t pollCursor_ = 1;
    bool pacingWait_ = false;
    Clock::time_point pacingUntil_{};
    CommandQueue queue_;
    std::vector<std::string> cells_;
    CellMarkBook marks_;
    std::uint16_t selectedRow_ = 0;
};

} // namespace quell::compact
