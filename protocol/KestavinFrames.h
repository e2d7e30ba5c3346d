#pragma once

// Frames of the maker's own serial protocol: a byte travels as two characters 0x30 + nibble,
// requests start with SOH and the address byte, and a request can be routed through a master
// controller (MC) that forwards it to the device.

#include "protocol/ControlChars.h"
#include "protocol/HexText.h"
#include "protocol/UCommands.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quell::kestavin {

inline constexpr std::uint8_t kRoutingMarker = 0xFF;

// What a read request carries between its address byte and EOT: E(code), E(code3) and
// E(code XOR code3).
std::string readBody(std::uint8_t code, std::uint8_t code3);
// A plain write request: SOH, the address byte, E(code), E(code3), E(high byte), E(low byte),
// E(checksum: the XOR of those four bytes), EOT.
std::string writeFrame(std::uint8_t addressByte, std::uint8_t code, std::uint8_t code3,
                       std::uint16_t value);
// The read request of an entry: address byte mask|deviceAddress, Code1, Code3 and their XOR.
std::string buildReadRequest(const TCommands& entry, std::uint8_t deviceAddress, std::uint8_t mask,
                             bool viaMC, std::uint8_t mcAddress, std::uint8_t mcMask);
// The write request of an entry carrying its current Value.
std::string buildWriteRequest(const TCommands& entry, std::uint8_t deviceAddress, std::uint8_t mask,
                              bool viaMC, std::uint8_t mcAddress, std::uint8_t mcMask);
// A plain request wrapped for the MC whose address byte is mcByte.
std::string route(std::string_view frame, std::uint8_t mcByte);
// A routed frame reduced to the plain layout; frames too short to be routed come back unchanged.
std::string unroute(std::string_view frame);
// Applies an answer to the table (see TProtocol::ParseAnswer).
TAnswerResult parseAnswer(TProtocol& protocol, std::string_view request, std::string_view answer,
                          std::uint16_t entry);

} // namespace quell::kestavin
