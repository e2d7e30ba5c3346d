#include "sim/RequestAssembler.h"

#include "protocol/ControlChars.h"

namespace quell::sim {

namespace {
constexpr std::size_t kLongest = 256;
} // namespace

std::optional<std::string> RequestAssembler::feed(char byte, SimTime now)
{
    if (state_ != State::Idle && (now - last_ > kGap || frame_.size() >= kLongest)) {
        state_ = State::Idle;
        frame_.clear();
    }
    last_ = now;
    auto done = [this]() {
        state_ = State::Idle;
        std::string out;
        out.swap(frame_);
        return std::optional<std::string>(std::move(out));
    };
    switch (state_) {
    case State::Idle:
        if (byte == kSoh)
            state_ = State::Maker;
        else if (byte == kEot)
            state_ = State::EIHead;
        else
            return std::nullopt;
        frame_.assign(1, byte);
        return std::nullopt;
    case State::Maker:
        if (byte == kSoh) { // a new request started: the broken one is abandoned
            frame_.assign(1, byte);
            return std::nullopt;
        }
        frame_ += byte;
        if (byte == kEot && frame_.size() > 2)
            return done();
        return std::nullopt;
    case State::EIHead:
        if (byte == kEot) { // EOT alone resets the line; start over
            frame_.assign(1, byte);
            return std::nullopt;
        }
        frame_ += byte;
        if (byte == kEnq)
            return done();
        if (byte == kStx)
            state_ = State::EIData;
        return std::nullopt;
    case State::EIData:
        frame_ += byte;
        if (byte == kEtx)
            state_ = State::EICheck;
        return std::nullopt;
    case State::EICheck:
        frame_ += byte;
        return done();
    }
    return std::nullopt;
}

} // namespace quell::sim
