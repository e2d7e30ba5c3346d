// The summary of a headless run, as scripts read it: one line of JSON with fixed field names and
// types, taken one to one from what the calibration runs did.

#include "station/RunReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace quell {
namespace {

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

    // The whole line, known to the byte: field names, JSON types ("done" an integer, "ok" a
    // boolean, the constants raw integers), UTF-8 names, no line end.
    EXPECT_EQ(report.toJsonLine().toStdString(),
              R"({"board":12,"log":"/station/Log/VRQCalib_12_x.log","method":"deep","ok":false,)"
              R"("steps":[{"channels":[],"ok":true,"step":"calibrate"},)"
              R"({"channels":[{"name":"EMC 1","ok":false,"points":[)"
              R"({"deviation":-1.08,"done":1,"new":1187,"old":1200,"point":1},)"
              R"({"deviation":0,"done":0,"new":0,"old":-40,"point":2}],"row":3},)"
              R"({"name":"Temp š","ok":true,"points":[],"row":4}],)"
              R"("ok":false,"step":"calibrate-emc1"}]})");
}

TEST(RunReport, ATestStepReportsItsVerdictAndEveryPointWithTypedFields)
{
    TestOutcome outcome;
    outcome.ok = true;
    outcome.pass = false;
    outcome.channels.push_back(
        TestChannelOutcome{0,
                           QStringLiteral("EMC 1"),
                           true,
                           false,
                           {TestPointOutcome{1, true, 0, 4160, 4200, 0.952, true},
                            TestPointOutcome{2, true, 1, 3700, 3500, -5.7142857, false},
                            TestPointOutcome{9, false, 0, -12, 440, 102.5, false}}});
    RunReport report;
    report.steps.push_back(StepReport::test(QStringLiteral("test-emc1"), outcome));
    report.steps.push_back(StepReport::calibration(QStringLiteral("calibrate"), RunOutcome{}));

    // "pass" beside "ok" on the step and on each channel, "done" an integer, "within" a boolean,
    // the values the raw hundredths; a calibration step has no "pass".
    EXPECT_EQ(report.toJsonLine().toStdString(),
              R"({"board":0,"log":"","method":"","ok":false,"steps":[)"
              R"({"channels":[{"name":"EMC 1","ok":true,"pass":false,"points":[)"
              R"({"deviation":0.952,"done":1,"errorBits":0,"expected":4200,"measured":4160,)"
              R"("point":1,"within":true},)"
              R"({"deviation":-5.7142857,"done":1,"errorBits":1,"expected":3500,"measured":3700,)"
              R"("point":2,"within":false},)"
              R"({"deviation":102.5,"done":0,"errorBits":0,"expected":440,"measured":-12,)"
              R"("point":9,"within":false}],"row":0}],)"
              R"("ok":true,"pass":false,"step":"test-emc1"},)"
              R"({"channels":[],"ok":false,"step":"calibrate"}]})");
    EXPECT_FALSE(report.steps[0].passed()) << "a test outside its limits fails the run";
    outcome.pass = true;
    EXPECT_TRUE(StepReport::test(QStringLiteral("test"), outcome).passed());
}

TEST(RunReport, AStepKeepsItsNameAndVerdictOverItsDetails)
{
    // A kind of step that reports "ok" or "step" among its details must not change the verdict.
    RunReport report;
    report.steps.push_back(StepReport{QStringLiteral("calibrate"), false,
                                      QJsonObject{{"ok", true}, {"step", "other"}, {"extra", 5}},
                                      std::nullopt});
    const QJsonObject step =
        QJsonDocument::fromJson(report.toJsonLine()).object()["steps"].toArray()[0].toObject();
    EXPECT_EQ(step["step"].toString(), "calibrate");
    EXPECT_FALSE(step["ok"].toBool(true));
    EXPECT_EQ(step["extra"].toInt(), 5);
}

} // namespace
} // namespace quell
