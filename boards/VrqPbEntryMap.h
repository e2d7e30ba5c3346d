#pragma once

#include <cstdint>

// Where the VRQ-PB board keeps each quantity in the parameter table. The board's description
// file must place its parameters at these entries; the view, the procedures and the database
// transfer read them by these names instead of by bare numbers.
namespace quell::vrqpb {

using Entry = std::uint16_t;

// Reference selectors of the calibration board: EMC 1, EMC 2, Temp 1, Temp 2, then four wood
// selector groups. Each holds a bit code (bit k = reference k switched in, 0 = open).
inline constexpr Entry kSelectorFirst = 4;
inline constexpr Entry kSelectEmc1 = 4;
inline constexpr Entry kSelectEmc2 = 5;
inline constexpr Entry kSelectTemp1 = 6;
inline constexpr Entry kSelectTemp2 = 7;
inline constexpr Entry kSelectMcR = 8;     // wood inputs on their own reference resistors
inline constexpr Entry kSelectMcS = 9;     // wood inputs on a 1G resistor
inline constexpr Entry kSelectRoute = 10;  // the wood input routed to the single measuring path
inline constexpr Entry kSelectRouteR = 11; // the reference resistor of the routed input
inline constexpr Entry kSelectorLast = 11;
inline constexpr int kSelectors = kSelectorLast - kSelectorFirst + 1;

// Whether an entry is one of the reference selectors.
constexpr bool IsSelector(Entry entry)
{
    return entry >= kSelectorFirst && entry <= kSelectorLast;
}

// Calibration constants.
inline constexpr Entry kCalEmc1First = 12;  // 10K .. 100G, eight entries
inline constexpr Entry kCalTemp1First = 20; // 0, 50, 100 degrees
inline constexpr Entry kCalEmc2First = 23;  // 10K .. 100G, eight entries
inline constexpr Entry kCalTemp2First = 31; // then TEMP3, TEMP4, DTemp1..DTemp4, three each
inline constexpr Entry kCalLinLast = 51;
inline constexpr Entry kCalWoodFirst = 52; // MC1 .. MC8
inline constexpr Entry kCalWoodLast = 59;

// Filters: entry kFilterFirst + channel for the linear channels, kFilterWood for the wood input.
inline constexpr Entry kFilterFirst = 60;
inline constexpr Entry kFilterWood = 64;
inline constexpr Entry kFilterLast = 70;
// Period of the wood inputs' swap cycle; the procedures may force it for a run.
inline constexpr Entry kSwapPeriod = 71;
// Writing it clears the board's counters; operating hours since the counters were cleared.
inline constexpr Entry kResetCounters = 82;
inline constexpr Entry kOperatingHours = 83;

// ADC error flags: bits 0..3 EMC1, TEMP1, EMC2, TEMP2, bit 4 wood input; bits 0..5 TEMP3..DTemp4.
inline constexpr Entry kAdcErrorA = 84;
inline constexpr Entry kAdcErrorB = 85;
inline constexpr int kAdcErrorWoodBit = 4;
inline constexpr Entry kWoodSwap = 86;
inline constexpr Entry kWoodSelect = 87;
// The wood input selection on which the "Beep" box sounds.
inline constexpr std::int16_t kWoodSelectBeep = 7;

// Voltage done/error flags and voltages (mV) of EMC1, TEMP1, EMC2, TEMP2 ...
inline constexpr Entry kVoltDoneA = 88;
inline constexpr Entry kVoltErrorA = 89;
inline constexpr Entry kVoltFirstA = 90;
// ... and of TEMP3, TEMP4, DTemp1..DTemp4.
inline constexpr Entry kVoltDoneB = 95;
inline constexpr Entry kVoltErrorB = 96;
inline constexpr Entry kVoltFirstB = 97;
// The board's reference voltage (mV).
inline constexpr Entry kUReference = 94;

// Value done/error flags and values of the same two channel blocks.
inline constexpr Entry kValueDoneA = 103;
inline constexpr Entry kValueErrorA = 104;
inline constexpr Entry kValueFirstA = 105;
inline constexpr Entry kValueDoneB = 109;
inline constexpr Entry kValueErrorB = 110;
inline constexpr Entry kValueFirstB = 111;

// Wood channels MC1..MC8: voltage flags, sample count, voltages, value flags, values, probes.
inline constexpr Entry kWoodVoltDone = 117;
inline constexpr Entry kWoodVoltError = 118;
inline constexpr Entry kWoodCount = 119;
inline constexpr Entry kWoodVoltFirst = 120;
inline constexpr Entry kWoodValueDone = 128;
inline constexpr Entry kWoodValueError = 129;
inline constexpr Entry kWoodValueFirst = 130;
inline constexpr Entry kProbeConfigFirst = 138; // bit 7 passive, low bits probe type
inline constexpr Entry kProbeConfigLast = 145;
// Bits of a probe configuration: passive when set, else active; the probe type in the low bits.
inline constexpr std::uint8_t kProbePassive = 0x80;
inline constexpr std::uint8_t kProbeTypeMask = 0x07;
// The type bits the view shows (two of the three).
inline constexpr std::uint8_t kProbeTypeShown = 0x03;

inline constexpr Entry kCompTemp = 147;

// Housekeeping of the board beyond what the view shows: its own temperature, supply voltage,
// status word, watchdog resets, its name, the command that stores its settings and the probe limit.
inline constexpr Entry kBoardTemp = 148;
inline constexpr Entry kSupply = 149;
inline constexpr Entry kStatus = 150;
inline constexpr Entry kWatchdogResets = 152;
inline constexpr Entry kBoardName = 156;
inline constexpr Entry kSaveSettings = 157;
inline constexpr Entry kProbeLimit = 159;

// The highest entry the view reads.
inline constexpr Entry kLastViewEntry = 147;
// Stands for "no entry" where a control has none.
inline constexpr Entry kNoEntry = 256;

inline constexpr int kWoodChannels = 8;

} // namespace quell::vrqpb
