#pragma once

#include "calibration/CalibrationRuns.h"
#include "calibration/TPointResult.h"
#include "calibration/TestLimits.h"
#include "view/TestResultChart.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <utility>
#include <vector>

namespace quell {

// Who and where a report was made: the [Base] names of the station.
struct StationIdentity {
    QString tester;
    QString station;
};

// What a report is made of: the board, the station, the last calibration of each channel in this
// run of the program, the test records with the limits they are judged by, and what went wrong in
// the run that asked for the report.
struct ReportInputs {
    int board = 0;
    QString description; // the text of EditOpis
    QDateTime time;      // when the report was made
    StationIdentity identity;
    QString program;         // "quellcal 0.13.0"
    QString descriptionFile; // the protocol description file in use
    // The last calibration of each channel (one per recipe row) in this run of the program.
    std::vector<ChannelOutcome> calibration;
    TTestPoints testPoints{};
    TestLimits limits;
    // Where the test records came from ("test u ovom radu programa", a result file...); empty
    // when nothing has filled them.
    QString testSource;
    // Steps of a headless run that did not go well, each in words.
    QStringList failures;
};

// The board's overall verdict.
enum class ReportVerdict {
    Pass,       // every channel tested and within its limits, nothing failed
    Fail,       // a point outside its limits, a point not measured, a failed calibration or step
    Incomplete, // nothing failed, but not every channel was tested
    None,       // neither calibrated nor tested
};

// One point of a channel's calibration: the constant as found, as left, the change in percent and
// whether it was taken.
struct CalibrationLine {
    int point = 0;
    QString label;     // the reference ("100K", "50")
    QString asFound;   // the constant before the run, as the board shows it
    QString asLeft;    // the constant written
    QString deviation; // (as found - as left) / as found, percent
    QString verdict;   // "ispravno", "greška", "nije mereno"
    bool failed = false;
};

// A calibrated channel's table.
struct CalibrationSection {
    int row = 0;
    QString channel;
    bool ok = false;
    QString verdict;
    std::vector<CalibrationLine> lines;
};

// One point of a tested channel: measured against expected, its deviation, limit and verdict.
struct TestLine {
    int point = 0;
    QString label;
    QString measured;
    QString expected;
    QString deviation;
    QString limit;
    QString verdict; // "u granicama", "VAN GRANICA", "nije mereno"
    bool outside = false;
    bool measuredPoint = false;
};

// A tested channel: its verdict, the chart of measured against expected values and the table of
// its nine points.
struct TestSection {
    int row = 0;
    QString channel;
    QString unit;    // of the measured and expected values
    QString note;    // how deviation and limit are meant
    QString verdict; // "ispravno", "van granica (tačke 3, 7)"...
    bool pass = false;
    ResultChart chart; // as "Line" of Chart2 draws it
    std::vector<TestLine> lines;
};

// The report as it goes on the page: every text in words, numbers with their channel's decimals.
// Nothing here draws; the PDF writer lays it out.
struct BoardReport {
    QString title;
    // Label and value of each header field, in order.
    std::vector<std::pair<QString, QString>> header;
    ReportVerdict verdict = ReportVerdict::None;
    QString verdictText;    // what a person reads first
    QStringList verdictWhy; // the findings behind it, one per line
    // Per channel (Temp 1 ... Drvo sve): the channel, its calibration and its test in words.
    std::vector<std::array<QString, 3>> summary;
    // What the calibration tables' deviation is, or why there are no tables.
    QString calibrationNote;
    std::vector<CalibrationSection> calibration;
    QString testNote; // where the test records came from, or why there are none
    std::vector<TestSection> tests;
};

// What every report starts from: the board, the moment, the station's names and the description
// file of the settings file, and this program; the caller adds the results.
ReportInputs startReportInputs(const QString& settingsFileName, int board, const QDateTime& time);

// Makes the report of a board from what the run holds.
BoardReport makeBoardReport(const ReportInputs& inputs);

// The name a report is first offered under: "VRQ-08_Report_<board>_<stamp>.pdf".
QString ProposedReportName(int boardNumber, const QDateTime& time);

} // namespace quell
