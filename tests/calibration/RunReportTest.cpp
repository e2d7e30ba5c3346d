// The summary of a headless run, as scripts read it: one line of JSON with fixed field names and
// types, taken one to one from what the calibration runs did.

#include "calibration/RunReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace quell {
namespace {

QStringList keysOf(const QJsonObject& object)
{
    QStringList keys = object.keys();
    keys.sort();
    return keys;
}

RunOutcome emcOutcome()
{
    RunOutcome outcome;
    outcome.ok = false;
    outcome.channels.push_back(ChannelOutcome{
        3,
        QStringLiteral("EMC 1"),
        false,
        {PointOutcome{1, true, 1200, 1187, -1.08}, PointOutcome{2, false, -40, 0, 0.0}}});
    outcome.channels.push_back(ChannelOutcome{4, QStringLiteral("Temp š"), true, {}});
    return outcome;
}

TEST(RunReport, IsOneLineOfTypedFields)
{
    RunReport report;
    report.ok = false;
    report.board = 12;
    report.method = QStringLiteral("deep");
    report.log = QStringLiteral("/station/Log/VRQCalib_12_x.log");
    report.steps.push_back(
        StepReport::calibration(QStringLiteral("calibrate"), RunOutcome{true, {}}));
    report.steps.push_back(StepReport::calibration(QStringLiteral("calibrate-emc1"), emcOutcome()));

    const QByteArray line = report.toJsonLine();
    EXPECT_FALSE(line.contains('\n'));
    // Scripts match on these texts: "done" is an integer, not a JSON boolean.
    EXPECT_TRUE(line.contains(R"("done":1)")) << line.toStdString();
    EXPECT_TRUE(line.contains(R"("done":0)")) << line.toStdString();
    EXPECT_TRUE(line.contains("Temp š")) << "written as UTF-8";

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonObject summary = document.object();
    EXPECT_EQ(keysOf(summary), QStringList({"board", "log", "method", "ok", "steps"}));
    EXPECT_TRUE(summary["ok"].isBool());
    EXPECT_FALSE(summary["ok"].toBool(true));
    EXPECT_EQ(summary["board"].toInt(-1), 12);
    EXPECT_EQ(summary["method"].toString(), "deep");
    EXPECT_EQ(summary["log"].toString(), "/station/Log/VRQCalib_12_x.log");

    const QJsonArray steps = summary["steps"].toArray();
    ASSERT_EQ(steps.size(), 2);
    const QJsonObject all = steps[0].toObject();
    EXPECT_EQ(keysOf(all), QStringList({"channels", "ok", "step"}));
    EXPECT_EQ(all["step"].toString(), "calibrate");
    EXPECT_TRUE(all["ok"].toBool(false));
    EXPECT_TRUE(all["channels"].isArray());
    EXPECT_TRUE(all["channels"].toArray().isEmpty());

    const QJsonObject emc = steps[1].toObject();
    EXPECT_EQ(emc["step"].toString(), "calibrate-emc1");
    EXPECT_TRUE(emc["ok"].isBool());
    EXPECT_FALSE(emc["ok"].toBool(true));
    const QJsonArray channels = emc["channels"].toArray();
    ASSERT_EQ(channels.size(), 2);
    const QJsonObject channel = channels[0].toObject();
    EXPECT_EQ(keysOf(channel), QStringList({"name", "ok", "points", "row"}));
    EXPECT_EQ(channel["row"].toInt(-1), 3);
    EXPECT_EQ(channel["name"].toString(), "EMC 1");
    EXPECT_TRUE(channel["ok"].isBool());
    EXPECT_EQ(channels[1].toObject()["name"].toString(), "Temp š");
    EXPECT_TRUE(channels[1].toObject()["ok"].toBool(false));
    EXPECT_TRUE(channels[1].toObject()["points"].toArray().isEmpty());

    const QJsonArray points = channel["points"].toArray();
    ASSERT_EQ(points.size(), 2);
    const QJsonObject first = points[0].toObject();
    EXPECT_EQ(keysOf(first), QStringList({"deviation", "done", "new", "old", "point"}));
    EXPECT_EQ(first["point"].toInt(-1), 1);
    EXPECT_EQ(first["done"].toInt(-1), 1);
    EXPECT_EQ(first["old"].toInt(), 1200);
    EXPECT_EQ(first["new"].toInt(), 1187);
    EXPECT_DOUBLE_EQ(first["deviation"].toDouble(), -1.08);
    const QJsonObject second = points[1].toObject();
    EXPECT_EQ(second["point"].toInt(-1), 2);
    EXPECT_EQ(second["done"].toInt(-1), 0);
    EXPECT_EQ(second["old"].toInt(), -40);
    EXPECT_EQ(second["new"].toInt(-1), 0);
    EXPECT_TRUE(second["deviation"].isDouble());
}

TEST(RunReport, AStepKeepsItsNameAndVerdictOverItsDetails)
{
    // A kind of step that reports "ok" or "step" among its details must not change the verdict.
    RunReport report;
    report.steps.push_back(StepReport{QStringLiteral("calibrate"), false,
                                      QJsonObject{{"ok", true}, {"step", "other"}, {"extra", 5}}});
    const QJsonObject step =
        QJsonDocument::fromJson(report.toJsonLine()).object()["steps"].toArray()[0].toObject();
    EXPECT_EQ(step["step"].toString(), "calibrate");
    EXPECT_FALSE(step["ok"].toBool(true));
    EXPECT_EQ(step["extra"].toInt(), 5);
}

} // namespace
} // namespace quell
