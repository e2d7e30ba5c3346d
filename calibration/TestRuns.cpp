#include "calibration/TestRuns.h"

#include "calibration/CalibrationRuns.h"
#include "calibration/CalibrationStation.h"
#include "calibration/TestLimits.h"

#include <QStringList>

#include <string>

namespace quell {

namespace {

using Method = CalibrationHost::Method;

// The tags of the test buttons, in the order "Sve" runs them; each is followed by selecting the
// result item tag - kFirstTestTag.
constexpr int kFirstTestTag = 6;
constexpr int kLastTestTag = 11;

QString decimal(long long value)
{
    return QString::number(value);
}

int lowByte(std::int16_t value)
{
    return static_cast<std::uint16_t>(value) & 0xFF;
}

// The verdict line of a tested channel.
QString verdictLine(const TestChannelOutcome& channel)
{
    QStringList outside;
    bool measured = false;
    for (const TestPointOutcome& p : channel.points) {
        measured = measured || p.done;
        if (p.done && !p.within)
            outside << decimal(p.point);
    }
    if (!measured)
        return QStringLiteral("- ocena: nema izmerenih tačaka");
    if (outside.isEmpty())
        return QStringLiteral("- ocena: ispravno");
    return QStringLiteral("- ocena: van granica (")
           + (outside.size() == 1 ? QStringLiteral("tačka ") : QStringLiteral("tačke "))
           + outside.join(QStringLiteral(", ")) + QLatin1Char(')');
}

} // namespace

TestRuns::TestRuns(CalibrationStation& station) : station_(station), board_(station)
{
}

void TestRuns::log(const QString& line)
{
    station_.host().AddLogLine(line);
}

bool TestRuns::running() const
{
    return station_.procedureRunning();
}

std::int16_t TestRuns::readEntry(std::uint16_t entry)
{
    // A failed read leaves the value the table held before the request.
    return board_.TransactEntry(entry, false) ? board_.answeredValue() : board_.entryValue(entry);
}

int TestRuns::plannedPoints(int tag) const
{
    return station_.host().channelChecked(tag) ? kRecipeSteps : 0;
}

bool TestRuns::TestChannel(int row, int tag)
{
    if (row < 0 || row >= kRecipeRows || tag < kFirstTestTag || tag > kLastTestTag)
        return false;
    CalibrationHost& host = station_.host();
    const TConfig& config = ProcedureTable[static_cast<std::size_t>(tag)];
    bool result = true;
    measured_.fill(false);
    const TCalib& h = recipeStep(row, 1);
    const std::int16_t savedFilter = board_.entryValue(h.FilterEntry);
    // "Filter za merenje" tests with the filter the board has; otherwise every reading is raw.
    const bool setFilter = !host.testFilter();
    if (setFilter) {
        board_.TransactEntry(h.FilterEntry, true, "1");
        log(QStringLiteral("- filter: 1"));
    }
    const std::int16_t savedSwap =
        host.swapPeriod() ? board_.entryValue(kSwapPeriodEntry) : std::int16_t{1};
    // Only the channels with a test entry (EMC and wood) may have their swap period forced.
    const bool forceSwap = config.TestEntry != 0
                           && (host.method() == Method::Fast || host.method() == Method::Normal)
                           && host.swapPeriod();
    if (config.TestEntry != 0) {
        board_.TransactEntry(config.TestEntry, true, "0");
        if (forceSwap) {
            board_.TransactEntry(kSwapPeriodEntry, true, "3");
            log(QStringLiteral("- swap: 3"));
        }
    }

    station_.StopRequested = false;
    for (int k = 1; k <= kRecipeSteps; ++k) {
        const TCalib& s = recipeStep(row, k);
        TPointResult& q =
            station_.TestPoints[static_cast<std::size_t>(row)][static_cast<std::size_t>(k - 1)];
        log(QStringLiteral("- tačka: ") + decimal(k) + QStringLiteral(": ")
            + QStringLiteral("    merenje..."));
        // Forced: the test measures every point, also those without a calibration constant.
        if (board_.MeasurePoint(row, true, k, k)) {
            const int bits = lowByte(readEntry(s.TestStatusEntry)) & s.ReadyMask;
            q.Old = static_cast<std::int16_t>((static_cast<std::uint16_t>(q.Old) & 0xFF00) | bits);
            // The value settles over the readings: the third one counts.
            readEntry(s.TestValueEntry);
            readEntry(s.TestValueEntry);
            q.New = readEntry(s.TestValueEntry);
            q.Deviation = testDeviation(q.Expected, q.New);
            q.Done = 1;
            measured_[static_cast<std::size_t>(k - 1)] = true;
        } else {
            // The point keeps its previous reading and deviation; only Done says it failed.
            q.Done = 0;
            result = false;
        }
        board_.pointFinished(q.Done != 0);
        if (station_.StopRequested)
            break;
    }

    if (forceSwap) {
        board_.TransactEntry(kSwapPeriodEntry, true, std::to_string(savedSwap));
        log(QStringLiteral("- swap: ") + decimal(savedSwap));
    }
    if (setFilter) {
        board_.TransactEntry(h.FilterEntry, true, std::to_string(savedFilter));
        log(QStringLiteral("- filter: ") + decimal(savedFilter));
    }
    return result;
}

TestChannelOutcome TestRuns::judge(int row, const QString& channel, bool ok, bool tested) const
{
    const TestLimits& limits = station_.testLimits();
    TestChannelOutcome result;
    result.row = row;
    result.name = channel;
    result.ok = ok;
    bool anyMeasured = false;
    bool allWithin = true;
    for (int k = 1; k <= kRecipeSteps; ++k) {
        const TPointResult& q =
            station_.TestPoints[static_cast<std::size_t>(row)][static_cast<std::size_t>(k - 1)];
        TestPointOutcome point;
        point.point = k;
        point.done = tested && measured_[static_cast<std::size_t>(k - 1)];
        point.errorBits = lowByte(q.Old);
        point.measured = q.New;
        point.expected = q.Expected;
        point.deviation = q.Deviation;
        point.within = point.done && withinLimits(row, q, limits);
        anyMeasured = anyMeasured || point.done;
        allWithin = allWithin && (!point.done || point.within);
        result.points.push_back(point);
    }
    // A channel of which nothing was measured has shown nothing to pass on.
    result.pass = anyMeasured && allWithin;
    return result;
}

void TestRuns::runTest(int tag)
{
    CalibrationHost& host = station_.host();
    const TConfig& config = ProcedureTable[static_cast<std::size_t>(tag)];
    const QString channel = board_.beginChannel(tag);

    if (host.channelChecked(tag)) {
        const auto start = station_.clock();
        station_.StopRequested = false;
        if (board_.DeselectAllPoints()) {
            const bool ok = TestChannel(config.Row, tag);
            log(ok ? QStringLiteral("- OK") : QStringLiteral("- error !!!"));
            TestChannelOutcome judged = judge(config.Row, channel, ok, true);
            log(verdictLine(judged));
            outcome_.channels.push_back(std::move(judged));
        } else {
            outcome_.channels.push_back(judge(config.Row, channel, false, false));
        }
        log(QStringLiteral("- trajanje : ")
            + CalibrationRuns::elapsedText(station_.clock() - start));
    } else {
        log(QStringLiteral("- preskočeno"));
    }
    board_.DeselectAllPoints();
}

bool TestRuns::ButtonIndexClick(int tag)
{
    if (tag < kFirstTestTag || tag > kLastTestTag || !board_.BeginProcedure())
        return false;
    outcome_ = {};
    board_.progress().pointsPlanned = plannedPoints(tag);
    runTest(tag);
    outcome_.ok = !station_.abandoned();
    outcome_.pass = outcome_.ok;
    for (const TestChannelOutcome& channel : outcome_.channels) {
        outcome_.ok = outcome_.ok && channel.ok;
        outcome_.pass = outcome_.pass && channel.pass;
    }
    board_.EndProcedure();
    return true;
}

bool TestRuns::ButtonTestAllClick()
{
    if (!board_.BeginProcedure())
        return false;
    outcome_ = {};
    CalibrationHost& host = station_.host();
    const auto start = station_.clock();
    log(QStringLiteral("Testiranje VRQ-PB:") + decimal(host.boardNumber()));
    int planned = 0;
    for (int tag = kFirstTestTag; tag <= kLastTestTag; ++tag)
        planned += plannedPoints(tag);
    board_.progress().pointsPlanned = planned;
    station_.StopRequested = false;
    bool reached = false;
    if (board_.DeselectAllPoints()) {
        reached = true;
        // "Sve" does not look at the "all" box: each test button checks its own channel box.
        for (int tag = kFirstTestTag; tag <= kLastTestTag && !station_.abandoned(); ++tag) {
            runTest(tag);
            host.selectResult(tag - kFirstTestTag);
        }
    }
    log(QStringLiteral("- trajanje testiranja: ")
        + CalibrationRuns::elapsedText(station_.clock() - start));
    board_.DeselectAllPoints();
    outcome_.ok = reached && !station_.abandoned();
    outcome_.pass = outcome_.ok;
    for (const TestChannelOutcome& channel : outcome_.channels) {
        outcome_.ok = outcome_.ok && channel.ok;
        outcome_.pass = outcome_.pass && channel.pass;
    }
    board_.EndProcedure();
    return true;
}

} // namespace quell
