#pragma once

#include "calibration/TPointResult.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace quell {

// One step of a channel's recipe: which entries switch the point in, hold its calibration
// constant, its voltage and its flags, and how the board is waited for.
struct TCalib {
    std::uint8_t FilterEntry = 0;     // the channel's filter parameter
    std::uint8_t SelectEntry = 0;     // the entry that switches the point in
    std::uint8_t CalEntry = 0;        // the point's calibration constant; 0: no such point
    std::string_view SelectCode;      // hex text written to SelectEntry for this point
    std::uint8_t ValueEntry = 0;      // the channel's voltage, which becomes the constant
    std::uint8_t StatusEntry = 0;     // the channel's error flags
    std::uint8_t ReadyMask = 0;       // the channel's bit there; a reading counts only while clear
    std::uint8_t TestValueEntry = 0;  // the channel's measured value (tests)
    std::uint8_t TestStatusEntry = 0; // the channel's value error flags (tests)
    std::uint8_t SwapAllowed = 0;     // 1: the swap period may be forced for this channel
    // 0: timed readings; 1: wait for a swap cycle of entry 86; 2: write the wood input's index
    // to entry 87, then wait for a swap cycle.
    std::uint8_t WaitMode = 0;
};

// Rows of the recipe; their numbers are used throughout the station.
enum RecipeRow : int {
    kRowEmc1 = 0,
    kRowTemp1 = 1,
    kRowEmc2 = 2,
    kRowTemp2 = 3,
    kRowWood = 4,
    kRowWoodDeep = 5,
    kRowWoodAll = 6,
};
// Steps of a row: eight references and the open input (used by the tests only).
inline constexpr int kRecipeSteps = 9;
// Points a calibration measures per row.
inline constexpr int kCalPoints = 8;

// The recipe, [row][column - 1] for columns 1..9.
using TCalibRecipe = std::array<std::array<TCalib, kRecipeSteps>, kRecipeRows>;
extern const TCalibRecipe CalibRecipe;
// The step at a row and column (1..9).
inline const TCalib& recipeStep(int row, int column)
{
    return CalibRecipe[static_cast<std::size_t>(row)][static_cast<std::size_t>(column - 1)];
}

// What a procedure button runs: the recipe row, the test entry written before a test, the
// procedure's and the channel's names.
struct TConfig {
    std::uint8_t Row = 0;
    std::uint8_t TestEntry = 0;
    std::string_view ProcName;
    std::string_view ChannelName;
};
// Buttons Tag 1..11: five calibrations, then six tests. Index 0 is unused.
inline constexpr int kProcedureTags = 11;
extern const std::array<TConfig, kProcedureTags + 1> ProcedureTable;
// Tags of the calibration buttons.
inline constexpr int kTagTemp1 = 1;
inline constexpr int kTagTemp2 = 2;
inline constexpr int kTagEmc1 = 3;
inline constexpr int kTagEmc2 = 4;
inline constexpr int kTagWood = 5;
inline constexpr int kLastCalibrationTag = 5;
// Tags of the test buttons, in the order "Sve" runs them.
inline constexpr int kTagTestTemp1 = 6;
inline constexpr int kTagTestTemp2 = 7;
inline constexpr int kTagTestEmc1 = 8;
inline constexpr int kTagTestEmc2 = 9;
inline constexpr int kTagTestWood = 10;
inline constexpr int kTagTestWoodAll = 11;

// Timing and budgets of a point measurement and of a transaction.
inline constexpr int TimedWaitMs = 500;       // pause before each timed reading
inline constexpr int TimedSkip = 10;          // timed readings skipped between two comparisons
inline constexpr int MaxChecksTimed = 100;    // reading budget of a timed point
inline constexpr int MaxChecksPolled = 5;     // reading budget of a point waited by swap cycles
inline constexpr int kTransactionPolls = 200; // polls before a transaction counts as lost
// One poll is one tick of a desktop timer, so an answer may be a poll line in flight and a
// pacing pause behind.
inline constexpr int kTransactionPollMs = 15;
inline constexpr int kTransactionAttempts = 3; // sends of a transaction refused by the device

// The entries the procedures use besides the recipe's.
inline constexpr std::uint16_t kSwapPeriodEntry = 71;
inline constexpr std::uint16_t kSwapStateEntry = 86;
inline constexpr std::uint16_t kWoodInputEntry = 87;
inline constexpr std::uint16_t kVoltageFlagsEntry = 89;
inline constexpr std::uint16_t kWoodFlagsEntry = 129;
inline constexpr std::uint16_t kRouteResistorEntry = 11;
// The eight reference selectors, in the order they are cleared.
inline constexpr std::array<std::uint16_t, 8> kSelectEntries{4, 5, 6, 7, 8, 9, 10, 11};

// The calibration points of the station, [row][point - 1] (points 1..8).
using TCalPoints = std::array<std::array<TPointResult, kCalPoints>, kRecipeRows>;

} // namespace quell
