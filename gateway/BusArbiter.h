#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace quell::gw {

// Takes turns on the one bus: whoever asks first goes first. A session asks for one turn per
// frame and has at most one turn waiting, and after its frame it queues again behind everyone
// already waiting, so first-come is also fair: no client waits for more than one frame of each
// other client. Thread-safe.
class BusArbiter {
public:
    // Held while one frame uses the bus; the next waiter goes when it is destroyed.
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
