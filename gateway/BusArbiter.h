#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace quell::gw {

// Takes turns on the one bus: whoever asks first goes first. Each client has at most one request
// line waiting (it reads its answer before it sends the next), so first-come is also fair: no
// client gets a second turn while another waits. Thread-safe.
class BusArbiter {
public:
    // Held while a request line uses the bus; the next waiter goes when it is destroyed.
    class Turn {
    public:
        explicit Turn(BusArbiter& arbiter);
        ~Turn();
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;

    private:
        BusArbiter& arbiter_;
    };

private:
    std::mutex mutex_;
    std::condition_variable turn_;
    std::uint64_t next_ = 0;
    std::uint64_t serving_ = 0;
};

} // namespace quell::gw
