#include "view/ViewSettings.h"

#include "client/IniFile.h"

#include <algorithm>

namespace quell {

namespace {

const QString kView = QStringLiteral("View");
constexpr int kMaxBoardNumber = 10000;

// The value of a key, written with its default first when it is missing.
int readOrCreate(IniFile& ini, const QString& section, const QString& key, int defaultValue)
{
    if (!ini.valueExists(section, key)) {
        ini.writeInteger(section, key, defaultValue);
    }
    return ini.readInteger(section, key, defaultValue);
}

} // namespace

bool ViewSettings::save(IniFile& ini)
{
    const bool saved = ini.save();
    errorText_ = saved ? QString() : ini.errorText();
    return saved;
}

bool ViewSettings::load(const QString& settingsFileName)
{
    IniFile ini(settingsFileName);
    load(ini);
    return save(ini);
}

void ViewSettings::load(IniFile& ini)
{
    if (!ini.sectionExists(kView)) {
        // A first run: a small hidden window, the operator opens it from the menu.
        ini.writeInteger(kView, QStringLiteral("LeftPos"), 150);
        ini.writeInteger(kView, QStringLiteral("TopPos"), 350);
        ini.writeInteger(kView, QStringLiteral("Width"), 300);
        ini.writeInteger(kView, QStringLiteral("Height"), 280);
        ini.writeInteger(kView, QStringLiteral("Visible"), 0);
        ini.writeInteger(kView, QStringLiteral("PB"), 0);
    }
    // A single missing key gets the full-size layout rather than the first-run window.
    left = readOrCreate(ini, kView, QStringLiteral("LeftPos"), 180);
    top = readOrCreate(ini, kView, QStringLiteral("TopPos"), 10);
    width = readOrCreate(ini, kView, QStringLiteral("Width"), 936);
    height = readOrCreate(ini, kView, QStringLiteral("Height"), 465);
    visible = readOrCreate(ini, kView, QStringLiteral("Visible"), 0) != 0;
    boardNumber = std::clamp(readOrCreate(ini, kView, QStringLiteral("PB"), 0), 0, kMaxBoardNumber);
}

bool ViewSettings::saveBoardNumber(const QString& settingsFileName, int number)
{
    IniFile ini(settingsFileName);
    ini.writeInteger(kView, QStringLiteral("PB"), std::clamp(number, 0, kMaxBoardNumber));
    return save(ini);
}

bool ViewSettings::saveWindow(const QString& settingsFileName, const QRect& geometry, bool visible)
{
    IniFile ini(settingsFileName);
    ini.writeInteger(kView, QStringLiteral("LeftPos"), geometry.left());
    ini.writeInteger(kView, QStringLiteral("TopPos"), geometry.top());
    ini.writeInteger(kView, QStringLiteral("Width"), geometry.width());
    ini.writeInteger(kView, QStringLiteral("Height"), geometry.height());
    ini.writeBool(kView, QStringLiteral("Visible"), visible);
    return save(ini);
}

} // namespace quell
