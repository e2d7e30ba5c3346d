#include "sim/DeviceFactory.h"

#include "sim/EIController.h"
#include "sim/VrqCompactBoard.h"
#include "sim/VrqPbBoard.h"

#include <charconv>
#include <cstdlib>
#include <stdexcept>

namespace quell::sim {

DeviceFactory::DeviceFactory(std::string varDir) : varDir_(std::move(varDir))
{
    if (varDir_.empty()) {
        const char* env = std::getenv("QUELL_VAR_DIR");
        varDir_ = env && *env ? env : QUELL_EXAMPLES_DIR;
    }
}

const std::vector<std::string>& DeviceFactory::models()
{
    static const std::vector<std::string> names{"vrq-pb", "vrq-compact", "ei-controller"};
    return names;
}

std::vector<DeviceFactory::Placement> DeviceFactory::parseList(const std::string& text)
{
    std::vector<Placement> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string part = text.substr(start, comma - start);
        const std::size_t at = part.find('@');
        Placement placement;
        if (at == std::string::npos || at == 0)
            throw std::invalid_argument("'" + part + "' is not MODEL@ADDRESS");
        placement.model = part.substr(0, at);
        const char* first = part.data() + at + 1;
        const char* last = part.data() + part.size();
        const auto [end, ec] = std::from_chars(first, last, placement.address);
        if (ec != std::errc{} || end != last || first == last)
            throw std::invalid_argument("'" + part + "' has no numeric address");
        out.push_back(placement);
        start = comma + 1;
    }
    return out;
}

std::string DeviceFactory::descriptionFile(const std::string& model) const
{
    return varDir_ + "/" + model + ".var";
}

std::shared_ptr<const TProtocol> DeviceFactory::description(const std::string& model)
{
    auto it = loaded_.find(model);
    if (it != loaded_.end())
        return it->second;
    const std::string file = descriptionFile(model);
    if (model == "vrq-compact") {
        // The compact configurator's description has a syntax of its own.
        loaded_[model] = VrqCompactBoard::loadDescription(file);
        return loaded_[model];
    }
    auto table = std::make_shared<TProtocol>();
    bool ok = false;
    try {
        ok = table->LoadFromFile(file);
    } catch (const std::exception& e) {
        throw std::runtime_error(file + ": " + e.what());
    }
    if (!ok)
        throw std::runtime_error(file + ": no parameters loaded");
    loaded_[model] = table;
    return table;
}

std::unique_ptr<SimDevice> DeviceFactory::make(const Placement& placement, FaultyDevice::Plan plan)
{
    std::unique_ptr<SimDevice> device;
    if (placement.model == "vrq-pb" || placement.model == "vrq-compact") {
        if (placement.address < 1 || placement.address > 14)
            throw std::invalid_argument(placement.model + ": address must be 1..14");
        const auto a = static_cast<std::uint8_t>(placement.address);
        if (placement.model == "vrq-pb")
            device = std::make_unique<VrqPbBoard>(description(placement.model), a, a);
        else
            device = std::make_unique<VrqCompactBoard>(description(placement.model), a);
    } else if (placement.model == "ei-controller") {
        if (placement.address < 0 || placement.address > 99)
            throw std::invalid_argument("ei-controller: address must be 0..99");
        device = std::make_unique<EIController>(description(placement.model),
                                                static_cast<std::uint8_t>(placement.address));
    } else {
        throw std::invalid_argument("unknown model '" + placement.model
                                    + "' (known: vrq-pb, vrq-compact, ei-controller)");
    }
    if (plan.fault == FaultyDevice::Fault::None)
        return device;
    return std::make_unique<FaultyDevice>(std::move(device), plan);
}

DeviceBus DeviceFactory::makeBus(const std::string& list, FaultyDevice::Plan plan)
{
    DeviceBus bus;
    for (const Placement& placement : parseList(list))
        bus.add(make(placement, plan));
    return bus;
}

} // namespace quell::sim
