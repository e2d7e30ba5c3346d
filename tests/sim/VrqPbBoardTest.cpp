// The simulated board as a calibration sees it: references settle, readings agree once settled,
// constants taken from the readings make the values right, and the wood inputs follow the swap
// cycle.

#include "sim/VrqPbBoard.h"
#include "tests/sim/SimTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace quell::sim::test {
namespace {

// A board and the client's table, driven in simulated time.
class Rig {
public:
    explicit Rig(VrqPbFaults faults = {}, std::uint32_t seed = 7)
        : board{clientTable("vrq-pb"), 1, seed, faults}
    {
    }

    std::shared_ptr<TProtocol> client = clientTable("vrq-pb");
    VrqPbBoard board;
    double t = 0;

    // The entry's raw value as the client stores it from the board's answer at time t.
    int read(std::uint16_t entry)
    {
        const std::string request = client->BuildReadRequest(entry, 1, 0xA0, false, 1, 0x40);
        const TAnswerResult r = client->ParseAnswer(request, ask(board, request, t), entry);
        EXPECT_TRUE(r.Taken) << entry;
        return client->Commands[entry].Value;
    }
    bool write(std::uint16_t entry, const std::string& text)
    {
        const std::string request = client->BuildWriteRequest(entry, text, 1, 0xA0, false, 1, 0x40);
        return client->ParseAnswer(request, ask(board, request, t), entry).Status != "bad_value";
    }
    // A selector's bit code as the client writes it.
    bool select(std::uint16_t entry, int code)
    {
        return write(entry, client->ByteToHex(static_cast<std::uint8_t>(code)));
    }
    void wait(double seconds) { t += seconds; }
    // What the calibration writes: a voltage reading as a constant (one decimal).
    void takeConstant(std::uint16_t voltage, std::uint16_t constant)
    {
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", read(voltage) / 10.0);
        ASSERT_TRUE(write(constant, text));
    }
    // Waits until entry 86 has shown 0 and then 2, as the wood procedure does.
    void swapCycle()
    {
        bool sawZero = false;
        for (int i = 0; i < 400; ++i) {
            wait(0.02);
            const int state = read(86) & 0xFF;
            if (state == 0)
                sawZero = true;
            else if (state == 2 && sawZero)
                return;
        }
        FAIL() << "no swap cycle";
    }
    // The settings of a calibration run: every filter at 1, a swap period of 0.3 s.
    void calibrationSettings()
    {
        for (std::uint16_t filter = 60; filter <= 64; ++filter)
            write(filter, "1");
        write(71, "3");
    }
    // With the calibration's settings, every channel at a reference (EMC at 10M and 100K, the
    // temperatures at 50 and 100 C, each wood input on its own resistor, woodInput the selected
    // one) for two swap cycles.
    void atReferences(int woodInput)
    {
        calibrationSettings();
        select(4, 0x08);
        select(5, 0x02);
        select(6, 0x10);
        select(7, 0x40);
        select(8, 0xFF);
        write(87, std::to_string(woodInput));
        swapCycle();
        swapCycle();
    }
};

class Board : public ::testing::Test, public Rig {};

TEST_F(Board, ASwitchedReferenceSettlesAndThenReadsSteadily)
{
    ASSERT_TRUE(write(4, "1"));
    wait(0.06);
    EXPECT_EQ(read(89) & 1, 1) << "not ready right after switching";
    EXPECT_EQ(read(88) & 1, 0);
    wait(4.0);
    EXPECT_EQ(read(89) & 1, 0);
    EXPECT_EQ(read(88) & 1, 1);
    int previous = read(90);
    for (int i = 0; i < 100; ++i) {
        wait(0.05);
        const int now = read(90);
        EXPECT_LE(std::abs(now - previous), 3) << "reading " << i;
        previous = now;
    }
    EXPECT_NEAR(previous, board.targetCounts(0), 3.0);
}

TEST_F(Board, ConstantsTakenFromTheReadingsMakeEveryEmcAndTemperaturePointRight)
{
    const int emcExpected[] = {4200, 3500, 2800, 2100, 1700, 1350, 1080, 740};
    auto valueAt = [&](std::uint16_t select, int code, std::uint16_t value) {
        write(select, client->ByteToHex(static_cast<std::uint8_t>(code)));
        wait(3.0);
        return read(value);
    };
    int worstBefore = 0;
    for (int k = 0; k < 8; ++k)
        worstBefore = std::max(worstBefore, std::abs(valueAt(4, 1 << k, 105) - emcExpected[k]));
    EXPECT_GT(worstBefore, 100) << "the factory constants must leave work for a calibration";

    for (int k = 0; k < 8; ++k) {
        write(4, client->ByteToHex(static_cast<std::uint8_t>(1 << k)));
        wait(3.0);
        takeConstant(90, static_cast<std::uint16_t>(12 + k));
    }
    for (int k = 0; k < 8; ++k)
        EXPECT_NEAR(valueAt(4, 1 << k, 105), emcExpected[k], 4) << "EMC point " << k + 1;
    EXPECT_NEAR(valueAt(4, 0, 105), 440, 15) << "open";

    // Temperature: constants at 0, 50 and 100 C (items 2, 4, 6).
    for (int k : {2, 4, 6}) {
        write(6, client->ByteToHex(static_cast<std::uint8_t>(1 << k)));
        wait(3.0);
        takeConstant(91, static_cast<std::uint16_t>(20 + (k - 2) / 2));
    }
    const int tempExpected[] = {-8000, -2500, 0, 2500, 5000, 7500, 10000, 15000};
    for (int k = 0; k < 8; ++k)
        EXPECT_NEAR(valueAt(6, 1 << k, 106), tempExpected[k], 4) << "temperature point " << k;
    EXPECT_EQ(valueAt(6, 0, 106), 20000) << "open";
}

TEST_F(Board, WoodInputsFollowTheSwapCycleAndTheirConstants)
{
    std::vector<int> states;
    for (int i = 0; i < 100; ++i) {
        wait(0.02);
        const int s = read(86);
        if (states.empty() || states.back() != s)
            states.push_back(s);
    }
    ASSERT_GE(states.size(), 4u);
    for (std::size_t i = 1; i < states.size(); ++i)
        EXPECT_EQ(states[i], (states[i - 1] + 1) % 3) << "0, 1, 2, 0, ... in turn";

    const int expected[] = {9820, 5430, 2880, 2230, 1830, 1480, 1190, 880};
    for (int i = 0; i < 8; ++i) {
        write(8, client->ByteToHex(static_cast<std::uint8_t>(1 << i)));
        EXPECT_NE(read(118) >> i & 1, 0) << "switched input " << i << " is not ready at once";
        write(87, std::to_string(i));
        for (int c = 0; c < 3; ++c)
            swapCycle();
        EXPECT_EQ(read(118) >> i & 1, 0) << "input " << i;
        takeConstant(static_cast<std::uint16_t>(120 + i), static_cast<std::uint16_t>(52 + i));
        swapCycle();
        EXPECT_NEAR(read(static_cast<std::uint16_t>(130 + i)), expected[i], 5) << "input " << i;
    }
    // All inputs on their 1G resistors.
    write(8, "0");
    write(9, "FF");
    for (int i = 0; i < 8; ++i) {
        write(87, std::to_string(i));
        for (int c = 0; c < 4; ++c)
            swapCycle();
        EXPECT_NEAR(read(static_cast<std::uint16_t>(130 + i)), 1480, 5) << "input " << i;
    }
    // Temperature compensation lowers a warm reading; a passive input without a type is off.
    const int plain = read(130);
    write(147, "10.0");
    write(87, "0");
    swapCycle();
    EXPECT_LT(read(130), plain - 50);
    write(138, "80");
    swapCycle();
    swapCycle();
    EXPECT_EQ(read(128) & 1, 0);
    EXPECT_EQ(read(129) & 1, 0);
}

// A linear channel as a calibration drives it: its selector, its bit in entry 89, its voltage
// and the model's index of it.
struct LinearChannelUse {
    const char* name;
    std::uint16_t selector;
    int bit;
    std::uint16_t voltage;
    int channel;
};
constexpr LinearChannelUse kEmc1{"EMC1", 4, 0, 90, 0};
constexpr LinearChannelUse kTemp1{"Temp1", 6, 1, 91, 1};
constexpr LinearChannelUse kEmc2{"EMC2", 5, 2, 92, 2};
constexpr LinearChannelUse kTemp2{"Temp2", 7, 3, 93, 3};

TEST(BoardFlags, ASwitchSetsTheFlagAtOnceAndTheFiltersSamplesClearIt)
{
    struct Case {
        LinearChannelUse use;
        int from; // selector codes: a big step, towards a high-ohm reference for two of them
        int to;
        int filter;
    };
    const Case cases[] = {
        {kEmc1, 0x01, 0x80, 1},  {kTemp1, 0x04, 0x40, 1}, {kEmc2, 0x80, 0x01, 1},
        {kTemp2, 0x40, 0x04, 1}, {kEmc1, 0x80, 0x01, 4},  {kTemp2, 0x04, 0x40, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.use.name) + " filter " + std::to_string(c.filter));
        Rig rig;
        rig.write(static_cast<std::uint16_t>(60 + c.use.channel), std::to_string(c.filter));
        rig.select(c.use.selector, c.from);
        rig.wait(1.0);
        ASSERT_EQ(rig.read(89) >> c.use.bit & 1, 0);
        // Switch 10 ms after a sample, so the samples after it come at whole 50 ms steps.
        rig.t = std::ceil(rig.t * 20) / 20 + 0.01;
        rig.select(c.use.selector, c.to);
        EXPECT_EQ(rig.read(89) >> c.use.bit & 1, 1) << "not valid at once";
        EXPECT_EQ(rig.read(88) >> c.use.bit & 1, 0);
        rig.wait(0.05 * (c.filter - 1));
        EXPECT_EQ(rig.read(89) >> c.use.bit & 1, 1) << "one sample short";
        rig.wait(0.05);
        EXPECT_EQ(rig.read(89) >> c.use.bit & 1, 0) << "the filter's samples are in";
        EXPECT_EQ(rig.read(88) >> c.use.bit & 1, 1);
        // The first valid reading is already the settled one.
        EXPECT_NEAR(rig.read(c.use.voltage), rig.board.targetCounts(c.use.channel), 1.5);
    }
    // Wood: the input selected in entry 87 is valid at the next swap cycle, settled.
    for (int i : {0, 3, 7}) {
        SCOPED_TRACE("MC" + std::to_string(i + 1));
        Rig rig;
        rig.calibrationSettings();
        rig.write(87, std::to_string(i));
        rig.swapCycle();
        rig.select(8, 1 << i);
        EXPECT_EQ(rig.read(129) >> i & 1, 1) << "not valid at once";
        EXPECT_EQ(rig.read(118) >> i & 1, 1);
        rig.swapCycle();
        EXPECT_EQ(rig.read(129) >> i & 1, 0);
        EXPECT_EQ(rig.read(118) >> i & 1, 0);
        EXPECT_NEAR(rig.read(static_cast<std::uint16_t>(120 + i)), rig.board.targetCounts(11 + i),
                    1.5);
    }
}

