#pragma once

#include "sim/DeviceBus.h"

#include <atomic>
#include <ostream>
#include <string>

namespace quell::sim {

// Simulated devices behind a pseudo-terminal: whoever opens devicePath() (the gateway, through
// real termios) talks to them as to a serial port. The port keeps its own handle on the terminal
// side, so a client that closes and reopens it finds the devices still there.
class PtyPort {
public:
    // Opens a new pseudo-terminal; throws std::runtime_error when the system has none to give.
    PtyPort();
    ~PtyPort();
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    // The terminal to open, for example /dev/pts/3.
    const std::string& devicePath() const { return path_; }
    // Answers requests until stop is set (checked at least every 100 ms): each complete request
    // goes to the bus, and its answer is written back after the turnaround. Logs each exchange to
    // log when given. Thread: the caller's; stop may be set from any thread or a signal handler.
    void serve(DeviceBus& bus, SimTime turnaround, const std::atomic<bool>& stop,
               std::ostream* log = nullptr);

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

} // namespace quell::sim
