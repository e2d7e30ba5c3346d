#pragma once

#include "calibration/BoardPrimitives.h"

#include <QString>

#include <chrono>
#include <vector>

namespace quell {

class CalibrationStation;

// What one channel of a run left: per point with a calibration constant, whether it passed, the
// constant before and the reading written, and the deviation in percent.
struct PointOutcome {
    int point = 0;
    bool done = false;
    int old = 0;
    int now = 0;
    double deviation = 0.0;
};
struct ChannelOutcome {
    int row = 0;
    QString name;
    bool ok = false;
    std::vector<PointOutcome> points;
};
// What a run did: every channel it calibrated, and whether all went well.
struct RunOutcome {
    bool ok = false;
    std::vector<ChannelOutcome> channels;
};

// The calibration runs of the group "Kalibracija": one channel (its button), all channels
// ("Sve") by the quick, normal or deep method, and the passes they are made of. Each run sets
// the channel's filter to 1 (and the swap period when asked), measures the checked points,
// writes each accepted reading as the point's new constant, logs every step and restores what it
// changed. Only one procedure runs at a time. GUI thread.
class CalibrationRuns {
public:
    explicit CalibrationRuns(CalibrationStation& station);

    // A channel button (Tag 1..5): its channel by the chosen method, framed as a procedure.
    // False without doing anything while another procedure runs.
    bool ButtonIndexClickK(int tag);
    // "Sve": every channel by the chosen method.
    bool ButtonAllClick();
    // Whether a procedure (a calibration or a test) runs now.
    bool running() const;
    // What the last run did.
    const RunOutcome& outcome() const { return outcome_; }

    // The passes, also used on their own by the tests of this folder.
    bool CalibrateChannel(int row);
    bool CalibrateChannelDeep(int row);
    bool CalibrateQuick();

    // hh:mm:ss of a duration.
    static QString elapsedText(std::chrono::steady_clock::duration elapsed);

private:
    bool beginProcedure();
    void endProcedure();
    void runChannel(int tag);
    void log(const QString& line);
    int plannedPoints(int tag) const;
    void reportChannel(int row, const QString& name, bool ok);

    CalibrationStation& station_;
    BoardPrimitives board_;
    RunOutcome outcome_;
};

} // namespace quell
