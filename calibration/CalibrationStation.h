#pragma once

#include "calibration/CalibrateSettings.h"
#include "calibration/CalibrationRecipe.h"
#include "calibration/RunLog.h"
#include "calibration/ScoreFile.h"
#include "calibration/TPointResult.h"
#include "calibration/TestLimits.h"

#include <QDateTime>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace quell {

class CalibrationHost;
class DeviceLink;
class IniFile;

// The calibration station without its window: the test points, the run log, the stability step
// and the [Calibrate] settings. The procedures work on this object, reach the board through the
// link and report through the host. GUI thread.
class CalibrationStation {
public:
    // A station over the link and the window the procedures run in (neither owned).
    CalibrationStation(DeviceLink& link, CalibrationHost& host);
    ~CalibrationStation();

    // Reads [Calibrate] from an open settings file (creating what is missing): the stability
    // step and the expected values of the test points. The caller saves the file.
    void loadSettings(IniFile& ini);

    // Starts the run log in logFolder: journals of earlier runs recovered, the start line added.
    void startLog(const QString& logFolder, const QDateTime& now);
    // The run log; null before startLog().
    RunLog* runLog() const { return runLog_.get(); }

    // The test results; the settings fill their expected values, record files the rest.
    TTestPoints TestPoints{};
    // The bytes of the result file loaded last (zeros before): its reserved bytes are saved back
    // as they came (ReadScore and WriteScore in ScoreFile.h).
    ScoreImage TestRecordBytes{};
    // The limits a tested point must keep, from [Calibrate] as last read.
    const TestLimits& testLimits() const { return settings_.limits; }
    // Two successive readings closer than this count as stable; the settings' Different unless a
    // procedure changes it for a run.
    std::int16_t StableDelta = 3;
    // [Calibrate] Different as last read.
    std::int16_t different() const { return settings_.different; }

    // The calibration points: the constant before the run, the last reading, pass or fail.
    TCalPoints CalPoints{};
    // The point record of a row (0..6) and point (1..8).
    TPointResult& calPoint(int row, int point)
    {
        return CalPoints[static_cast<std::size_t>(row)][static_cast<std::size_t>(point - 1)];
    }
    // Set by Stop; the point and channel loops end when they see it.
    bool StopRequested = false;
    // "Stop": the running point fails and its channel ends.
    void ButtonBreakClick() { StopRequested = true; }
    // The whole run ends, not only its channel: the window is closing or the link stopped. The
    // steps still clear the references and restore filter and swap on the way out.
    void abandonRun()
    {
        abandoned_ = true;
        StopRequested = true;
    }
    // Whether the run was abandoned (cleared when a run starts).
    bool abandoned() const { return abandoned_; }
    void clearAbandoned() { abandoned_ = false; }
    // Whether a procedure runs: only one at a time, whatever the event loop delivers meanwhile.
    bool procedureRunning() const { return procedureRunning_; }
    void setProcedureRunning(bool running) { procedureRunning_ = running; }
    // Waits ms while the windows keep running; Stop ends the wait early.
    void pause(int ms);
    // The clock the runs time themselves by (tests put a simulated one in).
    std::function<std::chrono::steady_clock::time_point()> clock = [] {
        return std::chrono::steady_clock::now();
    };

    // The link to the board and the window, for the procedures.
    DeviceLink& link() const { return link_; }
    CalibrationHost& host() const { return host_; }

private:
    DeviceLink& link_;
    CalibrationHost& host_;
    CalibrateSettings settings_;
    std::unique_ptr<RunLog> runLog_;
    bool abandoned_ = false;
    bool procedureRunning_ = false;
};

} // namespace quell
