#pragma once

#include "client/ClientSettings.h"

#include <QString>
#include <QStringList>

namespace quell {
class IniFile;
}

namespace quell::compact {

// [View] as the compact configurator keeps it: where its small view window stands, and whether
// it is shown.
struct ViewPlacement {
    int left = 150;
    int top = 350;
    int width = 300;
    int height = 280;
    bool visible = false;
};

// The compact configurator's settings file: the keys of the full tool's file less the MC
// routing ones, with its own defaults (9600 baud, time-out 100), and [View] with the compact
// view's placement. The values live in the shared record, which the settings tab shows; its MC
// fields are neither read nor written. Not thread-safe; the GUI thread owns it.
class CompactSettings {
public:
    // The compact defaults.
    CompactSettings();

    // Every key but [View] (the settings tab, the link, the main window).
    ClientSettings values;
    // [View], which the compact view reads when it is created (readViewPlacement).
    ViewPlacement view;

    // The settings file name: the given name (ClientSettings::givenSettingsName) prefixed with
    // startDir and "/" when it has no folder part; a name with a folder part, even a relative
    // one, is used as it is. The working directory stays where it was at start: it is WorkDir,
    // and "Vals" is made there (ClientSettings::valsDirOf).
    static QString settingsFileNameFor(const QStringList& arguments, const QString& programFile,
                                       const QString& startDir);

    // Reads [Socket], [Comm], [Protocol] Address, Mask, File, [Action] and [Config] in the full
    // tool's order, first writing each missing key's default (the caller saves).
    void readFrom(IniFile& ini);
    // Reads [View] LeftPos, TopPos, Width, Height, Visible into view, first writing each missing
    // key's default (the caller saves).
    void readViewPlacement(IniFile& ini);
    // What closing writes: the full tool's closing keys without EnableMC and MCAddress, then
    // [View] from view.
    void writeClosingState(IniFile& ini) const;

    // readFrom() on the file, then saves it; false with the reason, naming the file, on failure.
    bool load(const QString& settingsFileName, QString* errorText = nullptr);
    // writeClosingState() into the file and saves it; false with the reason on failure.
    bool saveClosingState(const QString& settingsFileName, QString* errorText = nullptr) const;
};

} // namespace quell::compact
