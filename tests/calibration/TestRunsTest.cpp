#include "ScriptedBoard.h"

#include "calibration/CalibrationRuns.h"
#include "calibration/CalibrationStation.h"
#include "calibration/TestRuns.h"

#include <gtest/gtest.h>

namespace quell {
namespace {

using test::RecordingPanel;
using test::ScriptedBoard;
using Method = CalibrationHost::Method;
using Writes = std::vector<std::string>;

// Tags of the test buttons Temp 1, Temp 2, EMC 1, EMC 2, Drvo, Drvo sve.
constexpr int kTestTemp1 = 6, kTestTemp2 = 7, kTestEmc1 = 8, kTestEmc2 = 9, kTestWood = 10,
              kTestWoodAll = 11;

// A board in its calibrator that settles at once: filters at 8, swap period 10, every voltage
// steady and far from every constant, so a point takes two readings (22 when timed).
struct Bench {
    Bench()
    {
        station.clock = [this] {
            return std::chrono::steady_clock::time_point(std::chrono::milliseconds(board.nowMs()));
        };
        for (std::uint16_t filter = 60; filter <= 64; ++filter)
            board.set(filter, 8);
        board.set(71, 10);
        for (std::uint16_t u = 90; u <= 93; ++u)
            board.answers(u, {2000});
        for (std::uint16_t u = 120; u <= 127; ++u)
            board.answers(u, {2000});
        for (std::uint16_t c = 12; c <= 59; ++c)
            board.set(c, 500);
    }
    TPointResult& point(int row, int k) { return station.TestPoints[row][k - 1]; }
    QStringList logWithoutDuration() const
    {
        QStringList lines = panel.log;
        lines.removeIf([](const QString& l) { return l.startsWith(QStringLiteral("- trajanje")); });
        return lines;
    }

