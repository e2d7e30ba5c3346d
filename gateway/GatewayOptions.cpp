#include "gateway/GatewayOptions.h"

#include "protocol/NumberText.h"
#include "sim/VrqPbFaults.h"

#include <stdexcept>

namespace quell::gw {

GatewayOptions GatewayOptions::parse(const std::vector<std::string>& args)
{
    GatewayOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.help = true;
            continue;
        }
        if (a.rfind("--", 0) != 0)
            throw std::invalid_argument("unexpected argument '" + a + "'");
        // "--name value" and "--name=value" both work.
        std::string name = a;
        std::string value;
        const std::size_t eq = a.find('=');
        if (eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        } else {
            if (i + 1 >= args.size())
                throw std::invalid_argument(a + " needs a value");
            value = args[++i];
        }
        if (name == "--listen") {
            const std::size_t colon = value.rfind(':');
            if (colon == std::string::npos || colon == 0)
                throw std::invalid_argument("--listen: '" + value + "' is not HOST:PORT");
            o.host = value.substr(0, colon);
            if (o.host.size() > 2 && o.host.front() == '[' && o.host.back() == ']')
                o.host = o.host.substr(1, o.host.size() - 2);
            o.port = boundedIntegerOption("--listen", value.substr(colon + 1), 0, 65535);
        } else if (name == "--port") {
            o.device = value;
        } else if (name == "--sim") {
            o.sim = value;
        } else if (name == "--max-clients") {
            o.maxClients = boundedIntegerOption(name, value, 1, 1000);
        } else if (name == "--idle-timeout") {
            o.idleTimeoutS = boundedIntegerOption(name, value, 0, 86400);
        } else if (name == "--trace") {
            o.trace = value;
        } else if (name == "--turnaround") {
            o.turnaroundUs = boundedIntegerOption(name, value, 0, 10000) * 1000;
        } else if (name == "--fault") {
            o.fault = value;
        } else if (name == "--var-dir") {
            o.varDir = value;
        } else {
            throw std::invalid_argument("unknown option " + name + " (see --help)");
        }
    }
    if (!o.help && o.device.empty() == o.sim.empty())
        throw std::invalid_argument("say either --port DEVICE or --sim MODEL@ADDRESS[,...]");
    return o;
}

std::string GatewayOptions::listenWarning() const
{
    const bool loopback = host == "localhost" || host == "::1" || host.rfind("127.", 0) == 0
                          || host.rfind("::ffff:127.", 0) == 0;
    if (loopback)
        return {};
    return "warning: listening on " + host
           + ", so the server is reachable from the network: anyone who reaches this port can "
             "drive the bus (the default, 127.0.0.1, serves this machine only)";
}

std::string GatewayOptions::usage()
{
    return R"(Usage: quellgw (--port DEVICE | --sim MODEL@ADDRESS[:OPTION...][,...]) [options]

The communication server: serves the gateway line protocol on TCP and owns one serial bus.
Runs in the foreground, logs to standard error, ends on SIGTERM or SIGINT.

  --listen HOST:PORT   address to listen on (default 127.0.0.1:9099; loopback only unless told
                       otherwise; port 0 picks a free port, which is logged); any other address
                       makes the server reachable from the network, and it says so in its log
  --port DEVICE        the serial port, e.g. /dev/ttyUSB0 (POSIX termios; any baud rate the driver
                       can make, 14400 included); reopened when it comes back after going away
  --sim LIST           a virtual bus of simulated devices instead of a port, e.g.
                       vrq-pb@1,ei-controller@12 (models: vrq-pb, vrq-compact,
                       ei-controller); every character costs its real time at the client's
                       serial settings
)" + sim::VrqPbFaults::usage(23)
           + R"(  --max-clients N      clients served at once (default 8); one more gets "ERROR=TooManyClients"
  --idle-timeout S     close a client that sends nothing for S seconds (default 600; 0 = never),
                       so forgotten connections give their places back; TCP keep-alive also
                       finds peers that vanished without closing (after about two minutes)
  --trace FILE         append a traffic log: time-stamped, per client, frames in hex
  --turnaround MS      with --sim: the devices' answer delay after a request (default 2)
  --fault PLAN         with --sim: put a fault on every device: noanswer, garbled, slow, badsum or
                       partial, on every answer or as KIND:N on every N-th
  --var-dir DIR        with --sim: folder of the description files (default: $QUELL_VAR_DIR, else
                       share/quell/examples beside the program's folder when installed, else
                       the project's examples folder)
  --help               this text
  --version            the version

Answer failure words: TimeOut (no answer in time, after RET= further tries), Partial (the answer
stopped half-way), BadCheck (EI-Bisynch block check wrong), NoPort (the port cannot be opened),
PortLost (it went away during the exchange), BadSettings (the port refused the framing).

Bounds: TOUT= above 1000 ms and RET= above 10 are cut to those values and echoed as cut, so one
frame holds the bus for at most 11 s. Clients take turns frame by frame: a client waits for at
most one frame of each other client. The frames of a client that leaves are dropped at once, and
SIGTERM or SIGINT ends the server within a second whatever is on the bus.
)";
}

} // namespace quell::gw
