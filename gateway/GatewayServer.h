#pragma once

#include "gateway/BusArbiter.h"
#include "gateway/ByteLink.h"
#include "gateway/TrafficTrace.h"

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

namespace quell::gw {

// The TCP side of the gateway: listens, serves each client on a thread of its own (one request
// line, one answer line), refuses clients beyond the limit with one line before closing, and ends
// cleanly when asked.
class GatewayServer {
public:
    struct Config {
        std::string host = "127.0.0.1";
        int port = 9099; // 0 = any free port
        int maxClients = 8;
    };

    // link, trace and log outlive the server.
    GatewayServer(Config config, ByteLink& link, TrafficTrace& trace, std::ostream& log);
    ~GatewayServer();
    GatewayServer(const GatewayServer&) = delete;
    GatewayServer& operator=(const GatewayServer&) = delete;

    // Binds and listens; false with a reason when the address cannot be had.
    bool listen(std::string& failure);
    // The port listened on (the chosen one when Config::port was 0).
    int port() const { return boundPort_; }
    // Accepts and serves clients until stop is set (checked every 100 ms), then closes every
    // connection and waits for the client threads. Thread: the caller's.
    void run(const std::atomic<bool>& stop);
    // Writes one line to the log (thread-safe).
    void log(const std::string& line);

private:
    struct Client {
        int fd = -1;
        int id = 0;
        std::thread thread;
        std::atomic<bool> finished{false};
    };

    void serve(Client& client, const std::atomic<bool>& stop);
    void reap();

    Config config_;
    ByteLink& link_;
    TrafficTrace& trace_;
    std::ostream& log_;
    BusArbiter arbiter_;
    int listener_ = -1;
    int boundPort_ = 0;
    int nextId_ = 1;
    std::mutex logMutex_;
    std::list<Client> clients_;
};

} // namespace quell::gw
