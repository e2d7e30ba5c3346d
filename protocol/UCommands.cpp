#include "protocol/UCommands.h"

#include "protocol/DescriptionFile.h"
#include "protocol/FrameDriver.h"
#include "protocol/ValueCodec.h"
#include "protocol/VarLineReader.h"

#include <optional>

namespace quell {

namespace {

std::uint8_t kindOf(const std::string& word)
{
    if (word == "Kestavin")
        return kKindKestavin;
    if (word == "EI_BISYNCH")
        return kKindEIBisynch;
    return kKindNone;
}

// The type letters in the order of their type codes.
constexpr std::string_view kTypeLetters = "fdsuxvaclh";

} // namespace

const std::string& TCommands::pickItem(long long i) const
{
    static const std::string empty;
    if (i < 0 || i >= kPickListSize)
        return empty;
    return PickList[static_cast<std::size_t>(i)];
}

TProtocol::TProtocol(std::uint16_t maxEntries)
    : Commands(static_cast<std::size_t>(maxEntries) + 1), maxEntries_(maxEntries)
{
}

TCommands* TProtocol::entryAt(std::uint16_t entry)
{
    return entry < Commands.size() ? &Commands[entry] : nullptr;
}

const TCommands* TProtocol::entryAt(std::uint16_t entry) const
{
    return entry < Commands.size() ? &Commands[entry] : nullptr;
}

void TProtocol::Clear()
{
    ProtocolName.clear();
    Section.clear();
    Count = 0;
    for (TCommands& c : Commands) {
        c.Name.clear();
        c.Code1 = c.Code2 = c.Code3 = 0;
        c.Max = 0;
        c.TypeCode = kTypeDecimal;
        c.Decimals = 0;
        c.Offset = 0;
        for (std::string& item : c.PickList)
            item.clear();
        c.PollRate = 0;
        c.Valid = false;
        c.PollCounter = 0;
        c.Value = 0;
        c.FloatValue = 0.0;
        c.ValueText.clear();
        c.Enabled = false;
    }
}

bool TProtocol::LoadFromFile(const std::string& fileName)
{
    const std::optional<DescriptionFile> file = readDescriptionFile(fileName);
    if (!file)
        return false;
    Kind = kindOf(file->protocolWord);
    frames_ = &frameDriverFor(Kind);
    if (Kind == kKindNone)
        return false;

    Clear();
    ProtocolName = file->protocolName;
    Section = file->section;
    readVarLines(*file, LineCount, maxEntries_, [this](VarLineReader& r, int entry) {
        Count = static_cast<std::uint16_t>(entry);
        readVarLine(r);
    });
    return Count > 0;
}

void TProtocol::readVarLine(VarLineReader& r)
{
    TCommands& c = Commands[Count];
    c.Name = r.text("Name");
    const std::string enabled = r.raw("Enabled");
    c.Enabled = enabled.empty() || enabled.front() != '0';
    c.PollRate = static_cast<std::uint8_t>(r.integer("PollRate"));
    c.Valid = false;

    std::string access = r.raw("Access");
    c.FixedAddress = access == "we" || access == "re" || access == "qe";
    if (access == "rw" || access == "qe")
        c.Access = kAccessReadWrite;
    else if (access == "wo" || access == "we")
        c.Access = kAccessWriteOnly;
    else
        c.Access = kAccessReadOnly;
    if (c.Access == kAccessWriteOnly)
        c.Valid = true;

    c.Min = static_cast<std::int16_t>(r.integer("Min"));
    c.Max = static_cast<std::int16_t>(r.integer("Max"));
    c.Default = static_cast<std::int16_t>(r.integer("Default"));

    static const char* const codeFields[] = {"Code1", "Code2", "Code3"};
    std::uint8_t* const codes[] = {&c.Code1, &c.Code2, &c.Code3};
    for (int k = 0; k < 3; ++k) {
        if (Kind == kKindEIBisynch) {
            const std::string token = r.raw(codeFields[k]);
            if (token.empty())
                r.fail("empty code field: an EI-Bisynch code is one character", codeFields[k]);
            *codes[k] = static_cast<std::uint8_t>(token.front());
        } else {
            *codes[k] = static_cast<std::uint8_t>(r.integer(codeFields[k]));
        }
    }
    c.Offset = static_cast<std::int8_t>(static_cast<std::uint8_t>(r.integer("Offset")));

    r.typeWord(kTypeLetters, c.TypeCode, c.Decimals);
    if (c.Access == kAccessWriteOnly)
        c.ValueText = "00";
    if (c.TypeCode == kTypePickList)
        r.pickList(c.PickList, c.Max);
}

void TProtocol::SetAllEnabled(bool flag)
{
    for (int i = 1; i <= Count; ++i)
        Commands[i].Enabled = flag;
}

bool TProtocol::NeedsPoll(std::uint16_t entry)
{
    TCommands* c = entryAt(entry);
    if (!c || !c->Enabled)
        return false;
    if (c->Access != kAccessReadOnly && c->Access != kAccessReadWrite)
        return false;
    if (c->PollRate == 0 && !c->Valid)
        return true;
    if (c->PollRate == 1)
        return true;
    if (c->PollRate > 1 && !c->Valid)
        return true;
    if (c->PollRate > 1 && c->PollCounter >= c->PollRate - 1)
        return true;
    ++c->PollCounter;
    return false;
}

std::string TProtocol::ValueToText(std::uint16_t entry, std::int32_t raw,
                                   const std::string& fallback) const
{
    const TCommands* c = entryAt(entry);
    return c ? valueToText(*c, raw, fallback) : fallback;
}

std::int16_t TProtocol::TextToValue(std::uint16_t entry, std::string_view text,
                                    std::int16_t oldValue) const
{
    const TCommands* c = entryAt(entry);
    return c ? textToValue(*c, text, oldValue) : oldValue;
}

bool TProtocol::StoreEIData(std::uint16_t entry, std::string_view text)
{
    TCommands* c = entryAt(entry);
    return c && storeEIData(*c, text);
}

bool TProtocol::FindEntryForward(std::uint8_t code, std::uint8_t code3, std::uint16_t& entry) const
{
    if (entry < 1 || entry > Count)
        return false;
    std::uint16_t i = entry;
    do {
        const TCommands& c = Commands[i];
        if ((c.Code1 == code || c.Code2 == code) && c.Code3 == code3) {
            entry = i;
            return true;
        }
        i = i == Count ? 1 : static_cast<std::uint16_t>(i + 1);
    } while (i != entry);
    return false;
}

bool TProtocol::FindEntryBackward(std::uint8_t code, std::uint8_t code3, std::uint16_t& entry) const
{
    for (std::uint16_t i = Count; i >= 1; --i) {
        const TCommands& c = Commands[i];
        if ((c.Code1 == code || c.Code2 == code) && c.Code3 == code3) {
            entry = i;
            return true;
        }
    }
    return false;
}

std::string TProtocol::BuildReadRequest(std::uint16_t entry, std::uint8_t deviceAddress,
                                        std::uint8_t mask, bool viaMC, std::uint8_t mcAddress,
                                        std::uint8_t mcMask) const
{
    const TCommands* c = entryAt(entry);
    return c ? frames().buildReadRequest(*c, {deviceAddress, mask, viaMC, mcAddress, mcMask})
             : std::string();
}

std::string TProtocol::BuildWriteRequest(std::uint16_t entry, std::string_view valueText,
                                         std::uint8_t deviceAddress, std::uint8_t mask, bool viaMC,
                                         std::uint8_t mcAddress, std::uint8_t mcMask)
{
    TCommands* c = entryAt(entry);
    return c ? frames().buildWriteRequest(*c, valueText,
                                          {deviceAddress, mask, viaMC, mcAddress, mcMask})
             : std::string();
}

TAnswerResult TProtocol::ParseAnswer(std::string_view request, std::string_view answer,
                                     std::uint16_t entry)
{
    return frames().parseAnswer(*this, request, answer, entry);
}

const FrameDriver& TProtocol::frames() const
{
    // Kind is a public field that a table built in code sets by hand (no load chose a driver
    // then); the driver follows it.
    return frames_ && frames_->kind == Kind ? *frames_ : frameDriverFor(Kind);
}

} // namespace quell
