#include "sim/DeviceBus.h"

namespace quell::sim {

void DeviceBus::add(std::unique_ptr<SimDevice> device)
{
    devices_.push_back(std::move(device));
}

std::optional<Reply> DeviceBus::respond(std::string_view request, SimTime now)
{
    std::optional<Reply> first;
    for (auto& d : devices_) {
        std::optional<Reply> r = d->respond(request, now);
        if (r && !first)
            first = std::move(r);
    }
    return first;
}

std::string DeviceBus::describe() const
{
    std::string out;
    for (const auto& d : devices_)
        out += (out.empty() ? "" : ", ") + d->label();
    return out;
}

} // namespace quell::sim
