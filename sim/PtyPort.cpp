#include "sim/PtyPort.h"

#include "sim/RequestAssembler.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace quell::sim {

namespace {

std::string hex(std::string_view bytes)
{
    std::string out;
    char two[4];
    for (unsigned char c : bytes) {
        std::snprintf(two, sizeof two, "%02X", c);
        out += two;
    }
    return out;
}

} // namespace

PtyPort::PtyPort()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        throw std::runtime_error(std::string("no pseudo-terminal: ") + std::strerror(errno));
    const char* name = ::ptsname(master_);
    if (!name)
        throw std::runtime_error("no pseudo-terminal name");
    path_ = name;
    // Our own handle on the terminal side: without it the line hangs up whenever the client
    // closes it, and the raw settings below would be lost.
    slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY);
    if (slave_ >= 0) {
        termios t{};
        if (::tcgetattr(slave_, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(slave_, TCSANOW, &t);
        }
    }
}

PtyPort::~PtyPort()
{
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

void PtyPort::serve(DeviceBus& bus, SimTime turnaround, const std::atomic<bool>& stop,
                    std::ostream* log)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point origin = Clock::now();
    auto now = [&] { return std::chrono::duration_cast<SimTime>(Clock::now() - origin); };
    RequestAssembler assembler;
    char buffer[512];
    while (!stop.load()) {
        pollfd p{master_, POLLIN, 0};
        const int ready = ::poll(&p, 1, 100);
        if (ready <= 0 || !(p.revents & POLLIN))
            continue;
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0)
            continue;
        for (ssize_t i = 0; i < n; ++i) {
            std::optional<std::string> request = assembler.feed(buffer[i], now());
            if (!request)
                continue;
            std::optional<Reply> reply = bus.respond(*request, now());
            if (log)
                *log << "> " << hex(*request) << "\n< " << (reply ? hex(reply->bytes) : "-")
                     << std::endl;
            if (!reply)
                continue;
            std::this_thread::sleep_for(turnaround + reply->extraDelay);
            std::size_t done = 0;
            while (done < reply->bytes.size()) {
                const ssize_t w =
                    ::write(master_, reply->bytes.data() + done, reply->bytes.size() - done);
                if (w <= 0)
                    break;
                done += static_cast<std::size_t>(w);
            }
        }
    }
}

} // namespace quell::sim
