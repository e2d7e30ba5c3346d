#include "protocol/VarLineReader.h"

#include "protocol/ConvertError.h"
#include "protocol/NumberText.h"
#include "protocol/TextEncoding.h"
#include "protocol/Tokenizer.h"

#include <utility>

namespace quell {

VarLineReader::VarLineReader(std::string_view line, int position, unsigned lineNumber, bool utf8)
    : line_(line), position_(position), lineNumber_(lineNumber), utf8_(utf8)
{
}

std::string VarLineReader::raw(const char* field)
{
    field_ = field;
    return nextToken(line_, position_).Text;
}

std::string VarLineReader::text(const char* field)
{
    std::string token = raw(field);
    return utf8_ ? token : cp1250ToUtf8(token);
}

std::int32_t VarLineReader::integer(const char* field)
{
    const std::string token = raw(field);
    try {
        return parseInteger(token);
    } catch (const EConvertError& error) {
        failConversion(error);
    }
}

void VarLineReader::typeWord(std::string_view typeLetters, std::uint8_t& typeCode,
                             std::uint8_t& decimals)
{
    const std::string type = raw("Type");
    const std::size_t n = type.size();
    if (n >= 2 && type[n - 2] == 'f' && type[n - 1] >= '0' && type[n - 1] <= '9') {
        typeCode = kTypeFixed;
        decimals = static_cast<std::uint8_t>(type[n - 1] - '0');
    } else if (n >= 1 && typeLetters.find(type[n - 1]) != std::string_view::npos) {
        typeCode = static_cast<std::uint8_t>(typeLetters.find(type[n - 1]));
        if (type[n - 1] == 'f' && n >= 2) {
            try {
                decimals = static_cast<std::uint8_t>(parseInteger(type.substr(n - 2, 1)));
            } catch (const EConvertError& error) {
                failConversion(error);
            }
        }
    }
}

void VarLineReader::pickList(std::array<std::string, kPickListSize>& items, std::int16_t max)
{
    if (max >= kPickListSize)
        fail("Max " + std::to_string(max) + " is too large for a pick list of at most "
                 + std::to_string(kPickListSize) + " items",
             "Max");
    for (int i = 0; i <= max; ++i)
        items[static_cast<std::size_t>(i)] = text(("PickList[" + std::to_string(i) + "]").c_str());
}

void VarLineReader::fail(const std::string& message, std::string field) const
{
    throw ELoadError(message, lineNumber_, std::move(field), false);
}

void VarLineReader::failConversion(const EConvertError& error) const
{
    throw ELoadError(error.what(), lineNumber_, field_, true);
}

} // namespace quell
