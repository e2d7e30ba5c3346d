#include "calibration/CalibrateSettings.h"

#include "client/IniFile.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <utility>

namespace quell {

namespace {

const QString kCalibrate = QStringLiteral("Calibrate");

constexpr std::array<int, 9> kTempVal = {-8000, -2500, 0, 2500, 5000, 7500, 10000, 15000, 20000};
constexpr std::array<int, 9> kEmcVal = {4200, 3500, 2800, 2100, 1700, 1350, 1080, 740, 440};
constexpr std::array<int, 9> kMcVal = {9820, 5430, 2880, 2230, 1830, 1480, 1190, 880, 540};
const char* const kTempCal[] = {"ks", "-25", "0", "25", "50", "75", "100", "150", "open"};
const char* const kResistorCal[] = {"10K", "100K", "1M",   "10M", "100M",
                                    "1G",  "10G",  "100G", "open"};
constexpr int kPoints = kTestPointsPerRow;

// The value of a key, written with its default first when it is missing.
int readOrCreate(IniFile& ini, const QString& key, int defaultValue)
{
    if (!ini.valueExists(kCalibrate, key)) {
        ini.writeInteger(kCalibrate, key, defaultValue);
    }
    return ini.readInteger(kCalibrate, key, defaultValue);
}

QString numbered(const char* prefix, int number)
{
    return QString::fromLatin1(prefix) + QString::number(number);
}

std::int16_t low16(int value)
{
    return static_cast<std::int16_t>(value & 0xFFFF);
}

// A limit wider than this says nothing about a board: 100 °C, or the whole reading.
constexpr double kWidestLimit = 100.0;

// A limit as the file gives it: a plain decimal number from 0 to kWidestLimit with "." as the
// separator, surrounding blanks allowed; anything else (a comma, a unit, an exponent beyond the
// range, NaN) is no limit at all and leaves the default.
double parseLimit(const QString& text, double defaultValue)
{
    const std::string bytes = text.trimmed().toStdString();
    if (bytes.empty() || bytes.size() > 32)
        return defaultValue;
    double value = 0.0;
    const char* const end = bytes.data() + bytes.size();
    const auto [stop, error] = std::from_chars(bytes.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value) || value < 0.0
        || value > kWidestLimit)
        return defaultValue;
    return value;
}

// A limit, written with its default first when it is missing.
double readLimitOrCreate(IniFile& ini, const QString& key, double defaultValue)
{
    if (!ini.valueExists(kCalibrate, key)) {
        ini.writeString(kCalibrate, key, QString::number(defaultValue));
    }
    return parseLimit(ini.readString(kCalibrate, key, {}), defaultValue);
}

} // namespace

bool CalibrateSettings::load(const QString& settingsFileName)
{
    IniFile ini(settingsFileName);
    load(ini);
    const bool saved = ini.save();
    errorText_ = saved ? QString() : ini.errorText();
    return saved;
}

void CalibrateSettings::load(IniFile& ini)
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
    different = low16(readOrCreate(ini, QStringLiteral("Different"), 3));
    for (int i = 0; i < kPoints; ++i) {
        const auto p = static_cast<std::size_t>(i);
        const auto temp = low16(readOrCreate(ini, numbered("Temp_Val", i + 1), kTempVal[p]));
        expected[1][p] = temp;
        expected[3][p] = temp;
    }
    for (int i = 0; i < kPoints; ++i) {
        const auto p = static_cast<std::size_t>(i);
        const auto emc = low16(readOrCreate(ini, numbered("EMC_Val", i + 1), kEmcVal[p]));
        expected[0][p] = emc;
        expected[2][p] = emc;
    }
    for (int i = 0; i < kPoints; ++i) {
        const auto p = static_cast<std::size_t>(i);
        expected[4][p] = low16(readOrCreate(ini, numbered("MC_Val", i + 1), kMcVal[p]));
    }
    // "Drvo sve" checks all eight resistors at the sixth point's reading, then the open input.
    const auto allWood = low16(ini.readInteger(kCalibrate, QStringLiteral("MC_Val6"), 1480));
    expected[6].fill(allWood);
    expected[6][8] = low16(ini.readInteger(kCalibrate, QStringLiteral("MC_Val9"), 540));

    const TestLimits defaults;
    limits.temperature = readLimitOrCreate(ini, QStringLiteral("Limit_Temp"), defaults.temperature);
    limits.emc = readLimitOrCreate(ini, QStringLiteral("Limit_EMC"), defaults.emc);
    limits.wood = readLimitOrCreate(ini, QStringLiteral("Limit_MC"), defaults.wood);
}

} // namespace quell
