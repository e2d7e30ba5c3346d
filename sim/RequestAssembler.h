#pragma once

#include "sim/SimDevice.h"

#include <optional>
#include <string>

namespace quell::sim {

// The device side of a serial line: cuts the received bytes into request frames. A maker's
// request runs from SOH to EOT; an EI-Bisynch poll from EOT to ENQ, a selection from EOT through
// STX .. ETX and the block check. Bytes outside a frame are line noise and dropped; a frame that
// pauses longer than the gap or grows absurdly long is abandoned.
class RequestAssembler {
public:
    // Longest pause inside a frame.
    static constexpr SimTime kGap{100'000};

    // Takes one received byte; gives back a frame when this byte completed one.
    std::optional<std::string> feed(char byte, SimTime now);

private:
    enum class State { Idle, Maker, EIHead, EIData, EICheck };

    std::string frame_;
    State state_ = State::Idle;
    SimTime last_{0};
};

} // namespace quell::sim
