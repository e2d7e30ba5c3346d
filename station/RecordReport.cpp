#include "station/RecordReport.h"

#include "calibration/CalibrateSettings.h"
#include "calibration/ScoreFile.h"
#include "client/IniFile.h"
#include "report/ReportPdf.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>

namespace quell {

namespace {

void print(std::FILE* stream, const QByteArray& text)
{
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stream);
    std::fflush(stream);
}

QString verdictName(ReportVerdict verdict)
{
    switch (verdict) {
    case ReportVerdict::Pass:
        return QStringLiteral("pass");
    case ReportVerdict::Fail:
        return QStringLiteral("fail");
    case ReportVerdict::Incomplete:
        return QStringLiteral("incomplete");
    case ReportVerdict::None:
        break;
    }
    return QStringLiteral("none");
}

} // namespace

StationExit writeRecordReport(const StationCommandLine& line, const QString& settingsFileName)
{
    // Read, never written: a report changes nothing of the station. Keys the file lacks read as
    // their defaults.
    IniFile ini(settingsFileName);
    CalibrateSettings settings;
    settings.load(ini);
    const int board = line.board.value_or(
        std::clamp(ini.readInteger(QStringLiteral("View"), QStringLiteral("PB"), 0), 0,
                   StationCommandLine::kMaxBoard));

    ReportInputs inputs = startReportInputs(settingsFileName, board, QDateTime::currentDateTime());
    inputs.limits = settings.limits;
    ScoreImage image{};
    QString error;
    bool ok = ReadScore(line.recordIn, inputs.testPoints, image, error);
    ReportVerdict verdict = ReportVerdict::None;
    if (ok) {
        inputs.testSource = QStringLiteral("fajl ") + QDir::toNativeSeparators(line.recordIn);
        const BoardReport report = makeBoardReport(inputs);
        verdict = report.verdict;
        ok = WriteReportPdf(report, line.report, error);
    }
    if (!ok)
        print(stderr, (QStringLiteral("quellcal: ") + error + u'\n').toUtf8());

    QJsonObject summary;
    summary.insert(QStringLiteral("board"), board);
    summary.insert(QStringLiteral("ok"), ok);
    summary.insert(QStringLiteral("report"), ok ? line.report : QString());
    summary.insert(QStringLiteral("verdict"), verdictName(verdict));
    print(stdout, QJsonDocument(summary).toJson(QJsonDocument::Compact) + '\n');
    return ok ? StationExit::Ok : StationExit::StepFailed;
}

} // namespace quell
