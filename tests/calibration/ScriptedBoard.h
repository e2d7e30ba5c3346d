#pragma once

#include "calibration/CalibrationHost.h"
#include "client/DeviceLink.h"
#include "protocol/UCommands.h"

#include <QStringList>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quell::test {

// A VRQ-PB board in its calibrator behind a link, on a simulated clock: every request is
// answered at once as the script says, each exchange takes exchangeMs, and waits move the clock
// instead of sleeping. It records the traffic ("W 60 1", "R 86") in order.
class ScriptedBoard : public DeviceLink {
public:
    // The board's table from the example description, with every value as the file defaults.
    ScriptedBoard();

    // ---- the script ----
    // Readings an entry answers, one per read; the last one repeats.
    void answers(std::uint16_t entry, std::vector<std::int16_t> values);
    // The next n requests on an entry are refused by the board.
    void refuse(std::uint16_t entry, int n) { refusals_[entry] = n; }
    // Requests on an entry are never answered.
    void lose(std::uint16_t entry) { lost_.insert(entry); }
    // Runs fn once the clock reaches atMs.
    void at(long long atMs, std::function<void()> fn) { events_.emplace(atMs, std::move(fn)); }
    // Whether the link is started (a stopped link takes no request and says so).
    bool started = true;
    // Started, but the connection broke: requests are kept for later and never answered now.
    bool reconnecting = false;
    // The link stops at the next wait: every wait from then on is aborted.
    bool aborted = false;
    // Simulated milliseconds one exchange takes.
    int exchangeMs = 20;
    // Period of the swap cycle of entry 86 (0 for a third, 1 for a third, 2 for the rest).
    int swapPeriodMs = 300;

    // ---- what happened ----
    std::vector<std::string> traffic;
    // How often the link told the user it is not connected.
    int notConnectedMessages = 0;
    long long nowMs() const { return now_; }
    // The raw value the board holds for an entry.
    std::int16_t deviceValue(std::uint16_t entry) const;
    // Writes of one entry, as their texts, in order.
    std::vector<std::string> writesTo(std::uint16_t entry) const;
    // Sets an entry on the board and in the table, as an answer would.
    void set(std::uint16_t entry, std::int16_t value);

    // ---- DeviceLink ----
    bool WriteParameter(std::uint16_t entry, const std::string& valueText) override;
    bool ReadParameter(std::uint16_t entry) override;
    TSendCommand currentCommand() const override { return command_; }
    LinkState linkState() const override
    {
        if (!started)
            return LinkState::Stopped;
        return reconnecting ? LinkState::Reconnecting : LinkState::Connected;
    }
    bool valuesLive() const override { return linkState() == LinkState::Connected; }
    CellMarks cellMarks(std::uint16_t /*entry*/) const override { return {}; }
    void readTable(const std::function<void(const TProtocol&)>& read) const override
    {
        read(table_);
    }
    void readTableAndCells(
        const std::function<void(const TProtocol&, const std::vector<std::string>&)>& read)
        const override
    {
        read(table_, {});
    }
    void editTable(const std::function<void(TProtocol&)>& edit) override { edit(table_); }
    WaitOutcome waitUntil(const std::function<bool()>& condition, int timeoutMs) override;

private:
    bool queue(std::uint16_t entry, bool write, const std::string& text);
    void exchange();
    void advanceTo(long long ms);
    std::int16_t reading(std::uint16_t entry);

    TProtocol table_;
    std::map<std::uint16_t, std::int16_t> device_;
    std::map<std::uint16_t, std::deque<std::int16_t>> answers_;
    std::map<std::uint16_t, int> refusals_;
    std::set<std::uint16_t> lost_;
    std::multimap<long long, std::function<void()>> events_;
    TSendCommand command_;
    bool pending_ = false;
    bool pendingWrite_ = false;
    std::string pendingText_;
    long long now_ = 0;
};

// The panel of the page "Kalibracija" as a procedure sees it: boxes, method, swap, test filter,
// board number; it records the log, the paint, the progress and the results selected.
class RecordingPanel : public CalibrationHost {
public:
    RecordingPanel();

    void AddLogLine(const QString& line) override { log << line; }
    void paintPoint(int row, int point, PointPaint paint) override;
    bool pointChecked(int row, int point) const override;
    bool channelChecked(int tag) const override { return !unchecked.count(tag); }
    Method method() const override { return chosen; }
    bool swapPeriod() const override { return swap; }
    int boardNumber() const override { return board; }
    void beginProcedure() override { ++begins; }
    void endProcedure() override { ++ends; }
    void showProgress(const RunProgress& p) override { progress.push_back(p); }
    bool testFilter() const override { return filter; }
    void selectResult(int index) override { results.push_back(index); }

    // Unchecks a point box (recipe row and point).
    void uncheck(int row, int point) { uncheckedPoints.insert({boxRow(row), point}); }
    // The last paint of a point box (Reset when never painted).
    PointPaint paintOf(int row, int point) const;

    QStringList log;
    std::set<int> unchecked; // channel boxes by Tag
    std::set<std::pair<int, int>> uncheckedPoints;
    std::map<std::pair<int, int>, PointPaint> paints;
    std::vector<RunProgress> progress;
    Method chosen = Method::Normal;
    bool swap = false;
    bool filter = false;      // "Filter za merenje"
    std::vector<int> results; // items of "Rezultat" selected, in order
    int board = 7;
    int begins = 0;
    int ends = 0;

private:
    // Both wood rows share their boxes.
    static int boxRow(int row) { return row == 5 ? 4 : row; }
};

} // namespace quell::test
