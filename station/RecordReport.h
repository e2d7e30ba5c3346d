#pragma once

#include "station/StationCommandLine.h"

#include <QString>

namespace quell {

// quellcal --report FILE --record-in FILE [--board N]: the board's report from a result file
// alone, with no windows and no connection. The limits come from [Calibrate] and the board number
// from [View] (or --board) of the settings file, which is only read. Prints one JSON line on
// standard output, {"board":N,"ok":BOOL,"report":PATH,"verdict":"pass|fail|incomplete|none"},
// and what went wrong on standard error; the exit status is 0 when the report was written, 1 when
// the result file could not be read or the report not written. Needs a QApplication (the charts).
StationExit writeRecordReport(const StationCommandLine& line, const QString& settingsFileName);

} // namespace quell
