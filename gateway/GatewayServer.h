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
        int idleTimeoutS = kDefaultIdleTimeoutS; // a client silent this long is closed; 0 = never
    };

    // Long enough for a station that stands still over a break, short enough that forgotten
    // connections give their places back the same hour.
    static constexpr int kDefaultIdleTimeoutS = 600;
    // A peer that vanished without a word (cable, crash, power) is found by TCP keep-alive: first
    // probe after this much silence, then kKeepAliveCount probes kKeepAliveIntervalS apart.
    static constexpr int kKeepAliveIdleS = 60;
    static constexpr int kKeepAliveIntervalS = 10;
    static constexpr int kKeepAliveCount = 6;
    // A client that does not take its answer within this long is closed: it would hold its place
    // and its thread forever.
    static constexpr int kSendTimeoutS = 30;

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
    // connection and waits for the client threads; an exchange in progress is abandoned, so this
    // returns within a fraction of a second of stop. Thread: the caller's.
    void run(const std::atomic<bool>& stop);
    // Writes one line to the log, control characters escaped so that text from a client cannot
    // forge lines (thread-safe).
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
