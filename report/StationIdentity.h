#pragma once

#include "report/BoardReport.h"

#include <QString>

namespace quell {

// The tester and the station a report names: keys Tester and Station of [Base] in the settings
// file, with the database's defaults when missing. Only read: the database keeps that section.
StationIdentity readStationIdentity(const QString& settingsFileName);

} // namespace quell
