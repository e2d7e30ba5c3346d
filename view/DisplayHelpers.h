#pragma once

#include <cstdint>
#include <string>

// Texts the measurement views make of raw board values. Plain code, shared by the full view and
// the compact one; raw values are the table's signed 16-bit words.
namespace quell {

// The text an indicator shows next: "Error" when the error bit is set (even if done is set too),
// the value text when only the done bit is set, and the text it shows now when neither is.
// Only the low byte of each flag word counts.
std::string ShowFlaggedValue(std::int16_t errorFlags, std::int16_t doneFlags, int bit,
                             const std::string& valueText, const std::string& shown);

// "×" for a set bit, a single blank for a clear one.
std::string FlagMark(std::int16_t flags, int bit);

// 'P' for a passive probe (bit 7 set), 'A' for an active one.
char ProbeModeLetter(std::int16_t probeConfig);

// The probe label: mode letter and the two lowest bits as a digit ("P1", "A0").
std::string ProbeConfigText(std::int16_t probeConfig);

// True for a passive probe of type 0 (low byte exactly 0x80), which the indicator shows in grey.
bool IsPassiveTypeZero(std::int16_t probeConfig);

// "+" when the wood inputs are swapped (non-zero), "-" when not.
std::string SwapSign(std::int16_t swapState);

// A count of tenths as text with exactly one decimal and "." ("-23.4", "-0.5", "0.0").
std::string FormatTenths(int tenths);

// Calibration constant minus measured voltage, wrapped to 16 bits, in tenths.
std::string WoodDeviation(std::int16_t constant, std::int16_t voltage);

// Items of the probe state menu, by tag.
enum class ProbeStateItem { Passive = 1, Active = 2, Type1 = 3, Type2, Type3, Type4 };

// The new probe configuration byte after choosing an item: passive sets bit 7, active clears it,
// a type replaces the three lowest bits.
std::uint8_t ProbeStateByte(std::uint8_t config, ProbeStateItem item);

} // namespace quell
