#pragma once

// The frame code of one device protocol as a small table of functions, chosen once when a
// description is loaded, the way a device driver is: the table code asks the driver and never
// looks at the protocol again.

#include "protocol/UCommands.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quell {

// Where a request goes: the settings the frame builders take. EI-Bisynch uses deviceAddress only.
struct FrameAddress {
    std::uint8_t deviceAddress = 1; // 15 for entries with FixedAddress (the caller's choice)
    std::uint8_t mask = 0xA0;
    bool viaMC = false;
    std::uint8_t mcAddress = 1;
    std::uint8_t mcMask = 0x40;
};

// The frame operations of one protocol.
struct FrameDriver {
    // The Kind this driver serves.
    std::uint8_t kind;
    // The read request of an entry; empty when the protocol has no frames.
    std::string (*buildReadRequest)(const TCommands& entry, const FrameAddress& address);
    // The write request of an entry; first stores the value being written into the entry.
    // Throws EConvertError when the value text is not the number the entry needs.
    std::string (*buildWriteRequest)(TCommands& entry, std::string_view valueText,
                                     const FrameAddress& address);
    // Applies an answer to the table, searching from entry (see TProtocol::ParseAnswer).
    TAnswerResult (*parseAnswer)(TProtocol& protocol, std::string_view request,
                                 std::string_view answer, std::uint16_t entry);
};

// The driver of a Kind; the one without frames for Kind 0 and any unknown Kind.
const FrameDriver& frameDriverFor(std::uint8_t kind);

} // namespace quell
