// quellcal as a program: started headless, ended by SIGTERM, it must leave its settings written
// as a normal close does; its command line answers --help and --version, refuses a bad line, and
// --run drives a calibration against quellgw's simulated board and prints the summary.

#include "QuellcalProcess.h"
#include "client/IniFile.h"
#include "tests/support/SimulatedGateway.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace quell {
namespace {

TEST(QuellcalProcess, SigtermClosesLikeExitAndWritesTheSettings)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString settings = dir.filePath("site one.cli");
    QProcess program;
    // A path with a blank, split by the shell, is joined again.
    startQuellcal(program, dir.path(), {dir.filePath("site"), "one.cli"});
    ASSERT_TRUE(program.waitForStarted());
    // The first start writes every default; the window then waits for its user.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return IniFile(settings).valueExists("Config", "Caption"); }, 10000));
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    const IniFile after(settings);
    EXPECT_EQ(after.readString("Config", "ViewConfig", ""), "1");
    EXPECT_EQ(after.readString("Action", "Start", ""), "0");
    EXPECT_TRUE(after.valueExists("View", "Visible"));
    // Headless, messages go to standard error: the empty description name is reported.
    EXPECT_TRUE(program.readAllStandardError().contains("error: Error protocol line: 0"));
    EXPECT_TRUE(QFileInfo(dir.filePath("Vals")).isDir());
    // No summary without --run: standard output stays empty.
    EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
}

TEST(QuellcalProcess, AnswersOrRefusesTheCommandLineWithoutStartingUp)
{
    const struct {
        QStringList arguments;
        int exitCode;
        QByteArray out;   // standard output starts with this
        QByteArray error; // standard error contains this (and the usage after a bad line)
    } cases[] = {
        {{"--help"}, 0, "Usage: quellcal [--run STEPS]", ""},
        {{"--board", "7", "--help"}, 0, "Usage: quellcal [--run STEPS]", ""},
        {{"--version"}, 0, "quellcal " QUELL_VERSION "\n", ""},
        {{"--run", "calibrate-emc9", "site.cli"}, 2, "", "'calibrate-emc9'"},
        {{"--run", "calibrate,", "site.cli"}, 2, "", "empty step"},
        {{"--method", "fast"}, 2, "", "'fast'"},
        {{"--board", "-3"}, 2, "", "'-3'"},
        {{"--board"}, 2, "", "--board needs a value"},
        {{"--bogus", "site.cli"}, 2, "", "'--bogus'"},
    };
    for (const auto& c : cases) {
        const std::string line = c.arguments.join(' ').toStdString();
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        QProcess program;
        startQuellcal(program, dir.path(), c.arguments);
        ASSERT_TRUE(program.waitForFinished(10000)) << line;
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << line;
        EXPECT_EQ(program.exitCode(), c.exitCode) << line;
        const QByteArray out = program.readAllStandardOutput();
        const QByteArray error = program.readAllStandardError();
        EXPECT_TRUE(out.startsWith(c.out)) << line << ": " << out.toStdString();
        if (c.exitCode == 0) {
            EXPECT_FALSE(out.isEmpty()) << line;
        } else {
            EXPECT_TRUE(out.isEmpty()) << line << ": " << out.toStdString();
            EXPECT_TRUE(error.contains(c.error)) << line << ": " << error.toStdString();
            EXPECT_TRUE(error.contains("Usage: quellcal")) << line;
        }
        // Nothing started up: no settings file, no folders.
        EXPECT_TRUE(
            QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            << line << ": " << QDir(dir.path()).entryList().join(' ').toStdString();
    }
}

TEST(QuellcalProcess, RunWithoutAServerEndsWithStatusThree)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A port that was just free: nothing listens there.
    int port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    const QString settings = writeSettings(dir.path(), port);
    QProcess program;
    QElapsedTimer clock;
    clock.start();
    startQuellcal(program, dir.path(), {"--run", "calibrate-emc1", settings});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_LT(clock.elapsed(), 15000);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 3) << program.readAllStandardError().toStdString();
    const QJsonObject summary = summaryOf(program.readAllStandardOutput());
    EXPECT_FALSE(summary["ok"].toBool(true));
    EXPECT_TRUE(summary["steps"].toArray().isEmpty());
    // It closed as "Exit" does: the settings were written on the way out.
    EXPECT_TRUE(IniFile(settings).valueExists("View", "PB"));
}

class QuellcalRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // Off by a few percent, so a calibration has work to do, and with wood input 3 dead.
        ASSERT_TRUE(gateway.start(QUELLGW_PATH, {"vrq-pb@1:off=3:dead=mc3"}))
            << gateway.error().toStdString();
        settings = writeSettings(dir.path(), gateway.port());
        ASSERT_FALSE(settings.isEmpty());
    }

    QTemporaryDir dir;
    testsupport::SimulatedGateway gateway;
    QString settings;
};