TEST(BoardFlags, OneFreshSwapCycleAfterSwitchingEveryChannelIsValid)
{
    // As a quick calibration takes its points: all four analog channels switched to the next
    // reference together, one swap cycle, one look at the flags; the wood inputs on their
    // references from the start.
    Rig rig;
    rig.calibrationSettings();
    rig.select(8, 0xFF);
    for (int k = 0; k < 8; ++k) {
        SCOPED_TRACE("reference " + std::to_string(k + 1));
        for (std::uint16_t selector : {4, 5, 6, 7})
            rig.select(selector, 1 << k);
        rig.swapCycle();
        EXPECT_EQ(rig.read(89) & 0x0F, 0);
        for (const LinearChannelUse& use : {kEmc1, kTemp1, kEmc2, kTemp2})
            EXPECT_NEAR(rig.read(use.voltage), rig.board.targetCounts(use.channel), 1.5)
                << use.name;
    }
    EXPECT_EQ(rig.read(129) & 0xFF, 0) << "every wood input taken in eight cycles";
}

TEST(BoardFaults, AnOffsetRaisesEveryInputByItsPercentage)
{
    auto readings = [](double percent) {
        VrqPbFaults faults;
        faults.offsetPercent = percent;
        Rig rig(faults);
        rig.atReferences(2);
        EXPECT_EQ(rig.read(89) & 0x0F, 0);
        EXPECT_EQ(rig.read(129) >> 2 & 1, 0);
        std::vector<int> out;
        for (std::uint16_t entry : {90, 91, 92, 93, 122})
            out.push_back(rig.read(entry));
        return out;
    };
    const std::vector<int> nominal = readings(0);
    for (double percent : {5.0, -2.5, 0.5}) {
        const std::vector<int> shifted = readings(percent);
        for (std::size_t k = 0; k < nominal.size(); ++k) {
            ASSERT_GT(nominal[k], 1000) << "input " << k;
            EXPECT_NEAR(double(shifted[k]) / nominal[k], 1.0 + percent / 100.0, 0.001)
                << "input " << k << " at " << percent << " %";
        }
    }
}

