#pragma once

#include <QString>

namespace quell {

// What the calibration and test procedures need of the window they run in: report a line,
// paint a point's box to show progress, and read the operator's choices. The measurement view
// implements it; the procedures never touch a widget. GUI thread.
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
};

} // namespace quell
