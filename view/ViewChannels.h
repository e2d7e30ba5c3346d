#pragma once

#include "boards/VrqPbEntryMap.h"

#include <array>
#include <string>
#include <string_view>

// The channels of the VRQ-PB board as the view lays them out: which entries and flag bits feed
// each row and indicator, and the names of the controls that show them. The window builds its
// controls from these tables and the view model fills them, so both agree on every name.
namespace quell::vrqpb {

// One of the ten linear channels (numbered 0..10 without 4, which is the wood input).
struct LinChannel {
    int channel;         // 0..3, 5..10; also the suffix of its control names
    const char* caption; // row caption
    Entry adcError;      // flag word and bit of the ADC error
    int adcBit;
    Entry voltage;  // voltage in mV
    Entry voltDone; // voltage done / error flag words
    Entry voltError;
    Entry value;     // computed value
    Entry valueDone; // value done / error flag words
    Entry valueError;
    int bit;        // bit of this channel in the voltage and value flag words
    Entry calFirst; // first calibration constant
    int calCount;   // eight for EMC (resistors), three for temperatures
};

// The rows of group "Lin", top to bottom.
extern const std::array<LinChannel, 10> kLinChannels;

// The name of a calibration edit: row (1-based position in kLinChannels) and point (1-based).
std::string CalEditName(int row, int point);
// The hint of a calibration edit: "10K".."100G" for eight points, "0°C", "50°C", "100°C" for three.
std::string CalPointHint(int calCount, int point);

// Digit colours of the indicators.
enum class IndicatorColour { Navy, Red, Olive, Grey };

// One indicator on "Merenje".
struct IndicatorInfo {
    const char* name;       // object name
    const char* hint;       // tool tip
    IndicatorColour colour; // digit colour (wood indicators follow their probe instead)
    Entry text;
    Entry done;
    Entry error;
    int bit;
    int woodChannel; // 0..7 for LedMC1..LedMC8, -1 otherwise
};

// The eighteen indicators in the order the refresh updates them.
extern const std::array<IndicatorInfo, 18> kIndicators;

// The entry an edit writes to, by the edit's object name; kNoEntry for any other control.
Entry EntryOfEdit(std::string_view editName);

// The voltage label whose text "Get Cal" copies into a calibration entry (12..59); empty for
// other entries.
std::string CalVoltageLabel(Entry calEntry);

} // namespace quell::vrqpb
