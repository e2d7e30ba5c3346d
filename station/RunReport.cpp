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

} // namespace

StepReport StepReport::calibration(const QString& step, const RunOutcome& outcome)
{
    QJsonArray channels;
    for (const ChannelOutcome& channel : outcome.channels)
        channels.append(channelJson(channel));
    return StepReport{step, outcome.ok, QJsonObject{{QStringLiteral("channels"), channels}}};
}

QByteArray RunReport::toJsonLine() const
{
    QJsonArray stepList;
    for (const StepReport& report : steps) {
        QJsonObject entry = report.details;
        entry.insert(QStringLiteral("step"), report.step);
        entry.insert(QStringLiteral("ok"), report.ok);
        stepList.append(entry);
    }
    QJsonObject summary;
    summary.insert(QStringLiteral("ok"), ok);
    summary.insert(QStringLiteral("board"), board);
    summary.insert(QStringLiteral("method"), method);
    summary.insert(QStringLiteral("log"), log);
    summary.insert(QStringLiteral("steps"), stepList);
    return QJsonDocument(summary).toJson(QJsonDocument::Compact);
}

} // namespace quell
