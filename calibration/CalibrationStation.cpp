#include "calibration/CalibrationStation.h"

#include "client/DeviceLink.h"
#include "client/IniFile.h"

namespace quell {

CalibrationStation::CalibrationStation(DeviceLink& link, CalibrationHost& host)
    : link_(link), host_(host)
{
}

CalibrationStation::~CalibrationStation() = default;

void CalibrationStation::loadSettings(IniFile& ini)
{
    settings_.load(ini);
    StableDelta = settings_.different;
    SetExpected(TestPoints, settings_.expected);
}

void CalibrationStation::startLog(const QString& logFolder, const QDateTime& now)
{
    runLog_ = std::make_unique<RunLog>(logFolder);
    runLog_->start(now);
}

void CalibrationStation::pause(int ms)
{
    if (link_.waitUntil([this] { return StopRequested; }, ms) == WaitOutcome::Aborted)
        abandonRun();
}

} // namespace quell
