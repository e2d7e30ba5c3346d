#include "view/MeasurementViewModel.h"

#include "protocol/UCommands.h"
#include "view/DisplayHelpers.h"

#include <charconv>

namespace quell {

using namespace vrqpb;

namespace {

// What a label of the tables shows before the first refresh.
const std::string kEmptyLabel = "-----";

// A flag mark, or nothing when the description has no such entry.
std::string mark(const ViewSnapshot& s, Entry entry, int bit)
{
    return s.has(entry) ? FlagMark(s.value(entry), bit) : std::string();
}

// Sets a shown text and its bit in the change mask.
template <typename Mask>
void show(std::string& shown, std::string text, Mask& changed, unsigned bit)
{
    shown = std::move(text);
    changed = static_cast<Mask>(changed | bit);
}

// The number that ends a control name after its prefix, or -1.
int suffixNumber(std::string_view name, std::string_view prefix)
{
    if (name.substr(0, prefix.size()) != prefix) {
        return -1;
    }
    const auto digits = name.substr(prefix.size());
    int number = -1;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return error == std::errc() && end == digits.data() + digits.size() ? number : -1;
}

} // namespace

MeasurementViewModel::MeasurementViewModel()
{
    for (std::size_t i = 0; i < kIndicators.size(); ++i) {
        indicators_[i].colour = kIndicators[i].colour;
    }
    for (std::size_t r = 0; r < kLinChannels.size(); ++r) {
        auto& row = lin_[r];
        for (auto* label : {&row.adcError, &row.voltage, &row.voltDone, &row.voltError, &row.value,
                            &row.valueDone, &row.valueError}) {
            *label = kEmptyLabel;
        }
        row.cal.resize(static_cast<std::size_t>(kLinChannels[r].calCount));
    }
    for (auto& row : wood_) {
        for (auto* label : {&row.voltage, &row.voltDone, &row.voltError, &row.value, &row.valueDone,
                            &row.valueError, &row.config, &row.deviation}) {
            *label = kEmptyLabel;
        }
    }
    for (auto* label : {&header_.adcError, &header_.select, &header_.swap, &header_.count}) {
        *label = kEmptyLabel;
    }
    header_.compTemp.emplace();
}

bool MeasurementViewModel::needsCells(const ViewControls& controls)
{
    return controls.page == ViewPage::Merenje
           || (controls.page == ViewPage::Detalji && (controls.linEnabled || controls.woodEnabled));
}

ViewRefresh MeasurementViewModel::refresh(const ViewSnapshot& s, const ViewControls& controls)
{
    ViewRefresh out;
    out.databaseReady = s.allValid();
    // Other controls may show a page or group that was not drawn, or give back an edit the
    // operator left: the active page is drawn whole. Otherwise only what the snapshot stamped
    // since the last refresh is drawn again; most answers change nothing on the page.
    const Changes changed{s, !previous_ || *previous_ != controls, drawnAt_};
    previous_ = controls;
    drawnAt_ = ViewSnapshot::latestStamp();
    if (controls.page == ViewPage::Merenje) {
        refreshIndicators(changed, out.indicatorsChanged);
        out.indicatorsUpdated = out.indicatorsChanged.any();
        return out;
    }
    if (controls.page != ViewPage::Detalji) {
        return out;
    }
    if (controls.linEnabled) {
        refreshLin(changed, out.linChanged);
    }
    if (controls.woodEnabled) {
        out.beep =
            controls.beepChecked && s.has(kWoodSelect) && s.value(kWoodSelect) == kWoodSelectBeep;
        out.zeroCompensation =
            !controls.compTempFocused && controls.keepZeroChecked && s.value(kCompTemp) != 0;
        refreshWood(changed, controls, out);
    }
    bool pageChanged = changed.all || out.woodHeaderChanged != 0;
    for (const auto mask : out.linChanged) {
        pageChanged = pageChanged || mask != 0;
    }
    for (const auto mask : out.woodChanged) {
        pageChanged = pageChanged || mask != 0;
    }
    // The sections stand for the page: present when anything on it is new.
    if (pageChanged && controls.linEnabled) {
        out.lin = ShownSection(lin_);
    }
    if (pageChanged && controls.woodEnabled) {
        out.woodHeader = ShownSection(header_);
        out.wood = ShownSection(wood_);
    }
    return out;
}

void MeasurementViewModel::refreshIndicators(const Changes& changed, std::bitset<18>& shown)
{
    const ViewSnapshot& s = changed.snapshot;
    for (std::size_t i = 0; i < kIndicators.size(); ++i) {
        const auto& info = kIndicators[i];
        const auto probe = static_cast<Entry>(kProbeConfigFirst + info.woodChannel);
        const bool probeChanged = info.woodChannel >= 0 && changed(probe);
        if (!probeChanged && !changed(info.error) && !changed(info.done) && !changed(info.text)) {
            continue;
        }
        auto& state = indicators_[i];
        if (info.woodChannel >= 0) {
            state.colour =
                IsPassiveTypeZero(s.value(probe)) ? IndicatorColour::Grey : IndicatorColour::Olive;
        }
        state.text = ShowFlaggedValue(s.value(info.error), s.value(info.done), info.bit,
                                      s.text(info.text), state.text);
        shown.set(i);
    }
}

void MeasurementViewModel::refreshLin(const Changes& changed, std::array<std::uint16_t, 10>& shown)
{
    using F = LinRowTexts::Field;
    const ViewSnapshot& s = changed.snapshot;
    for (std::size_t r = 0; r < kLinChannels.size(); ++r) {
        const auto& ch = kLinChannels[r];
        auto& row = lin_[r];
        auto& mask = shown[r];
        if (changed(ch.adcError)) {
            show(row.adcError, mark(s, ch.adcError, ch.adcBit), mask, F::AdcError);
        }
        if (changed(ch.voltage)) {
            show(row.voltage, s.text(ch.voltage), mask, F::Voltage);
        }
        if (changed(ch.voltDone)) {
            show(row.voltDone, mark(s, ch.voltDone, ch.bit), mask, F::VoltDone);
        }
        if (changed(ch.voltError)) {
            show(row.voltError, mark(s, ch.voltError, ch.bit), mask, F::VoltError);
        }
        if (changed(ch.value)) {
            show(row.value, s.text(ch.value), mask, F::Value);
        }
        if (changed(ch.valueDone)) {
            show(row.valueDone, mark(s, ch.valueDone, ch.bit), mask, F::ValueDone);
        }
        if (changed(ch.valueError)) {
            show(row.valueError, mark(s, ch.valueError, ch.bit), mask, F::ValueError);
        }
        const auto filter = static_cast<Entry>(kFilterFirst + ch.channel);
        if (changed(filter)) {
            show(row.filter, s.text(filter), mask, F::Filter);
        }
        for (int p = 0; p < ch.calCount; ++p) {
            const auto cal = static_cast<Entry>(ch.calFirst + p);
            if (changed(cal)) {
                show(row.cal[static_cast<std::size_t>(p)], s.text(cal), mask,
                     1u << (LinRowTexts::kCalBit + p));
            }
        }
    }
}

void MeasurementViewModel::refreshWood(const Changes& changed, const ViewControls& controls,
                                       ViewRefresh& out)
{
    using H = WoodHeaderTexts::Field;
    using F = WoodRowTexts::Field;
    const ViewSnapshot& s = changed.snapshot;
    auto& header = out.woodHeaderChanged;
    if (changed(kAdcErrorA)) {
        show(header_.adcError, mark(s, kAdcErrorA, kAdcErrorWoodBit), header, H::AdcError);
    }
    if (changed(kWoodSelect)) {
        show(header_.select, s.text(kWoodSelect), header, H::Select);
    }
    if (changed(kWoodSwap)) {
        show(header_.swap, s.has(kWoodSwap) ? SwapSign(s.value(kWoodSwap)) : std::string(), header,
             H::Swap);
    }
    if (changed(kWoodCount)) {
        show(header_.count, s.text(kWoodCount), header, H::Count);
    }
    // A focused CompTemp is the operator's; it is given back (drawn whole) when the focus leaves.
    if (controls.compTempFocused) {
        header_.compTemp.reset();
    } else if (changed(kCompTemp)) {
        header_.compTemp = s.text(kCompTemp);
        header = static_cast<std::uint8_t>(header | H::CompTemp);
    }
    if (changed(kFilterWood)) {
        show(header_.filter, s.text(kFilterWood), header, H::Filter);
    }
    for (int i = 0; i < kWoodChannels; ++i) {
        const auto index = static_cast<std::size_t>(i);
        auto& row = wood_[index];
        auto& mask = out.woodChanged[index];
        const auto voltage = static_cast<Entry>(kWoodVoltFirst + i);
        const auto value = static_cast<Entry>(kWoodValueFirst + i);
        const auto constant = static_cast<Entry>(kCalWoodFirst + i);
        const auto probe = static_cast<Entry>(kProbeConfigFirst + i);
        if (changed(voltage)) {
            show(row.voltage, s.text(voltage), mask, F::Voltage);
        }
        if (changed(kWoodVoltDone)) {
            show(row.voltDone, mark(s, kWoodVoltDone, i), mask, F::VoltDone);
        }
        if (changed(kWoodVoltError)) {
            show(row.voltError, mark(s, kWoodVoltError, i), mask, F::VoltError);
        }
        if (changed(value)) {
            show(row.value, s.text(value), mask, F::Value);
        }
        if (changed(kWoodValueDone)) {
            show(row.valueDone, mark(s, kWoodValueDone, i), mask, F::ValueDone);
        }
        if (changed(kWoodValueError)) {
            show(row.valueError, mark(s, kWoodValueError, i), mask, F::ValueError);
        }
        if (changed(probe)) {
            show(row.config, s.has(probe) ? ProbeConfigText(s.value(probe)) : std::string(), mask,
                 F::Config);
        }
        if (changed(constant)) {
            show(row.calib, s.text(constant), mask, F::Calib);
        }
        if (changed(constant) || changed(voltage)) {
            show(row.deviation,
                 s.has(constant) && s.has(voltage)
                     ? WoodDeviation(s.value(constant), s.value(voltage))
                     : std::string(),
                 mask, F::Deviation);
        }
    }
}

std::string MeasurementViewModel::shownText(std::string_view label) const
{
    if (const int i = suffixNumber(label, "Val_W"); i >= 0 && i < kWoodChannels) {
        return wood_[static_cast<std::size_t>(i)].value;
    }
    if (const int i = suffixNumber(label, "U_W"); i >= 0 && i < kWoodChannels) {
        return wood_[static_cast<std::size_t>(i)].voltage;
    }
    const int valueChannel = suffixNumber(label, "Val_");
    const int voltageChannel = suffixNumber(label, "U_");
    for (std::size_t r = 0; r < kLinChannels.size(); ++r) {
        if (kLinChannels[r].channel == valueChannel) {
            return lin_[r].value;
        }
        if (kLinChannels[r].channel == voltageChannel) {
            return lin_[r].voltage;
        }
    }
    return {};
}

void ZeroCompensation(TProtocol& table)
{
    if (auto* entry = table.entryAt(kCompTemp)) {
        entry->Value = 0;
        entry->ValueText = "0";
    }
}

} // namespace quell
