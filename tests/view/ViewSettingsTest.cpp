#include "view/ViewSettings.h"
#include "calibration/CalibrateSettings.h"
#include "client/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quell {
namespace {

class ViewSettingsTest : public ::testing::Test {
protected:
    void write(const QByteArray& text)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QTemporaryDir dir;
    QString path = dir.filePath("station.cli");
    ViewSettings settings;
    CalibrateSettings calibrate; // [Calibrate] belongs to the calibration station
};

TEST_F(ViewSettingsTest, FirstRunWritesTheSmallHiddenWindowAndAllDefaults)
{
    write("[Socket]\nPort=9099\n");
    ASSERT_TRUE(settings.load(path));
    ASSERT_TRUE(calibrate.load(path));
    EXPECT_EQ(settings.left, 150);
    EXPECT_EQ(settings.top, 350);
    EXPECT_EQ(settings.width, 300);
    EXPECT_EQ(settings.height, 280);
    EXPECT_FALSE(settings.visible);
    EXPECT_EQ(settings.boardNumber, 0);
    EXPECT_EQ(calibrate.different, 3);
    EXPECT_EQ(calibrate.expected[0][0], 4200);
    EXPECT_EQ(calibrate.expected[2][8], 440);
    EXPECT_EQ(calibrate.expected[3][0], -8000);
    EXPECT_EQ(calibrate.expected[4][5], 1480);
    EXPECT_EQ(calibrate.expected[6][7], 1480);
    EXPECT_EQ(calibrate.expected[6][8], 540);

    const IniFile after(path);
    EXPECT_EQ(after.readString("View", "Width", ""), "300");
    EXPECT_EQ(after.readString("Calibrate", "Temp_Cal1", ""), "ks");
    EXPECT_EQ(after.readString("Calibrate", "R_Cal9", ""), "open");
    EXPECT_EQ(after.readString("Socket", "Port", ""), "9099") << "other sections are kept";
}

TEST_F(ViewSettingsTest, SingleMissingKeysTakeTheFullSizeDefaults)
{
    write("[View]\nLeftPos=5\nVisible=2\nPB=20000\n[Calibrate]\nTemp_Val9=40000\nDifferent=x\n");
    ASSERT_TRUE(settings.load(path));
    ASSERT_TRUE(calibrate.load(path));
    EXPECT_EQ(settings.left, 5);
    EXPECT_EQ(settings.top, 10);
    EXPECT_EQ(settings.width, 936);
    EXPECT_EQ(settings.height, 465);
    EXPECT_TRUE(settings.visible) << "any number but 0 means shown";
    EXPECT_EQ(settings.boardNumber, 10000);
    EXPECT_EQ(calibrate.different, 3) << "not a number reads as the default";
    EXPECT_EQ(calibrate.expected[1][8], -25536) << "low 16 bits, signed";
    EXPECT_EQ(calibrate.expected[3][8], -25536);
    EXPECT_EQ(calibrate.expected[1][0], -8000) << "a missing key of an existing section";
    const IniFile after(path);
    EXPECT_EQ(after.readString("View", "Width", ""), "936");
    EXPECT_FALSE(after.valueExists("Calibrate", "Temp_Cal1")) << "names only with a new section";
}

TEST_F(ViewSettingsTest, ReloadTakesChangedValuesAndKeepsTheUnusedRow)
{
    write("");
    ASSERT_TRUE(settings.load(path));
    ASSERT_TRUE(calibrate.load(path));
    calibrate.expected[5][0] = 77;
    {
        IniFile ini(path);
        ini.writeInteger("Calibrate", "MC_Val6", 1500);
        ini.writeInteger("View", "PB", 42);
        ASSERT_TRUE(ini.save());
    }
    ASSERT_TRUE(settings.load(path));
    ASSERT_TRUE(calibrate.load(path));
    EXPECT_EQ(calibrate.expected[4][5], 1500);
    for (int p = 0; p < 8; ++p) {
        EXPECT_EQ(calibrate.expected[6][static_cast<std::size_t>(p)], 1500) << p;
    }
    EXPECT_EQ(calibrate.expected[6][8], 540);
    EXPECT_EQ(calibrate.expected[5][0], 77);
    EXPECT_EQ(settings.boardNumber, 42);

    ASSERT_TRUE(settings.saveBoardNumber(path, 123));
    EXPECT_EQ(IniFile(path).readString("View", "PB", ""), "123");
}

} // namespace
} // namespace quell
