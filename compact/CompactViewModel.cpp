#include "compact/CompactViewModel.h"

#include "compact/CompactScheduler.h"
#include "compact/UCommands.h"
#include "view/DisplayHelpers.h"

namespace quell::compact {

namespace {

// Bit 4 of the board configuration: wood inputs 7 and 8 are fitted.
constexpr std::uint8_t kConfigurationEntry = 32;
constexpr int kSevenAndEightBit = 4;

// The Lin group's rows: EMC1, TEMP1, EMC2, TEMP2, then REF and GND (row 4 is the wood input).
constexpr int kLinRows[] = {0, 1, 2, 3, 5, 6};

std::string flag(const CompactViewModel::Snapshot& s, int entry, int bit)
{
    return FlagMark(s.value[static_cast<std::size_t>(entry)], bit);
}

const std::string& text(const CompactViewModel::Snapshot& s, int entry)
{
    return s.text[static_cast<std::size_t>(entry)];
}

std::string named(const char* prefix, int k)
{
    return prefix + std::to_string(k);
}

} // namespace

CompactViewModel::Snapshot CompactViewModel::Snapshot::of(const CompactScheduler& scheduler)
{
    Snapshot s;
    scheduler.withTable([&](const TProtocol& t) {
        for (std::size_t n = 0; n < s.value.size(); ++n)
            s.value[n] = t.Commands[n].Value;
        return 0;
    });
    for (std::size_t n = 1; n < s.text.size(); ++n)
        s.text[n] = scheduler.cellText(static_cast<std::uint16_t>(n));
    return s;
}

std::vector<CompactViewModel::Indicator>
CompactViewModel::measure(const Snapshot& s, const std::function<std::string(const char*)>& shown)
{
    static const char* const kNames[] = {"LedEMC1", "LedTemp1", "LedEMC2", "LedTemp2",
                                         "LedMC1",  "LedMC2",   "LedMC3",  "LedMC4",
                                         "LedMC5",  "LedMC6",   "LedMC7",  "LedMC8"};
    std::vector<Indicator> result;
    for (int i = 0; i < 4; ++i) {
        const DigitColour colour = i % 2 == 0 ? DigitColour::Navy : DigitColour::Red;
        result.push_back(
            {kNames[i],
             ShowFlaggedValue(s.value[71], s.value[70], i, text(s, 66 + i), shown(kNames[i])),
             colour});
    }
    const bool sevenAndEight = (s.value[kConfigurationEntry] >> kSevenAndEightBit) & 1;
    for (int k = 1; k <= 8; ++k) {
        const char* name = kNames[3 + k];
        std::string before = shown(name);
        DigitColour colour = IsPassiveTypeZero(s.value[100 + static_cast<std::size_t>(k)])
                                 ? DigitColour::Gray
                                 : DigitColour::Olive;
        if (k >= 7 && !sevenAndEight) {
            colour = DigitColour::Gray;
            before.clear();
        }
        result.push_back(
            {name, ShowFlaggedValue(s.value[100], s.value[99], k - 1, text(s, 90 + k), before),
             colour});
    }
    return result;
}

std::vector<CompactViewModel::Label> CompactViewModel::linLabels(const Snapshot& s)
{
    std::vector<Label> labels;
    for (int r : kLinRows) {
        labels.push_back({named("ADC_", r), text(s, 33 + r)});
        labels.push_back({named("ADC_E", r), flag(s, 40, r)});
        labels.push_back({named("U_", r), text(s, 43 + r)});
        labels.push_back({named("U_CE", r), text(s, 50 + r)});
        labels.push_back({named("U_AE", r), text(s, 57 + r)});
        labels.push_back({named("U_D", r), flag(s, 64, r)});
        labels.push_back({named("U_E", r), flag(s, 65, r)});
        if (r < 4) {
            labels.push_back({named("Val_", r), text(s, 66 + r)});
            labels.push_back({named("V_D", r), flag(s, 70, r)});
            labels.push_back({named("V_E", r), flag(s, 71, r)});
        }
    }
    return labels;
}

std::vector<CompactViewModel::Label> CompactViewModel::woodLabels(const Snapshot& s)
{
    std::vector<Label> labels = {
        {"ADC_4", text(s, 37)},       {"ADC_E4", flag(s, 40, 4)},
        {"ADC_4Select", text(s, 42)}, {"ADC_4Swap", SwapSign(s.value[41])},
        {"ADC_4Count", text(s, 90)},
    };
    for (int k = 0; k < 8; ++k) {
        labels.push_back({named("U_W", k), text(s, 72 + k)});
        labels.push_back({named("U_AW", k), text(s, 80 + k)});
        labels.push_back({named("U_DW", k), flag(s, 88, k)});
        labels.push_back({named("U_EW", k), flag(s, 89, k)});
        labels.push_back({named("Val_W", k), text(s, 91 + k)});
        labels.push_back({named("V_WD", k), flag(s, 99, k)});
        labels.push_back({named("V_WE", k), flag(s, 100, k)});
        labels.push_back({named("LST", k), ProbeConfigText(s.value[configEntry(k)])});
        // Both words as unsigned 16-bit numbers: the difference is not wrapped.
        const int bias = static_cast<std::uint16_t>(s.value[11 + static_cast<std::size_t>(k)])
                         - static_cast<std::uint16_t>(s.value[72 + static_cast<std::size_t>(k)]);
        labels.push_back({named("BiasW", k), std::to_string(bias)});
    }
    return labels;
}

const std::vector<CompactViewModel::Edit>& CompactViewModel::linEdits()
{
    static const std::vector<Edit> edits = [] {
        std::vector<Edit> e;
        for (int r : kLinRows)
            e.push_back({named("Filt", r), static_cast<std::uint8_t>(19 + r)});
        for (int r = 0; r < 4; ++r) {
            e.push_back({named("CalG", r), static_cast<std::uint8_t>(3 + r)});
            e.push_back({named("CalRef", r), static_cast<std::uint8_t>(7 + r)});
        }
        return e;
    }();
    return edits;
}

const std::vector<CompactViewModel::Edit>& CompactViewModel::woodEdits()
{
    static const std::vector<Edit> edits = [] {
        std::vector<Edit> e = {{"CompTemp", kCompTempEntry}, {"Filt4", 23}};
        for (int k = 0; k < 8; ++k)
            e.push_back({named("CalW", k), static_cast<std::uint8_t>(11 + k)});
        return e;
    }();
    return edits;
}

std::uint16_t CompactViewModel::EntryOfEdit(const std::string& name)
{
    for (const auto* edits : {&linEdits(), &woodEdits()})
        for (const Edit& e : *edits)
            if (e.name == name)
                return e.entry;
    return 256;
}

std::string CompactViewModel::voltageLabelOf(std::uint16_t entry)
{
    if (entry >= 3 && entry <= 6)
        return named("U_", entry - 3);
    if (entry >= 7 && entry <= 10)
        return named("U_", entry - 7);
    if (entry >= 11 && entry <= 18)
        return named("U_W", entry - 11);
    return {};
}

} // namespace quell::compact
