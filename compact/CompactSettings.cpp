#include "compact/CompactSettings.h"

#include "client/IniFile.h"

namespace quell::compact {

namespace {

const QString kView = QStringLiteral("View");

bool saveIni(IniFile& ini, QString* errorText)
{
    if (ini.save())
        return true;
    if (errorText)
        *errorText = ini.errorText();
    return false;
}

} // namespace

CompactSettings::CompactSettings()
{
    // The compact configurator serves slower boards than the calibration station.
    values.baud = QStringLiteral("9600");
    values.timeOut = 100;
}

QString CompactSettings::settingsFileNameFor(const QStringList& arguments,
                                             const QString& programFile, const QString& startDir)
{
    const QString name = ClientSettings::givenSettingsName(arguments, programFile);
    return name.contains(u'/') ? name : startDir + u'/' + name;
}

void CompactSettings::readFrom(IniFile& ini)
{
    const ClientSettings defaults = CompactSettings().values;
    values.readLinkKeys(ini, defaults);
    values.readDeviceKeys(ini, defaults);
    values.readStartAndWindowKeys(ini, defaults);
}

void CompactSettings::readViewPlacement(IniFile& ini)
{
    const ViewPlacement d;
    view.left = ini.readOrCreateInteger(kView, QStringLiteral("LeftPos"), d.left);
    view.top = ini.readOrCreateInteger(kView, QStringLiteral("TopPos"), d.top);
    view.width = ini.readOrCreateInteger(kView, QStringLiteral("Width"), d.width);
    view.height = ini.readOrCreateInteger(kView, QStringLiteral("Height"), d.height);
    view.visible = ini.readOrCreateBool(kView, QStringLiteral("Visible"), d.visible);
}

void CompactSettings::writeClosingState(IniFile& ini) const
{
    values.writeLinkKeys(ini);
    values.writeAddressKey(ini);
    values.writeStartAndWindowKeys(ini);
    ini.writeInteger(kView, QStringLiteral("LeftPos"), view.left);
    ini.writeInteger(kView, QStringLiteral("TopPos"), view.top);
    ini.writeInteger(kView, QStringLiteral("Width"), view.width);
    ini.writeInteger(kView, QStringLiteral("Height"), view.height);
    ini.writeBool(kView, QStringLiteral("Visible"), view.visible);
}

bool CompactSettings::load(const QString& settingsFileName, QString* errorText)
{
    IniFile ini(settingsFileName);
    readFrom(ini);
    return saveIni(ini, errorText);
}

bool CompactSettings::saveClosingState(const QString& settingsFileName, QString* errorText) const
{
    IniFile ini(settingsFileName);
    writeClosingState(ini);
    return saveIni(ini, errorText);
}

} // namespace quell::compact
