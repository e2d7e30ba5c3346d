#include "calibration/TestLimits.h"
#include "calibration/CalibrateSettings.h"
#include "client/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quell {
namespace {

TEST(TestLimits, PointsJustInsideAndJustOutsideEachKindOfLimit)
{
    const TestLimits defaults;
    const TestLimits tight{0.3, 1.5, 4.0};
    const struct {
        int row;
        std::int16_t expected, inside, outside;
        const TestLimits& limits;
    } cases[] = {
        // Temperature in °C, also around 0 °C where a percentage would mean nothing.
        {1, 5000, 5050, 5051, defaults},
        {3, 5000, 4950, 4949, defaults},
        {1, 0, -50, -51, defaults},
        {1, -2500, -2530, -2531, tight},
        // EMC in percent of the expected value; an expected 0 counts as 0.1.
        {0, 4200, 4116, 4115, defaults},
        {2, 4200, 4284, 4285, defaults},
        {0, 2000, 1970, 1969, tight},
        {0, 0, 0, 1, defaults},
        // Wood, every wood row.
        {4, 1000, 970, 969, defaults},
        {6, 1000, 1030, 1031, defaults},
        {4, 1000, 960, 959, tight},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(withinLimits(c.row, c.expected, c.inside, c.limits)) << c.row << c.inside;
        EXPECT_FALSE(withinLimits(c.row, c.expected, c.outside, c.limits)) << c.row << c.outside;
    }
}

TEST(TestLimits, SettingsWriteMissingLimitsAndFallBackFromGarbledOnes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("client.cli"));
    const struct {
        const char* line; // Limit_Temp as the file holds it; nullptr: missing
        double temperature;
    } cases[] = {
        {nullptr, 0.5},    {"0.75", 0.75},
        {"  1.25 ", 1.25}, {"0", 0.0},
        {"100", 100.0},    {"abc", 0.5},
        {"0,5", 0.5},      {"1.5 C", 0.5},
        {"-1", 0.5},       {"100.01", 0.5},
        {"1e400", 0.5},    {"nan", 0.5},
        {"inf", 0.5},      {"0x10", 0.5},
        {"", 0.5},         {"99999999999999999999999999999999999999999", 0.5},
    };
    for (const auto& c : cases) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Calibrate]\nLimit_MC=4.5\n");
        if (c.line)
            file.write(QByteArray("Limit_Temp=") + c.line + '\n');
        file.close();
        CalibrateSettings settings;
        ASSERT_TRUE(settings.load(path));
        EXPECT_EQ(settings.limits, (TestLimits{c.temperature, 2.0, 4.5})) << c.line;
        const IniFile after(path);
        EXPECT_EQ(after.readString("Calibrate", "Limit_Temp", "?"),
                  c.line ? QString(c.line).trimmed() : QStringLiteral("0.5"))
            << "a missing limit is written, the operator's text is kept";
        EXPECT_EQ(after.readString("Calibrate", "Limit_EMC", "?"), "2");
    }
}

} // namespace
} // namespace quell
