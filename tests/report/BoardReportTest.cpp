#include "report/BoardReport.h"
#include "report/StationIdentity.h"

#include "ReportFixtures.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace quell {
namespace {

using reporttest::goodBoard;
using reporttest::point;

const TestSection* testOf(const BoardReport& report, const QString& channel)
{
    for (const TestSection& section : report.tests)
        if (section.channel == channel)
            return &section;
    return nullptr;
}

TEST(BoardReport, TheVerdictInWordsFollowsWhatTheRunFound)
{
    const struct {
        const char* what;
        std::function<void(ReportInputs&)> change;
        ReportVerdict verdict;
        const char* text;
        QStringList why;
    } cases[] = {
        {"all good", [](ReportInputs&) {}, ReportVerdict::Pass, "Ploča je ispravna", {}},
        {"EMC 2 off at 1M",
         [](ReportInputs& in) { point(in, 2, 3).New = 2700; }, // 28.00 expected: 3.6 % off
         ReportVerdict::Fail,
         "Ploča NIJE ispravna",
         {"Test EMC 2: van granica (tačka 3)"}},
        {"Drvo sve's input 5 not measured",
         [](ReportInputs& in) { point(in, 6, 5).Done = 0; },
         ReportVerdict::Fail,
         "Ploča NIJE ispravna",
         {"Test Drvo sve: nije mereno (tačka 5)"}},
        {"a wood constant not taken",
         [](ReportInputs& in) {
             in.calibration[4].ok = false;
             in.calibration[4].points[2].done = false;
         },
         ReportVerdict::Fail,
         "Ploča NIJE ispravna",
         {"Kalibracija Drvo: greška (tačka 3)"}},
        {"a step of the run failed",
         [](ReportInputs& in) { in.failures << QStringLiteral("Korak test-emc1 nije uspeo"); },
         ReportVerdict::Fail,
         "Ploča NIJE ispravna",
         {"Korak test-emc1 nije uspeo"}},
        {"Temp 2 not tested",
         [](ReportInputs& in) {
             for (TPointResult& p : in.testPoints[3])
                 p.Done = 0;
         },
         ReportVerdict::Incomplete,
         "Ocena nije potpuna",
         {"Test Temp 2: nije testiran"}},
        {"nothing done",
         [](ReportInputs& in) {
             in.calibration.clear();
             in.testPoints = {};
         },
         ReportVerdict::None,
         "Nema ocene",
         {}},
    };
    for (const auto& c : cases) {
        ReportInputs in = goodBoard();
        c.change(in);
        const BoardReport report = makeBoardReport(in);
        EXPECT_EQ(report.verdict, c.verdict) << c.what;
        EXPECT_TRUE(report.verdictText.startsWith(QString::fromUtf8(c.text)))
            << c.what << ": " << report.verdictText.toStdString();
        EXPECT_EQ(report.verdictWhy, c.why)
            << c.what << ": " << report.verdictWhy.join('|').toStdString();
    }
}

TEST(BoardReport, PointsShowTheirChannelsDecimalsUnitsAndLimits)
{
    ReportInputs in = goodBoard();
    in.limits = {0.5, 2.0, 3.0};
    point(in, 1, 2).New = -2560;  // Temp 1 at -25 °C reads -25.60: 0.60 °C off
    point(in, 1, 3).New = -1;     // at 0 °C reads -0.01: within, and no "-0.00"
    point(in, 0, 1).New = 4290;   // EMC 1 at 42.00 reads 42.90: -2.14 %
    point(in, 0, 1).Old = 0x0101; // its value error flag (the low byte)
    point(in, 4, 9).Done = 0;
    const BoardReport report = makeBoardReport(in);

    const struct {
        const char* channel;
        int point;
        const char* label;
        const char* measured;
        const char* expected;
        const char* deviation;
        const char* limit;
        const char* verdict;
        bool outside;
    } cases[] = {
        {"Temp 1", 2, "-25", "-25.60", "-25.00", "0.60 °C", "±0.50 °C", "VAN GRANICA", true},
        {"Temp 1", 3, "0", "-0.01", "0.00", "0.01 °C", "±0.50 °C", "u granicama", false},
        {"EMC 1", 1, "10K", "42.90", "42.00", "-2.14 %", "±2.00 %", "VAN GRANICA, zastavice 0x1",
         true},
        {"Drvo", 9, "x", "–", "5.40", "–", "±3.00 %", "nije mereno", false},
        {"Drvo sve", 8, "1G", "14.80", "14.80", "0.00 %", "±3.00 %", "u granicama", false},
    };
    for (const auto& c : cases) {
        const TestSection* section = testOf(report, QString::fromLatin1(c.channel));
        ASSERT_NE(section, nullptr) << c.channel;
        ASSERT_EQ(section->lines.size(), 9U) << c.channel;
        const TestLine& line = section->lines[static_cast<std::size_t>(c.point - 1)];
        const std::string where = std::string(c.channel) + " " + std::to_string(c.point);
        EXPECT_EQ(line.label.toStdString(), c.label) << where;
        EXPECT_EQ(line.measured.toStdString(), c.measured) << where;
        EXPECT_EQ(line.expected.toStdString(), c.expected) << where;
        EXPECT_EQ(line.deviation.toStdString(), c.deviation) << where;
        EXPECT_EQ(line.limit.toStdString(), c.limit) << where;
        EXPECT_EQ(line.verdict.toStdString(), c.verdict) << where;
        EXPECT_EQ(line.outside, c.outside) << where;
    }
    // The chart is Chart2's "Line": eight points for "Drvo sve", the outside one marked.
    EXPECT_EQ(testOf(report, "Drvo sve")->chart.points.size(), 8U);
    EXPECT_TRUE(testOf(report, "Temp 1")->chart.points[1].outside);
    EXPECT_EQ(testOf(report, "Temp 1")->verdict, "van granica (tačka 2)");
}

TEST(BoardReport, CalibrationTablesShowConstantsAsFoundAndAsLeft)
{
    ReportInputs in = goodBoard();
    in.calibration.resize(2); // Temp 1 and Temp 2 only
    in.calibration[0].points[1] = {5, false, 10000, 10000, 0.0};
    // A later calibration of the same channel in this run replaces the earlier one.
    ChannelOutcome again = in.calibration[1];
    again.points[0] = {3, true, 5000, 5031, -0.62};
    in.calibration.push_back(again);
    // The deep wood run reports under a row of its own; an untouched input says so.
    ChannelOutcome deep{5, QStringLiteral("Drvo"), true, {{1, true, 0, 0, 0.0}}};
    in.calibration.push_back(deep);
    const BoardReport report = makeBoardReport(in);

    ASSERT_EQ(report.calibration.size(), 3U);
    const CalibrationSection& temp1 = report.calibration[0];
    EXPECT_EQ(temp1.channel, "Temp 1");
    EXPECT_EQ(temp1.verdict, "greška (tačka 5)");
    ASSERT_EQ(temp1.lines.size(), 3U);
    EXPECT_EQ(temp1.lines[0].label, "0");
    EXPECT_EQ(temp1.lines[0].asFound, "2150.0");
    EXPECT_EQ(temp1.lines[0].asLeft, "2152.3");
    EXPECT_EQ(temp1.lines[0].deviation, "-0.107 %");
    EXPECT_EQ(temp1.lines[1].verdict, "greška");
    EXPECT_TRUE(temp1.lines[1].failed);
    const CalibrationSection& temp2 = report.calibration[1];
    EXPECT_EQ(temp2.lines[0].asLeft, "503.1");
    const CalibrationSection& wood = report.calibration[2];
    EXPECT_EQ(wood.channel, "Drvo");
    EXPECT_EQ(wood.lines[0].verdict, "nije mereno");
    EXPECT_EQ(wood.lines[0].asFound, "–");
    EXPECT_EQ(report.summary[2][1], "nije kalibrisan u ovom radu programa");
    // The tables say which way their deviation runs.
    EXPECT_TRUE(report.calibrationNote.contains("(zatečeno − ostavljeno) / zatečeno"));
}

TEST(StationIdentity, ReadsBaseWithoutWritingIt)
{
    const struct {
        const char* file;
        const char* tester;
        const char* station;
    } cases[] = {
        {"[View]\nPB=3\n", "T.Orvel", "Kalibrator 1"},
        {"[base]\ntester=Marija Đurić\nStation=Linija 2\n", "Marija Đurić", "Linija 2"},
        {"[Base]\nStation=Linija 3\n", "T.Orvel", "Linija 3"},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("station.cli");
    for (const auto& c : cases) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.file);
        file.close();
        const StationIdentity identity = readStationIdentity(name);
        EXPECT_EQ(identity.tester.toStdString(), c.tester);
        EXPECT_EQ(identity.station.toStdString(), c.station);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray(c.file)) << "the settings file was changed";
    }
}

} // namespace
} // namespace quell