TEST_F(QuellcalRun, CalibratesAChannelAndPrintsTheSummary)
{
    QProcess program;
    startQuellcal(program, dir.path(), {"--run", "calibrate-emc1", "--board", "12", settings});
    ASSERT_TRUE(program.waitForFinished(120000));
    const QByteArray error = program.readAllStandardError();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << error.toStdString();
    // The run log's lines went to standard error as they came.
    EXPECT_TRUE(error.contains("Kalibracija - EMC 1")) << error.toStdString();

    const QJsonObject summary = summaryOf(program.readAllStandardOutput());
    EXPECT_TRUE(summary["ok"].toBool(false));
    EXPECT_EQ(summary["board"].toInt(-1), 12);
    EXPECT_EQ(summary["method"].toString(), "normal");
    const QString log = summary["log"].toString();
    EXPECT_TRUE(QFileInfo(log).isFile()) << log.toStdString();
    EXPECT_TRUE(QFileInfo(log).fileName().startsWith("VRQCalib_12_")) << log.toStdString();

    const QJsonArray steps = summary["steps"].toArray();
    ASSERT_EQ(steps.size(), 1);
    EXPECT_EQ(steps[0].toObject()["step"].toString(), "calibrate-emc1");
    EXPECT_TRUE(steps[0].toObject()["ok"].toBool(false));
    const QJsonArray channels = steps[0].toObject()["channels"].toArray();
    ASSERT_EQ(channels.size(), 1);
    const QJsonObject channel = channels[0].toObject();
    EXPECT_EQ(channel["name"].toString(), "EMC 1");
    EXPECT_TRUE(channel["ok"].toBool(false));
    const QJsonArray points = channel["points"].toArray();
    ASSERT_EQ(points.size(), 8);
    for (int k = 0; k < points.size(); ++k) {
        const QJsonObject point = points[k].toObject();
        EXPECT_EQ(point["point"].toInt(), k + 1);
        EXPECT_EQ(point["done"].toInt(), 1) << "point " << k + 1;
        EXPECT_TRUE(point["new"].isDouble() && point["old"].isDouble());
    }
    // The board number is kept as the up-down would keep it.
    EXPECT_EQ(IniFile(settings).readString("View", "PB", ""), "12");
}

TEST_F(QuellcalRun, ADeadInputFailsItsPointAndTheRun)
{
    QProcess program;
    startQuellcal(program, dir.path(), {"--run", "calibrate-drvo", settings});
    ASSERT_TRUE(program.waitForFinished(120000));
    const QByteArray error = program.readAllStandardError();
    EXPECT_EQ(program.exitCode(), 1) << error.toStdString();
    EXPECT_TRUE(error.contains("- greška !!!")) << error.toStdString();

    const QJsonObject summary = summaryOf(program.readAllStandardOutput());
    EXPECT_FALSE(summary["ok"].toBool(true));
    const QJsonArray steps = summary["steps"].toArray();
    ASSERT_EQ(steps.size(), 1);
    EXPECT_FALSE(steps[0].toObject()["ok"].toBool(true));
    const QJsonObject channel = steps[0].toObject()["channels"].toArray()[0].toObject();
    EXPECT_EQ(channel["name"].toString(), "Drvo");
    EXPECT_FALSE(channel["ok"].toBool(true));
    const QJsonArray points = channel["points"].toArray();
    ASSERT_EQ(points.size(), 8);
    for (int k = 0; k < points.size(); ++k)
        EXPECT_EQ(points[k].toObject()["done"].toInt(-1), k == 2 ? 0 : 1) << "input " << k + 1;
}

TEST_F(QuellcalRun, SigtermDuringAStepEndsTheRunWithThatStepFailed)
{
    QProcess program;
    startQuellcal(program, dir.path(), {"--run", "calibrate-emc1,calibrate-emc2", settings});
    ASSERT_TRUE(program.waitForStarted());
    // The first point is done: the run is well inside its first step.
    QByteArray error;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            error += program.readAllStandardError();
            return error.contains("- ok");
        },
        30000))
        << error.toStdString();
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(15000));
    error += program.readAllStandardError();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1) << error.toStdString();
    EXPECT_FALSE(error.contains("Kalibracija - EMC 2")) << "a step started after the close";

    const QJsonObject summary = summaryOf(program.readAllStandardOutput());
    EXPECT_FALSE(summary["ok"].toBool(true));
    const QJsonArray steps = summary["steps"].toArray();
    ASSERT_EQ(steps.size(), 1);
    EXPECT_EQ(steps[0].toObject()["step"].toString(), "calibrate-emc1");
    EXPECT_FALSE(steps[0].toObject()["ok"].toBool(true));
    // The run log was still written as the program closed.
    EXPECT_TRUE(QFileInfo(summary["log"].toString()).isFile());
}

} // namespace
} // namespace quell
