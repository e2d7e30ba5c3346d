#pragma once

#include "sim/DeviceBus.h"
#include "sim/FaultyDevice.h"
#include "sim/VrqPbFaults.h"

#include "protocol/UCommands.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quell::sim {

// Builds simulated devices by model name, each loading its description file from one folder
// (so the codes, types and limits are those the clients use). Descriptions are loaded once.
class DeviceFactory {
public:
    // One "MODEL@ADDRESS[:OPTION...]" of a device list.
    struct Placement {
        std::string model;
        int address = 0;
        std::optional<std::uint32_t> seed; // noise seed; none = the model's default
        VrqPbFaults faults;                // vrq-pb only
    };

    // varDir: folder of the description files; empty = $QUELL_VAR_DIR, else the project's
    // examples folder.
    explicit DeviceFactory(std::string varDir = {});

    // The models this factory knows.
    static const std::vector<std::string>& models();
    // Splits "vrq-pb@1:off=3:dead=emc2,ei-controller@12": devices separated by commas, each
    // MODEL@ADDRESS with the options of its model after colons (only vrq-pb takes any: seed and
    // the faults of VrqPbFaults, each at most once). Throws std::invalid_argument naming the bad
    // part.
    static std::vector<Placement> parseList(const std::string& text);
    // A device of the model at the address, with its options and the fault plan on it; throws
    // std::invalid_argument for an unknown model or address or options the model does not take,
    // std::runtime_error when its description file does not load.
    std::unique_ptr<SimDevice> make(const Placement& placement, FaultyDevice::Plan plan = {});
    // A bus holding every device of a list.
    DeviceBus makeBus(const std::string& list, FaultyDevice::Plan plan = {});
    // The description file a model loads.
    std::string descriptionFile(const std::string& model) const;

private:
    std::shared_ptr<const TProtocol> description(const std::string& model);

    std::string varDir_;
    std::map<std::string, std::shared_ptr<const TProtocol>> loaded_;
};

} // namespace quell::sim
