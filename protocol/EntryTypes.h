#pragma once

// The codes a description file gives every parameter, the same in both protocol engines: the
// device protocol, the value type picked by the type word's last letter, the access word, and
// the size of a pick list.

#include <cstdint>

namespace quell {

// A pick list holds items 0..20.
inline constexpr int kPickListSize = 21;

// Protocol of the loaded description.
enum : std::uint8_t { kKindNone = 0, kKindKestavin = 1, kKindEIBisynch = 2 };

// Value types, selected by the last character of the type word.
enum : std::uint8_t {
    kTypeFixed = 0,     // f<n>
    kTypeDecimal = 1,   // d
    kTypePickList = 2,  // s
    kTypeUnsigned = 3,  // u
    kTypeBcd = 4,       // x
    kTypeBitFields = 5, // v
    kTypeIndex = 6,     // a
    kTypeString = 7,    // c
    kTypeLong = 8,      // l
    kTypeHex = 9,       // h
};

// Access codes.
enum : std::uint8_t { kAccessReadOnly = 0, kAccessReadWrite = 1, kAccessWriteOnly = 2 };

} // namespace quell
