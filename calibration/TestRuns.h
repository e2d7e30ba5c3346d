#pragma once

#include "calibration/BoardPrimitives.h"

#include <QString>

#include <array>
#include <vector>

namespace quell {

class CalibrationStation;

// One point of a tested channel as a headless run reports it. The values are those of the
// station's test record after the run; done says whether this run measured the point.
struct TestPointOutcome {
    int point = 0;          // 1..9
    bool done = false;      // measured in this run
    int errorBits = 0;      // the channel's value error flags, masked to the channel
    int measured = 0;       // measured value x 100
    int expected = 0;       // expected value x 100
    double deviation = 0.0; // percent
    bool within = false;    // measured in this run and within the channel's limit
};
// One tested channel: every point measured ("- OK") and the verdict against the limits.
struct TestChannelOutcome {
    int row = 0;
    QString name;
    bool ok = false;
    bool pass = false; // at least one point measured, and every measured one within the limit
    std::vector<TestPointOutcome> points; // all nine
};
// What a test button or "Sve" did: every channel it tested. ok and pass hold for the whole run
// only when the board could be reached, the run was not abandoned and every channel holds them.
struct TestOutcome {
    bool ok = false;
    bool pass = false;
    std::vector<TestChannelOutcome> channels;
};

// The tests of the group "Testiranje": one channel (its button, Tag 6..11) or all six ("Sve").
// A test switches in the nine calibrator points of the channel one after the other, waits for a
// stable voltage as the calibration does, then reads the channel's value and error flags into the
// station's test records and judges them against the limits of [Calibrate]. The calibration
// constants stay; the channel filter (unless "Filter za merenje") and the swap period are set for
// the test and restored. Only one procedure, test or calibration, runs at a time. GUI thread.
class TestRuns {
public:
    explicit TestRuns(CalibrationStation& station);

    // A test button (Tag 6..11), framed as a procedure. False without doing anything for another
    // Tag or while another procedure runs.
    bool ButtonIndexClick(int tag);
    // "Sve": the six test buttons in order, each followed by selecting its result. False while
    // another procedure runs.
    bool ButtonTestAllClick();
    // Whether a procedure (a test or a calibration) runs now.
    bool running() const;
    // What the last run did.
    const TestOutcome& outcome() const { return outcome_; }

    // Tests one channel: the recipe row and the Tag (6..11) of its button; true when every point
    // was measured. Unframed: the caller holds the procedure.
    bool TestChannel(int row, int tag);

private:
    void runTest(int tag);
    void log(const QString& line);
    int plannedPoints(int tag) const;
    TestChannelOutcome judge(int row, const QString& name, bool ok, bool tested) const;
    std::int16_t readEntry(std::uint16_t entry);

    CalibrationStation& station_;
    BoardPrimitives board_;
    TestOutcome outcome_;
    // The points (1..9) the last TestChannel measured: only these are judged, not results an
    // earlier run or a file left in the other records.
    std::array<bool, kRecipeSteps> measured_{};
};

} // namespace quell
