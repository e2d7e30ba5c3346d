#include "sim/FaultyDevice.h"

#include "protocol/ControlChars.h"

#include <charconv>
#include <utility>

namespace quell::sim {

std::optional<FaultyDevice::Plan> FaultyDevice::parsePlan(const std::string& text)
{
    const std::size_t colon = text.find(':');
    const std::string kind = text.substr(0, colon);
    Plan plan;
    if (kind == "none")
        plan.fault = Fault::None;
    else if (kind == "noanswer")
        plan.fault = Fault::NoAnswer;
    else if (kind == "garbled")
        plan.fault = Fault::Garbled;
    else if (kind == "slow")
        plan.fault = Fault::Slow;
    else if (kind == "badsum")
        plan.fault = Fault::BadChecksum;
    else if (kind == "partial")
        plan.fault = Fault::Partial;
    else
        return std::nullopt;
    if (colon != std::string::npos) {
        const char* first = text.data() + colon + 1;
        const char* last = text.data() + text.size();
        const auto [end, ec] = std::from_chars(first, last, plan.every);
        if (ec != std::errc{} || end != last || plan.every < 1)
            return std::nullopt;
    }
    return plan;
}

FaultyDevice::FaultyDevice(std::unique_ptr<SimDevice> inner, Plan plan)
    : inner_(std::move(inner)), plan_(plan)
{
}

std::string FaultyDevice::label() const
{
    return inner_->label();
}

std::optional<Reply> FaultyDevice::respond(std::string_view request, SimTime now)
{
    std::optional<Reply> reply = inner_->respond(request, now);
    if (!reply || plan_.fault == Fault::None || ++answers_ % plan_.every != 0)
        return reply;
    std::string& b = reply->bytes;
    switch (plan_.fault) {
    case Fault::NoAnswer:
        return std::nullopt;
    case Fault::Garbled:
        // A flipped bit in the middle of the frame: it still looks like a frame.
        if (b.size() > 2)
            b[b.size() / 2] = static_cast<char>(b[b.size() / 2] ^ 0x04);
        break;
    case Fault::Slow:
        reply->extraDelay = kSlowDelay;
        break;
    case Fault::BadChecksum:
        // The checksum sits just before the last character (maker's frames: one character
        // before the terminator; EI-Bisynch: the BCC is the last character).
        if (b.size() > 3)
            b[b.size() - (b.front() == kStx ? 1 : 2)] ^= 0x01;
        break;
    case Fault::Partial:
        b.resize(b.size() / 2);
        break;
    case Fault::None:
        break;
    }
    return reply;
}

} // namespace quell::sim
