#pragma once

#include "gateway/GatewayServer.h"

#include <optional>
#include <string>
#include <vector>

namespace quell::gw {

// quellgw's command line.
struct GatewayOptions {
    std::string host = "127.0.0.1";
    int port = 9099;
    std::string device; // --port
    std::string sim;    // --sim list
    int maxClients = 8;
    int idleTimeoutS = GatewayServer::kDefaultIdleTimeoutS; // --idle-timeout, 0 = none
    std::string trace;
    int turnaroundUs = 2000; // --turnaround, in ms on the command line
    std::string fault;       // --fault plan for the simulated devices
    std::string varDir;      // --var-dir
    bool help = false;

    // Reads the arguments after the program name; throws std::invalid_argument with a message
    // naming the bad option.
    static GatewayOptions parse(const std::vector<std::string>& args);
    // A warning for the log when the listening address is not a loopback address (the server
    // has no access control, so whoever reaches it drives the bus); empty for loopback.
    std::string listenWarning() const;
    // The --help text.
    static std::string usage();
};

} // namespace quell::gw
