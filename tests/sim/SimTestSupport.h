#pragma once

#include "sim/DeviceFactory.h"
#include "sim/SimDevice.h"

#include "protocol/UCommands.h"

#include <memory>
#include <string>

namespace quell::sim::test {

// The description a model loads, as the client loads it.
inline std::shared_ptr<TProtocol> clientTable(const std::string& model)
{
    auto table = std::make_shared<TProtocol>();
    table->LoadFromFile(DeviceFactory().descriptionFile(model));
    return table;
}

// One exchange with a device at time t (seconds): the answer bytes, or "" when it stays silent.
inline std::string ask(SimDevice& device, const std::string& request, double t)
{
    const auto reply = device.respond(request, SimTime(static_cast<long long>(t * 1e6)));
    return reply ? reply->bytes : std::string();
}

} // namespace quell::sim::test
