#pragma once

// The control characters the device frames of both protocols are built from, as the single
// characters they are in a frame. Every folder that writes or reads frames takes them from here.

namespace quell {

inline constexpr char kSoh = 0x01; // starts a request or answer of the maker's protocol
inline constexpr char kStx = 0x02; // starts an EI-Bisynch data block
inline constexpr char kEtx = 0x03; // ends a data block; ends an answer of the maker's protocol
inline constexpr char kEot =
    0x04; // ends a request of the maker's protocol; starts an EI-Bisynch one
inline constexpr char kEnq = 0x05; // ends an EI-Bisynch poll
inline constexpr char kAck = 0x06; // an EI-Bisynch device accepted a write
inline constexpr char kNak = 0x15; // an EI-Bisynch device refused a write

} // namespace quell
