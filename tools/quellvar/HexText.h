#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quell::tools {

// Frames are shown and typed as hexadecimal text, since they carry control characters and bytes
// above 127 that a terminal cannot show.

// Upper-case hexadecimal, two digits per byte, no separators.
std::string bytesToHex(std::string_view bytes);

// The bytes that hexadecimal text (either case, two digits per byte, no separators) stands for;
// nothing when the text has an odd length or a character that is not a hexadecimal digit.
std::optional<std::string> hexToBytes(std::string_view text);

} // namespace quell::tools
