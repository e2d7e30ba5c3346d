#include "gateway/VirtualBus.h"

#include <algorithm>
#include <thread>

namespace quell::gw {

VirtualBus::VirtualBus(sim::DeviceBus devices, std::chrono::microseconds turnaround)
    : devices_(std::move(devices)), turnaround_(turnaround)
{
}

std::string VirtualBus::describe() const
{
    return "virtual bus with " + devices_.describe();
}

bool VirtualBus::configure(const SerialSettings& settings, std::string&)
{
    settings_ = settings;
    return true;
}

void VirtualBus::discardInput()
{
    const Clock::time_point now = Clock::now();
    while (!pending_.empty() && pending_.front().arrival <= now)
        pending_.pop_front();
}

bool VirtualBus::send(std::string_view bytes, std::string&)
{
    const auto character = settings_.characterTime();
    Clock::time_point start = Clock::now();
    // Half duplex: a request waits for an answer still on the line.
    if (!pending_.empty())
        start = std::max(start, pending_.back().arrival);
    const Clock::time_point sent = start + character * static_cast<long long>(bytes.size());
    std::this_thread::sleep_until(sent);
    std::optional<sim::Reply> reply =
        devices_.respond(bytes, std::chrono::duration_cast<sim::SimTime>(sent - origin_));
    if (!reply || reply->bytes.empty())
        return true;
    const Clock::time_point first = sent + turnaround_ + reply->extraDelay;
    const long long burst = ++bursts_;
    for (std::size_t i = 0; i < reply->bytes.size(); ++i)
        pending_.push_back(
            {first + character * static_cast<long long>(i + 1), reply->bytes[i], burst});
    return true;
}

bool VirtualBus::receive(std::string& out, Clock::time_point deadline, std::string&)
{
    if (pending_.empty()) {
        std::this_thread::sleep_until(deadline);
        return true;
    }
    // Wake once per answer, when its last character is in (or at the deadline), rather than once
    // per character: the result is the same, the cost is not.
    const long long burst = pending_.front().burst;
    Clock::time_point last = pending_.front().arrival;
    for (const Pending& p : pending_) {
        if (p.burst != burst)
            break;
        last = p.arrival;
    }
    std::this_thread::sleep_until(std::min(last, deadline));
    const Clock::time_point now = Clock::now();
    while (!pending_.empty() && pending_.front().arrival <= now) {
        out += pending_.front().byte;
        pending_.pop_front();
    }
    return true;
}

} // namespace quell::gw
