// quellsim: simulated devices on a pseudo-terminal, for quellgw --port or any serial program.

#include "sim/DeviceFactory.h"
#include "sim/PtyPort.h"

#include <atomic>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::atomic<bool> stopRequested{false};

void requestStop(int)
{
    stopRequested.store(true);
}

const char* const kUsage =
    R"(Usage: quellsim MODEL[@ADDRESS][,MODEL@ADDRESS...] --pty [options]

Simulated devices behind a pseudo-terminal. Prints the terminal's path on standard output, then
answers requests until SIGTERM or SIGINT.

  MODEL             vrq-pb (the VRQ-PB board in its calibrator, address 1..14, default 1),
                    vrq-compact (the board as the compact configurator sees it, 1..14) or
                    ei-controller (EI-Bisynch controller, address 0..99, default 1)
  --pty             serve on a new pseudo-terminal (the only transport there is)
  --link PATH       also make PATH a symbolic link to the terminal, replacing an old one, so a
                    client can keep one name across restarts
  --turnaround MS   answer delay after a request (default 2)
  --fault PLAN      noanswer, garbled, slow, badsum or partial, on every answer or as KIND:N on
                    every N-th
  --var-dir DIR     folder of the description files (default: $QUELL_VAR_DIR, else the
                    project's examples folder)
  --verbose         log every request and answer in hex on standard error
  --help            this text
)";

} // namespace

int main(int argc, char** argv)
{
    using namespace quell::sim;
    std::string devices;
    std::string link;
    std::string varDir;
    std::string fault;
    int turnaroundMs = 2;
    bool pty = false;
    bool verbose = false;
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) {
                std::cerr << "quellsim: " << a << " needs a value\n";
                std::exit(2);
            }
            return args[++i];
        };
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--pty") {
            pty = true;
        } else if (a == "--verbose") {
            verbose = true;
        } else if (a == "--link") {
            link = value();
        } else if (a == "--var-dir") {
            varDir = value();
        } else if (a == "--fault") {
            fault = value();
        } else if (a == "--turnaround") {
            const std::string t = value();
            const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), turnaroundMs);
            if (ec != std::errc{} || end != t.data() + t.size() || turnaroundMs < 0) {
                std::cerr << "quellsim: --turnaround: '" << t << "' is not a number of ms\n";
                return 2;
            }
        } else if (a.rfind("--", 0) == 0 || !devices.empty()) {
            std::cerr << "quellsim: unexpected argument '" << a << "'\n" << kUsage;
            return 2;
        } else {
            devices = a;
        }
    }
    if (devices.empty() || !pty) {
        std::cerr << "quellsim: name the devices and say --pty\n" << kUsage;
        return 2;
    }
    // A model without an address sits at address 1.
    std::string list;
    for (std::size_t start = 0; start <= devices.size();) {
        const std::size_t comma = std::min(devices.find(',', start), devices.size());
        std::string part = devices.substr(start, comma - start);
        if (part.find('@') == std::string::npos)
            part += "@1";
        list += (list.empty() ? "" : ",") + part;
        start = comma + 1;
    }
    try {
        FaultyDevice::Plan plan;
        if (!fault.empty()) {
            const auto parsed = FaultyDevice::parsePlan(fault);
            if (!parsed)
                throw std::invalid_argument("--fault: '" + fault + "' is no plan");
            plan = *parsed;
        }
        DeviceFactory factory(varDir);
        DeviceBus bus = factory.makeBus(list, plan);
        PtyPort port;
        if (!link.empty()) {
            ::unlink(link.c_str());
            if (::symlink(port.devicePath().c_str(), link.c_str()) != 0) {
                std::perror(("quellsim: " + link).c_str());
                return 1;
            }
        }
        struct sigaction action {};
        action.sa_handler = requestStop;
        ::sigaction(SIGTERM, &action, nullptr);
        ::sigaction(SIGINT, &action, nullptr);
        std::cout << port.devicePath() << std::endl;
        std::cerr << "quellsim: " << bus.describe() << " on " << port.devicePath() << std::endl;
        port.serve(bus, std::chrono::milliseconds(turnaroundMs), stopRequested,
                   verbose ? &std::cerr : nullptr);
        if (!link.empty())
            ::unlink(link.c_str());
    } catch (const std::exception& e) {
        std::cerr << "quellsim: " << e.what() << "\n";
        return 2;
    }
    return 0;
}
