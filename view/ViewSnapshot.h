#pragma once

#include "boards/VrqPbEntryMap.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quell {

class TProtocol;

// What the view shows of the table: the raw values of entries 1..147, whether the whole table is
// valid, and the value-cell texts of the parameter window. A description shorter than the entry
// map leaves the missing entries absent: value 0 and empty text.
//
// It is the view's one record of what changed: every read compares what it reads with what it
// holds and stamps each entry that differs with a new stamp from one counter, so whoever drew
// at some stamp redraws only the entries stamped after it. After an answer only the answered
// entries are read; a reset of the table reads them all.
class ViewSnapshot {
public:
    // An empty snapshot whose entries all count as changed.
    ViewSnapshot();

    // Reads the raw values and the readiness of the table (caller holds the table lock).
    void readTable(const TProtocol& table);
    // Reads the display texts from the value cells, cells[n] showing entry n (caller holds the
    // lock that guards them); rows the cells or the table lack stay empty.
    void readCells(const std::vector<std::string>& cells);
    // Reads the value and cell text of these entries only, and the readiness of the table (caller
    // holds the lock of both). A table of another size is read whole.
    void readEntries(const TProtocol& table, const std::vector<std::string>& cells,
                     std::span<const std::uint16_t> entries);
    // What a refresh after an answer reads: the answered entries and those asked for with
    // readAlso(), or everything when a full read was asked for (a new snapshot asks for one).
    void readAnswered(const TProtocol& table, const std::vector<std::string>& cells,
                      std::span<const std::uint16_t> answered);
    // The next readAnswered() reads the whole table and every cell: they changed other than by
    // answers (cleared, loaded, typed).
    void readAllNext() { readAll_ = true; }
    // The next readAnswered() reads this entry too: its value changed other than by an answer
    // (a write stores the new value before the answer comes).
    void readAlso(vrqpb::Entry entry) { also_.push_back(entry); }

    // The newest stamp handed out by any snapshot; a drawing made now is up to date with it.
    static std::uint64_t latestStamp();
    // Whether the entry changed after the given stamp (entries beyond the map never do).
    bool changedSince(vrqpb::Entry entry, std::uint64_t stamp) const
    {
        return entry < kSize && stamps_[entry] > stamp;
    }

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
    void readValidity(const TProtocol& table);
    void setValue(std::size_t entry, std::int16_t value);
    void setText(std::size_t entry, const std::string& text);
    void stamp(std::size_t entry);

    bool readAll_ = true;
    std::vector<std::uint16_t> also_;
    bool allValid_ = true;
    std::uint16_t count_ = 0;
    std::array<std::int16_t, kSize> values_{};
    std::array<std::string, kSize> texts_{};
    std::array<std::uint64_t, kSize> stamps_{};
};

} // namespace quell
