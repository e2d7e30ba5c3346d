#include "station/RunReport.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace quell {

namespace {

QJsonObject pointJson(const PointOutcome& point)
{
    // "done" is 0 or 1 rather than a JSON boolean, and the constants are the raw integers the
    // board holds, so scripts compare them with what other tools print.
    return QJsonObject{
        {QStringLiteral("point"), point.point},
        {QStringLiteral("done"), point.done ? 1 : 0},
        {QStringLiteral("old"), point.old},
        {QStringLiteral("new"), point.now},
        {QStringLiteral("deviation"), point.deviation},
    };
}

QJsonObject channelJson(const ChannelOutcome& channel)
{
    QJsonArray points;
    for (const PointOutcome& point : channel.points)
        points.append(pointJson(point));
    return QJsonObject{
        {QStringLiteral("row"), channel.row},
        {QStringLiteral("name"), channel.name},
        {QStringLiteral("ok"), channel.ok},
        {QStringLiteral("points"), points},
    };
}

QJsonObject testPointJson(const TestPointOutcome& point)
{
    // As a calibration point: "done" 0 or 1, the values the raw integers (x 100) of the record.
    return QJsonObject{
        {QStringLiteral("point"), point.point},
        {QStringLiteral("done"), point.done ? 1 : 0},
        {QStringLiteral("errorBits"), point.errorBits},
        {QStringLiteral("measured"), point.measured},
        {QStringLiteral("expected"), point.expected},
        {QStringLiteral("deviation"), point.deviation},
        {QStringLiteral("within"), point.within},
    };
}

QJsonObject testChannelJson(const TestChannelOutcome& channel)
{
    QJsonArray points;
    for (const TestPointOutcome& point : channel.points)
        points.append(testPointJson(point));
    return QJsonObject{
        {QStringLiteral("row"), channel.row}, {QStringLiteral("name"), channel.name},
        {QStringLiteral("ok"), channel.ok},   {QStringLiteral("pass"), channel.pass},
        {QStringLiteral("points"), points},
    };
}

} // namespace

StepReport StepReport::test(const QString& step, const TestOutcome& outcome)
{
    QJsonArray channels;
    for (const TestChannelOutcome& channel : outcome.channels)
        channels.append(testChannelJson(channel));
    return StepReport{step, outcome.ok, QJsonObject{{QStringLiteral("channels"), channels}},
                      outcome.pass};
}

StepReport StepReport::calibration(const QString& step, const RunOutcome& outcome)
{
    QJsonArray channels;
    for (const ChannelOutcome& channel : outcome.channels)
        channels.append(channelJson(channel));
    return StepReport{step, outcome.ok, QJsonObject{{QStringLiteral("channels"), channels}},
                      std::nullopt};
}

StepReport StepReport::record(const QString& step, const RecordStepOutcome& outcome)
{
    StepReport report;
    report.step = step;
    report.ok = outcome.ok;
    report.details = QJsonObject{
        {QStringLiteral("database"), outcome.database},
        {QStringLiteral("table"), outcome.table},
        {QStringLiteral("board"), outcome.board},
        {QStringLiteral("appended"), outcome.appended},
    };
    return report;
}

QByteArray RunReport::toJsonLine() const
{
    QJsonArray stepList;
    for (const StepReport& report : steps) {
        QJsonObject entry = report.details;
        entry.insert(QStringLiteral("step"), report.step);
        entry.insert(QStringLiteral("ok"), report.ok);
        if (report.pass)
            entry.insert(QStringLiteral("pass"), *report.pass);
        stepList.append(entry);
    }
    QJsonObject summary;
    summary.insert(QStringLiteral("ok"), ok);
    summary.insert(QStringLiteral("board"), board);
    summary.insert(QStringLiteral("method"), method);
    summary.insert(QStringLiteral("log"), log);
    summary.insert(QStringLiteral("steps"), stepList);
    if (!report.isEmpty())
        summary.insert(QStringLiteral("report"), report);
    return QJsonDocument(summary).toJson(QJsonDocument::Compact);
}

} // namespace quell
