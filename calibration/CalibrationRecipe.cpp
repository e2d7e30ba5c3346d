#include "calibration/CalibrationRecipe.h"

namespace quell {

namespace {

constexpr std::array<std::string_view, kRecipeSteps> kPointCodes{"1",  "2",  "4",  "8", "10",
                                                                 "20", "40", "80", "0"};

// An analog channel: constants per column (0: no point), one voltage, one flag bit.
constexpr std::array<TCalib, kRecipeSteps> analogRow(std::uint8_t filter, std::uint8_t select,
                                                     const std::array<std::uint8_t, 9>& cal,
                                                     std::uint8_t value, std::uint8_t ready,
                                                     std::uint8_t testValue, bool emc)
{
    std::array<TCalib, kRecipeSteps> row{};
    for (int c = 0; c < kRecipeSteps; ++c) {
        TCalib& s = row[static_cast<std::size_t>(c)];
        s.FilterEntry = filter;
        s.SelectEntry = select;
        s.CalEntry = cal[static_cast<std::size_t>(c)];
        s.SelectCode = kPointCodes[static_cast<std::size_t>(c)];
        s.ValueEntry = value;
        s.StatusEntry = 89;
        s.ReadyMask = ready;
        s.TestValueEntry = testValue;
        s.TestStatusEntry = 104;
        s.SwapAllowed = emc ? 1 : 0;
        s.WaitMode = emc ? 1 : 0;
    }
    return row;
}

// A wood row: one input per column, each with its own voltage, flag bit and value.
constexpr std::array<TCalib, kRecipeSteps> woodRow(std::uint8_t select, bool allInputs)
{
    std::array<TCalib, kRecipeSteps> row{};
    for (int c = 1; c <= kRecipeSteps; ++c) {
        TCalib& s = row[static_cast<std::size_t>(c - 1)];
        const bool open = c == kRecipeSteps;
        s.FilterEntry = 64;
        s.SelectEntry = select;
        s.CalEntry = open ? (allInputs ? 0 : 59) : static_cast<std::uint8_t>(51 + c);
        s.SelectCode = open        ? kPointCodes[8]
                       : allInputs ? "ff"
                                   : kPointCodes[static_cast<std::size_t>(c - 1)];
        s.ValueEntry = open ? 127 : static_cast<std::uint8_t>(119 + c);
        s.StatusEntry = 129;
        s.ReadyMask = open ? 128 : static_cast<std::uint8_t>(1U << (c - 1));
        s.TestValueEntry = open ? 137 : static_cast<std::uint8_t>(129 + c);
        s.TestStatusEntry = 129;
        s.SwapAllowed = 1;
        s.WaitMode = 2;
    }
    return row;
}

constexpr TCalibRecipe makeRecipe()
{
    TCalibRecipe recipe{};
    recipe[kRowEmc1] = analogRow(60, 4, {12, 13, 14, 15, 16, 17, 18, 19, 19}, 90, 1, 105, true);
    // The open point of EMC 1 and its last reference report through the voltage flags.
    recipe[kRowEmc1][7].TestStatusEntry = 89;
    recipe[kRowEmc1][8].TestStatusEntry = 89;
    recipe[kRowTemp1] = analogRow(61, 6, {0, 0, 20, 0, 21, 0, 22, 0, 0}, 91, 2, 106, false);
    recipe[kRowEmc2] = analogRow(62, 5, {23, 24, 25, 26, 27, 28, 29, 30, 30}, 92, 4, 107, true);
    recipe[kRowTemp2] = analogRow(63, 7, {0, 0, 31, 0, 32, 0, 33, 0, 0}, 93, 8, 108, false);
    recipe[kRowWood] = woodRow(8, false);
    recipe[kRowWoodDeep] = woodRow(10, false);
    recipe[kRowWoodAll] = woodRow(9, true);
    return recipe;
}

} // namespace

const TCalibRecipe CalibRecipe = makeRecipe();

const std::array<TConfig, kProcedureTags + 1> ProcedureTable{{
    {},
    {kRowTemp1, 0, "Kalibracija", "Temp 1"},
    {kRowTemp2, 0, "Kalibracija", "Temp 2"},
    {kRowEmc1, 0, "Kalibracija", "EMC 1"},
    {kRowEmc2, 0, "Kalibracija", "EMC 2"},
    {kRowWood, 0, "Kalibracija", "Drvo"},
    {kRowTemp1, 0, "Testiranje", "Temp 1"},
    {kRowTemp2, 0, "Testiranje", "Temp 2"},
    {kRowEmc1, 106, "Testiranje", "EMC 1"},
    {kRowEmc2, 108, "Testiranje", "EMC 2"},
    {kRowWood, 147, "Testiranje", "Drvo"},
    {kRowWoodAll, 147, "Testiranje", "Drvo sve"},
}};

} // namespace quell
