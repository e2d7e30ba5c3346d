#pragma once

#include "client/TSendCommand.h"

#include <array>

namespace quell {

// First-in first-out ring of ten direct requests. Not thread-safe: its owner locks.
class CommandQueue {
public:
    static constexpr int kCapacity = 10;

    // Stores a copy at the head; false (nothing stored) when ten commands are waiting.
    bool PushCommand(const TSendCommand& command);
    // Takes the oldest command; false when none is waiting.
    bool PopCommand(TSendCommand& command);
    // True when no command is waiting.
    bool isEmpty() const { return empty_; }

private:
    std::array<TSendCommand, kCapacity> slots_;
    int head_ = 0;
    int tail_ = 0;
    bool empty_ = true; // head_ == tail_ means empty or full; this tells which
};

} // namespace quell
