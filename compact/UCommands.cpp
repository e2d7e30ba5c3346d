#include "compact/UCommands.h"

#include "protocol/ConvertError.h"
#include "protocol/DescriptionFile.h"
#include "protocol/HexText.h"
#include "protocol/KestavinFrames.h"
#include "protocol/NumberText.h"
#include "protocol/ValueCodec.h"
#include "protocol/VarLineReader.h"

#include <algorithm>
#include <optional>

namespace quell::compact {

namespace {

// The type letters of the compact syntax in the order of their type codes; c, l and h are the
// full tool's only.
constexpr std::string_view kTypeLetters = "fdsuxva";

std::uint8_t pollModeOf(const std::string& word)
{
    if (word == "manual")
        return kPollManual;
    if (word == "periodic")
        return kPollPeriodic;
    return kPollOnDemand;
}

std::uint8_t accessOf(const std::string& word)
{
    if (word == "rw")
        return kAccessReadWrite;
    if (word == "wo")
        return kAccessWriteOnly;
    return kAccessReadOnly;
}

// An x entry shows its whole word as four hexadecimal digits, so typed text is read the same way:
// what the table shows can be typed back, and a saved value set loads again. Two decimal digits
// typed the old way ("42") still give the BCD byte they meant (0x42). "$" and "0x" are welcome.
std::int16_t hexWordText(std::string_view text)
{
    const bool prefixed = text.starts_with('$') || text.starts_with("0x") || text.starts_with("0X");
    std::int32_t value = 0;
    try {
        value = parseInteger(prefixed ? std::string(text) : "$" + std::string(text));
    } catch (const EConvertError&) {
        throw EConvertError::integer(text);
    }
    if (value < 0 || value > 0xFFFF)
        throw EConvertError::integer(text);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

std::int16_t low16(std::int64_t value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
}

} // namespace

void TProtocol::Clear()
{
    ProtocolName.clear();
    Section.clear();
    Count = 0;
    for (TCommands& c : Commands) {
        c.Name.clear();
        c.Code1 = c.Code2 = 0;
        c.Max = 0;
        c.TypeCode = kTypeDecimal;
        c.Decimals = 0;
        c.Offset = 0;
        for (std::string& item : c.PickList)
            item.clear();
        c.PollMode = kPollManual;
        c.Valid = false;
        c.Value = 0;
    }
}

bool TProtocol::LoadFromFile(const std::string& fileName)
{
    const std::optional<DescriptionFile> file = readDescriptionFile(fileName);
    if (!file)
        return false;
    Kind = file->protocolWord == "Kestavin" ? kKindKestavin : kKindNone;
    if (Kind == kKindNone)
        return false;

    Clear();
    ProtocolName = file->protocolName;
    Section = file->section;
    std::uint32_t lines = 0;
    readVarLines(*file, lines, kMaxEntries, [this](VarLineReader& r, int entry) {
        Count = static_cast<std::uint8_t>(entry);
        readVarLine(r);
    });
    return Count > 0;
}

void TProtocol::readVarLine(VarLineReader& r)
{
    TCommands& c = Commands[Count];
    c.Name = r.text("Name");
    c.PollMode = pollModeOf(r.raw("PollMode"));
    c.Access = accessOf(r.raw("Access"));
    c.Valid = c.Access == kAccessWriteOnly;
    c.Min = static_cast<std::int16_t>(r.integer("Min"));
    c.Max = static_cast<std::int16_t>(r.integer("Max"));
    c.Default = static_cast<std::int16_t>(r.integer("Default"));
    c.Code1 = static_cast<std::uint8_t>(r.integer("Code1"));
    c.Code2 = static_cast<std::uint8_t>(r.integer("Code2"));
    c.Offset = static_cast<std::int8_t>(static_cast<std::uint8_t>(r.integer("Offset")));
    r.typeWord(kTypeLetters, c.TypeCode, c.Decimals);
    if (c.TypeCode == kTypePickList)
        r.pickList(c.PickList, c.Max);
}

std::string TProtocol::BuildReadBody(std::uint8_t entry) const
{
    const TCommands& c = Commands[entry];
    return kestavin::readBody(c.Code1, c.Code2);
}

std::string TProtocol::BuildWriteFrame(std::uint8_t entry, std::int16_t raw,
                                       std::uint8_t addressByte) const
{
    const TCommands& c = Commands[entry];
    return kestavin::writeFrame(addressByte, c.Code1, c.Code2, static_cast<std::uint16_t>(raw));
}

bool TProtocol::FindEntryBackward(std::uint8_t code, std::uint8_t parameterCode,
                                  std::uint8_t& entry) const
{
    for (int i = Count; i >= 1; --i) {
        const TCommands& c = Commands[static_cast<std::size_t>(i)];
        if (c.Code1 == code && c.Code2 == parameterCode) {
            entry = static_cast<std::uint8_t>(i);
            return true;
        }
    }
    return false;
}

bool TProtocol::ValueToText(std::uint8_t entry, std::int32_t raw)
{
    TCommands& c = Commands[entry];
    switch (c.TypeCode) {
    case kTypeFixed:
        c.ValueText = fixedValueText(raw, c.Decimals, c.Offset);
        break;
    case kTypeDecimal:
    case kTypeUnsigned:
        c.ValueText = std::to_string(static_cast<std::int64_t>(raw) + c.Offset);
        break;
    case kTypeBitFields:
        c.ValueText = bitFieldsText(raw, c.Min, c.Max);
        break;
    case kTypePickList: {
        // The board's index is pinned to the list's last item, so that the text is always one of
        // the items the user can pick.
        const auto index = static_cast<std::int64_t>(
            decodeIndexShift(static_cast<std::uint32_t>(raw) & 0xFFu, c.Offset));
        const bool inList = index <= c.Max;
        const std::int64_t shown =
            std::clamp<std::int64_t>(inList ? index : c.Max, 0, kPickListSize - 1);
        c.Value = static_cast<std::int16_t>(shown);
        c.ValueText = c.PickList[static_cast<std::size_t>(shown)];
        return inList;
    }
    case kTypeBcd:
        c.ValueText = wordToHex4(static_cast<std::uint16_t>(raw & 0xFFFF));
        break;
    case kTypeIndex:
        c.ValueText = "done";
        break;
    default:
        return false;
    }
    c.Value = low16(raw);
    return true;
}

std::optional<std::string> TProtocol::WriteRefusal(std::uint8_t entry, std::string_view text) const
{
    const TCommands& c = Commands[entry];
    return writeRefusal(WriteLimits{c.Name, c.TypeCode, c.Decimals, c.Offset, c.Min, c.Max}, text);
}

bool TProtocol::TextToValue(std::uint8_t entry, std::string_view text)
{
    TCommands& c = Commands[entry];
    bool mapped = true;
    std::int16_t value = c.Value;
    switch (c.TypeCode) {
    case kTypeFixed:
        value = scaleDecimalText(text, c.Decimals);
        break;
    case kTypeDecimal:
    case kTypeUnsigned:
        value = low16(static_cast<std::int64_t>(parseInteger(text)) - c.Offset);
        break;
    case kTypeBcd:
        value = hexWordText(text);
        break;
    case kTypePickList: {
        const int i = findPickItem(c.PickList, c.Max, text);
        mapped = i >= 0;
        if (mapped)
            value = static_cast<std::int16_t>(
                encodeIndexShift(static_cast<std::uint32_t>(i), c.Offset) & 0xFFu);
        break;
    }
    default:
        mapped = false;
        break;
    }
    c.Value = value;
    c.ValueText = std::string(text);
    return mapped;
}

std::string TProtocol::ByteToHex2(std::uint8_t value)
{
    return wordToHex4(value).substr(2);
}

} // namespace quell::compact
