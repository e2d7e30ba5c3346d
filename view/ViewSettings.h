#pragma once

#include "calibration/TPointResult.h"

#include <QString>

#include <array>
#include <cstdint>

namespace quell {

class IniFile;

// The view's own sections of the client settings file: [View] (window geometry, visibility,
// board number) and [Calibrate] (the stability step and the expected values of the test points).
// Every key read is first written with its default when missing, so each run leaves a complete
// file; a missing [View] section gets the small hidden first-run window.
class ViewSettings {
public:
    // Test point groups: rows EMC 1, Temp 1, EMC 2, Temp 2, Drvo, (unused), Drvo sve.
    static constexpr int kRows = kRecipeRows;
    static constexpr int kPoints = kTestPointsPerRow;
    using Expected = TExpectedTable;

    // Reads both sections from the settings file, creating what is missing, and saves the file;
    // false (errorText() says why) when the file cannot be written. Row 5 of expected() is kept.
    bool load(const QString& settingsFileName);
    // Writes [View] PB; false when the file cannot be written.
    bool saveBoardNumber(const QString& settingsFileName, int boardNumber);
    // Why the last load or save failed.
    const QString& errorText() const { return errorText_; }

    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool visible = false;
    int boardNumber = 0;
    // Two successive readings closer than this count as stable.
    std::int16_t different = 3;
    // Expected readings of the test points; values keep their low 16 bits, read as signed.
    Expected expected{};

private:
    void loadView(IniFile& ini);
    void loadCalibrate(IniFile& ini);

    QString errorText_;
};

} // namespace quell
