#include "report/StationIdentity.h"

#include "client/IniFile.h"
#include "database/BaseSettings.h"

namespace quell {

StationIdentity readStationIdentity(const QString& settingsFileName)
{
    const IniFile ini(settingsFileName);
    const QString base = QString::fromLatin1(kBaseSection);
    const BaseSettings defaults = DefaultBaseSettings(QString());
    return {ini.readString(base, QStringLiteral("Tester"), defaults.tester),
            ini.readString(base, QStringLiteral("Station"), defaults.station)};
}

} // namespace quell
