#pragma once

#include "boards/VrqPbEntryMap.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quell {

class TProtocol;

// What one refresh of the view reads: the raw values of entries 1..147, whether the whole table
// is valid, and the value-cell texts of the parameter window. A description shorter than the
// entry map leaves the missing entries absent: value 0 and empty text. Reading again keeps what
// did not change and notes whether anything did, so a refresh can skip redrawing the same texts.
class ViewSnapshot {
public:
    // An empty snapshot with a version of its own.
    ViewSnapshot();

    // Reads the raw values and the readiness of the table (caller holds the table lock).
    void readTable(const TProtocol& table);
    // Reads the display texts from the value cells, cells[n] showing entry n (caller holds the
    // lock that guards them); rows the cells or the table lack stay empty.
    void readCells(const std::vector<std::string>& cells);

    // Changes whenever a read finds anything different; two snapshots, or one snapshot at two
    // moments, with the same version hold the same values and texts.
    std::uint64_t version() const { return version_; }

    // Whether every entry 1..Count is valid (true for an empty table).
    bool allValid() const { return allValid_; }

    // Whether the table has the entry.
    bool has(vrqpb::Entry entry) const;
    // The raw value of an entry; 0 when absent.
    std::int16_t value(vrqpb::Entry entry) const;
    // The display text of an entry; empty when absent.
    const std::string& text(vrqpb::Entry entry) const;

private:
    void changed();

    static constexpr std::size_t kSize = vrqpb::kLastViewEntry + 1;
    std::uint64_t version_;
    bool allValid_ = true;
    std::uint16_t count_ = 0;
    std::array<std::int16_t, kSize> values_{};
    std::array<std::string, kSize> texts_{};
};

} // namespace quell
