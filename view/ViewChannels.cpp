#include "view/ViewChannels.h"

namespace quell::vrqpb {

namespace {

constexpr LinChannel linA(int c, const char* caption, Entry calFirst, int calCount)
{
    return {c,
            caption,
            kAdcErrorA,
            c,
            static_cast<Entry>(kVoltFirstA + c),
            kVoltDoneA,
            kVoltErrorA,
            static_cast<Entry>(kValueFirstA + c),
            kValueDoneA,
            kValueErrorA,
            c,
            calFirst,
            calCount};
}

constexpr LinChannel linB(int c, const char* caption, Entry calFirst)
{
    const int j = c - 5;
    return {c,
            caption,
            kAdcErrorB,
            j,
            static_cast<Entry>(kVoltFirstB + j),
            kVoltDoneB,
            kVoltErrorB,
            static_cast<Entry>(kValueFirstB + j),
            kValueDoneB,
            kValueErrorB,
            j,
            calFirst,
            3};
}

} // namespace

const std::array<LinChannel, 10> kLinChannels = {
    linA(0, "EMC1", kCalEmc1First, 8),
    linA(1, "TEMP1", kCalTemp1First, 3),
    linA(2, "EMC2", kCalEmc2First, 8),
    linA(3, "TEMP2", kCalTemp2First, 3),
    linB(5, "TEMP3", 34),
    linB(6, "TEMP4", 37),
    linB(7, "DTemp1", 40),
    linB(8, "DTemp2", 43),
    linB(9, "DTemp3", 46),
    linB(10, "DTemp4", 49),
};

const std::array<IndicatorInfo, 18> kIndicators = {{
    {"LedEMC1", "EMC 1", IndicatorColour::Navy, 105, kValueDoneA, kValueErrorA, 0, -1},
    {"LedTemp1", "Temperature 1", IndicatorColour::Red, 106, kValueDoneA, kValueErrorA, 1, -1},
    {"LedEMC2", "EMC 2", IndicatorColour::Navy, 107, kValueDoneA, kValueErrorA, 2, -1},
    {"LedTemp2", "Temperature 2", IndicatorColour::Red, 108, kValueDoneA, kValueErrorA, 3, -1},
    {"LedTemp3", "Temperature 3", IndicatorColour::Red, 111, kValueDoneB, kValueErrorB, 0, -1},
    {"LedTemp4", "Temperature 4", IndicatorColour::Red, 112, kValueDoneB, kValueErrorB, 1, -1},
    {"LedMC1", "Wood 1", IndicatorColour::Olive, 130, kWoodValueDone, kWoodValueError, 0, 0},
    {"LedMC2", "Wood 2", IndicatorColour::Olive, 131, kWoodValueDone, kWoodValueError, 1, 1},
    {"LedMC3", "Wood 3", IndicatorColour::Olive, 132, kWoodValueDone, kWoodValueError, 2, 2},
    {"LedMC4", "Wood 4", IndicatorColour::Olive, 133, kWoodValueDone, kWoodValueError, 3, 3},
    {"LedMC5", "Wood 5", IndicatorColour::Olive, 134, kWoodValueDone, kWoodValueError, 4, 4},
    {"LedMC6", "Wood 6", IndicatorColour::Olive, 135, kWoodValueDone, kWoodValueError, 5, 5},
    {"LedMC7", "Wood 7", IndicatorColour::Olive, 136, kWoodValueDone, kWoodValueError, 6, 6},
    {"LedMC8", "Wood 8", IndicatorColour::Olive, 137, kWoodValueDone, kWoodValueError, 7, 7},
    {"LedDTemp1", "Wood temperature 1", IndicatorColour::Navy, 113, kValueDoneB, kValueErrorB, 2,
     -1},
    {"LedDTemp2", "Wood temperature 2", IndicatorColour::Navy, 114, kValueDoneB, kValueErrorB, 3,
     -1},
    {"LedDTemp3", "Wood temperature 3", IndicatorColour::Navy, 115, kValueDoneB, kValueErrorB, 4,
     -1},
    {"LedDTemp4", "Wood temperature 4", IndicatorColour::Navy, 116, kValueDoneB, kValueErrorB, 5,
     -1},
}};

std::string CalEditName(int row, int point)
{
    return "Cal" + std::to_string(row) + std::to_string(point) + "e";
}

std::string CalPointHint(int calCount, int point)
{
    static const char* const resistors[] = {"10K",  "100K", "1M",  "10M",
                                            "100M", "1G",   "10G", "100G"};
    static const char* const temperatures[] = {"0\u00B0C", "50\u00B0C", "100\u00B0C"};
    if (point < 1 || point > calCount) {
        return {};
    }
    return calCount == 8 ? resistors[point - 1] : temperatures[point - 1];
}

Entry EntryOfEdit(std::string_view editName)
{
    for (std::size_t r = 0; r < kLinChannels.size(); ++r) {
        const auto& ch = kLinChannels[r];
        if (editName == "Filt" + std::to_string(ch.channel)) {
            return static_cast<Entry>(kFilterFirst + ch.channel);
        }
        for (int p = 1; p <= ch.calCount; ++p) {
            if (editName == CalEditName(static_cast<int>(r) + 1, p)) {
                return static_cast<Entry>(ch.calFirst + p - 1);
            }
        }
    }
    for (int i = 0; i < kWoodChannels; ++i) {
        if (editName == "CalW" + std::to_string(i)) {
            return static_cast<Entry>(kCalWoodFirst + i);
        }
    }
    if (editName == "EditFiltMC") {
        return kFilterWood;
    }
    if (editName == "CompTemp") {
        return kCompTemp;
    }
    return kNoEntry;
}

std::string CalVoltageLabel(Entry calEntry)
{
    if (calEntry >= kCalWoodFirst && calEntry <= kCalWoodLast) {
        return "U_W" + std::to_string(calEntry - kCalWoodFirst);
    }
    for (const auto& ch : kLinChannels) {
        if (calEntry >= ch.calFirst && calEntry < ch.calFirst + ch.calCount) {
            return "U_" + std::to_string(ch.channel);
        }
    }
    return {};
}

} // namespace quell::vrqpb
