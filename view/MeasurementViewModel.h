#pragma once

#include "view/ViewChannels.h"
#include "view/ViewSnapshot.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quell {

class TProtocol;

// The pages of the view, by index.
enum class ViewPage { Merenje = 0, Detalji = 1, Kalibracija = 2 };

// The state of the window's controls a refresh depends on.
struct ViewControls {
    ViewPage page = ViewPage::Merenje;
    bool linEnabled = true;       // group "Lin"
    bool woodEnabled = true;      // group "Wood"
    bool beepChecked = false;     // "Beep"
    bool keepZeroChecked = false; // "Keep zero compensation"
    bool compTempFocused = false; // the CompTemp edit is being typed in
    // The control with the keyboard focus, compared only: an edit the operator leaves without
    // Enter must be filled again even when nothing else changed.
    const void* focused = nullptr;

    bool operator==(const ViewControls&) const = default;
};

// What an indicator on "Merenje" shows.
struct IndicatorState {
    std::string text;
    vrqpb::IndicatorColour colour = vrqpb::IndicatorColour::Navy;
};

// One row of group "Lin". Edit texts are given always; the window leaves focused edits alone.
struct LinRowTexts {
    std::string adcError, voltage, voltDone, voltError, value, valueDone, valueError, filter;
    std::vector<std::string> cal;
    // The fields as bits of a change mask: the labels left to right, the filter, then Cal edit p
    // at bit kCalBit + p.
    enum Field : std::uint16_t {
        AdcError = 1u << 0,
        Voltage = 1u << 1,
        VoltDone = 1u << 2,
        VoltError = 1u << 3,
        Value = 1u << 4,
        ValueDone = 1u << 5,
        ValueError = 1u << 6,
        Filter = 1u << 7,
    };
    static constexpr int kCalBit = 8;
};

// One row of group "Wood".
struct WoodRowTexts {
    std::string voltage, voltDone, voltError, value, valueDone, valueError, config, calib,
        deviation;
    enum Field : std::uint16_t {
        Voltage = 1u << 0,
        VoltDone = 1u << 1,
        VoltError = 1u << 2,
        Value = 1u << 3,
        ValueDone = 1u << 4,
        ValueError = 1u << 5,
        Config = 1u << 6,
        Calib = 1u << 7,
        Deviation = 1u << 8,
    };
};

// The header line of group "Wood". compTemp is empty while the edit has the focus.
struct WoodHeaderTexts {
    std::string adcError, select, swap, count, filter;
    std::optional<std::string> compTemp;
    enum Field : std::uint8_t {
        AdcError = 1u << 0,
        Select = 1u << 1,
        Swap = 1u << 2,
        Count = 1u << 3,
        CompTemp = 1u << 4,
        Filter = 1u << 5,
    };
};

// A section of the page as the model shows it after a refresh; absent when the refresh left the
// section alone.
template <typename T> class ShownSection {
public:
    ShownSection() = default;
    explicit ShownSection(const T& texts) : texts_(&texts) {}
    // Named like std::optional's, which it stands in for without copying the texts.
    bool has_value() const { return texts_ != nullptr; } // NOLINT(readability-identifier-naming)
    explicit operator bool() const { return has_value(); }
    const T& operator*() const { return *texts_; }
    const T* operator->() const { return texts_; }

private:
    const T* texts_ = nullptr;
};

// Everything one refresh changes on the window. The sections of inactive pages and disabled
// groups are absent, and so are all sections when nothing the page shows changed and the
// controls are as at the previous refresh. Within a section the change masks say which texts are
// new; the window sets those and nothing else. The beep and the compensation come with every
// refresh that asks for them.
struct ViewRefresh {
    bool databaseReady = false;        // hint "može" rather than "još čitam"
    bool indicatorsUpdated = false;    // indicators() holds new states
    std::bitset<18> indicatorsChanged; // which ones
    ShownSection<std::array<LinRowTexts, 10>> lin;
    std::array<std::uint16_t, 10> linChanged{}; // LinRowTexts::Field bits per row
    ShownSection<WoodHeaderTexts> woodHeader;
    std::uint8_t woodHeaderChanged = 0; // WoodHeaderTexts::Field bits
    ShownSection<std::array<WoodRowTexts, vrqpb::kWoodChannels>> wood;
    std::array<std::uint16_t, vrqpb::kWoodChannels>
        woodChanged{};             // WoodRowTexts::Field bits per row
    bool beep = false;             // one information beep
    bool zeroCompensation = false; // push the compensation back to zero
};

// The display state of the measurement view and the rules that turn the table into texts and
// colours. It keeps what the page shows: the indicator texts, since an indicator keeps its text
// while its channel is neither done nor in error, and the texts of the "Detalji" tables, which
// the trend chart samples and "Get Cal" copies. A refresh recomputes only what the snapshot
// stamped as changed since the last one; new controls (another page, a group switched, the focus
// moved) redraw the active page whole. No widgets: the window applies what refresh() returns.
class MeasurementViewModel {
public:
    // Indicators start with empty texts in their form colours, the tables' labels with "-----".
    MeasurementViewModel();

    // One refresh, for the active page and enabled groups only.
    ViewRefresh refresh(const ViewSnapshot& snapshot, const ViewControls& controls);
    // The indicators in the order of vrqpb::kIndicators.
    const std::array<IndicatorState, 18>& indicators() const { return indicators_; }
    // What the "Detalji" tables show.
    const std::array<LinRowTexts, 10>& linRows() const { return lin_; }
    const std::array<WoodRowTexts, vrqpb::kWoodChannels>& woodRows() const { return wood_; }
    const WoodHeaderTexts& woodHeader() const { return header_; }
    // The text a voltage or value label of "Detalji" shows (U_c, Val_c, U_Wi, Val_Wi); empty
    // for other names.
    std::string shownText(std::string_view label) const;

    // Whether a refresh of these controls reads the value cells (the Kalibracija page does not).
    static bool needsCells(const ViewControls& controls);

private:
    // Which entries a refresh draws again: all of them, or those changed since a stamp.
    struct Changes {
        const ViewSnapshot& snapshot;
        bool all;
        std::uint64_t since;
        bool operator()(vrqpb::Entry entry) const
        {
            return all || snapshot.changedSince(entry, since);
        }
    };
    void refreshIndicators(const Changes& changed, std::bitset<18>& shown);
    void refreshLin(const Changes& changed, std::array<std::uint16_t, 10>& shown);
    void refreshWood(const Changes& changed, const ViewControls& controls, ViewRefresh& out);

    std::array<IndicatorState, 18> indicators_;
    std::array<LinRowTexts, 10> lin_;
    std::array<WoodRowTexts, vrqpb::kWoodChannels> wood_;
    WoodHeaderTexts header_;
    // The stamp the previous refresh was up to date with, and its controls.
    std::uint64_t drawnAt_ = 0;
    std::optional<ViewControls> previous_;
};

// What the view does to the table when it pushes the compensation back to zero: the entry's raw
// value and text become 0 before the write goes out, so the next refresh sees no compensation
// until the board reports one again.
void ZeroCompensation(TProtocol& table);

} // namespace quell
