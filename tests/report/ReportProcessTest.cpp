// quellcal writing reports headless: after a run against quellgw's simulated board (a failed
// step included), and from a result file alone without connecting.

#include "calibration/ScoreFile.h"
#include "tests/client/QuellcalProcess.h"
#include "tests/support/SimulatedGateway.h"

#include "ReportFixtures.h"
#include "ReportReadBack.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quell {
namespace {

QByteArray contents(const QString& file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

TEST(ReportProcess, AfterARunTheReportSaysWhatWasCalibratedTestedAndWhatFailed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    testsupport::SimulatedGateway gateway;
    // Wood input 3 never becomes ready: "Drvo" cannot measure its point 3.
    ASSERT_TRUE(gateway.start(QUELLGW_PATH, {"vrq-pb@1:dead=mc3"}))
        << gateway.error().toStdString();
    const QString settings = writeSettings(dir.path(), gateway.port());
    const QString report = dir.filePath("board 7.pdf");
    QProcess program;
    startQuellcal(program, dir.path(),
                  {"--run", "calibrate-emc1,test-emc1,test-drvo", "--board", "7", "--report",
                   report, settings});
    ASSERT_TRUE(program.waitForFinished(240000));
    const QByteArray error = program.readAllStandardError();
    EXPECT_EQ(program.exitCode(), 1) << error.toStdString();
    const QJsonObject summary = summaryOf(program.readAllStandardOutput());
    EXPECT_EQ(summary["report"].toString(), report);
    EXPECT_EQ(summary["steps"].toArray().size(), 3);

    const QString text = reporttest::pdfText(report);
    for (const char* expected : {
             "Ploča NIJE ispravna.",
             "Korak test-drvo nije uspeo",
             "EMC 1 – ispravno",    // the calibration's table and the test's section
             "Zatečeno (as found)", // EMC 1's constants
             "nije testiran",       // Temp 1, among others
             "test u ovom radu programa",
         })
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << text.toStdString();
    // Drvo is not calibrated here, so its other points may lie anywhere: only its point 3 is sure.
    EXPECT_TRUE(text.contains(
        QRegularExpression(QStringLiteral("Test Drvo: [^\\n]*nije mereno \\(tačka 3\\)"))))
        << text.toStdString();
    // Calibrated: EMC 1 only.
    EXPECT_EQ(text.count(QStringLiteral("nije kalibrisan u ovom radu programa")), 4);
}

TEST(ReportProcess, AResultFileAloneMakesAReportWithoutConnectingOrWritingTheSettings)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A link to nowhere: the report must not need one.
    const QString settings = writeSettings(dir.path(), 1);
    ASSERT_FALSE(settings.isEmpty());
    const QByteArray settingsBefore = contents(settings);
    ReportInputs in = reporttest::goodBoard();
    reporttest::point(in, 0, 4).New = 2200; // EMC 1 at 10M: 21.00 expected, 4.8 % off
    const QString record = dir.filePath("VRQ-08_Test_5.rec");
    QString error;
    ASSERT_TRUE(WriteScore(record, in.testPoints, ScoreImage{}, error)) << error.toStdString();
    const QString shortRecord = dir.filePath("short.rec");
    {
        QFile out(shortRecord);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(QByteArray(100, '\0'));
    }

    const struct {
        QString record;
        int exit;
        const char* verdict;
    } cases[] = {{record, 0, "fail"}, {shortRecord, 1, "none"}};
    for (const auto& c : cases) {
        const QString report = dir.filePath("r.pdf");
        QFile::remove(report);
        QProcess program;
        startQuellcal(program, dir.path(),
                      {"--report", report, "--record-in", c.record, "--board", "5", settings});
        ASSERT_TRUE(program.waitForFinished(60000));
        const QByteArray stderrText = program.readAllStandardError();
        EXPECT_EQ(program.exitCode(), c.exit) << stderrText.toStdString();
        const QJsonObject summary = summaryOf(program.readAllStandardOutput());
        EXPECT_EQ(summary["board"].toInt(-1), 5);
        EXPECT_EQ(summary["verdict"].toString().toStdString(), c.verdict);
        EXPECT_EQ(summary["ok"].toBool(c.exit != 0), c.exit == 0);
        EXPECT_EQ(QFileInfo::exists(report), c.exit == 0);
        EXPECT_EQ(contents(settings), settingsBefore) << "the settings were written";
        if (c.exit != 0) {
            EXPECT_TRUE(stderrText.contains("short.rec")) << stderrText.toStdString();
            continue;
        }
        const QString text = reporttest::pdfText(report);
        for (const QString& expected :
             {QStringLiteral("fajl ") + record, QStringLiteral("Test EMC 1: van granica (tačka 4)"),
              QStringLiteral("Kalibracija nije rađena u ovom radu programa")})
            EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n"
                                                 << text.toStdString();
    }
}

} // namespace
} // namespace quell
