#include "ScriptedBoard.h"

#include "calibration/BoardPrimitives.h"
#include "calibration/CalibrationStation.h"

#include <gtest/gtest.h>

namespace quell {
namespace {

using test::RecordingPanel;
using test::ScriptedBoard;

class Primitives : public ::testing::Test {
protected:
    Primitives()
    {
        station.StableDelta = 3;
        station.clock = [this] {
            return std::chrono::steady_clock::time_point(std::chrono::milliseconds(board.nowMs()));
        };
    }

    ScriptedBoard board;
    RecordingPanel panel;
    CalibrationStation station{board, panel};
    BoardPrimitives primitives{station};
};

TEST_F(Primitives, ATransactionIsSentAgainWhileRefusedAndGivesUpAfterThreeSendsOrWhenLost)
{
    struct Case {
        const char* what;
        int refusals;
        bool lost;
        bool started;
        bool expected;
        std::size_t sends;
    };
    const Case cases[] = {
        {"answered at once", 0, false, true, true, 1},
        {"refused twice, then accepted", 2, false, true, true, 3},
        {"refused three times", 3, false, true, false, 3},
        {"never answered: lost without another send", 0, true, true, false, 1},
        {"link not started: no send, the user told", 0, false, false, false, 0},
    };
    for (const Case& c : cases) {
        ScriptedBoard b;
        RecordingPanel p;
        CalibrationStation s(b, p);
        BoardPrimitives prim(s);
        b.refuse(60, c.refusals);
        if (c.lost)
            b.lose(60);
        b.started = c.started;
        EXPECT_EQ(prim.TransactEntry(60, true, "5"), c.expected) << c.what;
        EXPECT_EQ(b.traffic.size(), c.sends) << c.what;
        EXPECT_EQ(b.notConnectedMessages, c.started ? 0 : 1) << c.what;
        if (c.lost) { // a lost request waits the whole time a transaction is given, no longer
            EXPECT_EQ(b.nowMs(), kTransactionPolls * kTransactionPollMs) << c.what;
        }
    }
}

TEST_F(Primitives, AReadBringsBackTheBoardsValue)
{
    board.set(90, 12345);
    ASSERT_TRUE(primitives.TransactEntry(90, false));
    EXPECT_EQ(primitives.answeredValue(), 12345);
}

TEST_F(Primitives, AStoppedLinkAbortsTheWaitAndAbandonsTheRun)
{
    board.aborted = true;
    EXPECT_FALSE(primitives.TransactEntry(60, true, "1"));
    EXPECT_TRUE(station.abandoned());
    EXPECT_TRUE(station.StopRequested);
}

TEST_F(Primitives, TheSwapStateCountsOnlyAFreshCycleFromZeroToTwo)
{
    struct Case {
        int previous;
        std::int16_t answer; // -1: the read fails
        int expected;
    };
    const Case cases[] = {
        {255, 2, 255}, // a board that reports 2 first is not ready
        {255, 0, 0},   {255, 1, 255}, {0, 1, 0},  {0, 2, 2},
        {2, 0, 0},     {2, 2, 2},     {0, -1, 0}, {0, 0x0302, 2}, // the high byte is not looked at
    };
    for (const Case& c : cases) {
        ScriptedBoard b;
        RecordingPanel p;
        CalibrationStation s(b, p);
        BoardPrimitives prim(s);
        if (c.answer < 0)
            b.refuse(86, 3);
        else
            b.answers(86, {c.answer});
        EXPECT_EQ(prim.PollMeasureStatus(c.previous), c.expected)
            << c.previous << " then " << c.answer;
    }
    // From 255 the answers 2, 0, 2 give 2 only at the third read.
    board.answers(86, {2, 0, 2});
    int state = 255;
    std::vector<int> states;
    for (int i = 0; i < 3; ++i)
        states.push_back(state = primitives.PollMeasureStatus(state));
    EXPECT_EQ(states, (std::vector<int>{255, 0, 2}));
}

TEST_F(Primitives, DeselectingStopsAtTheFirstFailure)
{
    EXPECT_TRUE(primitives.DeselectAllPoints());
    EXPECT_EQ(board.traffic, (std::vector<std::string>{"W 4 0", "W 5 0", "W 6 0", "W 7 0", "W 8 0",
                                                       "W 9 0", "W 10 0", "W 11 0"}));
    board.traffic.clear();
    board.refuse(6, 3);
    EXPECT_FALSE(primitives.DeselectAllPoints());
    EXPECT_EQ(board.traffic,
              (std::vector<std::string>{"W 4 0", "W 5 0", "W 6 0", "W 6 0", "W 6 0"}));
}

// EMC 1, point 2 (waited by swap cycles): readings against a stored constant of 500.
TEST_F(Primitives, APointIsStableWhenTwoReadingsDifferByLessThanTheStep)
{
    struct Case {
        const char* what;
        std::vector<std::int16_t> readings;
        bool stable;
        std::int16_t last;
        std::size_t reads; // readings of the voltage taken
    };
    const Case cases[] = {
        {"1202 after 1200 is stable", {1200, 1202}, true, 1202, 2},
        {"1203 after 1200 is not; six readings at most",
         {1200, 1203, 1206, 1209, 1212, 1215},
         false,
         1215,
         6},
        {"a first reading within the step of the constant", {502}, true, 502, 1},
        {"agreeing at the fourth reading", {900, 1000, 1100, 1101}, true, 1101, 4},
    };
    for (const Case& c : cases) {
        ScriptedBoard b;
        RecordingPanel p;
        CalibrationStation s(b, p);
        s.StableDelta = 3;
        BoardPrimitives prim(s);
        b.set(13, 500);
        b.answers(90, c.readings);
        EXPECT_EQ(prim.MeasurePoint(kRowEmc1, false, 2, 2), c.stable) << c.what;
        const TPointResult& point = s.calPoint(kRowEmc1, 2);
        EXPECT_EQ(point.Old, 500) << c.what;
        EXPECT_EQ(point.New, c.last) << c.what;
        std::size_t reads = 0;
        for (const std::string& line : b.traffic)
            reads += line == "R 90" ? 1 : 0;
        EXPECT_EQ(reads, c.reads) << c.what;
        EXPECT_EQ(b.traffic.front(), "W 4 2") << c.what;
        EXPECT_EQ(b.traffic.back(), "W 4 0") << c.what;
    }
}

TEST_F(Primitives, AChannelThatNeverBecomesReadyFailsOnItsBudget)
{
    board.answers(89, {1}); // EMC 1 never ready
    EXPECT_FALSE(primitives.MeasurePoint(kRowEmc1, false, 1, 1));
    int statusReads = 0;
    for (const std::string& line : board.traffic) {
        EXPECT_NE(line, "R 90");
        statusReads += line == "R 89" ? 1 : 0;
    }
    EXPECT_EQ(statusReads, MaxChecksPolled + 1);
    EXPECT_EQ(board.traffic.back(), "W 4 0");
}

TEST_F(Primitives, ASilentBoardEndsAWaitForASwapCycle)
{
    board.answers(86, {0});
    board.at(100, [this] { board.lose(86); });
    EXPECT_FALSE(primitives.MeasurePoint(kRowEmc1, false, 1, 1));
    EXPECT_EQ(board.traffic.back(), "W 4 0");
}

TEST_F(Primitives, AStepWithoutAConstantIsMeasuredOnlyWhenForced)
{
    EXPECT_FALSE(primitives.MeasurePoint(kRowTemp1, false, 1, 1));
    EXPECT_TRUE(board.traffic.empty());

    board.answers(91, {700});
    station.StableDelta = 3;
    EXPECT_TRUE(primitives.MeasurePoint(kRowTemp1, true, 1, 1));
    EXPECT_EQ(board.traffic.front(), "W 6 1");
    EXPECT_EQ(station.calPoint(kRowTemp1, 1).New, 700);
}

TEST_F(Primitives, AFailedSelectFailsThePointWithoutADeselect)
{
    board.refuse(4, 3);
    EXPECT_FALSE(primitives.MeasurePoint(kRowEmc1, false, 1, 1));
    EXPECT_EQ(board.traffic, (std::vector<std::string>{"W 4 1", "W 4 1", "W 4 1"}));
}

TEST_F(Primitives, StopDuringATimedPointFailsItAndDeselects)
{
    board.set(20, 1000);
    board.answers(91, {2000});
    board.at(3000, [this] { station.ButtonBreakClick(); });
    EXPECT_FALSE(primitives.MeasurePoint(kRowTemp1, false, 3, 3));
    EXPECT_EQ(board.traffic.back(), "W 6 0");
    EXPECT_LT(board.nowMs(), 4000);
}

TEST_F(Primitives, TheWoodInputIsChosenBeforeEachCycle)
{
    board.set(55, 1500);
    board.answers(123, {1500});
    EXPECT_TRUE(primitives.MeasurePoint(kRowWood, false, 4, 4));
    EXPECT_EQ(board.traffic[0], "W 8 8");
    EXPECT_EQ(board.traffic[1], "W 87 3");
    EXPECT_EQ(board.traffic.back(), "W 8 0");
}

TEST_F(Primitives, AWoodInputThatCannotBeChosenFailsThePointAndDeselects)
{
    board.set(55, 1500);
    board.answers(123, {1500});
    board.refuse(87, 3);
    EXPECT_FALSE(primitives.MeasurePoint(kRowWood, false, 4, 4));
    // Three tries at the input, no status poll, and the channel deselected again.
    EXPECT_EQ(board.traffic,
              (std::vector<std::string>{"W 8 8", "W 87 3", "W 87 3", "W 87 3", "W 8 0"}));
}

TEST(CalibrationRecipe, RowsHoldTheBoardsEntries)
{
    EXPECT_EQ(recipeStep(kRowEmc1, 9).CalEntry, 19);
    EXPECT_EQ(recipeStep(kRowEmc1, 8).TestStatusEntry, 89);
    EXPECT_EQ(recipeStep(kRowEmc2, 8).TestStatusEntry, 104);
    EXPECT_EQ(recipeStep(kRowTemp2, 5).CalEntry, 32);
    EXPECT_EQ(recipeStep(kRowWood, 3).ValueEntry, 122);
    EXPECT_EQ(recipeStep(kRowWood, 9).ValueEntry, 127);
    EXPECT_EQ(recipeStep(kRowWood, 9).ReadyMask, 128);
    EXPECT_EQ(recipeStep(kRowWood, 9).TestValueEntry, 137);
    EXPECT_EQ(recipeStep(kRowWoodAll, 9).CalEntry, 0);
    EXPECT_EQ(recipeStep(kRowWoodAll, 2).SelectCode, "ff");
    EXPECT_EQ(recipeStep(kRowWoodDeep, 6).SelectCode, "20");
    EXPECT_EQ(recipeStep(kRowWoodDeep, 9).SelectCode, "0");
    EXPECT_EQ(ProcedureTable[11].ChannelName, "Drvo sve");
    EXPECT_EQ(ProcedureTable[10].TestEntry, 147);
}

} // namespace
} // namespace quell