    ScriptedBoard board;
    RecordingPanel panel;
    CalibrationStation station{board, panel};
    TestRuns tests{station};
};

TEST(TestRuns, OneEmcTestLogsAndReadsExactlyAsListed)
{
    Bench b;
    b.panel.swap = true;
    // Per point three value reads, of which the third counts: 40.01 .. 40.07, 41.16, 41.15.
    std::vector<std::int16_t> values;
    for (const int v : {4001, 4002, 4003, 4004, 4005, 4006, 4007, 4116, 4115})
        values.insert(values.end(), {1, 2, static_cast<std::int16_t>(v)});
    b.board.answers(105, values);
    b.board.answers(104, {0x0102, 0x0003, 0}); // flags of points 1, 2, then clear
    for (int k = 1; k <= 9; ++k)
        b.point(kRowEmc1, k).Expected = 4200;

    ASSERT_TRUE(b.tests.ButtonIndexClick(kTestEmc1));

    QStringList expected{"Testiranje - EMC 1", "- filter: 1", "- swap: 3"};
    for (int k = 1; k <= 9; ++k)
        expected << QStringLiteral("- tačka: %1:     merenje...").arg(k);
    expected << "- swap: 10"
             << "- filter: 8"
             << "- OK" << QStringLiteral("- ocena: van granica (tačke 1, 2, 3, 4, 5, 6, 7, 9)");
    EXPECT_EQ(b.logWithoutDuration(), expected);
    EXPECT_TRUE(b.panel.log.last().startsWith(QStringLiteral("- trajanje : 00:00:")));
    EXPECT_EQ(b.board.writesTo(106), Writes{"0"}) << "written once, never restored";
    // The error bits are the low byte of the flags masked to the channel's bit.
    EXPECT_EQ(b.point(kRowEmc1, 1), (TPointResult{0, 4001, 4200, 199 * 100.0 / 4200, 1}));
    EXPECT_EQ(b.point(kRowEmc1, 2).Old, 1);
    EXPECT_EQ(b.point(kRowEmc1, 8), (TPointResult{0, 4116, 4200, 2.0, 1}));

    const TestOutcome& outcome = b.tests.outcome();
    EXPECT_TRUE(outcome.ok);
    EXPECT_FALSE(outcome.pass);
    ASSERT_EQ(outcome.channels.size(), 1U);
    const std::vector<TestPointOutcome>& points = outcome.channels[0].points;
    ASSERT_EQ(points.size(), 9U);
    EXPECT_TRUE(points[7].within) << "2.0 % is on the limit";
    EXPECT_FALSE(points[8].within) << "2.02 % is beyond it";
    EXPECT_EQ(points[1].errorBits, 1);
}

TEST(TestRuns, ATemperatureTestMeasuresAllNinePoints)
{
    Bench b;
    b.board.answers(106, {2500});
    for (int k = 1; k <= 9; ++k)
        b.point(kRowTemp1, k).Expected = 2530;
    ASSERT_TRUE(b.tests.ButtonIndexClick(kTestTemp1));
    EXPECT_EQ(b.board.writesTo(6), (Writes{"0", "1",  "0", "2",  "0", "4",  "0", "8", "0", "10",
                                           "0", "20", "0", "40", "0", "80", "0", "0", "0", "0"}));
    for (int k = 1; k <= 9; ++k)
        EXPECT_EQ(b.point(kRowTemp1, k), (TPointResult{0, 2500, 2530, 30 * 100.0 / 2530, 1}));
    EXPECT_TRUE(b.panel.log.contains(QStringLiteral("- ocena: ispravno"))) << "0.3 °C off";
    EXPECT_TRUE(b.board.writesTo(20).empty()) << "the constants stay";
}

TEST(TestRuns, FilterSwapAndTestEntryFollowTheBoxesTheMethodAndTheChannel)
{
    const struct {
        int tag;
        Method method;
        bool swapBox;
        bool filterBox;
        std::uint16_t filter;
        std::uint16_t testEntry; // 0: none
        Writes swap;
    } cases[] = {
        {kTestTemp1, Method::Normal, true, false, 61, 0, {}},
        {kTestTemp2, Method::Fast, true, true, 63, 0, {}},
        {kTestEmc1, Method::Normal, true, false, 60, 106, {"3", "10"}},
        {kTestEmc1, Method::Fast, true, true, 60, 106, {"3", "10"}},
        {kTestEmc1, Method::Deep, true, false, 60, 106, {}},
        {kTestEmc1, Method::Normal, false, false, 60, 106, {}},
        {kTestEmc2, Method::Normal, true, true, 62, 108, {"3", "10"}},
        {kTestWood, Method::Fast, true, false, 64, 147, {"3", "10"}},
        {kTestWoodAll, Method::Normal, false, true, 64, 147, {}},
    };
    for (const auto& c : cases) {
        Bench b;
        b.panel.chosen = c.method;
        b.panel.swap = c.swapBox;
        b.panel.filter = c.filterBox;
        ASSERT_TRUE(b.tests.ButtonIndexClick(c.tag));
        const auto where = testing::Message()
                           << "tag " << c.tag << ", method " << static_cast<int>(c.method)
                           << ", swap " << c.swapBox << ", filter " << c.filterBox;
        EXPECT_EQ(b.board.writesTo(71), c.swap) << where;
        EXPECT_EQ(b.panel.log.filter(QStringLiteral("- swap: ")).size(),
                  static_cast<qsizetype>(c.swap.size()))
            << where;
        EXPECT_EQ(b.board.writesTo(c.filter), (c.filterBox ? Writes{} : Writes{"1", "8"})) << where;
        EXPECT_EQ(b.panel.log.filter(QStringLiteral("- filter")).size(), c.filterBox ? 0 : 2)
            << where;
        for (const std::uint16_t entry : {106, 108, 147})
            EXPECT_EQ(b.board.writesTo(entry), (entry == c.testEntry ? Writes{"0"} : Writes{}))
                << where << ", entry " << entry;
        EXPECT_EQ(b.station.StableDelta, c.method == Method::Deep ? 1 : 3) << where;
        EXPECT_TRUE(b.tests.outcome().ok) << where;
    }
}

TEST(TestRuns, AFailedPointKeepsItsReadingAndTheChannelReportsAnError)
{
    Bench b;
    // Two status reads per settled point; point 4 finds its channel busy six times in a row.
    b.board.answers(89, {0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 0});
    b.board.answers(105, {2100});
    for (int k = 1; k <= 9; ++k)
        b.point(kRowEmc1, k).Expected = k == 9 ? 3000 : 2100;
    b.point(kRowEmc1, 4) = {0, 1234, 2100, 41.2, 1};

    ASSERT_TRUE(b.tests.ButtonIndexClick(kTestEmc1));

    EXPECT_EQ(b.point(kRowEmc1, 4), (TPointResult{0, 1234, 2100, 41.2, 0}));
    EXPECT_EQ(b.point(kRowEmc1, 5).Done, 1) << "the channel goes on after a failed point";
    EXPECT_EQ(b.logWithoutDuration().mid(12),
              (QStringList{"- error !!!", QStringLiteral("- ocena: van granica (tačka 9)")}));
    EXPECT_FALSE(b.tests.outcome().channels.at(0).points[3].done);
    EXPECT_FALSE(b.tests.outcome().ok);
}

TEST(TestRuns, StopEndsTheChannelAndStaleResultsAreNotJudged)
{
    Bench b;
    b.board.answers(91, {2000, 2100, 2200, 2300}); // never stable
    for (int k = 1; k <= 9; ++k)
        b.point(kRowTemp1, k) = {0, 777, 0, 0.0, 1}; // an earlier run's results
    b.board.at(3000, [&b] { b.station.ButtonBreakClick(); });
    ASSERT_TRUE(b.tests.ButtonIndexClick(kTestTemp1));
    EXPECT_EQ(b.point(kRowTemp1, 1).Done, 0);
    EXPECT_EQ(b.point(kRowTemp1, 2), (TPointResult{0, 777, 0, 0.0, 1})) << "not reached";
    EXPECT_EQ(b.logWithoutDuration().mid(2),
              (QStringList{QStringLiteral("- tačka: 1:     merenje..."), "- filter: 8",
                           "- error !!!", QStringLiteral("- ocena: nema izmerenih tačaka")}));
    EXPECT_FALSE(b.tests.outcome().pass);
}

TEST(TestRuns, SveRunsTheSixButtonsInOrderAndNoCalibrationMeanwhile)
{
    Bench b;
    CalibrationRuns calibration(b.station);
    bool another = true;
    b.board.at(100, [&] {
        another = calibration.ButtonAllClick() || b.tests.ButtonIndexClick(kTestEmc2);
    });
    b.panel.unchecked.insert(kTestEmc2);
    ASSERT_TRUE(b.tests.ButtonTestAllClick());
    EXPECT_FALSE(another);
    EXPECT_EQ(b.panel.log.first(), QStringLiteral("Testiranje VRQ-PB:7"));
    EXPECT_TRUE(b.panel.log.last().startsWith(QStringLiteral("- trajanje testiranja: ")));
    EXPECT_EQ(b.panel.log.filter(QStringLiteral("Testiranje - ")),
              (QStringList{"Testiranje - Temp 1", "Testiranje - Temp 2", "Testiranje - EMC 1",
                           "Testiranje - EMC 2", "Testiranje - Drvo", "Testiranje - Drvo sve"}));
    EXPECT_EQ(b.panel.log.count(QStringLiteral("- preskočeno")), 1);
    EXPECT_EQ(b.panel.results, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(b.tests.outcome().channels.size(), 5U);
    EXPECT_EQ(b.panel.progress.back().pointsDone, 5 * 9);
    EXPECT_EQ(b.panel.ends, 1);
    EXPECT_TRUE(calibration.ButtonIndexClickK(kTagEmc1)) << "free again afterwards";
}

} // namespace
} // namespace quell