TEST(BoardFaults, ADeadChannelNeverBecomesValidWhileTheOthersDo)
{
    struct Case {
        const char* dead;
        std::uint16_t flags; // 89 or 129
        int mask;            // the dead bits there
    };
    const Case cases[] = {
        {"emc1", 89, 0x01}, {"temp1", 89, 0x02}, {"emc2", 89, 0x04},  {"temp2", 89, 0x08},
        {"mc1", 129, 0x01}, {"mc8", 129, 0x80},  {"wood", 129, 0xFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dead);
        VrqPbFaults faults;
        faults.dead = VrqPbFaults::channelBits(c.dead);
        Rig rig(faults);
        rig.atReferences(c.flags == 129 ? std::countr_zero(unsigned(c.mask)) : 0);
        for (int cycle = 0; cycle < 24; ++cycle) {
            rig.swapCycle();
            EXPECT_EQ(rig.read(c.flags) & c.mask, c.mask) << "cycle " << cycle;
        }
        // Every other channel is valid: the wood inputs have all been taken in these cycles.
        EXPECT_EQ(rig.read(89) & 0x0F, c.flags == 89 ? c.mask : 0);
        EXPECT_EQ(rig.read(129) & 0xFF, c.flags == 129 ? c.mask : 0);
    }
}

