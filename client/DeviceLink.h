#pragma once

#include "client/TSendCommand.h"
#include "protocol/UCommands.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quell {

// Where the link to the communication server stands.
enum class LinkState {
    Stopped,      // not started by the user
    Connecting,   // started; the first connection is being made
    Connected,    // lines go out and answers come back
    Reconnecting, // the connection broke; a new one is tried on a timer
    Lost,         // started, but no connection could be made; tried again on a timer
};

// How far a value cell can be trusted, apart from whether the link runs at all.
struct CellMarks {
    // The cell holds a text the user typed or a value set or the database put there, which the
    // board has not been sent and no answer has replaced yet.
    bool unsent = false;
    // The entry's last few answers were time-outs or errors: what the cell shows is older.
    bool unanswered = false;

    bool operator==(const CellMarks&) const = default;
};

// How a wait for the board ended.
enum class WaitOutcome {
    Done,     // the condition holds
    TimedOut, // the time ran out first
    Aborted,  // the link stopped or the window closed; the waiting procedure gives up
};

// What the measurement view, the procedures and the compact configurator need of the link: queue
// a write or a read of one entry, follow the outcome in the current command, look at the table
// and its value cells, and know whether the link runs. Every member runs on the GUI thread; the
// table callbacks run with the table locked against the link worker and must not call back.
class DeviceLink {
public:
    virtual ~DeviceLink() = default;

    // Queues a write of a value text to an entry; false (and the user told why) when the link is
    // not started, the text is not a number or the queue is full.
    virtual bool WriteParameter(std::uint16_t entry, const std::string& valueText) = 0;
    // Queues a one-off read of an entry; false (and the user told why) as for WriteParameter.
    virtual bool ReadParameter(std::uint16_t entry) = 0;
    // The direct request last queued or taken from the queue, with its state.
    virtual TSendCommand currentCommand() const = 0;
    // Where the link stands.
    virtual LinkState linkState() const = 0;
    // Whether values arrive now: connected and not paused. Otherwise every value shown is as
    // old as the last answer.
    virtual bool valuesLive() const = 0;
    // The marks of an entry's value cell.
    virtual CellMarks cellMarks(std::uint16_t entry) const = 0;
    // Runs read with the table locked.
    virtual void readTable(const std::function<void(const TProtocol&)>& read) const = 0;
    // Runs read with the table and the value cells (cells[n] shows entry n) locked together.
    virtual void readTableAndCells(
        const std::function<void(const TProtocol&, const std::vector<std::string>&)>& read)
        const = 0;
    // Runs edit with the table locked for changes; the worker looks at the table again after.
    virtual void editTable(const std::function<void(TProtocol&)>& edit) = 0;
    // Waits while the windows keep running until condition() holds (asked at once, after every
    // applied answer line and when the time is up), the time runs out, or the link stops or the
    // window closes. condition must not itself wait.
    virtual WaitOutcome waitUntil(const std::function<bool()>& condition, int timeoutMs) = 0;
};

// One entry's raw value and display text, read under the table's lock (entries beyond the table
// read as 0 and empty text).
struct EntryReading {
    std::int16_t value = 0;
    std::string text;
    bool valid = false;
};
inline EntryReading readEntry(const DeviceLink& link, std::uint16_t entry)
{
    EntryReading reading;
    link.readTable([&](const TProtocol& table) {
        if (const TCommands* c = table.entryAt(entry)) {
            reading.value = c->Value;
            reading.text = c->ValueText;
            reading.valid = c->Valid;
        }
    });
    return reading;
}

} // namespace quell
