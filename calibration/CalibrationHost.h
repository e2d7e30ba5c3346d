#pragma once

#include <QString>

#include <chrono>

namespace quell {

// What a running procedure shows beyond the point colours: the channel and point being worked
// on, how many readings that point has taken, and how far the run has come.
struct RunProgress {
    bool running = false;  // false: the procedure has ended
    QString channel;       // "EMC 1"; empty between channels
    int point = 0;         // 1..8 (a reference in the deep wood run); 0 between points
    int reading = 0;       // readings of the point so far
    int pointsDone = 0;    // points of the run finished, passed or not
    int pointsFailed = 0;  // of those, the points that failed
    int pointsPlanned = 0; // points the run will measure
    std::chrono::steady_clock::time_point started; // when the run began
};

// The panel a calibration or test procedure runs on: report a line, paint a point's box, show
// progress, lock the controls for the run, and read the operator's choices. The measurement
// view implements it; the procedures never touch a widget. GUI thread.
class CalibrationHost {
public:
    // How a point's box is painted: button face (reset), active caption (being worked on),
    // green (passed), red (failed).
    enum class PointPaint { Reset, Working, Passed, Failed };
    // The measuring method of "Metod merenja".
    enum class Method { Fast = 0, Normal = 1, Deep = 2 };

    virtual ~CalibrationHost() = default;

    // Adds a procedure's line to the run log while "Log Active" is checked.
    virtual void AddLogLine(const QString& line) = 0;
    // Paints the box of a calibration point (recipe row 0..6, point 1..8); rows without boxes
    // are ignored.
    virtual void paintPoint(int row, int point, PointPaint paint) = 0;
    // Whether the box of a calibration point is checked (rows without boxes: true).
    virtual bool pointChecked(int row, int point) const = 0;
    // Whether the box beside the button with this Tag (1..11) is checked.
    virtual bool channelChecked(int tag) const = 0;
    // The method chosen in "Metod merenja".
    virtual Method method() const = 0;
    // Whether "Swap period" is checked.
    virtual bool swapPeriod() const = 0;
    // The board number the run is for.
    virtual int boardNumber() const = 0;
    // A procedure starts: every control but Stop is locked.
    virtual void beginProcedure() = 0;
    // The procedure ended: the controls are free again, Stop is locked.
    virtual void endProcedure() = 0;
    // What the running procedure does now.
    virtual void showProgress(const RunProgress& progress) = 0;
    // Whether "Filter za merenje" is checked: the tests then leave the channel filters alone.
    virtual bool testFilter() const { return false; }
    // Selects item index of "Rezultat", so that its chart is shown (after each test of "Sve").
    virtual void selectResult([[maybe_unused]] int index) {}
};

} // namespace quell
