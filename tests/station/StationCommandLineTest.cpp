// quellcal's command line: options before the settings file name, the steps of --run checked
// against the steps the station knows, and an error that names what was wrong.

#include "station/StationCommandLine.h"

#include <QDir>

#include <gtest/gtest.h>

namespace quell {
namespace {

using Method = StationCommandLine::Method;

const QStringList kSteps = {"calibrate", "calibrate-temp1", "calibrate-emc1"};

struct Accepted {
    QStringList arguments;
    QStringList steps;
    std::optional<Method> method;
    std::optional<int> board;
    QStringList settingsWords;
};

TEST(StationCommandLine, ReadsOptionsThenTheSettingsName)
{
    const Accepted cases[] = {
        {{}, {}, {}, {}, {}},
        {{"site.cli"}, {}, {}, {}, {"site.cli"}},
        {{"my", "site.cli"}, {}, {}, {}, {"my", "site.cli"}},
        {{"--run", "calibrate-emc1", "--board", "12", "a.cli"},
         {"calibrate-emc1"},
         {},
         12,
         {"a.cli"}},
        {{"--run=calibrate,calibrate-temp1,calibrate", "--method=deep", "--board=0"},
         {"calibrate", "calibrate-temp1", "calibrate"},
         Method::Deep,
         0,
         {}},
        {{"--method", "quick", "--board", "10000"}, {}, Method::Fast, 10000, {}},
        {{"--method", "normal", "x"}, {}, Method::Normal, {}, {"x"}},
        // Options end at the first word of the name: what follows belongs to the name.
        {{"--board", "3", "site", "--run", "calibrate"}, {}, {}, 3, {"site", "--run", "calibrate"}},
        // "--" ends them explicitly, so a name may start with a dash, or be "--help".
        {{"--board", "3", "--", "--help"}, {}, {}, 3, {"--help"}},
        {{"--", "-odd", "name.cli"}, {}, {}, {}, {"-odd", "name.cli"}},
        {{"--"}, {}, {}, {}, {}},
    };
    for (const Accepted& c : cases) {
        QString error;
        const auto line = StationCommandLine::parse(c.arguments, kSteps, &error);
        ASSERT_TRUE(line.has_value())
            << c.arguments.join(' ').toStdString() << ": " << error.toStdString();
        EXPECT_EQ(line->steps, c.steps) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(line->method, c.method) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(line->board, c.board) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(line->settingsWords, c.settingsWords) << c.arguments.join(' ').toStdString();
        EXPECT_FALSE(line->help);
        EXPECT_FALSE(line->version);
    }
}

TEST(StationCommandLine, HelpAndVersionWinOverWhatFollows)
{
    const struct {
        QStringList arguments;
        bool help;
        bool version;
    } cases[] = {
        {{"--help"}, true, false},
        {{"--version"}, false, true},
        {{"--board", "4", "--help", "--bogus"}, true, false},
        {{"--version", "site.cli"}, false, true},
    };
    for (const auto& c : cases) {
        QString error;
        const auto line = StationCommandLine::parse(c.arguments, kSteps, &error);
        ASSERT_TRUE(line.has_value()) << error.toStdString();
        EXPECT_EQ(line->help, c.help) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(line->version, c.version) << c.arguments.join(' ').toStdString();
    }
}

TEST(StationCommandLine, RefusesABadLineNamingTheBadArgument)
{
    const struct {
        QStringList arguments;
        QString named; // what the error must mention
    } cases[] = {
        {{"--fast"}, "--fast"},
        {{"-x", "site.cli"}, "-x"},
        {{"-"}, "-"},
        {{"--runs", "calibrate"}, "--runs"},
        {{"--run", "calibrate-emc3"}, "calibrate-emc3"},
        {{"--run", "Calibrate"}, "Calibrate"},
        {{"--run", ""}, "--run"},
        {{"--run="}, "--run"},
        {{"--run", "calibrate,,calibrate-emc1"}, "calibrate,,calibrate-emc1"},
        {{"--run", "calibrate,"}, "calibrate,"},
        {{"--run"}, "--run"},
        {{"--method"}, "--method"},
        {{"--board"}, "--board"},
        {{"--run", "calibrate", "--run", "calibrate-emc1"}, "--run"},
        {{"--board", "1", "--board", "2"}, "--board"},
        {{"--method", "fast"}, "fast"},
        {{"--method", "Quick"}, "Quick"},
        {{"--method="}, "--method"},
        {{"--board", "-1"}, "-1"},
        {{"--board", "10001"}, "10001"},
        {{"--board", "99999999999999999999"}, "99999999999999999999"},
        {{"--board", "12x"}, "12x"},
        {{"--board", " 12"}, " 12"},
        {{"--board", "0x10"}, "0x10"},
        {{"--board", "1.5"}, "1.5"},
        {{"--board="}, "--board"},
    };
    for (const auto& c : cases) {
        QString error;
        const auto line = StationCommandLine::parse(c.arguments, kSteps, &error);
        EXPECT_FALSE(line.has_value()) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(error.contains(c.named))
            << c.arguments.join(' ').toStdString() << ": " << error.toStdString();
    }
}

TEST(StationCommandLine, RecordNamesAFileForTheResultsOfTheSteps)
{
    const struct {
        QStringList arguments;
        QString record; // empty: refused
        QString named;  // what the error must mention
    } cases[] = {
        {{"--run", "calibrate", "--record", "/station/out.rec", "a.cli"}, "/station/out.rec", ""},
        {{"--record=/x/b c.rec", "--run", "calibrate"}, "/x/b c.rec", ""},
        // Start-up moves into the settings folder: a relative name is made absolute at once.
        {{"--run", "calibrate", "--record", "sub/r.rec"},
         QDir::current().filePath("sub/r.rec"),
         ""},
        {{"--run", "calibrate"}, "", ""},
        {{"--run", "calibrate", "--record"}, "", "--record"},
        {{"--run", "calibrate", "--record="}, "", "--record"},
        {{"--run", "calibrate", "--record", "a.rec", "--record", "b.rec"}, "", "--record"},
        // Without steps nothing would be written.
        {{"--record", "a.rec", "site.cli"}, "", "--record"},
    };
    for (const auto& c : cases) {
        const std::string line = c.arguments.join(' ').toStdString();
        QString error;
        const auto parsed = StationCommandLine::parse(c.arguments, kSteps, &error);
        if (c.named.isEmpty()) {
            ASSERT_TRUE(parsed.has_value()) << line << ": " << error.toStdString();
            EXPECT_EQ(parsed->record, c.record) << line;
        } else {
            EXPECT_FALSE(parsed.has_value()) << line;
            EXPECT_TRUE(error.contains(c.named)) << line << ": " << error.toStdString();
        }
    }
}

TEST(StationCommandLine, ReportFollowsTheStepsOrARecordFileAlone)
{
    const struct {
        QStringList arguments;
        QString report;   // empty: refused
        QString recordIn; // the result file read without a run
        QString named;    // what the error must mention
    } cases[] = {
        {{"--run", "calibrate", "--report", "/s/r.pdf", "a.cli"}, "/s/r.pdf", "", ""},
        {{"--report=/s/r.pdf", "--record-in", "/s/t.rec", "--board", "4"},
         "/s/r.pdf",
         "/s/t.rec",
         ""},
        // Relative names are the station's folder's, as with --record.
        {{"--record-in", "t.rec", "--report", "r.pdf"},
         QDir::current().filePath("r.pdf"),
         QDir::current().filePath("t.rec"),
         ""},
        {{"--report", "r.pdf"}, "", "", "--report"},
        {{"--report", "r.pdf", "--report", "s.pdf", "--run", "calibrate"}, "", "", "--report"},
        {{"--run", "calibrate", "--report="}, "", "", "--report"},
        {{"--record-in", "t.rec"}, "", "", "--record-in"},
        {{"--record-in", "t.rec", "--report", "r.pdf", "--run", "calibrate"},
         "",
         "",
         "--record-in"},
        {{"--record-in", "t.rec", "--record-in", "u.rec", "--report", "r.pdf"},
         "",
         "",
         "--record-in"},
    };
    for (const auto& c : cases) {
        const std::string line = c.arguments.join(' ').toStdString();
        QString error;
        const auto parsed = StationCommandLine::parse(c.arguments, kSteps, &error);
        if (c.named.isEmpty()) {
            ASSERT_TRUE(parsed.has_value()) << line << ": " << error.toStdString();
            EXPECT_EQ(parsed->report, c.report) << line;
            EXPECT_EQ(parsed->recordIn, c.recordIn) << line;
        } else {
            EXPECT_FALSE(parsed.has_value()) << line;
            EXPECT_TRUE(error.contains(c.named)) << line << ": " << error.toStdString();
        }
    }
}

TEST(StationCommandLine, MethodNamesAreTheOnesTheCommandLineTakes)
{
    for (const Method method : {Method::Fast, Method::Normal, Method::Deep}) {
        const QString name = StationCommandLine::methodName(method);
        const auto line = StationCommandLine::parse({"--method", name}, kSteps, nullptr);
        ASSERT_TRUE(line.has_value()) << name.toStdString();
        EXPECT_EQ(line->method, method);
    }
    EXPECT_EQ(StationCommandLine::methodName(Method::Fast), "quick");
}

TEST(StationCommandLine, UsageListsTheStepsItWasGiven)
{
    const QString usage = StationCommandLine::usage(kSteps);
    EXPECT_TRUE(usage.startsWith("Usage: quellcal "));
    EXPECT_TRUE(usage.contains("calibrate, calibrate-temp1, calibrate-emc1"))
        << usage.toStdString();
}

} // namespace
} // namespace quell
