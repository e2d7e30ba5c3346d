#include "sim/VrqPbBoard.h"

#include "boards/VrqPbEntryMap.h"

#include <algorithm>
#include <cmath>

namespace quell::sim {

namespace {

// The board's entries, under the names the rest of the system uses.
using vrqpb::kAdcErrorA;
using vrqpb::kAdcErrorB;
using vrqpb::kBoardTemp;
using vrqpb::kCompTemp;
using vrqpb::kFilterWood;
using vrqpb::kOperatingHours;
using vrqpb::kProbeLimit;
using vrqpb::kResetCounters;
using vrqpb::kSaveSettings;
using vrqpb::kSelectEmc1;
using vrqpb::kSelectMcR;
using vrqpb::kSelectMcS;
using vrqpb::kSelectRoute;
using vrqpb::kSelectRouteR;
using vrqpb::kStatus;
using vrqpb::kSupply;
using vrqpb::kSwapPeriod;
using vrqpb::kUReference;
using vrqpb::kWatchdogResets;
using vrqpb::kWoodCount;
constexpr vrqpb::Entry kSwapState = vrqpb::kWoodSwap;
constexpr vrqpb::Entry kWoodInput = vrqpb::kWoodSelect;
constexpr vrqpb::Entry kWoodDone = vrqpb::kWoodVoltDone;
constexpr vrqpb::Entry kWoodError = vrqpb::kWoodVoltError;
constexpr vrqpb::Entry kWoodVoltage = vrqpb::kWoodVoltFirst;
using vrqpb::kWoodValueDone;
using vrqpb::kWoodValueError;
constexpr vrqpb::Entry kWoodValue = vrqpb::kWoodValueFirst;
constexpr vrqpb::Entry kProbe = vrqpb::kProbeConfigFirst;

constexpr int kWood0 = 11;
constexpr int kFlickerPerMille = 1; // how often a settled sample is a count high, and a count low
// An opened input keeps showing its last measurement until the end of a swap cycle at least this
// many samples (200 ms) after it was opened: a test reads the value right after the switch.
constexpr int kOpenHoldSamples = 4;
constexpr double kFullScale = 30000.0;

// Per linear channel 0..10: first calibration constant, selector (0 = none), EMC or temperature,
// the board's own gain and offset (mV), and the temperature it sees when nothing is switched.
struct LinearChannel {
    std::uint16_t cal;
    std::uint16_t select;
    bool emc;
    double gain;
    double offset;
    double ambient;
};
constexpr std::array<LinearChannel, 11> kLinear{{
    {vrqpb::kCalEmc1First, vrqpb::kSelectEmc1, true, 1.031, -14.0, 0},
    {vrqpb::kCalTemp1First, vrqpb::kSelectTemp1, false, 0.982, 6.0, 0},
    {vrqpb::kCalEmc2First, vrqpb::kSelectEmc2, true, 0.974, 9.0, 0},
    {vrqpb::kCalTemp2First, vrqpb::kSelectTemp2, false, 1.016, -4.0, 0},
    {0, 0, false, 1, 0, 0},
    {vrqpb::kCalTemp2First + 3, 0, false, 0.991, 3.0, 21.5},
    {vrqpb::kCalTemp2First + 6, 0, false, 1.008, -2.0, 22.0},
    {vrqpb::kCalTemp2First + 9, 0, false, 0.995, 5.0, 18.0},
    {vrqpb::kCalTemp2First + 12, 0, false, 1.012, -6.0, 18.5},
    {vrqpb::kCalTemp2First + 15, 0, false, 0.987, 2.0, 19.0},
    {vrqpb::kCalTemp2First + 18, 0, false, 1.004, -3.0, 19.5},
}};
constexpr std::array<double, 8> kWoodGain{1.012, 0.968, 1.027, 0.991, 0.955, 1.018, 0.979, 1.003};

// The calibrator's "open" position still leaks through its relays and cables (log10 of ohms).
constexpr double kEmcOpenLog = 11.757;
constexpr double kWoodOpenLog = 12.018;
// What the board makes of the references: EMC in hundredths of a percent at 10K..100G, wood
// moisture in hundredths of a percent at 10K..100G.
constexpr std::array<double, 8> kEmcTable{4200, 3500, 2800, 2100, 1700, 1350, 1080, 740};
constexpr std::array<double, 8> kWoodTable{9820, 5430, 2880, 2230, 1830, 1480, 1190, 880};
// Temperature references of the selector items (degrees C); item 0 shorts the input.
constexpr std::array<double, 8> kTempRefs{0, -25, 0, 25, 50, 75, 100, 150};
constexpr std::array<double, 8> kProbeFactor{1.0, 0.96, 1.04, 1.08, 1.12, 1.0, 1.0, 1.0};

bool bit(std::int32_t v, int k)
{
    return (v >> k) & 1;
}

void setBit(std::int32_t& v, int k, bool on)
{
    v = on ? (v | (1 << k)) : (v & ~(1 << k));
}

// log10 of the resistance of a set of parallel resistors (bit k: 10^(4+k) ohm) plus leakage.
double logResistance(std::int32_t code, double openLog)
{
    double g = std::pow(10.0, -openLog);
    for (int k = 0; k < 8; ++k)
        if (bit(code, k))
            g += std::pow(10.0, -(4 + k));
    return -std::log10(g);
}

double emcVolts(double logR)
{
    return 2600.0 - 300.0 * (logR - 4.0);
}
// The wood curve keeps the 10K reference near 2.5 V: under the default probe limit (2.9 V), with
// room for a board that reads high.
double woodVolts(double logR)
{
    return 2500.0 - 250.0 * (logR - 4.0);
}
double woodLog(double mv)
{
    return 4.0 + (2500.0 - mv) / 250.0;
}
double tempVolts(double t)
{
    return 1000.0 + 8.0 * t;
}

// y at x on the polyline through (xs[i], ys[i]), extended beyond its ends along its end segments.
template <std::size_t N>
double polyline(const std::array<double, N>& xs, const std::array<double, N>& ys, double x)
{
    const bool rising = xs[N - 1] >= xs[0];
    std::size_t i = 0;
    while (i + 2 < N && (rising ? x > xs[i + 1] : x < xs[i + 1]))
        ++i;
    const double dx = xs[i + 1] - xs[i];
    if (std::abs(dx) < 1e-9)
        return ys[i];
    return ys[i] + (ys[i + 1] - ys[i]) * (x - xs[i]) / dx;
}

// Where a linear channel (0..3, 5..10) reports: voltage and value, their done and error flags, and
// its bit in them.
struct LinearEntries {
    vrqpb::Entry uDone, uError, voltage, vDone, vError, value;
    int bit;
};
LinearEntries linearEntries(int c)
{
    using namespace vrqpb;
    if (c < 4)
        return {kVoltDoneA,
                kVoltErrorA,
                static_cast<Entry>(kVoltFirstA + c),
                kValueDoneA,
                kValueErrorA,
                static_cast<Entry>(kValueFirstA + c),
                c};
    const int b = c - 5;
    return {kVoltDoneB,
            kVoltErrorB,
            static_cast<Entry>(kVoltFirstB + b),
            kValueDoneB,
            kValueErrorB,
            static_cast<Entry>(kValueFirstB + b),
            b};
}

// The fault bit of input c (see VrqPbFaults), or -1 for an input without one.
int faultBit(int c)
{
    return c < 4 ? c : c >= kWood0 ? c - kWood0 + 4 : -1;
}

// Time constant of an input driven through a resistance: the high-ohm references are slower, but
// every input settles within one sample, so one swap cycle after a switch all inputs are valid
// (the calibration's quick pass reads them then, once).
double settleSeconds(double logR)
{
    return 0.0005 + 0.0003 * std::max(0.0, logR - 4.0);
}

} // namespace

VrqPbBoard::VrqPbBoard(std::shared_ptr<const TProtocol> description, std::uint8_t address,
                       std::uint32_t seed, VrqPbFaults faults)
    : KestavinDevice("vrq-pb", std::move(description), address), faults_(faults), noise_(seed),
      erratic_(seed ^ 0x5EED5EEDu)
{
    rawRef(1) = 0x5A01;
    rawRef(kOperatingHours) = 1234;
    for (int c = 0; c < static_cast<int>(inputs_.size()); ++c) {
        if (c == 4)
            continue;
        inputs_[c].analog = targetCounts(c);
        markNotValid(c); // nothing is measured before the first samples
    }
}

bool VrqPbBoard::dead(int c) const
{
    const int k = faultBit(c);
    return k >= 0 && (faults_.dead >> k & 1);
}

bool VrqPbBoard::noisy(int c) const
{
    const int k = faultBit(c);
    return k >= 0 && (faults_.noisy >> k & 1);
}

double VrqPbBoard::targetCounts(int c) const
{
    const double high = 1.0 + faults_.offsetPercent / 100.0;
    if (c >= kWood0) {
        const int i = c - kWood0;
        std::int32_t code = 0;
        if (bit(raw(kSelectMcR), i))
            code |= 1 << i;
        if (bit(raw(kSelectMcS), i))
            code |= 1 << 5; // every MC-S position is a 1G resistor
        if (bit(raw(kSelectRoute), i))
            code |= raw(kSelectRouteR) & 0xFF;
        return high * 10.0 * kWoodGain[i] * woodVolts(logResistance(code, kWoodOpenLog));
    }
    const LinearChannel& ch = kLinear[c];
    double mv = 0;
    if (ch.emc) {
        mv = emcVolts(logResistance(raw(ch.select) & 0xFF, kEmcOpenLog));
    } else if (ch.select == 0) {
        mv = tempVolts(ch.ambient);
    } else {
        const std::int32_t code = raw(ch.select) & 0xFF;
        if (code == 0)
            return kFullScale; // open input: the pull-up drives the ADC to full scale
        int k = 0;
        while (!bit(code, k))
            ++k; // with several references switched, the lowest relay wins
        if (k == 0)
            return 0.0; // shorted
        mv = tempVolts(kTempRefs[k]);
    }
    return high * 10.0 * (ch.gain * mv + ch.offset);
}

int VrqPbBoard::filterOf(int c) const
{
    const std::uint16_t entry = c >= kWood0 ? kFilterWood : static_cast<std::uint16_t>(60 + c);
    return std::clamp<int>(raw(entry), 1, 32);
}

void VrqPbBoard::restart(int c, bool opened)
{
    inputs_[c].taken.clear();
    inputs_[c].sinceReset = 0;
    inputs_[c].holding = opened;
    // At once, not at the next sample: a reading asked for right after the switch is not valid.
    // An opened input is different: a board in test is read right after its point is switched
    // out, and still shows what it measured at the point.
    if (!opened)
        markNotValid(c);
}

bool VrqPbBoard::held(int c, bool cycleEnd)
{
    Input& in = inputs_[static_cast<std::size_t>(c)];
    if (!in.holding)
        return false;
    if (!cycleEnd || in.sinceReset < std::max(filterOf(c), kOpenHoldSamples))
        return true;
    in.holding = false;
    return false;
}

void VrqPbBoard::markNotValid(int c)
{
    if (c >= kWood0) {
        const int i = c - kWood0;
        setBit(rawRef(kWoodDone), i, false);
        setBit(rawRef(kWoodValueDone), i, false);
        setBit(rawRef(kWoodError), i, true);
        setBit(rawRef(kWoodValueError), i, true);
        return;
    }
    const LinearEntries e = linearEntries(c);
    setBit(rawRef(e.uDone), e.bit, false);
    setBit(rawRef(e.vDone), e.bit, false);
    setBit(rawRef(e.uError), e.bit, true);
    setBit(rawRef(e.vError), e.bit, true);
}

double VrqPbBoard::average(const Input& in, int filter) const
{
    if (in.taken.empty())
        return in.analog;
    const int n = std::min<int>(filter, static_cast<int>(in.taken.size()));
    double sum = 0;
    for (int k = 0; k < n; ++k)
        sum += in.taken[in.taken.size() - 1 - k];
    return sum / n;
}

void VrqPbBoard::advance(SimTime now)
{
    if (!started_) {
        started_ = true;
        now_ = now;
    }
    // After a long quiet spell only the last few seconds matter: everything has settled by then.
    const SimTime horizon = 200 * kSamplePeriod;
    if (now - now_ > horizon)
        now_ = now - horizon;
    while (now - now_ >= kSamplePeriod) {
        now_ += kSamplePeriod;
        tick();
    }
    jitterNoisy();
    rawRef(kOperatingHours) = 1234 + static_cast<std::int32_t>(now.count() / 3'600'000'000LL);
}

void VrqPbBoard::jitterNoisy()
{
    // A noisy input's converter gives a new, wild reading every time it is asked, however fast,
    // so two readings in a row never agree the way a settled input's do.
    std::uniform_real_distribution<double> jump(-VrqPbFaults::kNoiseCounts,
                                                VrqPbFaults::kNoiseCounts);
    for (int c = 0; c < static_cast<int>(inputs_.size()); ++c) {
        if (!noisy(c))
            continue;
        const double u = std::clamp(inputs_[c].analog + jump(erratic_), 0.0, kFullScale);
        if (c >= kWood0) {
            if (bit(raw(kWoodDone), c - kWood0))
                publishWood(c - kWood0, u);
        } else if (const LinearEntries e = linearEntries(c); bit(raw(e.uDone), e.bit)) {
            publishLinear(c, u);
        }
    }
}

void VrqPbBoard::tick()
{
    std::uniform_int_distribution<int> perMille(0, 999);
    // The swap cycle: idle for 40 % of the period, swapping for 40 %, ready for the rest.
    const long long period = 100'000LL * std::clamp<int>(raw(kSwapPeriod), 1, 60);
    const long long phase = now_.count() % period;
    const std::int32_t state = phase < period * 4 / 10 ? 0 : phase < period * 8 / 10 ? 1 : 2;
    const bool cycleEnd = state == 2 && raw(kSwapState) != 2;
    const double dt = std::chrono::duration<double>(kSamplePeriod).count();
    for (int c = 0; c < static_cast<int>(inputs_.size()); ++c) {
        if (c == 4)
            continue;
        Input& in = inputs_[c];
        const double target = targetCounts(c);
        const double logR = c >= kWood0 || kLinear[c].emc ? 4.0 + (30000.0 - target) / 3000.0 : 4.0;
        in.analog += (target - in.analog) * (1.0 - std::exp(-dt / settleSeconds(logR)));
        // The converter gives whole counts, now and then one off. Rarely enough that the deepest
        // calibration, which wants two equal readings of each input within six swap cycles, finds
        // them on every one of its 64 points as a rule.
        const int draw = perMille(noise_);
        const int flicker = draw < kFlickerPerMille ? -1 : draw >= 1000 - kFlickerPerMille ? 1 : 0;
        in.taken.push_back(std::clamp(std::round(in.analog) + flicker, 0.0, kFullScale));
        if (in.taken.size() > 32)
            in.taken.pop_front();
        ++in.sinceReset;
        if (c < kWood0)
            updateLinear(c, cycleEnd);
    }
    if (cycleEnd)
        woodCycle();
    rawRef(kSwapState) = state;
    rawRef(kBoardTemp) = 65 + static_cast<std::int32_t>(noise_() % 2);
    rawRef(kSupply) = 1199 + static_cast<std::int32_t>(noise_() % 3);
    rawRef(kUReference) = 24999 + static_cast<std::int32_t>(noise_() % 3);
}

void VrqPbBoard::updateLinear(int c, bool cycleEnd)
{
    const Input& in = inputs_[c];
    const int filter = filterOf(c);
    const double u = average(in, filter);
    if (!dead(c) && held(c, cycleEnd))
        return; // the last measurement stays shown
    const bool ready = !dead(c) && in.sinceReset >= filter;
    const LinearEntries e = linearEntries(c);
    const bool saturated = u < 500.0 || u > 29000.0;
    setBit(rawRef(c < 4 ? kAdcErrorA : kAdcErrorB), e.bit, saturated && !kLinear[c].emc);
    setBit(rawRef(e.uDone), e.bit, ready);
    setBit(rawRef(e.uError), e.bit, !ready);
    if (ready)
        publishLinear(c, u);
}

void VrqPbBoard::publishLinear(int c, double u)
{
    const LinearChannel& ch = kLinear[c];
    const LinearEntries e = linearEntries(c);
    rawRef(e.voltage) = static_cast<std::int32_t>(std::lround(u));
    double v = 0;
    double lo = 0;
    double hi = 5000;
    if (ch.emc) {
        std::array<double, 8> cal{};
        std::array<double, 8> pos{};
        for (int k = 0; k < 8; ++k) {
            cal[k] = raw(ch.cal + k);
            pos[k] = k;
        }
        const double x = polyline(cal, pos, u);
        v = polyline(pos, kEmcTable, x);
    } else {
        const std::array<double, 3> cal{static_cast<double>(raw(ch.cal)),
                                        static_cast<double>(raw(ch.cal + 1)),
                                        static_cast<double>(raw(ch.cal + 2))};
        v = polyline(cal, std::array<double, 3>{0, 5000, 10000}, u);
        lo = -8000;
        hi = 20000;
    }
    const bool outside = !(v >= lo && v <= hi);
    v = std::isfinite(v) ? std::clamp(v, lo, hi) : lo;
    rawRef(e.value) = static_cast<std::int32_t>(std::lround(v));
    setBit(rawRef(e.vDone), e.bit, true);
    setBit(rawRef(e.vError), e.bit, outside && ch.emc);
}

void VrqPbBoard::woodCycle()
{
    ++swapCycles_;
    rawRef(kWoodCount) = static_cast<std::int32_t>(swapCycles_ % 32768);
    const int selected = std::clamp<int>(raw(kWoodInput), 0, 7);
    snapshotWood(selected);
    scanInput_ = (scanInput_ + 1) % 8;
    if (scanInput_ == selected)
        scanInput_ = (scanInput_ + 1) % 8;
    snapshotWood(scanInput_);
}

void VrqPbBoard::snapshotWood(int i)
{
    const Input& in = inputs_[kWood0 + i];
    if (dead(kWood0 + i)) {
        markNotValid(kWood0 + i);
        return;
    }
    const std::int32_t probe = raw(kProbe + i) & 0xFF;
    if (probe == vrqpb::kProbePassive) {
        // A passive input without a probe type is switched off.
        setBit(rawRef(kWoodDone), i, false);
        setBit(rawRef(kWoodError), i, false);
        setBit(rawRef(kWoodValueDone), i, false);
        setBit(rawRef(kWoodValueError), i, false);
        return;
    }
    // Wood inputs are measured at the end of a swap cycle only.
    if (held(kWood0 + i, true))
        return; // the last measurement stays shown
    const int filter = filterOf(kWood0 + i);
    const double u = average(in, filter);
    const bool ready = in.sinceReset >= filter;
    const bool overLimit = u > raw(kProbeLimit);
    setBit(rawRef(kWoodDone), i, ready);
    setBit(rawRef(kWoodError), i, !ready || overLimit);
    setBit(rawRef(kAdcErrorA), 4, overLimit);
    if (!ready)
        return;
    publishWood(i, u);
    // The value is valid whenever the measurement is, even where constants far off put it beyond
    // 0..100 % (it is shown clamped): the calibration waits for this bit to take the voltage, so
    // a board with wrong constants must still be calibratable.
    setBit(rawRef(kWoodValueDone), i, true);
    setBit(rawRef(kWoodValueError), i, overLimit);
}

double VrqPbBoard::woodMoisture(int i, double u) const
{
    // One constant per input: the voltage it showed at its own reference resistor.
    const double cal = std::max(1.0, static_cast<double>(raw(52 + i)));
    const double nominal = 10.0 * woodVolts(logResistance(1 << i, kWoodOpenLog));
    const double logR = woodLog(u * nominal / cal / 10.0);
    // The moisture table holds at the references as the calibrator presents them, leakage and all.
    std::array<double, 8> decades{};
    for (int k = 0; k < 8; ++k)
        decades[k] = logResistance(1 << k, kWoodOpenLog);
    const std::int32_t probe = raw(kProbe + i) & 0xFF;
    const double mc = polyline(decades, kWoodTable, logR) * kProbeFactor[probe & 7];
    const double comp = raw(kCompTemp) / 10.0;
    return mc * std::max(0.1, 1.0 - 0.006 * comp);
}

void VrqPbBoard::publishWood(int i, double u)
{
    rawRef(kWoodVoltage + i) = static_cast<std::int32_t>(std::lround(u));
    const double mc = woodMoisture(i, u);
    rawRef(kWoodValue + i) = static_cast<std::int32_t>(
        std::lround(std::isfinite(mc) ? std::clamp(mc, 0.0, 10000.0) : 0.0));
}

KestavinDevice::Status VrqPbBoard::store(std::uint16_t entry, std::int16_t value)
{
    const std::int32_t old = raw(entry);
    rawRef(entry) = value;
    if (entry >= kSelectEmc1 && entry <= kSelectRouteR && old != value) {
        for (int c = 0; c < 4; ++c)
            if (kLinear[c].select == entry)
                restart(c, (value & 0xFF) == 0);
        if (entry == kSelectRouteR) {
            for (int i = 0; i < 8; ++i)
                if (bit(raw(kSelectRoute), i))
                    restart(kWood0 + i, (value & 0xFF) == 0);
        } else if (entry >= kSelectMcR) {
            for (int i = 0; i < 8; ++i)
                if (bit(old ^ value, i))
                    restart(kWood0 + i, !bit(value, i));
        }
    } else if (entry >= 60 && entry <= 70 && old != value) {
        if (entry == kFilterWood)
            for (int i = 0; i < 8; ++i)
                restart(kWood0 + i);
        else
            restart(entry - 60);
    } else if (entry >= 12 && entry <= 59) {
        setBit(rawRef(kStatus), 0, true); // constants changed, not yet saved
    } else if (entry == kSaveSettings) {
        setBit(rawRef(kStatus), 0, false);
    } else if (entry == kResetCounters) {
        rawRef(kWatchdogResets) = 0;
    } else if (entry == vrqpb::kValueFirstA + 1 || entry == vrqpb::kValueFirstA + 3) {
        // The temperatures are measured: a written value is accepted and measured over.
        rawRef(entry) = old;
    }
    return kNoError;
}

std::string VrqPbBoard::text(std::uint16_t entry) const
{
    return entry == vrqpb::kBoardName ? "VRQ-PB sim" : KestavinDevice::text(entry);
}

} // namespace quell::sim
