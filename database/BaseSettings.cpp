#include "database/BaseSettings.h"

#include "client/IniFile.h"

#include <QDir>

namespace quell {

namespace {

const QString kSection = QString::fromLatin1(kBaseSection);

} // namespace

BaseSettings DefaultBaseSettings(const QString& workDir)
{
    return {QDir::toNativeSeparators(QDir(workDir).absolutePath()) + QDir::separator()
                + QStringLiteral("BORAN.db"),
            QStringLiteral("Table_VRQ08_4"), QStringLiteral("Table_VRQ_Test1"),
            QStringLiteral("T.Orvel"), QStringLiteral("Kalibrator 1")};
}

BaseSettings ReadBaseSettings(const QString& settingsFileName, const QString& workDir,
                              QString* error)
{
    const BaseSettings defaults = DefaultBaseSettings(workDir);
    IniFile ini(settingsFileName);
    const auto read = [&](const char* key, const QString& fallback) {
        const QString name = QString::fromLatin1(key);
        if (!ini.valueExists(kSection, name))
            ini.writeString(kSection, name, fallback);
        return ini.readString(kSection, name, fallback);
    };
    BaseSettings settings;
    settings.path = read("Path", defaults.path);
    settings.tabela = read("Tabela", defaults.tabela);
    settings.testing = read("Testing", defaults.testing);
    settings.tester = read("Tester", defaults.tester);
    settings.station = read("Station", defaults.station);
    if (!ini.save() && error)
        *error = ini.errorText();
    return settings;
}

bool StoreBasePath(const QString& settingsFileName, const QString& path, QString* error)
{
    IniFile ini(settingsFileName);
    ini.writeString(kSection, QStringLiteral("Path"), path);
    if (ini.save())
        return true;
    if (error)
        *error = ini.errorText();
    return false;
}

} // namespace quell
