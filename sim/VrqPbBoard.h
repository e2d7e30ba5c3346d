#pragma once

#include "sim/KestavinDevice.h"
#include "sim/VrqPbFaults.h"

#include <array>
#include <cstdint>
#include <deque>
#include <random>

namespace quell::sim {

// The VRQ-PB measuring board sitting in its calibrator. The calibrator's reference selectors
// switch resistors and temperature references into the inputs; each input's voltage settles
// towards the switched reference within one sample, is sampled every 50 ms in whole counts (now
// and then one off) and averaged over its filter length; values follow from the averaged voltages
// through the calibration constants, so writing new constants changes the values. The board's own
// analog parts are a little off (gain and offset per input), and its factory constants are those
// of the description file, which do not match them: a calibration has real work to do. The wood
// inputs are reported once per swap cycle. An input's reading is flagged not valid from a change
// of its selector or filter until its filter is full of samples taken since; the first valid
// reading is already the settled one.
class VrqPbBoard : public KestavinDevice {
public:
    // description: the loaded vrq-pb table; seed drives the noise (same seed, same readings);
    // faults: an offset on every input, inputs that never become ready, inputs whose readings jump.
    VrqPbBoard(std::shared_ptr<const TProtocol> description, std::uint8_t address,
               std::uint32_t seed = 1, VrqPbFaults faults = {});

    // Interval between two samples of every input.
    static constexpr SimTime kSamplePeriod{50'000};
    // The true (unrounded) voltage, in 0.1 mV, that linear channel c (0..3, 5..10) or wood input
    // 11 + i is being driven to by the current reference selection (the offset fault included).
    double targetCounts(int channel) const;

protected:
    void advance(SimTime now) override;
    Status store(std::uint16_t entry, std::int16_t value) override;
    std::string text(std::uint16_t entry) const override;

private:
    struct Input {
        double analog = 0;        // voltage at the ADC, in 0.1 mV
        std::deque<double> taken; // latest samples, newest last
        int sinceReset = 0;       // samples since the filter was restarted
        // Opened (its reference switched out): the last measurement stays shown, flags and all,
        // until the open input has been measured.
        bool holding = false;
    };

    void tick();
    // A switch or filter change: the input is measured afresh. With a reference switched in
    // (or a filter changed) its reading is not valid until then; an input merely opened keeps
    // showing its last measurement meanwhile.
    void restart(int channel, bool opened = false);
    // Whether an opened input still shows its last measurement: it is measured anew at the end
    // of a swap cycle (cycleEnd) once it has been open for a while.
    bool held(int channel, bool cycleEnd);
    void markNotValid(int channel);
    double average(const Input& in, int filter) const;
    void updateLinear(int c, bool cycleEnd);
    void publishLinear(int c, double u);
    void snapshotWood(int i);
    void publishWood(int i, double u);
    double woodMoisture(int i, double u) const;
    void woodCycle();
    void jitterNoisy();
    int filterOf(int channel) const;
    bool dead(int channel) const;
    bool noisy(int channel) const;

    std::array<Input, 19> inputs_{}; // 0..10 linear (4 unused), 11..18 wood inputs
    VrqPbFaults faults_;
    std::mt19937 noise_;
    std::mt19937 erratic_; // the noisy inputs' jumps, apart so they leave the other noise alone
    SimTime now_{0};
    bool started_ = false;
    long long swapCycles_ = 0;
    int scanInput_ = 0;
};

} // namespace quell::sim
