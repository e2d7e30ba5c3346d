#include "ViewSnapshot.h"

#include "UCommands.h"

#include <algorithm>

namespace quell {

void ViewSnapshot::readTable(const TProtocol& table)
{
    allValid_ = true;
    for (std::uint16_t e = 1; e <= table.Count; ++e) {
        if (!table.Commands[e].Valid) {
            allValid_ = false;
            break;
        }
    }
    count_ = static_cast<std::uint16_t>(std::min<std::size_t>(table.Count, kSize - 1));
    for (std::size_t e = 0; e < kSize; ++e) {
        values_[e] = e <= count_ && e > 0 ? table.Commands[e].Value : 0;
    }
}

void ViewSnapshot::readCells(const std::function<std::string(vrqpb::Entry)>& cellText)
{
    for (std::size_t e = 1; e < kSize; ++e) {
        if (e <= count_) {
            texts_[e] = cellText(static_cast<vrqpb::Entry>(e));
        } else {
            texts_[e].clear();
        }
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
