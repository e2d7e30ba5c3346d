#pragma once

#include "protocol/EntryTypes.h"
#include "protocol/HexText.h"
#include "protocol/Tokenizer.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quell {

struct FrameDriver;
class VarLineReader;

// Capacity of the full tool's parameter table, the default of TProtocol: entries 1..1023 can be
// filled, entry 0 never is. A table made with another capacity says its own (maxEntries()).
inline constexpr int kMaxEntries = 1023;
inline constexpr int kTableSize = kMaxEntries + 1;
// Entries marked FixedAddress are asked at this device address on every board.
inline constexpr std::uint8_t kFixedDeviceAddress = 15;

// One parameter of the device. Texts (Name, PickList, ValueText) are UTF-8.
struct TCommands {
    std::string Name;
    std::uint8_t Code1 = 0;
    std::uint8_t Code2 = 0;
    std::uint8_t Code3 = 0;
    std::int16_t Min = 0;
    std::int16_t Max = 0;
    std::int16_t Default = 0;
    std::uint8_t TypeCode = kTypeDecimal;
    std::uint8_t Decimals = 0;
    std::int8_t Offset = 0;
    std::array<std::string, kPickListSize> PickList;
    std::uint8_t PollRate = 0;
    std::uint8_t Access = kAccessReadOnly;
    bool Valid = false;
    std::uint8_t PollCounter = 0;
    std::int16_t Value = 0;
    double FloatValue = 0.0;
    std::string ValueText;
    std::int32_t LongValue = 0;
    bool Enabled = false;
    bool FixedAddress = false;

    // Pick-list item i, or empty text when i lies outside 0..20 (never reads past the list).
    const std::string& pickItem(long long i) const;
};

// What ParseAnswer made of one answer.
struct TAnswerResult {
    bool Taken = false;      // the answer was applied to the entry
    std::uint16_t Entry = 0; // the entry it was for (the start entry when none matched)
    std::string Status;      // outcome in the protocol's words, or the new ValueText
};

// The protocol engine: the parameter table read from a description file, the value codec and the
// device frames of both protocols. It holds no lock; the link worker and the GUI thread take turns
// on it (see the client).
class TProtocol {
public:
    // An empty table for entries 1..maxEntries (1023 in the full tool, 255 in the compact one).
    explicit TProtocol(std::uint16_t maxEntries = kMaxEntries);

    std::uint8_t Kind = kKindNone;
    std::string ProtocolName;
    std::string Section;
    std::uint16_t Count = 0;
    // Slots 0..maxEntries(); slot 0 is never filled.
    std::vector<TCommands> Commands;
    std::uint32_t LineCount = 0;

    // ---- table and description file ----

    // The most entries the table holds; LoadFromFile stops reading VAR lines there.
    std::uint16_t maxEntries() const { return maxEntries_; }

    // Loads a description file; true when at least one VAR line was read. An empty or missing
    // file name returns false and changes nothing. Throws ELoadError (naming line and field) when
    // a field cannot be read; the entries read before it stay.
    bool LoadFromFile(const std::string& fileName);
    // Empties the table (Min, Default, Access, LongValue and FixedAddress of entries are kept).
    void Clear();
    // The token after the first occurrence of keyword in the file (case-sensitive, any line), or
    // empty text.
    static std::string FindKeyword(const std::string& fileName, std::string_view keyword)
    {
        return findKeyword(fileName, keyword);
    }
    // The tokenizer: position is a 1-based column, advanced past the token. Only the first 255
    // columns of a line are reachable; a position beyond them gives Found = false.
    static TToken NextToken(std::string_view line, int& position)
    {
        return nextToken(line, position);
    }
    // True when the first non-blank characters of the line are "//".
    static bool IsCommentLine(std::string_view line) { return isCommentLine(line); }
    // Enabled := flag for entries 1..Count.
    void SetAllEnabled(bool flag);
    // The poll selector: true when the entry is due in this poll cycle (counts skipped cycles).
    bool NeedsPoll(std::uint16_t entry);
    // Searches from entry (1..Count) upward, wrapping, for Code1 or Code2 == code and
    // Code3 == code3; on success entry names the match. A start outside 1..Count fails at once.
    bool FindEntryForward(std::uint8_t code, std::uint8_t code3, std::uint16_t& entry) const;
    // The highest-numbered entry with Code1 or Code2 == code and Code3 == code3.
    bool FindEntryBackward(std::uint8_t code, std::uint8_t code3, std::uint16_t& entry) const;

    // ---- value codec ----

    // The display text of a raw value; fallback where the value cannot be shown.
    std::string ValueToText(std::uint16_t entry, std::int32_t raw,
                            const std::string& fallback) const;
    // The raw value a text stands for; oldValue where the text cannot be mapped. Throws
    // EConvertError when a number was expected.
    std::int16_t TextToValue(std::uint16_t entry, std::string_view text,
                             std::int16_t oldValue) const;
    // Stores an EI-Bisynch data field into the entry; false when nothing or a clamped index was
    // stored. Throws EConvertError when a number was expected.
    bool StoreEIData(std::uint16_t entry, std::string_view text);
    // Upper-case hexadecimal without leading zeros ("0" for 0).
    static std::string ByteToHex(std::uint8_t value) { return byteToHex(value); }
    // Exactly four upper-case hexadecimal digits.
    static std::string WordToHex4(std::uint16_t value) { return wordToHex4(value); }
    // Hexadecimal text (last four digits count; other characters count as 0) as a word.
    static std::uint16_t HexToWord(std::string_view text) { return hexToWord(text); }
    // 0..99 as one BCD byte.
    static std::uint8_t ByteToBCD(std::uint8_t value) { return byteToBcd(value); }

    // ---- frames ----

    // The read request for an entry in the loaded protocol; empty for Kind 0 or an entry beyond
    // the table. The caller passes address 15 for entries with FixedAddress.
    std::string BuildReadRequest(std::uint16_t entry, std::uint8_t deviceAddress, std::uint8_t mask,
                                 bool viaMC, std::uint8_t mcAddress, std::uint8_t mcMask) const;
    // The write request for an entry; stores the new value in the entry first (Value for the
    // maker's protocol, the EI-Bisynch fields otherwise). Throws EConvertError like TextToValue.
    std::string BuildWriteRequest(std::uint16_t entry, std::string_view valueText,
                                  std::uint8_t deviceAddress, std::uint8_t mask, bool viaMC,
                                  std::uint8_t mcAddress, std::uint8_t mcMask);
    // Applies a device answer (or the link's failure word) to the entry the request was for,
    // searching from entry. EI-Bisynch data that is not a number throws EConvertError.
    TAnswerResult ParseAnswer(std::string_view request, std::string_view answer,
                              std::uint16_t entry);

    // The table slot of an entry number (0..maxEntries()), or nullptr beyond the table.
    TCommands* entryAt(std::uint16_t entry);
    const TCommands* entryAt(std::uint16_t entry) const;

private:
    void readVarLine(VarLineReader& reader);
    const FrameDriver& frames() const;

    // The frame code of Kind, chosen when a description is loaded.
    const FrameDriver* frames_ = nullptr;
    std::uint16_t maxEntries_;
};

} // namespace quell
