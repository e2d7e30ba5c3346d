#include "view/MeasurementViewModel.h"

#include "protocol/UCommands.h"
#include "view/DisplayHelpers.h"

namespace quell {

using namespace vrqpb;

namespace {

// A flag mark, or nothing when the description has no such entry.
std::string mark(const ViewSnapshot& s, Entry entry, int bit)
{
    return s.has(entry) ? FlagMark(s.value(entry), bit) : std::string();
}

} // namespace

MeasurementViewModel::MeasurementViewModel()
{
    for (std::size_t i = 0; i < kIndicators.size(); ++i) {
        indicators_[i].colour = kIndicators[i].colour;
    }
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
    // Made of the same values, texts and controls, the sections would repeat what the window
    // shows; most answers change nothing on the page, and a refresh runs after every one.
    const bool same = previous_ && previous_->first == s.version() && previous_->second == controls;
    previous_.emplace(s.version(), controls);
    if (controls.page == ViewPage::Merenje) {
        if (!same) {
            refreshIndicators(s);
            out.indicatorsUpdated = true;
        }
        return out;
    }
    if (controls.page != ViewPage::Detalji) {
        return out;
    }
    if (controls.linEnabled && !same) {
        out.lin = linRows(s);
    }
    if (controls.woodEnabled) {
        out.beep =
            controls.beepChecked && s.has(kWoodSelect) && s.value(kWoodSelect) == kWoodSelectBeep;
        out.zeroCompensation =
            !controls.compTempFocused && controls.keepZeroChecked && s.value(kCompTemp) != 0;
        if (!same) {
            WoodHeaderTexts header;
            header.adcError = mark(s, kAdcErrorA, kAdcErrorWoodBit);
            header.select = s.text(kWoodSelect);
            header.swap = s.has(kWoodSwap) ? SwapSign(s.value(kWoodSwap)) : std::string();
            header.count = s.text(kWoodCount);
            if (!controls.compTempFocused) {
                header.compTemp = s.text(kCompTemp);
            }
            header.filter = s.text(kFilterWood);
            out.woodHeader = std::move(header);
            out.wood = woodRows(s);
        }
    }
    return out;
}

void MeasurementViewModel::refreshIndicators(const ViewSnapshot& s)
{
    for (std::size_t i = 0; i < kIndicators.size(); ++i) {
        const auto& info = kIndicators[i];
        auto& state = indicators_[i];
        if (info.woodChannel >= 0) {
            const auto probe = s.value(static_cast<Entry>(kProbeConfigFirst + info.woodChannel));
            state.colour =
                IsPassiveTypeZero(probe) ? IndicatorColour::Grey : IndicatorColour::Olive;
        }
        state.text = ShowFlaggedValue(s.value(info.error), s.value(info.done), info.bit,
                                      s.text(info.text), state.text);
    }
}

std::array<LinRowTexts, 10> MeasurementViewModel::linRows(const ViewSnapshot& s) const
{
    std::array<LinRowTexts, 10> rows;
    for (std::size_t r = 0; r < kLinChannels.size(); ++r) {
        const auto& ch = kLinChannels[r];
        auto& row = rows[r];
        row.adcError = mark(s, ch.adcError, ch.adcBit);
        row.voltage = s.text(ch.voltage);
        row.voltDone = mark(s, ch.voltDone, ch.bit);
        row.voltError = mark(s, ch.voltError, ch.bit);
        row.value = s.text(ch.value);
        row.valueDone = mark(s, ch.valueDone, ch.bit);
        row.valueError = mark(s, ch.valueError, ch.bit);
        row.filter = s.text(static_cast<Entry>(kFilterFirst + ch.channel));
        for (int p = 0; p < ch.calCount; ++p) {
            row.cal.push_back(s.text(static_cast<Entry>(ch.calFirst + p)));
        }
    }
    return rows;
}

std::array<WoodRowTexts, kWoodChannels> MeasurementViewModel::woodRows(const ViewSnapshot& s) const
{
    std::array<WoodRowTexts, kWoodChannels> rows;
    for (int i = 0; i < kWoodChannels; ++i) {
        auto& row = rows[static_cast<std::size_t>(i)];
        const auto voltage = static_cast<Entry>(kWoodVoltFirst + i);
        const auto constant = static_cast<Entry>(kCalWoodFirst + i);
        const auto probe = static_cast<Entry>(kProbeConfigFirst + i);
        row.voltage = s.text(voltage);
        row.voltDone = mark(s, kWoodVoltDone, i);
        row.voltError = mark(s, kWoodVoltError, i);
        row.value = s.text(static_cast<Entry>(kWoodValueFirst + i));
        row.valueDone = mark(s, kWoodValueDone, i);
        row.valueError = mark(s, kWoodValueError, i);
        row.config = s.has(probe) ? ProbeConfigText(s.value(probe)) : std::string();
        row.calib = s.text(constant);
        row.deviation = s.has(constant) && s.has(voltage)
                            ? WoodDeviation(s.value(constant), s.value(voltage))
                            : std::string();
    }
    return rows;
}

void ZeroCompensation(TProtocol& table)
{
    if (auto* entry = table.entryAt(kCompTemp)) {
        entry->Value = 0;
        entry->ValueText = "0";
    }
}

} // namespace quell
