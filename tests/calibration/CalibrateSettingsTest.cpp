#include "calibration/CalibrateSettings.h"
#include "calibration/CalibrationHost.h"
#include "calibration/CalibrationStation.h"
#include "client/DeviceLink.h"
#include "client/IniFile.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quell {
namespace {

// A link that is never started: the station only keeps it for the procedures.
class NoLink : public DeviceLink {
public:
    bool WriteParameter(std::uint16_t, const std::string&) override { return false; }
    bool ReadParameter(std::uint16_t) override { return false; }
    TSendCommand currentCommand() const override { return {}; }
    LinkState linkState() const override { return LinkState::Stopped; }
    bool valuesLive() const override { return false; }
    CellMarks cellMarks(std::uint16_t) const override { return {}; }
    void readTable(const std::function<void(const TProtocol&)>&) const override {}
    void
    readTableAndCells(const std::function<void(const TProtocol&, const std::vector<std::string>&)>&)
        const override
    {
    }
    void editTable(const std::function<void(TProtocol&)>&) override {}
    WaitOutcome waitUntil(const std::function<bool()>&, int) override
    {
        return WaitOutcome::Aborted;
    }
};

class NoHost : public CalibrationHost {
public:
    void AddLogLine(const QString&) override {}
    void paintPoint(int, int, PointPaint) override {}
    bool pointChecked(int, int) const override { return true; }
    bool channelChecked(int) const override { return true; }
    Method method() const override { return Method::Normal; }
    bool swapPeriod() const override { return false; }
    int boardNumber() const override { return 0; }
    void beginProcedure() override {}
    void endProcedure() override {}
    void showProgress(const RunProgress&) override {}
};

TEST(CalibrationStation, SettingsSetTheStabilityStepAndTheExpectedValuesOnly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("station.cli"));
    {
        IniFile ini(path);
        ini.writeInteger(QStringLiteral("Calibrate"), QStringLiteral("Different"), 5);
        ini.writeInteger(QStringLiteral("Calibrate"), QStringLiteral("MC_Val6"), 1500);
        ASSERT_TRUE(ini.save());
    }
    NoLink link;
    NoHost host;
    CalibrationStation station(link, host);
    station.TestPoints[4][5].New = 1234; // a measured value, as a record file leaves it
    station.TestPoints[kUntestedRow][0].Expected = 77;
    station.StableDelta = 1;

    IniFile ini(path);
    station.loadSettings(ini);

    // Row, point (0-based), expected value after the load.
    const struct {
        int row;
        int point;
        std::int16_t expected;
    } cases[] = {{0, 0, 4200}, {3, 8, 20000}, {4, 5, 1500},
                 {6, 0, 1500}, {6, 8, 540},   {kUntestedRow, 0, 77}};
    for (const auto& c : cases) {
        EXPECT_EQ(station.TestPoints[c.row][c.point].Expected, c.expected) << c.row << c.point;
    }
    EXPECT_EQ(station.TestPoints[4][5].New, 1234) << "measured values stay";
    EXPECT_EQ(station.different(), 5);
    EXPECT_EQ(station.StableDelta, 5) << "each load restores the normal step";
    EXPECT_TRUE(ini.valueExists(QStringLiteral("Calibrate"), QStringLiteral("EMC_Val9")))
        << "missing keys are written with their defaults";
}

TEST(CalibrationStation, TheRunLogStartsWithTheStation)
{
    QTemporaryDir dir;
    NoLink link;
    NoHost host;
    CalibrationStation station(link, host);
    EXPECT_EQ(station.runLog(), nullptr);
    station.startLog(dir.filePath(QStringLiteral("Log")), QDateTime::currentDateTime());
    ASSERT_NE(station.runLog(), nullptr);
    ASSERT_EQ(station.runLog()->lines().size(), 1);
    EXPECT_TRUE(station.runLog()->lines()[0].endsWith(QStringLiteral(" - start VRQ kalibrator")));
}

} // namespace
} // namespace quell
