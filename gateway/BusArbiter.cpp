#include "gateway/BusArbiter.h"

namespace quell::gw {

BusArbiter::Turn::Turn(BusArbiter& arbiter) : arbiter_(arbiter)
{
    std::unique_lock<std::mutex> lock(arbiter_.mutex_);
    const std::uint64_t ticket = arbiter_.next_++;
    arbiter_.turn_.wait(lock, [&] { return arbiter_.serving_ == ticket; });
}

BusArbiter::Turn::~Turn()
{
    {
        const std::lock_guard<std::mutex> lock(arbiter_.mutex_);
        ++arbiter_.serving_;
    }
    arbiter_.turn_.notify_all();
}

} // namespace quell::gw
