#include "protocol/DescriptionFile.h"

#include "protocol/TextEncoding.h"
#include "protocol/Tokenizer.h"
#include "protocol/VarLineReader.h"

#include <utility>

namespace quell {

std::optional<DescriptionFile> readDescriptionFile(const std::string& fileName)
{
    std::optional<std::string> bytes = readFileBytes(fileName);
    if (!bytes)
        return std::nullopt;
    DescriptionFile file;
    file.bytes = std::move(*bytes);
    file.utf8 = isValidUtf8(file.bytes);
    file.protocolWord = keywordToken(file.bytes, "PROT");
    file.protocolName = file.utf8 ? file.protocolWord : cp1250ToUtf8(file.protocolWord);
    const std::string section = keywordToken(file.bytes, "SECTION");
    file.section = file.utf8 ? section : cp1250ToUtf8(section);
    return file;
}

std::vector<UnknownLine> unknownLines(const DescriptionFile& file)
{
    std::vector<UnknownLine> unknown;
    std::uint32_t lineCount = 0;
    for (std::string_view line : splitLines(file.bytes)) {
        ++lineCount;
        if (line.empty() || isCommentLine(line))
            continue;
        int position = 1;
        const std::string word = nextToken(line, position).Text;
        if (word.empty() || word == "VAR" || word == "PROT" || word == "SECTION")
            continue;
        unknown.push_back({lineCount, file.utf8 ? word : cp1250ToUtf8(word)});
    }
    return unknown;
}

void readVarLines(const DescriptionFile& file, std::uint32_t& lineCount, int capacity,
                  const std::function<void(VarLineReader&, int entry)>& onVarLine)
{
    lineCount = 0;
    int entry = 0;
    for (std::string_view line : splitLines(file.bytes)) {
        ++lineCount;
        if (line.empty() || isCommentLine(line))
            continue;
        int position = 1;
        if (nextToken(line, position).Text != "VAR")
            continue;
        if (entry == capacity)
            return;
        VarLineReader reader(line, position, lineCount, file.utf8);
        onVarLine(reader, ++entry);
    }
}

} // namespace quell
