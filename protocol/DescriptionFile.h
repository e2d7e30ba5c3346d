#pragma once

// A description file as both protocol engines' loaders read it: its bytes, its encoding, the
// words after PROT and SECTION, and the walk over its VAR lines.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quell {

class VarLineReader;

struct DescriptionFile {
    std::string bytes;        // the whole file
    bool utf8 = false;        // false: a Windows-1250 file, whose texts are converted
    std::string protocolWord; // the token after PROT, as raw bytes (compared byte for byte)
    std::string protocolName; // the same as UTF-8 text
    std::string section;      // the token after SECTION as UTF-8 text, empty when there is none
};

// Reads a description file and its header words; nothing when the name is empty or names no
// readable regular file.
std::optional<DescriptionFile> readDescriptionFile(const std::string& fileName);

// Walks the file's physical lines, counting each in lineCount (which starts from 0): every line
// that is not a comment and whose first token is exactly VAR goes to onVarLine as a reader
// positioned after the keyword, with the number (1, 2, ...) of the entry it fills. A VAR line
// beyond the capacity's entry ends the reading there; the entries read so far stay. An exception
// from onVarLine ends the walk with lineCount naming the line that failed.
void readVarLines(const DescriptionFile& file, std::uint32_t& lineCount, int capacity,
                  const std::function<void(VarLineReader&, int entry)>& onVarLine);

// A line the loaders skip although it is neither blank, a comment nor a PROT, SECTION or VAR
// line: a mistyped keyword ("VRA") silently drops its entry, and every later entry then sits one
// place off the board's fixed entry map.
struct UnknownLine {
    std::uint32_t line = 0; // 1-based
    std::string word;       // its first token, as UTF-8 text
};
std::vector<UnknownLine> unknownLines(const DescriptionFile& file);

} // namespace quell
