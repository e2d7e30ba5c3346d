#pragma once

#include "gateway/SerialSettings.h"

#include <chrono>
#include <string>
#include <string_view>

namespace quell::gw {

// The gateway's side of the bus: a serial port, or a virtual bus of simulated devices. Used by one
// exchange at a time (the bus arbiter sees to that); not thread-safe by itself.
class ByteLink {
public:
    using Clock = std::chrono::steady_clock;

    // The failure word of a framing the line cannot make.
    static constexpr const char* kBadSettings = "BadSettings";

    virtual ~ByteLink() = default;
    // Puts the line into the framing of settings; false with a failure word when it cannot.
    virtual bool configure(const SerialSettings& settings, std::string& failure) = 0;
    // Throws away everything received and not yet read.
    virtual void discardInput() = 0;
    // Sends bytes and returns once they have left; false with a failure word when the line failed.
    virtual bool send(std::string_view bytes, std::string& failure) = 0;
    // Waits until bytes arrive or the deadline passes and appends what arrived (nothing at the
    // deadline); false with a failure word when the line failed.
    virtual bool receive(std::string& out, Clock::time_point deadline, std::string& failure) = 0;
    // What the line is, for the log.
    virtual std::string describe() const = 0;
};

} // namespace quell::gw
