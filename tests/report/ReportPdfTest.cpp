// The PDF read back with poppler's tools: its text with pdftotext, its pages as images with
// pdftoppm.

#include "report/ReportPdf.h"
#include "view/ResultChartDrawing.h"

#include "ReportFixtures.h"
#include "ReportReadBack.h"

#include <QChart>
#include <QDir>
#include <QFileInfo>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <memory>

namespace quell {
namespace {

using reporttest::goodBoard;
using reporttest::point;

TEST(ReportPdf, HoldsTheTextsOfTheReportWithTheirLetters)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ReportInputs in = goodBoard();
    point(in, 2, 3).New = 2700; // EMC 2 at 1M: 3.6 % off
    const QString file = dir.filePath(ProposedReportName(in.board, in.time));
    EXPECT_EQ(QFileInfo(file).fileName(), "VRQ-08_Report_17_20240315_093005.pdf");
    QString error;
    ASSERT_TRUE(WriteReportPdf(makeBoardReport(in), file, error)) << error.toStdString();

    const QString text = reporttest::pdfText(file);
    for (const char* expected : {
             "Izveštaj o kalibraciji i testiranju VRQ-PB ploče",
             "Ploča NIJE ispravna.",
             "Test EMC 2: van granica (tačka 3)",
             "Žarko Šoć",
             "Kalibrator 2",
             "15.03.2024. 09:30:05",
             "/station/vrq-pb.var",
             "Zatečeno (as found)",
             "Ostavljeno (as left)",
             "2152.3",
             "Očekivano",
             "VAN GRANICA",
             "±2.00 %",
             "±0.50 °C",
             "nema sopstvenu (deli konstante kanala Drvo)",
         })
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    // The EMC 2 row of its table: the point outside, with its numbers.
    EXPECT_TRUE(text.contains(QRegularExpression(
        QStringLiteral("3\\s+1M\\s+27\\.00\\s+28\\.00\\s+3\\.57 %\\s+±2\\.00 %\\s+VAN GRANICA"))))
        << text.toStdString();
}

TEST(ReportPdf, PagesAreNumberedAndTheChartsAreDrawn)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        const char* what;
        bool tested;
        int charts;
    } cases[] = {{"calibrated and tested", true, 6}, {"nothing tested", false, 0}};
    for (const auto& c : cases) {
        ReportInputs in = goodBoard();
        point(in, 2, 3).New = 2700; // a red verdict: green on a page is a measured line
        if (!c.tested)
            in.testPoints = {};
        const BoardReport report = makeBoardReport(in);
        ASSERT_EQ(static_cast<int>(report.tests.size()), c.charts) << c.what;
        const QString file = dir.filePath(QStringLiteral("%1.pdf").arg(c.charts));
        QString error;
        ASSERT_TRUE(WriteReportPdf(report, file, error)) << error.toStdString();

        const std::vector<QImage> pages = reporttest::pdfPages(file, dir.path());
        ASSERT_FALSE(pages.empty()) << c.what;
        const QString text = reporttest::pdfText(file);
        for (std::size_t k = 0; k < pages.size(); ++k)
            EXPECT_TRUE(
                text.contains(QStringLiteral("strana %1 od %2").arg(k + 1).arg(pages.size())))
                << c.what << ", page " << k + 1;
        // The charts' lines are green (measured) and pure red (expected); nothing else on the pages
        // is either (the verdict's red is darker).
        int lines = 0;
        for (const QImage& page : pages)
            lines += reporttest::countColour(page, QColor(0, 128, 0), 40)
                     + reporttest::countColour(page, QColor(255, 0, 0), 40);
        if (c.charts == 0)
            EXPECT_EQ(lines, 0) << c.what;
        else
            EXPECT_GT(lines, 100 * c.charts) << c.what;
        // Two tested channels to a page at most, after the first page.
        EXPECT_LE(pages.size(), static_cast<std::size_t>(1 + (c.charts + 1) / 2 + 1)) << c.what;
    }
}

TEST(ReportPdf, ChartsLeaveOutWhatNoTestMeasured)
{
    // Chart2 draws an unmeasured point at the reading it kept (0 at first); the report's chart
    // leaves it out of the measured line and of the axis.
    ReportInputs in = goodBoard();
    point(in, 0, 3).Done = 0;
    point(in, 0, 3).New = 0;
    const ResultChart result = makeBoardReport(in).tests[2].chart;
    ASSERT_EQ(result.row, 0);
    for (const bool leaveOut : {false, true}) {
        auto* drawing = new ResultChartDrawing;
        std::unique_ptr<QChart> chart(drawing->chart());
        drawing->setLeaveOutUnmeasured(leaveOut);
        drawing->draw(result);
        EXPECT_EQ(drawing->measured()->count(), leaveOut ? 8 : 9);
        EXPECT_EQ(drawing->expected()->count(), 9);
        EXPECT_EQ(drawing->axisY()->min() < 0.0, !leaveOut) << "axis " << drawing->axisY()->min();
    }
}

TEST(ReportPdf, AFileThatCannotBeWrittenIsNamedAndNothingIsLeft)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("missing/report.pdf");
    QString error;
    EXPECT_FALSE(WriteReportPdf(makeBoardReport(goodBoard()), file, error));
    EXPECT_TRUE(error.contains(file)) << error.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty());
}

} // namespace
} // namespace quell
