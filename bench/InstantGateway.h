#pragma once

#include <QtGlobal>

#include <atomic>
#include <ctime>
#include <string>
#include <thread>

namespace quell::bench {

// A gateway on loopback that answers every line at once, in a thread of this process: settings
// lines with themselves, every device block with a value answer whose value changes each time,
// so the grid really repaints.
class InstantGateway {
public:
    // Listens on an ephemeral loopback port and serves one client at a time.
    InstantGateway();
    // Stops serving and joins its thread.
    ~InstantGateway();

    InstantGateway(const InstantGateway&) = delete;
    InstantGateway& operator=(const InstantGateway&) = delete;

    // The port it listens on.
    quint16 port() const { return port_; }
    // The lines answered so far.
    long exchanges() const { return exchanges_; }
    // CPU seconds its thread has used so far, so a caller can take the gateway's share out of
    // the process's CPU time.
    double cpuSeconds() const;

    // The answer line (without CR LF) to a request line, with value in every device answer.
    static std::string answerFor(const std::string& line, int value);

private:
    void serve();

    int listener_ = -1;
    std::atomic<int> client_{-1};
    quint16 port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<long> exchanges_{0};
    std::thread thread_;
    clockid_t threadClock_{};
    bool hasThreadClock_ = false;
};

} // namespace quell::bench
