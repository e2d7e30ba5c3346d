#include "view/ViewSnapshot.h"

#include "protocol/UCommands.h"

#include <algorithm>
#include <atomic>

namespace quell {

namespace {

// Versions are unique across all snapshots, so a new snapshot never passes for an old one.
std::uint64_t nextVersion()
{
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

} // namespace

ViewSnapshot::ViewSnapshot() : version_(nextVersion())
{
}

void ViewSnapshot::changed()
{
    version_ = nextVersion();
}

void ViewSnapshot::readTable(const TProtocol& table)
{
    bool allValid = true;
    for (std::uint16_t e = 1; e <= table.Count; ++e) {
        if (!table.Commands[e].Valid) {
            allValid = false;
            break;
        }
    }
    const auto count = static_cast<std::uint16_t>(std::min<std::size_t>(table.Count, kSize - 1));
    bool different = allValid != allValid_ || count != count_;
    allValid_ = allValid;
    count_ = count;
    for (std::size_t e = 0; e < kSize; ++e) {
        const std::int16_t value = e <= count_ && e > 0 ? table.Commands[e].Value : 0;
        different = different || value != values_[e];
        values_[e] = value;
    }
    if (different) {
        changed();
    }
}

void ViewSnapshot::readCells(const std::vector<std::string>& cells)
{
    bool different = false;
    for (std::size_t e = 1; e < kSize; ++e) {
        // Assigning only what differs keeps the strings and their buffers of the last read.
        if (e <= count_ && e < cells.size()) {
            if (texts_[e] != cells[e]) {
                texts_[e] = cells[e];
                different = true;
            }
        } else if (!texts_[e].empty()) {
            texts_[e].clear();
            different = true;
        }
    }
    if (different) {
        changed();
    }
}

bool ViewSnapshot::has(vrqpb::Entry entry) const
{
    return entry > 0 && entry <= count_;
}

std::int16_t ViewSnapshot::value(vrqpb::Entry entry) const
{
    return has(entry) ? values_[entry] : 0;
}

const std::string& ViewSnapshot::text(vrqpb::Entry entry) const
{
    static const std::string empty;
    return has(entry) ? texts_[entry] : empty;
}

} // namespace quell
