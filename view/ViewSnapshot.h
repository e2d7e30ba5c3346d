#pragma once

#include "VrqPbEntryMap.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace quell {

class TProtocol;

// What one refresh of the view reads: the raw values of entries 1..147, whether the whole table
// is valid, and the value-cell texts of the parameter window. A description shorter than the
// entry map leaves the missing entries absent: value 0 and empty text.
class ViewSnapshot {
public:
    // Reads the raw values and the readiness of the table (caller holds the table lock).
    void readTable(const TProtocol& table);
    // Reads the display texts through cellText (row n shows entry n); absent rows stay empty.
    void readCells(const std::function<std::string(vrqpb::Entry)>& cellText);

    // Whether every entry 1..Count is valid (true for an empty table).
    bool allValid() const { return allValid_; }

    // Whether the table has the entry.
    bool has(vrqpb::Entry entry) const;
    // The raw value of an entry; 0 when absent.
    std::int16_t value(vrqpb::Entry entry) const;
    // The display text of an entry; empty when absent.
    const std::string& text(vrqpb::Entry entry) const;

private:
    static constexpr std::size_t kSize = vrqpb::kLastViewEntry + 1;
    bool allValid_ = true;
    std::uint16_t count_ = 0;
    std::array<std::int16_t, kSize> values_{};
    std::array<std::string, kSize> texts_{};
};

} // namespace quell
