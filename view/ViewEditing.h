#pragma once

#include "boards/VrqPbEntryMap.h"
#include "view/DisplayHelpers.h"

#include <functional>
#include <string>
#include <string_view>

namespace quell {

class TProtocol;

// The view's edits that reach the board, without widgets: every write goes through the writer,
// which is the main window's WriteParameter in the program (false when it refused the write).
class ViewEditing {
public:
    using Writer = std::function<bool(vrqpb::Entry, const std::string&)>;
    using TextOf = std::function<std::string(std::string_view)>;
    using EntryText = std::function<std::string(vrqpb::Entry)>;

    // Edits whose writes go to write.
    explicit ViewEditing(Writer write);

    // Enter in an entry edit: writes its text to the edit's entry. False when the edit has no
    // entry or the write was refused.
    bool enterPressed(std::string_view editName, const std::string& text);
    // "Get Cal": the text of the channel's voltage label (labelText by label name) becomes the
    // calibration entry's value. Nothing happens for an entry without a voltage label.
    bool getCal(vrqpb::Entry contextEntry, const TextOf& labelText);
    // "GetCalW": the eight wood voltages (valueText of 120..127) become the wood constants
    // (52..59). A refused first write stops it; the later ones are not checked. Returns how many
    // writes were asked for.
    int getCalW(const EntryText& valueText);

    // A probe state item on a probe configuration entry (138..145): the entry's new text, stored
    // as its ValueText (caller holds the table lock). Empty for an entry outside the table.
    static std::string probeStateText(TProtocol& table, vrqpb::Entry entry, ProbeStateItem item);

private:
    Writer write_;
};

} // namespace quell
