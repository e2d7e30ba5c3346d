#pragma once

#include "boards/VrqPbEntryMap.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace quell {

// The rules of the eight reference selector groups on "Merenje", without widgets. Group g
// (its tag, 0..7) shows and sets entry 4 + g; item k (0..7) stands for bit k, item 8 ("open")
// for no bit. Groups 4 ("MC-R") and 5 ("MC-S") are check-box groups, the others radio groups.
// A wood input may be in only one of "MC-R", "MC-S" and "SELECT" (group 6); the clicks keep it so.
class ReferenceSelection {
public:
    using Writer = std::function<bool(vrqpb::Entry, const std::string&)>;

    static constexpr int kMcR = 4;
    static constexpr int kMcS = 5;
    static constexpr int kSelect = 6;

    // Clicks write through write (the main window's WriteParameter: false when refused).
    explicit ReferenceSelection(Writer write);

    // The code of an item: bit k for items 0..7, 0 for "open" and anything else.
    static std::uint8_t code(int item);
    // The entry of a group.
    static vrqpb::Entry entryOf(int group)
    {
        return static_cast<vrqpb::Entry>(vrqpb::kSelectorFirst + group);
    }

    // A click on item of a radio group; mcR and mcS are the masks the check-box groups show.
    // Routing an input through SELECT first takes it out of MC-R and MC-S.
    void slotClick(int group, int item, std::uint8_t mcR, std::uint8_t mcS);
    // A click on box 0..7 of a check-box group, given the masks both groups show after it and
    // the code selected in SELECT.
    void mcCheckClick(int group, std::uint8_t mcR, std::uint8_t mcS, std::uint8_t select);
    // "open" in a check-box group: no input of that group is connected.
    void mcCheckClear(int group);
    // "Select All" or a double click on a check-box group: every input to that group, after the
    // other group and SELECT were emptied (stops when the first write is refused).
    void selectAll(int group);

    // How a group shows a value: which of the nine items are checked and which are painted red.
    struct Display {
        std::array<bool, 9> checked{};
        std::array<bool, 9> red{};
    };
    // The display of an entry's value (its low byte counts).
    static Display display(std::int16_t value);

private:
    bool write(int group, std::uint8_t value);

    Writer write_;
};

} // namespace quell
