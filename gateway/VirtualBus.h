#pragma once

#include "gateway/ByteLink.h"

#include "sim/DeviceBus.h"

#include <deque>

namespace quell::gw {

// A bus of simulated devices that costs what a real line costs: every character, sent or
// answered, takes the character time of the configured framing, and a device starts answering a
// turnaround after the request's last character (plus whatever delay it adds itself). The line is
// half duplex: an answer still on its way delays the next one.
class VirtualBus : public ByteLink {
public:
    VirtualBus(sim::DeviceBus devices, std::chrono::microseconds turnaround);

    bool configure(const SerialSettings& settings, std::string& failure) override;
    void discardInput() override;
    bool send(std::string_view bytes, std::string& failure) override;
    bool receive(std::string& out, Clock::time_point deadline, std::string& failure) override;
    std::string describe() const override;

private:
    struct Pending {
        Clock::time_point arrival;
        char byte;
        long long burst; // bytes of one answer share a burst
    };

    sim::DeviceBus devices_;
    std::chrono::microseconds turnaround_;
    SerialSettings settings_;
    std::deque<Pending> pending_;
    Clock::time_point origin_ = Clock::now();
    long long bursts_ = 0;
};

} // namespace quell::gw
