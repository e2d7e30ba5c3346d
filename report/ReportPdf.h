#pragma once

#include "report/BoardReport.h"

#include <QString>

namespace quell {

// Writes a board's report as an A4 PDF with Qt's own writer: the header, the verdict and the
// summary on the first page, then the calibration tables and, per tested channel, its chart (drawn
// as Chart2 draws it) and its table; every page numbered. The file is replaced atomically. False,
// with errorText naming the file, when it cannot be written. GUI thread, with a QApplication (the
// charts are Qt Charts).
bool WriteReportPdf(const BoardReport& report, const QString& fileName, QString& errorText);

} // namespace quell
