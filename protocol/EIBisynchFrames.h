#pragma once

// Frames of the EI-Bisynch ASCII protocol: decimal group and unit address digits, a two-character
// mnemonic with an optional channel character, and data carried as text.

#include "protocol/ControlChars.h"
#include "protocol/UCommands.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quell::eibisynch {

// Code3 of an entry without a channel.
inline constexpr char kNoChannel = '0';

// The poll of an entry: EOT, group digit twice, unit digit twice, [channel,] mnemonic, ENQ.
std::string buildReadRequest(const TCommands& entry, std::uint8_t deviceAddress);
// The selection of an entry: EOT, address digits, STX, [channel,] mnemonic, the value text as it
// stands, ETX and the block check (XOR of everything after STX up to and including ETX).
std::string buildWriteRequest(const TCommands& entry, std::string_view valueText,
                              std::uint8_t deviceAddress);
// Applies an answer to the table (see TProtocol::ParseAnswer).
TAnswerResult parseAnswer(TProtocol& protocol, std::string_view request, std::string_view answer,
                          std::uint16_t entry);

} // namespace quell::eibisynch
