#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace quell::gw {

// The line settings one client asks for: serial framing, answer time-out and further tries.
// Starts with the values a client starts with, so a client that sends nothing gets what it shows.
struct SerialSettings {
    std::string user;
    int baud = 57600;
    char parity = 'E'; // 'N', 'O' or 'E'
    int dataBits = 8;
    int stopBits = 1;
    int timeoutMs = 80; // answer time-out after the request has left
    int retries = 3;    // further tries after a time-out

    // Applies one settings word ("BAUD", "19200"); false, with nothing changed, for a value that
    // cannot be applied or a word that is not a settings word. TOUT and RET above their maximum
    // are applied as the maximum.
    bool apply(std::string_view word, std::string_view value);
    // Every setting in force as settings words, each followed by a blank.
    std::string echo() const;
    // Start, data, parity and stop bits of one character.
    int bitsPerCharacter() const;
    // Time one character takes on the line.
    std::chrono::nanoseconds characterTime() const;
    // True when the two need the same line configuration (time-out, tries and user aside).
    bool sameFraming(const SerialSettings& other) const;

    // Highest user name length kept (longer names are cut).
    static constexpr std::size_t kMaxUser = 20;
    // Larger TOUT and RET values are cut to these; one frame then holds the bus for at most
    // kMaxTimeoutMs * (kMaxRetries + 1).
    static constexpr int kMaxTimeoutMs = 1000;
    static constexpr int kMaxRetries = 10;
};

} // namespace quell::gw
