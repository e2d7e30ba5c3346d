#include "view/ReferenceSelection.h"

#include "protocol/UCommands.h"

namespace quell {

ReferenceSelection::ReferenceSelection(Writer write) : write_(std::move(write))
{
}

std::uint8_t ReferenceSelection::code(int item)
{
    return item >= 0 && item < 8 ? static_cast<std::uint8_t>(1u << item) : 0;
}

bool ReferenceSelection::write(int group, std::uint8_t value)
{
    return write_(entryOf(group), TProtocol::ByteToHex(value));
}

void ReferenceSelection::slotClick(int group, int item, std::uint8_t mcR, std::uint8_t mcS)
{
    const std::uint8_t selected = code(item);
    if (group == kSelect) {
        const auto r = static_cast<std::uint8_t>(mcR & ~selected);
        if (r != mcR) {
            write(kMcR, r);
        }
        const auto s = static_cast<std::uint8_t>(mcS & ~selected);
        if (s != mcS) {
            write(kMcS, s);
        }
    }
    write(group, selected);
}

void ReferenceSelection::mcCheckClick(int group, std::uint8_t mcR, std::uint8_t mcS,
                                      std::uint8_t select)
{
    const bool isR = group == kMcR;
    const std::uint8_t mine = isR ? mcR : mcS;
    const std::uint8_t other = isR ? mcS : mcR;
    const auto otherLeft = static_cast<std::uint8_t>(other & ~mine);
    if (otherLeft != other) {
        write(isR ? kMcS : kMcR, otherLeft);
    }
    const auto selectLeft = static_cast<std::uint8_t>(select & ~mine);
    if (selectLeft != select) {
        write(kSelect, selectLeft);
    }
    write(group, mine);
}

void ReferenceSelection::mcCheckClear(int group)
{
    write(group, 0);
}

void ReferenceSelection::selectAll(int group)
{
    const int other = group == kMcR ? kMcS : kMcR;
    if (!write(other, 0)) {
        return;
    }
    write(kSelect, 0);
    write(group, 0xFF);
}

ReferenceSelection::Display ReferenceSelection::display(std::int16_t value)
{
    Display d;
    const auto v = static_cast<std::uint8_t>(value & 0xFF);
    for (int k = 0; k < 8; ++k) {
        const bool set = (v >> k) & 1u;
        d.checked[static_cast<std::size_t>(k)] = set;
        d.red[static_cast<std::size_t>(k)] = set;
    }
    d.checked[8] = v == 0;
    return d;
}

} // namespace quell
