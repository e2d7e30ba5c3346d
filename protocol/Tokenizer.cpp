#include "protocol/Tokenizer.h"

#include "protocol/TextEncoding.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace quell {

TToken nextToken(std::string_view line, int& position)
{
    line = line.substr(0, std::min<std::size_t>(line.size(), kMaxLineColumns));
    const int length = static_cast<int>(line.size());
    auto inLine = [&](int p) { return p >= 1 && p <= length; };

    while (inLine(position) && (line[position - 1] == ' ' || line[position - 1] == ','))
        ++position;
    TToken token;
    if (position < 1 || position > kMaxLineColumns) {
        // The column counter of a line is one byte wide: past 255 it has wrapped.
        position = 0;
        return token;
    }
    if (inLine(position) && (line[position - 1] == '\'' || line[position - 1] == '"')) {
        ++position;
        while (inLine(position) && line[position - 1] != '\'' && line[position - 1] != '"')
            token.Text += line[position++ - 1];
        ++position;
    } else {
        while (inLine(position) && line[position - 1] != ' ' && line[position - 1] != ',')
            token.Text += line[position++ - 1];
    }
    token.Found = true;
    return token;
}

bool isCommentLine(std::string_view line)
{
    const std::size_t first = line.find_first_not_of(' ');
    return first != std::string_view::npos && first + 1 < line.size() && line[first] == '/'
           && line[first + 1] == '/';
}

std::vector<std::string_view> splitLines(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = next;
    }
    return lines;
}

std::string keywordToken(std::string_view bytes, std::string_view keyword)
{
    for (std::string_view line : splitLines(bytes)) {
        const std::size_t found = line.find(keyword);
        if (found == std::string_view::npos)
            continue;
        int position = static_cast<int>(found + keyword.size()) + 1;
        return nextToken(line, position).Text;
    }
    return {};
}

std::optional<std::string> readFileBytes(const std::string& fileName)
{
    std::error_code error;
    if (fileName.empty() || !std::filesystem::is_regular_file(fileName, error))
        return std::nullopt;
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return std::nullopt;
    try {
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::ios_base::failure&) {
        // A file that cannot be read is no description, like one that is not there.
        return std::nullopt;
    }
}

std::string findKeyword(const std::string& fileName, std::string_view keyword)
{
    const std::optional<std::string> bytes = readFileBytes(fileName);
    if (!bytes || keyword.empty())
        return {};
    return toUtf8(keywordToken(*bytes, keyword));
}

} // namespace quell
