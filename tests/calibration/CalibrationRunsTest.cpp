#include "ScriptedBoard.h"

#include "calibration/CalibrationRuns.h"
#include "calibration/CalibrationStation.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quell {
namespace {

using test::RecordingPanel;
using test::ScriptedBoard;
using Method = CalibrationHost::Method;
using Paint = CalibrationHost::PointPaint;

const std::vector<std::string> kDeselect{"W 4 0", "W 5 0", "W 6 0",  "W 7 0",
                                         "W 8 0", "W 9 0", "W 10 0", "W 11 0"};

class Runs : public ::testing::Test {
protected:
    Runs()
    {
        station.clock = [this] {
            return std::chrono::steady_clock::time_point(std::chrono::milliseconds(board.nowMs()));
        };
        for (std::uint16_t filter = 60; filter <= 64; ++filter)
            board.set(filter, 8);
        board.set(71, 10);
        // Every voltage steady, every constant somewhat off it.
        for (std::uint16_t u = 90; u <= 93; ++u)
            board.answers(u, {static_cast<std::int16_t>(2000 + 100 * (u - 90))});
        for (std::uint16_t u = 120; u <= 127; ++u)
            board.answers(u, {static_cast<std::int16_t>(1000 + 10 * (u - 119))});
        for (std::uint16_t c = 12; c <= 59; ++c)
            board.set(c, 500);
    }
    // Only these points of a row stay checked.
    void checkOnly(int row, std::initializer_list<int> points)
    {
        for (int k = 1; k <= 8; ++k)
            if (std::find(points.begin(), points.end(), k) == points.end())
                panel.uncheck(row, k);
    }
    QStringList logWithoutDuration() const
    {
        QStringList lines = panel.log;
        lines.removeIf([](const QString& l) { return l.startsWith(QStringLiteral("- trajanje")); });
        return lines;
    }

