#pragma once

// Reads the fields of one VAR line of a description file in order, for the loaders of both
// protocol engines: each field is named as it is read, so that a field that cannot be read fails
// with the line and the field's name.

#include "protocol/EntryTypes.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quell {

class EConvertError;

class VarLineReader {
public:
    // line: the whole physical line; position: the 1-based column after the VAR keyword;
    // lineNumber: the line's 1-based number in the file; utf8: whether the file is UTF-8 (texts
    // of a Windows-1250 file are converted).
    VarLineReader(std::string_view line, int position, unsigned lineNumber, bool utf8);

    // The next token as raw bytes (empty once the line is exhausted).
    std::string raw(const char* field);
    // The next token as UTF-8 text.
    std::string text(const char* field);
    // The next token as an integer. Throws ELoadError (a conversion) when it is none.
    std::int32_t integer(const char* field);
    // The type word: its last letter's place in typeLetters (the letters in the order of their
    // type codes, "f" first) gives typeCode, and a digit next to an "f" ("f2", "x2f") gives
    // decimals; a word ending in no such letter leaves both as they are. Throws ELoadError when the
    // character before a final "f" is not a digit.
    void typeWord(std::string_view typeLetters, std::uint8_t& typeCode, std::uint8_t& decimals);
    // Items 0..max of a pick list as UTF-8 texts. Throws ELoadError when max is beyond the list.
    void pickList(std::array<std::string, kPickListSize>& items, std::int16_t max);

    // Fails the load at this line: message is the cause, field the field's name.
    [[noreturn]] void fail(const std::string& message, std::string field) const;

    // The 1-based number of the line being read.
    unsigned lineNumber() const { return lineNumber_; }

private:
    [[noreturn]] void failConversion(const EConvertError& error) const;

    std::string_view line_;
    int position_;
    unsigned lineNumber_;
    bool utf8_;
    std::string field_;
};

} // namespace quell
