// The virtual bus charges the real wire time: every character at the configured framing, and the
// device's turnaround before its answer.

#include "gateway/VirtualBus.h"

#include "sim/DeviceBus.h"

#include <gtest/gtest.h>

#include <thread>

namespace quell::gw {
namespace {

using namespace std::string_literals;
using Clock = ByteLink::Clock;

// Answers every request with a fixed number of bytes.
class Fixed : public sim::SimDevice {
public:
    explicit Fixed(std::size_t length) : answer_(length, 'a') { answer_.front() = '\x01'; }
    std::optional<sim::Reply> respond(std::string_view, sim::SimTime) override
    {
        return sim::Reply{answer_};
    }
    std::string label() const override { return "fixed@1"; }

private:
    std::string answer_;
};

TEST(VirtualBus, CostsCharacterTimesAndTurnaroundAsConfigured)
{
    struct Case {
        const char* framing[3]; // baud, parity, stop bits
        std::size_t request, answer;
        int turnaroundMs;
    };
    const Case cases[] = {
        {{"9600", "None", "1"}, 9, 13, 5},
        {{"4800", "Even", "2"}, 9, 17, 0},
        {{"57600", "Even", "1"}, 13, 13, 10},
    };
    for (const Case& c : cases) {
        sim::DeviceBus devices;
        devices.add(std::make_unique<Fixed>(c.answer));
        VirtualBus bus(std::move(devices), std::chrono::milliseconds(c.turnaroundMs));
        SerialSettings s;
        s.apply("BAUD", c.framing[0]);
        s.apply("PARITY", c.framing[1]);
        s.apply("STOPB", c.framing[2]);
        std::string failure;
        ASSERT_TRUE(bus.configure(s, failure));
        const auto character = s.characterTime();
        const Clock::time_point start = Clock::now();
        ASSERT_TRUE(bus.send(std::string(c.request, 'r'), failure));
        const Clock::time_point sent = Clock::now();
        EXPECT_GE(sent - start, character * static_cast<long long>(c.request));
        // Nothing may arrive before the turnaround and the first character are over.
        const auto firstByte = start + character * static_cast<long long>(c.request + 1)
                               + std::chrono::milliseconds(c.turnaroundMs);
        std::string got;
        while (got.empty())
            ASSERT_TRUE(bus.receive(got, Clock::now() + std::chrono::microseconds(200), failure));
        EXPECT_GE(Clock::now(), firstByte) << c.framing[0];
        while (got.size() < c.answer)
            ASSERT_TRUE(bus.receive(got, Clock::now() + std::chrono::seconds(1), failure));
        EXPECT_GE(Clock::now() - start, character * static_cast<long long>(c.request + c.answer)
                                            + std::chrono::milliseconds(c.turnaroundMs))
            << c.framing[0];
        EXPECT_EQ(got.size(), c.answer);
    }
}

TEST(VirtualBus, AnAnswerStillOnTheLineDelaysTheNextRequestAndIsFlushedOnceIn)
{
    sim::DeviceBus devices;
    devices.add(std::make_unique<Fixed>(40));
    VirtualBus bus(std::move(devices), std::chrono::milliseconds(0));
    SerialSettings s;
    // Slow enough that the second answer (a third of a second on the line) is still coming in
    // when the first is discarded, even on a loaded machine.
    s.apply("BAUD", "1200");
    std::string failure;
    bus.configure(s, failure);
    const auto character = s.characterTime();
    const Clock::time_point start = Clock::now();
    bus.send("r", failure);
    // The first answer (40 characters) has not been read; the second request waits for it.
    bus.send("r", failure);
    EXPECT_GE(Clock::now() - start, character * 42);
    bus.discardInput(); // the first answer is in by now: gone
    std::string got;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(3);
    while (got.size() < 40 && Clock::now() < deadline)
        bus.receive(got, Clock::now() + std::chrono::milliseconds(100), failure);
    EXPECT_EQ(got.size(), 40u);
    bus.receive(got, Clock::now() + std::chrono::milliseconds(20), failure);
    EXPECT_EQ(got.size(), 40u) << "only the second answer arrives";
}

} // namespace
} // namespace quell::gw
