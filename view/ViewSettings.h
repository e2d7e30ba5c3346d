#pragma once

#include <QRect>
#include <QString>

namespace quell {

class IniFile;

// The view's own section of the client settings file, [View]: window geometry, visibility and
// board number. The view is its one writer: it reads the section at start and on "Ini", writes
// the geometry and visibility when it is closed at shut-down and the board number when it goes
// away. Every key read is first written with its default when missing, so each run leaves a
// complete file; a missing section gets the small hidden first-run window.
class ViewSettings {
public:
    // Reads the section from an open settings file, creating what is missing (the caller saves).
    void load(IniFile& ini);
    // Reads the section from the settings file and saves it; false (errorText() says why) when
    // the file cannot be written.
    bool load(const QString& settingsFileName);
    // Writes [View] PB; false when the file cannot be written.
    bool saveBoardNumber(const QString& settingsFileName, int boardNumber);
    // Writes [View] LeftPos, TopPos, Width, Height (frame position, client size) and Visible;
    // false when the file cannot be written.
    bool saveWindow(const QString& settingsFileName, const QRect& geometry, bool visible);
    // Why the last load or save failed.
    const QString& errorText() const { return errorText_; }

    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool visible = false;
    int boardNumber = 0;

private:
    bool save(IniFile& ini);

    QString errorText_;
};

} // namespace quell
