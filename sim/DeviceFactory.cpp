#include "sim/DeviceFactory.h"

#include "sim/EIController.h"
#include "sim/VrqCompactBoard.h"
#include "sim/VrqPbBoard.h"

#include "protocol/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <stdexcept>

namespace quell::sim {

namespace {

// Installed programs find the descriptions installed beside them (BIN/../share/quell/examples);
// programs of a build folder, the project's own.
std::string defaultVarDir()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path installed =
            self.parent_path().parent_path() / "share" / "quell" / "examples";
        if (std::filesystem::is_directory(installed, error))
            return installed.string();
    }
    return QUELL_EXAMPLES_DIR;
}

} // namespace

DeviceFactory::DeviceFactory(std::string varDir) : varDir_(std::move(varDir))
{
    if (varDir_.empty()) {
        const char* env = std::getenv("QUELL_VAR_DIR");
        varDir_ = env && *env ? env : defaultVarDir();
    }
}

const std::vector<std::string>& DeviceFactory::models()
{
    static const std::vector<std::string> names{"vrq-pb", "vrq-compact", "ei-controller"};
    return names;
}

namespace {

// Reads the options after a placement's address into it; what is wrong is said without the part.
void readOptions(DeviceFactory::Placement& placement, const std::string& options)
{
    std::vector<std::string> seen;
    for (std::size_t start = 0; start <= options.size();) {
        const std::size_t colon = std::min(options.find(':', start), options.size());
        const std::string option = options.substr(start, colon - start);
        start = colon + 1;
        if (option.empty())
            throw std::invalid_argument("empty option");
        const std::size_t eq = option.find('=');
        if (eq == std::string::npos || eq == 0)
            throw std::invalid_argument("'" + option + "' is not NAME=VALUE");
        const std::string name = option.substr(0, eq);
        const std::string value = option.substr(eq + 1);
        if (std::find(seen.begin(), seen.end(), name) != seen.end())
            throw std::invalid_argument(name + " is given twice");
        seen.push_back(name);
        if (name == "seed")
            placement.seed = static_cast<std::uint32_t>(
                boundedIntegerOption(name, value, 0, std::numeric_limits<int>::max()));
        else if (!placement.faults.apply(name, value))
            throw std::invalid_argument("unknown option '" + name + "' (off, dead, noisy or seed)");
    }
    if (const std::uint32_t both = placement.faults.dead & placement.faults.noisy) {
        int k = 0;
        while (!(both >> k & 1))
            ++k;
        throw std::invalid_argument(VrqPbFaults::channelName(k) + " cannot be both dead and noisy");
    }
}

} // namespace

std::vector<DeviceFactory::Placement> DeviceFactory::parseList(const std::string& text)
{
    std::vector<Placement> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string part = text.substr(start, comma - start);
        const std::size_t at = part.find('@');
        const std::size_t colon = std::min(part.find(':'), part.size());
        Placement placement;
        if (at == std::string::npos || at == 0 || at > colon)
            throw std::invalid_argument("'" + part + "' is not MODEL@ADDRESS");
        placement.model = part.substr(0, at);
        const char* first = part.data() + at + 1;
        const char* last = part.data() + colon;
        const auto [end, ec] = std::from_chars(first, last, placement.address);
        if (ec != std::errc{} || end != last || first == last)
            throw std::invalid_argument("'" + part + "' has no numeric address");
        if (colon < part.size()) {
            if (placement.model != "vrq-pb")
                throw std::invalid_argument("'" + part + "': " + placement.model
                                            + " takes no options (only vrq-pb does)");
            try {
                readOptions(placement, part.substr(colon + 1));
            } catch (const std::invalid_argument& e) {
                throw std::invalid_argument("'" + part + "': " + e.what());
            }
        }
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
    const std::vector<std::string>& known = models();
    if (std::find(known.begin(), known.end(), placement.model) == known.end())
        throw std::invalid_argument("unknown model '" + placement.model
                                    + "' (known: vrq-pb, vrq-compact, ei-controller)");
    if (placement.model != "vrq-pb" && (placement.seed || !placement.faults.empty()))
        throw std::invalid_argument(placement.model + " takes no options (only vrq-pb does)");
    std::unique_ptr<SimDevice> device;
    if (placement.model == "ei-controller") {
        if (placement.address < 0 || placement.address > 99)
            throw std::invalid_argument("ei-controller: address must be 0..99");
        device = std::make_unique<EIController>(description(placement.model),
                                                static_cast<std::uint8_t>(placement.address));
    } else {
        if (placement.address < 1 || placement.address > 14)
            throw std::invalid_argument(placement.model + ": address must be 1..14");
        const auto a = static_cast<std::uint8_t>(placement.address);
        if (placement.model == "vrq-pb")
            device = std::make_unique<VrqPbBoard>(description(placement.model), a,
                                                  placement.seed.value_or(a), placement.faults);
        else
            device = std::make_unique<VrqCompactBoard>(description(placement.model), a);
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
