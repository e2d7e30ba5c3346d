#pragma once

// Known inputs of a report: a board whose six channels were tested on their expected values and
// whose five channels were calibrated, which a test then spoils where it needs to.

#include "calibration/CalibrateSettings.h"
#include "client/IniFile.h"
#include "report/BoardReport.h"

#include <utility>

namespace quell::reporttest {

// The tested rows, in the order of "Rezultat".
inline constexpr int kTestedRows[] = {1, 3, 0, 2, 4, 6};

inline ReportInputs goodBoard()
{
    ReportInputs in;
    in.board = 17;
    in.description = QStringLiteral("PB: serija 4");
    in.time = QDateTime(QDate(2024, 3, 15), QTime(9, 30, 5));
    in.identity = {QStringLiteral("Žarko Šoć"), QStringLiteral("Kalibrator 2")};
    in.program = QStringLiteral("quellcal 0.13.0");
    in.descriptionFile = QStringLiteral("/station/vrq-pb.var");
    in.testSource = QStringLiteral("test u ovom radu programa");
    CalibrateSettings defaults;
    // The default expected values of [Calibrate], as a fresh settings file gets them.
    IniFile none(QString{});
    defaults.load(none);
    SetExpected(in.testPoints, defaults.expected);
    for (const int row : kTestedRows)
        for (TPointResult& p : in.testPoints[static_cast<std::size_t>(row)]) {
            p.New = p.Expected;
            p.Done = 1;
        }
    for (const auto& [row, name] :
         {std::pair{1, "Temp 1"}, std::pair{3, "Temp 2"}, std::pair{0, "EMC 1"},
          std::pair{2, "EMC 2"}, std::pair{4, "Drvo"}}) {
        ChannelOutcome channel{row, QString::fromLatin1(name), true, {}};
        for (int k = 1; k <= 8; ++k)
            if ((row != 1 && row != 3) || k == 3 || k == 5 || k == 7)
                channel.points.push_back({k, true, 21500, 21523, -0.107});
        in.calibration.push_back(channel);
    }
    return in;
}

// The test record of a row (0..6) and point (1..9).
inline TPointResult& point(ReportInputs& in, int row, int k)
{
    return in.testPoints[static_cast<std::size_t>(row)][static_cast<std::size_t>(k - 1)];
}

} // namespace quell::reporttest
