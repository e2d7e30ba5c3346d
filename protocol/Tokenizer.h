#pragma once

// The description-file syntax both protocol engines read: physical lines, comment lines, tokens
// separated by blanks and commas (quoted tokens may hold both), and the keyword search that finds
// the protocol and section words before the table is read.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quell {

// Only the first 255 columns of a description-file line are read.
inline constexpr int kMaxLineColumns = 255;

// Where a nextToken call ended up.
struct TToken {
    bool Found = false; // false once the position has run past column 255
    std::string Text;   // the token's bytes, quotes removed
};

// The tokenizer: position is a 1-based column, advanced past the token. Only the first 255
// columns of a line are reachable; a position beyond them gives Found = false (position 0).
TToken nextToken(std::string_view line, int& position);

// True when the first non-blank characters of the line are "//".
bool isCommentLine(std::string_view line);

// Physical lines: LF ends a line, a CR before it is dropped; a last line without LF counts.
std::vector<std::string_view> splitLines(std::string_view bytes);

// The token after the first occurrence of keyword in the bytes (case-sensitive, any line,
// comments included), as raw bytes; empty when no line holds it.
std::string keywordToken(std::string_view bytes, std::string_view keyword);

// The whole file as bytes, or nothing when the name is empty or names no readable regular file.
std::optional<std::string> readFileBytes(const std::string& fileName);

// keywordToken over a file, as UTF-8 (Windows-1250 files are converted); empty when the file
// cannot be read or the keyword is empty.
std::string findKeyword(const std::string& fileName, std::string_view keyword);

} // namespace quell
