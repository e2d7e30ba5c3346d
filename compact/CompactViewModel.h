#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quell::compact {

class CompactScheduler;

// The digit colours of the compact view's indicators.
enum class DigitColour { Red, Navy, Olive, Gray };

// What the compact view shows, without a display: which entry each indicator, label and edit
// reads (the entry numbers are fixed by the compact board's description), the indicator rules,
// and the texts of the channel tables. The window asks for a snapshot after every answer line
// and puts the texts into its controls by object name.
class CompactViewModel {
public:
    // The value cells and raw values of every entry, taken under one lock.
    struct Snapshot {
        std::array<std::string, 256> text;
        std::array<std::int16_t, 256> value{};
        // A snapshot of the scheduler's cells and table.
        static Snapshot of(const CompactScheduler& scheduler);
    };

    // One indicator's next text and digit colour.
    struct Indicator {
        const char* name;
        std::string text;
        DigitColour colour;
    };

    // The indicators of "LEDMeasure" in refresh order (LedEMC1, LedTemp1, LedEMC2, LedTemp2,
    // LedMC1..LedMC8): "Error" when the error bit is set, the value text when the done bit is,
    // else what shown(name) gives. A wood indicator is gray for a passive probe without a tip,
    // olive otherwise; LedMC7 and LedMC8 are gray and start blank while bit 4 of entry 32 is
    // clear (the board has only six wood inputs then).
    static std::vector<Indicator> measure(const Snapshot& s,
                                          const std::function<std::string(const char*)>& shown);

    // One label of the channel tables and its text.
    struct Label {
        std::string name;
        std::string text;
    };
    // The labels of the "Lin" group (analog channels) and of the "Wood" group.
    static std::vector<Label> linLabels(const Snapshot& s);
    static std::vector<Label> woodLabels(const Snapshot& s);

    // An edit and the entry it shows and writes.
    struct Edit {
        std::string name;
        std::uint8_t entry;
    };
    // The edits of the "Lin" group (Filt0-3, Filt5, Filt6, CalG0-3, CalRef0-3) and of the
    // "Wood" group (CompTemp, Filt4, CalW0-7).
    static const std::vector<Edit>& linEdits();
    static const std::vector<Edit>& woodEdits();
    // The entry of an edit by its name; 256 for any other control.
    static std::uint16_t EntryOfEdit(const std::string& name);
    // The voltage label whose text "Get Cal" takes for a calibration entry ("" for none): the
    // row's "Napon(mV)" for CalGnd and CalRef, the input's voltage for the wood constants.
    static std::string voltageLabelOf(std::uint16_t entry);

    // The entry of the compensation temperature that "Keep zero compensation" holds at zero.
    static constexpr std::uint8_t kCompTempEntry = 109;
    // The configuration entry of wood input k (0-7).
    static constexpr std::uint8_t configEntry(int k) { return static_cast<std::uint8_t>(101 + k); }
};

} // namespace quell::compact
