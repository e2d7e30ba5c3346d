#pragma once

#include "gateway/BusArbiter.h"
#include "gateway/BusExchanger.h"
#include "gateway/ByteLink.h"
#include "gateway/SerialSettings.h"
#include "gateway/TrafficTrace.h"

#include <functional>
#include <string>
#include <string_view>

namespace quell::gw {

// What one connected client has asked for so far (its own serial settings) and how its request
// lines are served: settings applied and echoed, each frame sent on the bus in a turn of its own
// with the client's settings, one answer line per request line.
class ClientSession {
public:
    using Log = std::function<void(const std::string&)>;

    // id names the client in the log and the trace. Link, arbiter and trace are shared by all
    // sessions and outlive them.
    ClientSession(int id, ByteLink& link, BusArbiter& arbiter, TrafficTrace& trace, Log log);

    // The answer line (without CR LF) for one request line (without CR LF). Takes the bus once
    // per frame, so it waits for other clients between its frames. Once abandoned turns true the
    // remaining frames are dropped and the answer is incomplete (nobody reads it). Thread: the
    // client's own.
    std::string handle(std::string_view line, const BusExchanger::Abandoned& abandoned = {});
    // The answer to a line that was too long to take.
    std::string refuseTooLong();
    const SerialSettings& settings() const { return settings_; }

private:
    int id_;
    ByteLink& link_;
    BusArbiter& arbiter_;
    TrafficTrace& trace_;
    Log log_;
    SerialSettings settings_;
};

} // namespace quell::gw
