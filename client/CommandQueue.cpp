#include "client/CommandQueue.h"

namespace quell {

bool CommandQueue::PushCommand(const TSendCommand& command)
{
    if (!empty_ && head_ == tail_)
        return false;
    slots_[static_cast<std::size_t>(head_)] = command;
    head_ = (head_ + 1) % kCapacity;
    empty_ = false;
    return true;
}

bool CommandQueue::PopCommand(TSendCommand& command)
{
    if (empty_)
        return false;
    command = slots_[static_cast<std::size_t>(tail_)];
    tail_ = (tail_ + 1) % kCapacity;
    empty_ = tail_ == head_;
    return true;
}

} // namespace quell
