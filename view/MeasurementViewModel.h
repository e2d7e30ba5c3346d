#pragma once

#include "view/ViewChannels.h"
#include "view/ViewSnapshot.h"

#include <array>
#include <optional>
#include <string>
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
};

// One row of group "Wood".
struct WoodRowTexts {
    std::string voltage, voltDone, voltError, value, valueDone, valueError, config, calib,
        deviation;
};

// The header line of group "Wood". compTemp is empty when the edit has the focus.
struct WoodHeaderTexts {
    std::string adcError, select, swap, count, filter;
    std::optional<std::string> compTemp;
};

// Everything one refresh changes on the window; the sections of inactive pages and disabled
// groups are absent, and so are all sections when neither the snapshot nor the controls changed
// since the previous refresh (the window still shows them). The beep and the compensation come
// with every refresh that asks for them.
struct ViewRefresh {
    bool databaseReady = false;     // hint "može" rather than "još čitam"
    bool indicatorsUpdated = false; // indicators() holds new states
    std::optional<std::array<LinRowTexts, 10>> lin;
    std::optional<WoodHeaderTexts> woodHeader;
    std::optional<std::array<WoodRowTexts, vrqpb::kWoodChannels>> wood;
    bool beep = false;             // one information beep
    bool zeroCompensation = false; // push the compensation back to zero
};

// The display state of the measurement view and the rules that turn the table into texts and
// colours. It keeps the indicator texts, since an indicator keeps its text while its channel is
// neither done nor in error. No widgets: the window applies what refresh() returns.
class MeasurementViewModel {
public:
    // Indicators start with empty texts in their form colours.
    MeasurementViewModel();

    // One refresh after an answer line, for the active page and enabled groups only.
    ViewRefresh refresh(const ViewSnapshot& snapshot, const ViewControls& controls);
    // The indicators in the order of vrqpb::kIndicators.
    const std::array<IndicatorState, 18>& indicators() const { return indicators_; }

    // Whether a refresh of these controls reads the value cells (the Kalibracija page does not).
    static bool needsCells(const ViewControls& controls);

private:
    void refreshIndicators(const ViewSnapshot& s);
    std::array<LinRowTexts, 10> linRows(const ViewSnapshot& s) const;
    std::array<WoodRowTexts, vrqpb::kWoodChannels> woodRows(const ViewSnapshot& s) const;

    std::array<IndicatorState, 18> indicators_;
    // What the previous refresh was made of: snapshot version and controls.
    std::optional<std::pair<std::uint64_t, ViewControls>> previous_;
};

// What the view does to the table when it pushes the compensation back to zero: the entry's raw
// value and text become 0 before the write goes out, so the next refresh sees no compensation
// until the board reports one again.
void ZeroCompensation(TProtocol& table);

} // namespace quell
