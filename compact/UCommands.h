#pragma once

// The compact configurator's protocol engine: a table of at most 255 parameters of the maker's
// protocol, read from a description file in the compact syntax. It shares the tokenizer, the
// number syntax, the text encodings and the byte encoding with the full tool's engine
// (protocol/), and keeps its own smaller entry record, whose conversions store their results in
// the entry. Matching answers to entries and choosing what to poll belong to the compact client.

#include "protocol/EntryTypes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quell {
class VarLineReader;
}

namespace quell::compact {

// Entries 1..255 can be filled, entry 0 never is; an entry number is one byte.
inline constexpr int kMaxEntries = 255;
inline constexpr int kTableSize = kMaxEntries + 1;

// Poll modes, from the poll word of a VAR line.
enum : std::uint8_t {
    kPollManual = 0,   // "manual": read until the entry has a value
    kPollOnDemand = 1, // any other word: read while the entry is readable
    kPollPeriodic = 2, // "periodic": read in every cycle
};

// One parameter of the board. Texts (Name, PickList, ValueText) are UTF-8.
struct TCommands {
    std::string Name;
    std::uint8_t Code1 = 0; // command code, sent in reads and writes alike
    std::uint8_t Code2 = 0; // parameter code
    std::int16_t Min = 0;
    std::int16_t Max = 0; // upper limit; the last pick-list index
    std::int16_t Default = 0;
    std::uint8_t TypeCode = kTypeDecimal; // f<n> d s u x v a only
    std::uint8_t Decimals = 0;
    std::int8_t Offset = 0;
    std::array<std::string, kPickListSize> PickList;
    std::uint8_t PollMode = kPollManual;
    std::uint8_t Access = kAccessReadOnly;
    bool Valid = false;
    std::int16_t Value = 0; // raw value; for pick lists the item index
    std::string ValueText;
};

// The compact engine. It holds no lock; the compact client decides who may touch it when.
class TProtocol {
public:
    std::uint8_t Kind = kKindNone; // kKindKestavin once a description loaded, else kKindNone
    std::string ProtocolName;
    std::string Section;
    std::uint8_t Count = 0;
    // Slots 0..255; slot 0 is never filled. Any entry number indexes a slot. Some 200 KB: keep
    // the engine on the heap.
    std::array<TCommands, kTableSize> Commands;

    // Loads a description in the compact syntax; true when at least one VAR line was read. Only
    // "Kestavin" is accepted after PROT: any other word sets Kind to kKindNone and fails, keeping
    // the entries of the last load. An empty or missing file name returns false and changes
    // nothing. A 256th VAR line ends the reading; the 255 entries stay. Throws ELoadError (naming
    // line and field) when a field cannot be read; the entries read before it stay.
    bool LoadFromFile(const std::string& fileName);
    // Empties the table: Min, Default, Access and ValueText of every slot are kept (a reload of
    // the same file, as the address edit makes, goes on showing the texts until answers come).
    void Clear();

    // SOH, address byte, this and EOT make the entry's read request: E(Code1), E(Code2) and
    // E(Code1 XOR Code2), each byte as two characters 0x30 + nibble.
    std::string BuildReadBody(std::uint8_t entry) const;
    // The entry's write request carrying raw, without routing: SOH, addressByte, E(Code1),
    // E(Code2), E(high byte), E(low byte), E(XOR of those four bytes), EOT.
    std::string BuildWriteFrame(std::uint8_t entry, std::int16_t raw,
                                std::uint8_t addressByte) const;
    // The highest-numbered entry of 1..Count whose Code1 is code and Code2 parameterCode.
    bool FindEntryBackward(std::uint8_t code, std::uint8_t parameterCode,
                           std::uint8_t& entry) const;

    // Stores raw and its display text in the entry. A pick-list index beyond Max shows and
    // stores the last item (result false); types without a text keep the entry as it was
    // (false). Never throws.
    bool ValueToText(std::uint8_t entry, std::int32_t raw);
    // Stores the raw value a typed text stands for, and the text itself as ValueText (also when
    // it maps to no value). False, with Value kept, when the text names no pick-list item or the
    // type takes no text. Throws EConvertError when the text is not the number the type needs;
    // the entry then stays as it was. An x entry reads the four hexadecimal digits it shows.
    bool TextToValue(std::uint8_t entry, std::string_view text);
    // Exactly two upper-case hexadecimal digits.
    static std::string ByteToHex2(std::uint8_t value);
    // Why a typed text must not be written to the entry: a number outside its Min..Max or one
    // that does not fit its 16 bits, in the words the full tool uses; nothing for a text within
    // them and for the types without limits. Throws EConvertError when the text is no number.
    std::optional<std::string> WriteRefusal(std::uint8_t entry, std::string_view text) const;

private:
    void readVarLine(VarLineReader& reader);
};

} // namespace quell::compact
