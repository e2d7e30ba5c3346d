#include "view/ViewSettings.h"

#include "client/IniFile.h"

#include <algorithm>

namespace quell {

namespace {

const QString kView = QStringLiteral("View");
const QString kCalibrate = QStringLiteral("Calibrate");
constexpr int kMaxBoardNumber = 10000;

constexpr std::array<int, 9> kTempVal = {-8000, -2500, 0, 2500, 5000, 7500, 10000, 15000, 20000};
constexpr std::array<int, 9> kEmcVal = {4200, 3500, 2800, 2100, 1700, 1350, 1080, 740, 440};
constexpr std::array<int, 9> kMcVal = {9820, 5430, 2880, 2230, 1830, 1480, 1190, 880, 540};
const char* const kTempCal[] = {"ks", "-25", "0", "25", "50", "75", "100", "150", "open"};
const char* const kResistorCal[] = {"10K", "100K", "1M",   "10M", "100M",
                                    "1G",  "10G",  "100G", "open"};

// The value of a key, written with its default first when it is missing.
int readOrCreate(IniFile& ini, const QString& section, const QString& key, int defaultValue)
{
    if (!ini.valueExists(section, key)) {
        ini.writeInteger(section, key, defaultValue);
    }
    return ini.readInteger(section, key, defaultValue);
}

QString numbered(const char* prefix, int number)
{
    return QString::fromLatin1(prefix) + QString::number(number);
}

} // namespace

bool ViewSettings::load(const QString& settingsFileName)
{
    IniFile ini(settingsFileName);
    loadView(ini);
    loadCalibrate(ini);
    const bool saved = ini.save();
    errorText_ = saved ? QString() : ini.errorText();
    return saved;
}

void ViewSettings::loadView(IniFile& ini)
{
    if (!ini.sectionExists(kView)) {
        // A first run: a small hidden window, the operator opens it from the menu.
        ini.writeInteger(kView, QStringLiteral("LeftPos"), 150);
        ini.writeInteger(kView, QStringLiteral("TopPos"), 350);
        ini.writeInteger(kView, QStringLiteral("Width"), 300);
        ini.writeInteger(kView, QStringLiteral("Height"), 280);
        ini.writeInteger(kView, QStringLiteral("Visible"), 0);
        ini.writeInteger(kView, QStringLiteral("PB"), 0);
    }
    // A single missing key gets the full-size layout rather than the first-run window.
    left = readOrCreate(ini, kView, QStringLiteral("LeftPos"), 180);
    top = readOrCreate(ini, kView, QStringLiteral("TopPos"), 10);
    width = readOrCreate(ini, kView, QStringLiteral("Width"), 936);
    height = readOrCreate(ini, kView, QStringLiteral("Height"), 465);
    visible = readOrCreate(ini, kView, QStringLiteral("Visible"), 0) != 0;
    boardNumber = std::clamp(readOrCreate(ini, kView, QStringLiteral("PB"), 0), 0, kMaxBoardNumber);
}

void ViewSettings::loadCalibrate(IniFile& ini)
{
    if (!ini.sectionExists(kCalibrate)) {
        ini.writeInteger(kCalibrate, QStringLiteral("Different"), 3);
        for (int i = 0; i < kPoints; ++i) {
            ini.writeString(kCalibrate, numbered("Temp_Cal", i + 1),
                            QString::fromLatin1(kTempCal[i]));
        }
        for (int i = 0; i < kPoints; ++i) {
            ini.writeString(kCalibrate, numbered("R_Cal", i + 1),
                            QString::fromLatin1(kResistorCal[i]));
        }
        for (const auto& [prefix, values] :
             {std::pair{"Temp_Val", kTempVal}, std::pair{"EMC_Val", kEmcVal},
              std::pair{"MC_Val", kMcVal}}) {
            for (int i = 0; i < kPoints; ++i) {
                ini.writeInteger(kCalibrate, numbered(prefix, i + 1),
                                 values[static_cast<std::size_t>(i)]);
            }
        }
    }
    const auto low16 = [](int value) { return static_cast<std::int16_t>(value & 0xFFFF); };
    different = low16(readOrCreate(ini, kCalibrate, QStringLiteral("Different"), 3));
    for (int i = 0; i < kPoints; ++i) {
        const auto p = static_cast<std::size_t>(i);
        const auto temp =
            low16(readOrCreate(ini, kCalibrate, numbered("Temp_Val", i + 1), kTempVal[p]));
        expected[1][p] = temp;
        expected[3][p] = temp;
    }
    for (int i = 0; i < kPoints; ++i) {
        const auto p = static_cast<std::size_t>(i);
        const auto emc =
            low16(readOrCreate(ini, kCalibrate, numbered("EMC_Val", i + 1), kEmcVal[p]));
        expected[0][p] = emc;
        expected[2][p] = emc;
    }
    for (int i = 0; i < kPoints; ++i) {
        const auto p = static_cast<std::size_t>(i);
        expected[4][p] = low16(readOrCreate(ini, kCalibrate, numbered("MC_Val", i + 1), kMcVal[p]));
    }
    // "Drvo sve" checks all eight resistors at the sixth point's reading, then the open input.
    const auto allWood = low16(ini.readInteger(kCalibrate, QStringLiteral("MC_Val6"), 1480));
    expected[6].fill(allWood);
    expected[6][8] = low16(ini.readInteger(kCalibrate, QStringLiteral("MC_Val9"), 540));
}

bool ViewSettings::saveBoardNumber(const QString& settingsFileName, int number)
{
    IniFile ini(settingsFileName);
    ini.writeInteger(kView, QStringLiteral("PB"), std::clamp(number, 0, kMaxBoardNumber));
    const bool saved = ini.save();
    errorText_ = saved ? QString() : ini.errorText();
    return saved;
}

} // namespace quell
