#include "view/ViewSnapshot.h"

#include "protocol/UCommands.h"

#include <algorithm>
#include <atomic>

namespace quell {

namespace {

// One counter for all snapshots, so a new snapshot never passes for one already drawn.
std::atomic<std::uint64_t> lastStamp{0};

} // namespace

ViewSnapshot::ViewSnapshot()
{
    stamps_.fill(++lastStamp);
}

std::uint64_t ViewSnapshot::latestStamp()
{
    return lastStamp;
}

void ViewSnapshot::stamp(std::size_t entry)
{
    stamps_[entry] = ++lastStamp;
}

void ViewSnapshot::setValue(std::size_t entry, std::int16_t value)
{
    if (values_[entry] != value) {
        values_[entry] = value;
        stamp(entry);
    }
}

void ViewSnapshot::setText(std::size_t entry, const std::string& text)
{
    // Assigning only what differs keeps the strings and their buffers of the last read.
    if (texts_[entry] != text) {
        texts_[entry] = text;
        stamp(entry);
    }
}

void ViewSnapshot::readValidity(const TProtocol& table)
{
    // Validity also changes without answers (a reconnect, "Refresh"), so it is read whole; the
    // scan stops at the first entry still unread.
    bool allValid = true;
    for (std::uint16_t e = 1; e <= table.Count; ++e) {
        if (!table.Commands[e].Valid) {
            allValid = false;
            break;
        }
    }
    allValid_ = allValid;
}

void ViewSnapshot::readTable(const TProtocol& table)
{
    readValidity(table);
    const auto count = static_cast<std::uint16_t>(std::min<std::size_t>(table.Count, kSize - 1));
    if (count != count_) {
        // Entries that came or went change what they show even where the value stays 0.
        for (std::size_t e = std::min(count, count_) + 1u; e <= std::max(count, count_); ++e) {
            stamp(e);
        }
        count_ = count;
    }
    for (std::size_t e = 1; e < kSize; ++e) {
        setValue(e, e <= count_ ? table.Commands[e].Value : std::int16_t{0});
    }
}

void ViewSnapshot::readCells(const std::vector<std::string>& cells)
{
    static const std::string empty;
    for (std::size_t e = 1; e < kSize; ++e) {
        setText(e, e <= count_ && e < cells.size() ? cells[e] : empty);
    }
}

void ViewSnapshot::readEntries(const TProtocol& table, const std::vector<std::string>& cells,
                               std::span<const std::uint16_t> entries)
{
    if (std::min<std::size_t>(table.Count, kSize - 1) != count_) {
        readTable(table);
        readCells(cells);
        return;
    }
    readValidity(table);
    for (const std::uint16_t e : entries) {
        if (e == 0 || e > count_) {
            continue;
        }
        setValue(e, table.Commands[e].Value);
        if (e < cells.size()) {
            setText(e, cells[e]);
        }
    }
}

void ViewSnapshot::readAnswered(const TProtocol& table, const std::vector<std::string>& cells,
                                std::span<const std::uint16_t> answered)
{
    if (readAll_) {
        readTable(table);
        readCells(cells);
    } else if (also_.empty()) {
        readEntries(table, cells, answered);
    } else {
        also_.insert(also_.end(), answered.begin(), answered.end());
        readEntries(table, cells, also_);
    }
    readAll_ = false;
    also_.clear();
}

bool ViewSnapshot::has(vrqpb::Entry entry) const
{
    return entry > 0 && entry <= count_;
}

std::int16_t ViewSnapshot::value(vrqpb::Entry entry) const
{
    return has(entry) ? values_[entry] : std::int16_t{0};
}

const std::string& ViewSnapshot::text(vrqpb::Entry entry) const
{
    static const std::string empty;
    return has(entry) ? texts_[entry] : empty;
}

} // namespace quell
