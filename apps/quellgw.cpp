// quellgw: the communication server. Wires the command line, the bus (serial port or virtual
// bus of simulated devices), the trace and the TCP server, and runs until SIGTERM or SIGINT.

#include "gateway/GatewayOptions.h"
#include "gateway/GatewayServer.h"
#include "gateway/SerialPort.h"
#include "gateway/TrafficTrace.h"
#include "gateway/VirtualBus.h"
#include "sim/DeviceFactory.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <memory>
#include <string_view>

namespace {

std::atomic<bool> stopRequested{false};

void requestStop(int)
{
    stopRequested.store(true);
}

} // namespace

int main(int argc, char** argv)
{
    using namespace quell;
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << "quellgw " QUELL_VERSION "\n";
        return 0;
    }
    gw::GatewayOptions options;
    try {
        options = gw::GatewayOptions::parse(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "quellgw: " << e.what() << "\n" << gw::GatewayOptions::usage();
        return 2;
    }
    if (options.help) {
        std::cout << gw::GatewayOptions::usage();
        return 0;
    }
    std::unique_ptr<gw::ByteLink> link;
    try {
        if (!options.sim.empty()) {
            sim::FaultyDevice::Plan plan;
            if (!options.fault.empty()) {
                const auto parsed = sim::FaultyDevice::parsePlan(options.fault);
                if (!parsed)
                    throw std::invalid_argument("--fault: '" + options.fault + "' is no plan");
                plan = *parsed;
            }
            sim::DeviceFactory factory(options.varDir);
            link =
                std::make_unique<gw::VirtualBus>(factory.makeBus(options.sim, plan),
                                                 std::chrono::microseconds(options.turnaroundUs));
        } else {
            link = std::make_unique<gw::SerialPort>(options.device, std::cerr);
        }
    } catch (const std::exception& e) {
        std::cerr << "quellgw: " << e.what() << "\n";
        return 2;
    }
    std::unique_ptr<gw::TrafficTrace> trace;
    try {
        trace = std::make_unique<gw::TrafficTrace>(options.trace);
    } catch (const std::exception& e) {
        std::cerr << "quellgw: " << e.what() << "\n";
        return 2;
    }
    gw::GatewayServer server({options.host, options.port, options.maxClients, options.idleTimeoutS},
                             *link, *trace, std::cerr);
    if (const std::string warning = options.listenWarning(); !warning.empty())
        server.log(warning);
    std::string failure;
    if (!server.listen(failure)) {
        std::cerr << "quellgw: cannot listen on " << options.host << ":" << options.port << ": "
                  << failure << "\n";
        return 1;
    }
    struct sigaction action {};
    action.sa_handler = requestStop;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    if (!options.device.empty()) {
        // Open the port now, so a wrong name shows at once (exchanges keep trying to open it).
        std::string portFailure;
        link->configure(gw::SerialSettings{}, portFailure);
    }
    server.log("listening on " + options.host + ":" + std::to_string(server.port()) + ", "
               + link->describe());
    server.run(stopRequested);
    server.log("stopped");
    return 0;
}
