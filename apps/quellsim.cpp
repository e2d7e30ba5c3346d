// quellsim: simulated devices on a pseudo-terminal, for quellgw --port or any serial program.

#include "sim/DeviceFactory.h"
#include "sim/PtyPort.h"
#include "sim/SimOptions.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

std::atomic<bool> stopRequested{false};

void requestStop(int)
{
    stopRequested.store(true);
}

} // namespace

int main(int argc, char** argv)
{
    using namespace quell::sim;
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << "quellsim " QUELL_VERSION "\n";
        return 0;
    }
    const SimOptionsResult parsed =
        SimOptions::parse(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::cerr << "quellsim: " << parsed.error << "\n" << SimOptions::usage();
        return 2;
    }
    const SimOptions& options = *parsed.options;
    if (options.help) {
        std::cout << SimOptions::usage();
        return 0;
    }
    try {
        FaultyDevice::Plan plan;
        if (!options.fault.empty())
            plan = *FaultyDevice::parsePlan(options.fault); // parse() checked it
        DeviceFactory factory(options.varDir);
        DeviceBus bus = factory.makeBus(options.deviceList(), plan);
        PtyPort port;
        const std::string& link = options.link;
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
        port.serve(bus, std::chrono::milliseconds(options.turnaroundMs), stopRequested,
                   options.verbose ? &std::cerr : nullptr);
        if (!link.empty())
            ::unlink(link.c_str());
    } catch (const std::exception& e) {
        std::cerr << "quellsim: " << e.what() << "\n";
        return 2;
    }
    return 0;
}
