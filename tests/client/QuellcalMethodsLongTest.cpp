// Whole calibrations, headless, against quellgw's simulated board off by 3 %: "Sve" by each of
// the three methods calibrates every channel, and (quick and normal) a second "Sve" right after
// finds every constant where the first left it. The deep run takes four minutes alone, so it runs
// once. Minutes long, so these run once in CI (CTest label "long").

#include "QuellcalProcess.h"

#include "tests/support/SimulatedGateway.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace quell {
namespace {

struct MethodCase {
    const char* method;
    int runs;          // "Sve" once, or twice in a row
    int secondRunStep; // the most a constant may move in the second run
};

void PrintTo(const MethodCase& c, std::ostream* out)
{
    *out << c.method;
}

class QuellcalMethods : public ::testing::TestWithParam<MethodCase> {};

TEST_P(QuellcalMethods, SveCalibratesEveryChannelAndASecondRunChangesNothing)
{
    const MethodCase& c = GetParam();
    QTemporaryDir dir;
    testsupport::SimulatedGateway gateway;
    ASSERT_TRUE(gateway.start(QUELLGW_PATH, {"vrq-pb@1:off=3"})) << gateway.error().toStdString();
    const QString settings = writeSettings(dir.path(), gateway.port());

    QProcess program;
    startQuellcal(program, dir.path(),
                  {"--run", c.runs == 2 ? "calibrate,calibrate" : "calibrate", "--method", c.method,
                   settings});
    ASSERT_TRUE(program.waitForFinished(15 * 60 * 1000));
    const QByteArray error = program.readAllStandardError();
    EXPECT_EQ(program.exitCode(), 0) << error.toStdString();

    const QJsonObject summary = summaryOf(program.readAllStandardOutput());
    EXPECT_EQ(summary["method"].toString(), QString::fromLatin1(c.method));
    const QJsonArray steps = summary["steps"].toArray();
    ASSERT_EQ(steps.size(), c.runs);
    for (int run = 0; run < c.runs; ++run) {
        const QJsonArray channels = steps[run].toObject()["channels"].toArray();
        ASSERT_EQ(channels.size(), 5) << "run " << run + 1;
        int points = 0;
        int moved = 0;
        for (const QJsonValue& channel : channels) {
            EXPECT_TRUE(channel["ok"].toBool(false))
                << channel["name"].toString().toStdString() << ", run " << run + 1;
            for (const QJsonValue& point : channel["points"].toArray()) {
                ++points;
                EXPECT_EQ(point["done"].toInt(), 1);
                const int change = std::abs(point["new"].toInt() - point["old"].toInt());
                moved += change > c.secondRunStep ? 1 : 0;
            }
        }
        EXPECT_EQ(points, 30);
        if (run == 0)
            EXPECT_GE(moved, 25) << "the first run leaves the factory constants behind";
        else
            EXPECT_EQ(moved, 0) << "the second run finds the constants the first one wrote";
    }
}

INSTANTIATE_TEST_SUITE_P(EachMethod, QuellcalMethods,
                         ::testing::Values(MethodCase{"quick", 2, 2}, MethodCase{"normal", 2, 2},
                                           MethodCase{"deep", 1, 1}),
                         [](const auto& info) { return std::string(info.param.method); });

} // namespace
} // namespace quell
