#pragma once

#include "calibration/TPointResult.h"
#include "calibration/TestLimits.h"

#include <QString>

#include <cstdint>

namespace quell {

class IniFile;

// The [Calibrate] section of the client settings file: the stability step of the procedures, the
// expected values of the test points and the limits a tested point must keep. Every key read is
// first written with its default when missing; a new section also gets the names of the nine
// points, which nothing reads back.
class CalibrateSettings {
public:
    // Reads the section from an open settings file, creating what is missing (the caller saves).
    // Row 5 of expected is kept: nothing tests it.
    void load(IniFile& ini);
    // Reads the section from the settings file and saves it; false (errorText() says why) when
    // the file cannot be written.
    bool load(const QString& settingsFileName);
    // Why the last load failed.
    const QString& errorText() const { return errorText_; }

    // Two successive readings closer than this count as stable.
    std::int16_t different = 3;
    // Expected readings of the test points; values keep their low 16 bits, read as signed.
    TExpectedTable expected{};
    // The limits of a tested point: Limit_Temp (°C), Limit_EMC and Limit_MC (percent). A value
    // that is not a plain number from 0 to 100 reads as the default and is left in the file.
    TestLimits limits{};

private:
    QString errorText_;
};

} // namespace quell
