#include "sim/SimOptions.h"

#include "sim/DeviceFactory.h"
#include "sim/FaultyDevice.h"

#include "protocol/NumberText.h"

#include <algorithm>
#include <stdexcept>

namespace quell::sim {

namespace {

SimOptions read(const std::vector<std::string>& args)
{
    SimOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.help = true;
            continue;
        }
        if (a == "--pty") {
            o.pty = true;
            continue;
        }
        if (a == "--verbose") {
            o.verbose = true;
            continue;
        }
        if (a.rfind("--", 0) != 0) {
            if (!o.devices.empty())
                throw std::invalid_argument("unexpected argument '" + a
                                            + "' (the devices are one comma-separated list)");
            if (a.empty() || a.front() == '-')
                throw std::invalid_argument("unexpected argument '" + a + "'");
            o.devices = a;
            continue;
        }
        // "--name value" and "--name=value" both work.
        std::string name = a;
        std::string value;
        const std::size_t eq = a.find('=');
        if (eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        } else if (name == "--link" || name == "--turnaround" || name == "--fault"
                   || name == "--var-dir") {
            if (i + 1 >= args.size())
                throw std::invalid_argument(a + " needs a value");
            value = args[++i];
        }
        if (name == "--link") {
            o.link = value;
        } else if (name == "--turnaround") {
            o.turnaroundMs = boundedIntegerOption(name, value, 0, 10000);
        } else if (name == "--fault") {
            if (!FaultyDevice::parsePlan(value))
                throw std::invalid_argument("--fault: '" + value
                                            + "' is no plan (noanswer, garbled, slow, badsum or "
                                              "partial, optionally as KIND:N)");
            o.fault = value;
        } else if (name == "--var-dir") {
            o.varDir = value;
        } else {
            throw std::invalid_argument("unknown option " + name + " (see --help)");
        }
    }
    if (o.help)
        return o;
    if (o.devices.empty())
        throw std::invalid_argument("name the devices, e.g. vrq-pb@1,ei-controller@12");
    if (!o.pty)
        throw std::invalid_argument("say --pty (the only transport there is)");
    // The list's form is checked now; unknown models and addresses out of range show when the
    // devices are made, which needs their description files.
    DeviceFactory::parseList(o.deviceList());
    return o;
}

} // namespace

std::string SimOptions::deviceList() const
{
    std::string list;
    for (std::size_t start = 0; start <= devices.size();) {
        const std::size_t comma = std::min(devices.find(',', start), devices.size());
        std::string part = devices.substr(start, comma - start);
        // "vrq-pb:off=3" is "vrq-pb@1:off=3": the address comes before the options.
        const std::size_t colon = std::min(part.find(':'), part.size());
        if (part.find('@') > colon)
            part.insert(colon, "@1");
        list += (list.empty() ? "" : ",") + part;
        start = comma + 1;
    }
    return list;
}

SimOptionsResult SimOptions::parse(const std::vector<std::string>& args)
{
    try {
        return {read(args), {}};
    } catch (const std::invalid_argument& e) {
        return {std::nullopt, e.what()};
    }
}

std::string SimOptions::usage()
{
    return R"(Usage: quellsim MODEL[@ADDRESS][:OPTION...][,MODEL@ADDRESS...] --pty [options]

Simulated devices behind a pseudo-terminal. Prints the terminal's path on standard output, then
answers requests until SIGTERM or SIGINT.

  MODEL             vrq-pb (the VRQ-PB board in its calibrator, address 1..14, default 1),
                    vrq-compact (the board as the compact configurator sees it, 1..14) or
                    ei-controller (EI-Bisynch controller, address 0..99, default 1)
)" + VrqPbFaults::usage(20)
           + R"(  --pty             serve on a new pseudo-terminal (the only transport there is)
  --link PATH       also make PATH a symbolic link to the terminal, replacing an old one, so a
                    client can keep one name across restarts
  --turnaround MS   answer delay after a request (default 2, at most 10000)
  --fault PLAN      noanswer, garbled, slow, badsum or partial, on every answer or as KIND:N on
                    every N-th
  --var-dir DIR     folder of the description files (default: $QUELL_VAR_DIR, else
                    share/quell/examples beside the program's folder when installed, else
                    the project's examples folder)
  --verbose         log every request and answer in hex on standard error
  --help            this text
  --version         the version

Options with a value also take the form --name=value. Exit status: 0 after a stop by signal or
--help, 1 when the link cannot be made, 2 for a bad command line or devices that cannot be made.
)";
}

} // namespace quell::sim