TEST(BoardFaults, ANoisyChannelsReadingsNeverAgreeThoughItReportsValid)
{
    struct Case {
        const char* noisy;
        std::uint16_t flags;
        int bit;
        std::uint16_t voltage;
    };
    const Case cases[] = {{"temp1", 89, 1, 91}, {"emc2", 89, 2, 92}, {"mc4", 129, 3, 123}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.noisy);
        VrqPbFaults faults;
        faults.noisy = VrqPbFaults::channelBits(c.noisy);
        Rig rig(faults);
        rig.atReferences(3);
        int agreeing = 0;
        int previous = rig.read(c.voltage);
        int low = previous;
        int high = previous;
        for (int i = 0; i < 100; ++i) {
            if (i % 2 == 0)
                rig.wait(0.02); // and every other time at once, as fast as a client can ask again
            EXPECT_EQ(rig.read(c.flags) >> c.bit & 1, 0) << "reading " << i;
            const int now = rig.read(c.voltage);
            agreeing += std::abs(now - previous) <= 3;
            low = std::min(low, now);
            high = std::max(high, now);
            previous = now;
        }
        EXPECT_LE(agreeing, 1);
        EXPECT_GT(high - low, 2000);
    }
}

} // namespace
} // namespace quell::sim::test

namespace quell::sim::test {
namespace {

// A test reads a channel's value right after its point is switched out: the board still shows
// what it measured at the point until the end of a swap cycle after the input was opened.
TEST(BoardOpened, AnOpenedInputShowsItsLastMeasurementUntilTheCycleEnds)
{
    Rig rig;
    ASSERT_TRUE(rig.write(60, "1"));
    ASSERT_TRUE(rig.select(4, 0x01)); // EMC 1 on 10K
    rig.swapCycle();
    const int atPoint = rig.read(90);
    const int valueAtPoint = rig.read(105);
    ASSERT_EQ(rig.read(89) & 1, 0);

    ASSERT_TRUE(rig.select(4, 0)); // opened
    for (int i = 0; i < 3; ++i) {
        rig.wait(0.03);
        EXPECT_EQ(rig.read(89) & 1, 0) << "flag set while the last measurement stands";
        EXPECT_EQ(rig.read(90), atPoint);
        EXPECT_EQ(rig.read(105), valueAtPoint);
    }
    rig.swapCycle();
    rig.swapCycle();
    EXPECT_GT(std::abs(rig.read(90) - atPoint), 1000) << "the open input, measured by now";
    // Switching a reference in is different: the reading is not valid until measured.
    ASSERT_TRUE(rig.select(4, 0x02));
    EXPECT_EQ(rig.read(89) & 1, 1);
}

} // namespace
} // namespace quell::sim::test
