#include "report/StationIdentity.h"

#include "client/IniFile.h"

namespace quell {

StationIdentity readStationIdentity(const QString& settingsFileName)
{
    const IniFile ini(settingsFileName);
    const QString base = QStringLiteral("Base");
    return {ini.readString(base, QStringLiteral("Tester"), QStringLiteral("T.Orvel")),
            ini.readString(base, QStringLiteral("Station"), QStringLiteral("Kalibrator 1"))};
}

} // namespace quell
