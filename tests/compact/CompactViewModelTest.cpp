// What the compact view shows: the indicator rules (flags, the colour of a passive probe, inputs
// 7 and 8 that may be missing), the channel tables' labels, and which entry each edit writes.
#include "compact/CompactViewModel.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace quell::compact {
namespace {

using Snapshot = CompactViewModel::Snapshot;

std::map<std::string, CompactViewModel::Indicator> measured(const Snapshot& s)
{
    std::map<std::string, CompactViewModel::Indicator> byName;
    for (const auto& led : CompactViewModel::measure(s, [](const char*) { return "old"; }))
        byName.emplace(led.name, led);
    return byName;
}

TEST(CompactViewModel, IndicatorsFollowTheirFlagsAndTheProbeConfiguration)
{
    const struct {
        const char* what;
        std::int16_t errors71, done70, errors100, done99, config32, config101, config107;
        const char* led;
        const char* text;
        DigitColour colour;
    } cases[] = {
        {"both bits clear keep the text", 0, 0, 0, 0, 0x10, 0, 0, "LedEMC2", "old",
         DigitColour::Navy},
        {"done shows the value", 0, 0x04, 0, 0, 0x10, 0, 0, "LedEMC2", "emc2", DigitColour::Navy},
        {"error wins over done", 0x02, 0x02, 0, 0, 0x10, 0, 0, "LedTemp1", "Error",
         DigitColour::Red},
        {"a passive probe without a tip is gray", 0, 0, 0, 0x01, 0x10, 0x80, 0, "LedMC1", "mc1",
         DigitColour::Gray},
        {"a passive probe with a tip is olive", 0, 0, 0, 0x01, 0x10, 0x81, 0, "LedMC1", "mc1",
         DigitColour::Olive},
        {"inputs 7 and 8 fitted", 0, 0, 0, 0, 0x10, 0, 0x01, "LedMC7", "old", DigitColour::Olive},
        {"input 7 missing: gray and blank", 0, 0, 0, 0, 0x00, 0, 0x01, "LedMC7", "",
         DigitColour::Gray},
        {"input 8 missing but done", 0, 0, 0, 0x80, 0x00, 0, 0, "LedMC8", "mc8", DigitColour::Gray},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Snapshot s;
        s.text[68] = "emc2";
        s.text[91] = "mc1";
        s.text[98] = "mc8";
        s.value[71] = c.errors71;
        s.value[70] = c.done70;
        s.value[100] = c.errors100;
        s.value[99] = c.done99;
        s.value[32] = c.config32;
        s.value[101] = c.config101;
        s.value[107] = c.config107;
        const auto leds = measured(s);
        ASSERT_EQ(leds.size(), 12u);
        EXPECT_EQ(leds.at(c.led).text, c.text);
        EXPECT_EQ(leds.at(c.led).colour, c.colour);
    }
}

TEST(CompactViewModel, ChannelTablesShowFlagsProbeStatesAndBias)
{
    Snapshot s;
    s.value[40] = 0x21;  // ADC errors of EMC1 and REF
    s.value[101] = 0x83; // MC1 passive, type 3
    s.value[102] = 0x04; // MC2 active; only two bits are shown
    s.value[11] = -1;    // CalW MC1 as unsigned: 65535
    s.value[72] = 1;     // its voltage
    s.value[12] = 100;   // CalW MC2 below its voltage
    s.value[73] = 300;
    s.value[41] = 2; // swapped
    s.text[38] = "ref";
    std::map<std::string, std::string> shown;
    for (const auto& l : CompactViewModel::linLabels(s))
        shown[l.name] = l.text;
    for (const auto& l : CompactViewModel::woodLabels(s))
        shown[l.name] = l.text;
    const std::map<std::string, std::string> expected = {
        {"ADC_E0", "×"},     {"ADC_E1", " "},    {"ADC_E5", "×"},
        {"ADC_5", "ref"},    {"LST0", "P3"},     {"LST1", "A0"},
        {"BiasW0", "65534"}, {"BiasW1", "-200"}, {"ADC_4Swap", "+"},
    };
    for (const auto& [name, text] : expected)
        EXPECT_EQ(shown.at(name), text) << name;
    EXPECT_EQ(shown.count("Val_5"), 0u); // REF and GND have no value columns
}

TEST(CompactViewModel, EditsAndGetCalNameTheirEntries)
{
    const std::map<std::string, std::uint16_t> edits = {
        {"Filt0", 19}, {"Filt4", 23},     {"Filt6", 25},  {"CalG3", 6},  {"CalRef0", 7},
        {"CalW7", 18}, {"CompTemp", 109}, {"ADC_0", 256}, {"LST0", 256},
    };
    for (const auto& [name, entry] : edits)
        EXPECT_EQ(CompactViewModel::EntryOfEdit(name), entry) << name;
    EXPECT_EQ(CompactViewModel::voltageLabelOf(4), "U_1"); // CalGnd TEMP1
    EXPECT_EQ(CompactViewModel::voltageLabelOf(8), "U_1"); // CalRef TEMP1: the same row
    EXPECT_EQ(CompactViewModel::voltageLabelOf(18), "U_W7");
    EXPECT_EQ(CompactViewModel::voltageLabelOf(19), "");
}

} // namespace
} // namespace quell::compact