    ScriptedBoard board;
    RecordingPanel panel;
    CalibrationStation station{board, panel};
    CalibrationRuns runs{station};
};

TEST_F(Runs, OneTemperaturePointGoesToTheBoardExactlyAsListed)
{
    checkOnly(kRowTemp1, {3});
    board.set(20, 1000);
    board.answers(91, {2000});

    ASSERT_TRUE(runs.ButtonIndexClickK(kTagTemp1));

    std::vector<std::string> expected = kDeselect;
    expected.insert(expected.end(), {"W 61 1", "W 6 4"});
    // Readings every half second; the 11th is compared with the constant, the 22nd agrees.
    for (int i = 0; i < 22; ++i)
        expected.insert(expected.end(), {"R 89", "R 91"});
    expected.insert(expected.end(), {"W 6 0", "W 20 200.0", "W 61 8"});
    expected.insert(expected.end(), kDeselect.begin(), kDeselect.end());
    EXPECT_EQ(board.traffic, expected);
    EXPECT_EQ(panel.log, (QStringList{
                             QStringLiteral("Kalibracija - Temp 1"),
                             QStringLiteral("- filter: 1"),
                             QStringLiteral("- tačka: 3:     merenje..."),
                             QStringLiteral("- staro: 1000, novo: 2000, odstup: -100.0000 %"),
                             QStringLiteral("- ok"),
                             QStringLiteral("- filter: 8"),
                             QStringLiteral("- OK"),
                             QStringLiteral("- trajanje : 00:00:12"),
                         }));
    EXPECT_EQ(board.deviceValue(20), 2000);
    EXPECT_EQ(panel.paintOf(kRowTemp1, 3), Paint::Passed);
    EXPECT_EQ(panel.begins, 1);
    EXPECT_EQ(panel.ends, 1);
    ASSERT_EQ(runs.outcome().channels.size(), 1U);
    const ChannelOutcome& channel = runs.outcome().channels[0];
    EXPECT_TRUE(runs.outcome().ok);
    EXPECT_EQ(channel.name, QStringLiteral("Temp 1"));
    ASSERT_EQ(channel.points.size(), 3U); // points 3, 5 and 7 have constants
    EXPECT_EQ(channel.points[0].point, 3);
    EXPECT_EQ(channel.points[0].old, 1000);
    EXPECT_EQ(channel.points[0].now, 2000);
    EXPECT_DOUBLE_EQ(channel.points[0].deviation, -100.0);
}

TEST_F(Runs, ATemperatureChannelSwitchesOnlyItsThreeReferences)
{
    ASSERT_TRUE(runs.ButtonIndexClickK(kTagTemp2));
    EXPECT_EQ(board.writesTo(7),
              (std::vector<std::string>{"0", "4", "0", "10", "0", "40", "0", "0"}));
    EXPECT_EQ(board.writesTo(31).size(), 1U);
    EXPECT_EQ(board.writesTo(33).size(), 1U);
    for (const int untouched : {1, 2, 4, 6, 8})
        EXPECT_EQ(panel.paintOf(kRowTemp2, untouched), Paint::Reset) << untouched;
    for (const int measured : {3, 5, 7})
        EXPECT_EQ(panel.paintOf(kRowTemp2, measured), Paint::Passed) << measured;
}

TEST_F(Runs, EveryPointUncheckedStillSetsAndRestoresTheFilterAndPasses)
{
    struct Case {
        int tag;
        std::uint16_t filter;
        const char* outcome;
    };
    const Case cases[] = {{kTagTemp1, 61, "- OK"},
                          {kTagTemp2, 63, "- OK"},
                          {kTagEmc1, 60, "- OK"},
                          {kTagEmc2, 62, "- OK"},
                          {kTagWood, 64, "- ok"}};
    for (const Case& c : cases) {
        ScriptedBoard b;
        RecordingPanel p;
        CalibrationStation s(b, p);
        CalibrationRuns r(s);
        b.set(c.filter, 8);
        const int row = ProcedureTable[static_cast<std::size_t>(c.tag)].Row;
        for (int k = 1; k <= 8; ++k)
            p.uncheck(row, k);
        ASSERT_TRUE(r.ButtonIndexClickK(c.tag));
        EXPECT_EQ(b.writesTo(c.filter), (std::vector<std::string>{"1", "8"})) << c.tag;
        EXPECT_TRUE(p.log.contains(QString::fromUtf8(c.outcome))) << c.tag;
        EXPECT_EQ(b.traffic.size(), 2 * kDeselect.size() + 2) << c.tag;
        EXPECT_TRUE(r.outcome().ok) << c.tag;
    }
}

TEST_F(Runs, AnUncheckedChannelIsSkippedWithOnlyTheClosingDeselect)
{
    panel.unchecked.insert(kTagEmc1);
    ASSERT_TRUE(runs.ButtonIndexClickK(kTagEmc1));
    EXPECT_EQ(panel.log,
              (QStringList{QStringLiteral("Kalibracija - EMC 1"), QStringLiteral("- preskočeno")}));
    EXPECT_EQ(board.traffic, kDeselect);
    EXPECT_TRUE(runs.outcome().channels.empty());
}

TEST_F(Runs, AChannelButtonWithoutALinkLogsAZeroDurationAndSaysSoTwice)
{
    board.started = false;
    ASSERT_TRUE(runs.ButtonIndexClickK(kTagEmc2));
    EXPECT_EQ(panel.log, (QStringList{QStringLiteral("Kalibracija - EMC 2"),
                                      QStringLiteral("- trajanje : 00:00:00")}));
    EXPECT_EQ(board.notConnectedMessages, 2);
    EXPECT_FALSE(runs.outcome().ok);
}

TEST_F(Runs, TheSwapPeriodIsForcedOnlyWhenAskedAndAlwaysByTheQuickPass)
{
    struct Case {
        bool swapBox;
        Method method;
        std::vector<std::string> writes;
    };
    const Case cases[] = {
        {false, Method::Normal, {}},
        {false, Method::Deep, {}},
        {true, Method::Normal, {"3", "10"}},
        {true, Method::Fast, {"3", "10"}},
        {true, Method::Deep, {}},
    };
    for (const Case& c : cases) {
        ScriptedBoard b;
        RecordingPanel p;
        CalibrationStation s(b, p);
        CalibrationRuns r(s);
        b.set(71, 10);
        b.answers(90, {2000});
        p.swap = c.swapBox;
        p.chosen = c.method;
        ASSERT_TRUE(r.ButtonIndexClickK(kTagEmc1));
        EXPECT_EQ(b.writesTo(71), c.writes) << c.swapBox << static_cast<int>(c.method);
        const bool logged = p.log.contains(QStringLiteral("- swap: 3"))
                            && p.log.contains(QStringLiteral("- swap: 10"));
        EXPECT_EQ(logged, !c.writes.empty());
    }
    panel.chosen = Method::Fast;
    ASSERT_TRUE(runs.ButtonAllClick());
    EXPECT_EQ(board.writesTo(71), (std::vector<std::string>{"3", "10"}));
}

TEST_F(Runs, TheQuickPassWritesThreeLogLinesAndEveryCheckedConstant)
{
    panel.chosen = Method::Fast;
    panel.uncheck(kRowWood, 2);
    ASSERT_TRUE(runs.ButtonAllClick());
    EXPECT_EQ(panel.log.size(), 3);
    EXPECT_EQ(panel.log[0], QStringLiteral("Start kalibracije VRQ-PB:7"));
    EXPECT_EQ(panel.log[1], QStringLiteral("- brzo"));
    EXPECT_TRUE(panel.log[2].startsWith(QStringLiteral("- trajanje kalibracije: 00:00:")));
    // The wood inputs are put on their references together, without the unchecked one.
    EXPECT_EQ(board.writesTo(8).front(), "0");
    EXPECT_EQ(board.writesTo(8)[1], "FD");
    EXPECT_EQ(board.writesTo(12), (std::vector<std::string>{"200.0"}));
    EXPECT_EQ(board.writesTo(21), (std::vector<std::string>{"210.0"}));
    EXPECT_EQ(board.writesTo(54), (std::vector<std::string>{"103.0"}));
    EXPECT_TRUE(board.writesTo(53).empty());
    // Filters back in their order, then the swap period.
    for (const std::uint16_t filter : {61, 63, 60, 62, 64})
        EXPECT_EQ(board.writesTo(filter), (std::vector<std::string>{"1", "8"})) << filter;
    EXPECT_TRUE(runs.outcome().ok);
    ASSERT_EQ(runs.outcome().channels.size(), 5U);
    EXPECT_EQ(runs.outcome().channels[4].name, QStringLiteral("Drvo"));
    EXPECT_EQ(runs.outcome().channels[4].points.size(), 7U);
    EXPECT_EQ(runs.outcome().channels[1].points.size(), 3U);
    // The points themselves keep what they held.
    EXPECT_EQ(station.calPoint(kRowEmc1, 1).New, 0);
}

TEST_F(Runs, ABusyChannelFailsItsPointsInTheQuickPass)
{
    panel.chosen = Method::Fast;
    board.answers(89, {4}); // EMC 2 busy throughout
    ASSERT_TRUE(runs.ButtonAllClick());
    EXPECT_FALSE(runs.outcome().ok);
    EXPECT_TRUE(board.writesTo(23).empty());
    EXPECT_EQ(panel.paintOf(kRowEmc2, 1), Paint::Failed);
    EXPECT_EQ(panel.paintOf(kRowEmc1, 1), Paint::Passed);
    EXPECT_FALSE(runs.outcome().channels[2].ok);
    EXPECT_TRUE(runs.outcome().channels[0].ok);
    // The progress says how many points of the run failed: EMC 2's eight.
    EXPECT_EQ(panel.progress.back().pointsFailed, 8);
    EXPECT_EQ(panel.progress.back().pointsDone, 30);
}

TEST_F(Runs, StopDuringATimedPointFailsItAndRestoresFilterAndSwap)
{
    panel.swap = true;
    checkOnly(kRowTemp1, {3, 5});
    board.answers(91, {2000, 2100, 2200, 2300}); // never stable
    board.at(3000, [this] { station.ButtonBreakClick(); });
    ASSERT_TRUE(runs.ButtonIndexClickK(kTagTemp1));
    EXPECT_EQ(panel.paintOf(kRowTemp1, 3), Paint::Failed);
    EXPECT_EQ(panel.paintOf(kRowTemp1, 5), Paint::Reset); // the channel ended with point 3
    EXPECT_EQ(board.writesTo(6), (std::vector<std::string>{"0", "4", "0", "0"}));
    EXPECT_EQ(board.writesTo(61), (std::vector<std::string>{"1", "8"}));
    EXPECT_TRUE(board.writesTo(71).empty()); // temperature channels never force the swap
    EXPECT_TRUE(panel.log.contains(QStringLiteral("- error !!!")));
    EXPECT_EQ(board.deviceValue(20), 500);
}

TEST_F(Runs, FailuresOfTheFilterAndOfAConstantAreLoggedInEachMethodsWords)
{
    board.refuse(60, 3);
    ASSERT_TRUE(runs.ButtonIndexClickK(kTagEmc1));
    EXPECT_TRUE(panel.log.contains(QStringLiteral("- greška filter 8")));
    EXPECT_TRUE(panel.log.contains(QStringLiteral("- error !!!")));

    panel.log.clear();
    panel.chosen = Method::Deep;
    board.refuse(64, 3);
    ASSERT_TRUE(runs.ButtonIndexClickK(kTagWood));
    EXPECT_TRUE(panel.log.contains(QStringLiteral("- greška filter8")));
    EXPECT_TRUE(panel.log.contains(QStringLiteral("- greška !!!")));

    panel.log.clear();
    panel.chosen = Method::Normal;
    checkOnly(kRowEmc2, {4});
    board.refuse(26, 3);
    ASSERT_TRUE(runs.ButtonIndexClickK(kTagEmc2));
    EXPECT_TRUE(panel.log.contains(QStringLiteral("- greška !!! ")));
    EXPECT_EQ(panel.paintOf(kRowEmc2, 4), Paint::Failed);
    EXPECT_FALSE(runs.outcome().ok);
}

TEST_F(Runs, TheDeepWoodRunAveragesOnlyTheInputsMeasuredAtEachReference)
{
    panel.chosen = Method::Deep;
    checkOnly(kRowWoodDeep, {1, 2, 3, 4});
    ASSERT_TRUE(runs.ButtonIndexClickK(kTagWood));
    // Inputs 1..4 read 1010, 1020, 1030, 1040 at every reference: each constant becomes 1025.
    for (std::uint16_t c = 52; c <= 59; ++c)
        EXPECT_EQ(board.writesTo(c), (std::vector<std::string>{"102.5"})) << c;
    EXPECT_EQ(board.writesTo(11), (std::vector<std::string>{"0", "1", "2", "4", "8", "10", "20",
                                                            "40", "80", "0", "0"}));
    EXPECT_EQ(panel.log.count(QStringLiteral("- staro: 500, novo: 1025, odstup: -105.0000 %")), 8);
    EXPECT_EQ(station.StableDelta, 1);
    EXPECT_TRUE(runs.outcome().ok);
    EXPECT_EQ(runs.outcome().channels[0].row, kRowWoodDeep);
}

TEST_F(Runs, AllChannelsRunInTheirOrderAndAStopEndsOnlyTheRunningOne)
{
    for (const int row : {kRowTemp1, kRowTemp2})
        checkOnly(row, {3});
    board.at(1000, [this] { station.ButtonBreakClick(); });
    ASSERT_TRUE(runs.ButtonAllClick());
    QStringList headers;
    for (const QString& line : panel.log)
        if (line.startsWith(QStringLiteral("Kalibracija")))
            headers << line;
    EXPECT_EQ(
        headers,
        (QStringList{QStringLiteral("Kalibracija - Temp 1"), QStringLiteral("Kalibracija - Temp 2"),
                     QStringLiteral("Kalibracija - EMC 1"), QStringLiteral("Kalibracija - EMC 2"),
                     QStringLiteral("Kalibracija - Drvo")}));
    EXPECT_EQ(panel.log[1], QStringLiteral("- normalno"));
    ASSERT_EQ(runs.outcome().channels.size(), 5U);
    EXPECT_FALSE(runs.outcome().channels[0].ok); // stopped
    EXPECT_TRUE(runs.outcome().channels[4].ok);
    EXPECT_FALSE(runs.outcome().ok);
    EXPECT_EQ(board.deviceValue(12), 2000);
}

TEST_F(Runs, ALinkThatStopsAbandonsTheWholeRun)
{
    checkOnly(kRowTemp1, {3});
    board.at(1000, [this] {
        board.aborted = true;
        board.started = false;
    });
    ASSERT_TRUE(runs.ButtonAllClick());
    EXPECT_EQ(panel.log.filter(QStringLiteral("Kalibracija - ")).size(), 1);
    EXPECT_FALSE(runs.outcome().ok);
    EXPECT_TRUE(station.abandoned());
    // Nothing can reach the board any more: the steps left fail without a message each.
    EXPECT_EQ(board.notConnectedMessages, 0);
}

TEST_F(Runs, AConnectionLostMidRunEndsTheRunWithoutQueueingWritesForLater)
{
    std::size_t requestsAtBreak = 0;
    board.at(300, [this, &requestsAtBreak] {
        board.reconnecting = true;
        requestsAtBreak = board.traffic.size();
    });
    ASSERT_TRUE(runs.ButtonAllClick());
    // The request out when the connection broke is given up after its time; nothing after it
    // is queued, and the log says why the run ended.
    EXPECT_EQ(panel.log.count(QStringLiteral("- veza sa serverom je prekinuta")), 1);
    EXPECT_EQ(panel.log.filter(QStringLiteral("Kalibracija - ")).size(), 1);
    EXPECT_LT(board.nowMs(), 300 + 2 * kTransactionPolls * kTransactionPollMs);
    EXPECT_GT(requestsAtBreak, 0U);
    EXPECT_EQ(board.traffic.size(), requestsAtBreak);
    EXPECT_EQ(board.notConnectedMessages, 0);
    EXPECT_FALSE(runs.outcome().ok);
}

TEST_F(Runs, NoSecondProcedureStartsWhileOneRuns)
{
    checkOnly(kRowEmc1, {1});
    bool second = true;
    board.at(100, [&] { second = runs.ButtonAllClick() || runs.ButtonIndexClickK(kTagTemp1); });
    ASSERT_TRUE(runs.ButtonIndexClickK(kTagEmc1));
    EXPECT_FALSE(second);
    EXPECT_EQ(panel.begins, 1);
    EXPECT_FALSE(runs.running());
    EXPECT_TRUE(runs.ButtonIndexClickK(kTagEmc1)); // free again afterwards
}

TEST_F(Runs, ProgressCountsThePlannedPointsAndEndsStopped)
{
    checkOnly(kRowEmc1, {1, 2, 3});
    ASSERT_TRUE(runs.ButtonIndexClickK(kTagEmc1));
    ASSERT_FALSE(panel.progress.empty());
    const RunProgress& last = panel.progress.back();
    EXPECT_FALSE(last.running);
    EXPECT_EQ(last.pointsPlanned, 3);
    EXPECT_EQ(last.pointsDone, 3);
    const auto reading = std::find_if(panel.progress.begin(), panel.progress.end(),
                                      [](const RunProgress& p) { return p.reading == 2; });
    ASSERT_NE(reading, panel.progress.end());
    EXPECT_EQ(reading->channel, QStringLiteral("EMC 1"));
}

TEST(RunsText, ElapsedTimeReadsAsHoursMinutesSeconds)
{
    using std::chrono::seconds;
    EXPECT_EQ(CalibrationRuns::elapsedText(seconds(0)), QStringLiteral("00:00:00"));
    EXPECT_EQ(CalibrationRuns::elapsedText(seconds(3725)), QStringLiteral("01:02:05"));
    EXPECT_EQ(CalibrationRuns::elapsedText(std::chrono::milliseconds(59999)),
              QStringLiteral("00:00:59"));
}

} // namespace
} // namespace quell
