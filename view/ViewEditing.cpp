#include "view/ViewEditing.h"

#include "protocol/UCommands.h"
#include "view/ViewChannels.h"

namespace quell {

using namespace vrqpb;

ViewEditing::ViewEditing(Writer write) : write_(std::move(write))
{
}

bool ViewEditing::enterPressed(std::string_view editName, const std::string& text)
{
    const Entry entry = EntryOfEdit(editName);
    return entry < kNoEntry && write_(entry, text);
}

bool ViewEditing::getCal(Entry contextEntry, const TextOf& labelText)
{
    const std::string label = CalVoltageLabel(contextEntry);
    return !label.empty() && write_(contextEntry, labelText(label));
}

int ViewEditing::getCalW(const EntryText& valueText)
{
    if (!write_(kCalWoodFirst, valueText(kWoodVoltFirst))) {
        return 1;
    }
    for (int i = 1; i < kWoodChannels; ++i) {
        write_(static_cast<Entry>(kCalWoodFirst + i),
               valueText(static_cast<Entry>(kWoodVoltFirst + i)));
    }
    return kWoodChannels;
}

std::string ViewEditing::probeStateText(TProtocol& table, Entry entry, ProbeStateItem item)
{
    auto* command = table.entryAt(entry);
    if (command == nullptr) {
        return {};
    }
    const auto config = static_cast<std::uint8_t>(command->Value & 0xFF);
    command->ValueText = table.ValueToText(entry, ProbeStateByte(config, item), command->ValueText);
    return command->ValueText;
}

} // namespace quell
