#include "tools/quellvar/JsonWriter.h"

#include <charconv>
#include <cmath>

namespace quell::tools {

namespace {

// Length of the well-formed UTF-8 sequence at the start of bytes, or 0 when it is not one
// (overlong forms, surrogates and code points above U+10FFFF count as malformed).
std::size_t utf8SequenceLength(std::string_view bytes)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) {
            low = 0xA0; // overlong below U+0800
        } else if (lead == 0xED) {
            high = 0x9F; // surrogates
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) {
            low = 0x90; // overlong below U+10000
        } else if (lead == 0xF4) {
            high = 0x8F; // beyond U+10FFFF
        }
    } else {
        return 0;
    }
    if (bytes.size() < length) {
        return 0;
    }
    if (byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

} // namespace

std::string JsonWriter::quote(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() + 2);
    out += '"';
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
            ++i;
        } else {
            const std::size_t length = utf8SequenceLength(bytes.substr(i));
            if (length == 0) {
                out += "\xEF\xBF\xBD"; // U+FFFD for the one byte that cannot start a character
                ++i;
            } else {
                out.append(bytes.substr(i, length));
                i += length;
            }
        }
    }
    out += '"';
    return out;
}

void JsonWriter::beforeValue()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!empty_.empty()) {
        if (!empty_.back()) {
            out_ += ',';
        }
        empty_.back() = false;
    }
}

JsonWriter& JsonWriter::beginObject()
{
    beforeValue();
    out_ += '{';
    empty_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endObject()
{
    out_ += '}';
    empty_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::beginArray()
{
    beforeValue();
    out_ += '[';
    empty_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endArray()
{
    out_ += ']';
    empty_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name)
{
    beforeValue();
    out_ += quote(name);
    out_ += ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::string(std::string_view text)
{
    beforeValue();
    out_ += quote(text);
    return *this;
}

JsonWriter& JsonWriter::integer(std::int64_t number)
{
    beforeValue();
    out_ += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::boolean(bool flag)
{
    beforeValue();
    out_ += flag ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::number(double value)
{
    beforeValue();
    if (!std::isfinite(value)) {
        out_ += "null";
        return *this;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out_.append(buffer, result.ptr);
    return *this;
}

std::string prettyJson(std::string_view text)
{
    std::string out;
    int depth = 0;
    bool inString = false;
    const auto newLine = [&] {
        out += '\n';
        out.append(2 * static_cast<std::size_t>(depth), ' ');
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            out += c;
            if (c == '\\' && i + 1 < text.size())
                out += text[++i];
            else if (c == '"')
                inString = false;
            continue;
        }
        switch (c) {
        case '"':
            inString = true;
            out += c;
            break;
        case '{':
        case '[': {
            out += c;
            // An empty object or array stays on its line.
            const char close = c == '{' ? '}' : ']';
            if (i + 1 < text.size() && text[i + 1] == close) {
                out += close;
                ++i;
                break;
            }
            ++depth;
            newLine();
            break;
        }
        case '}':
        case ']':
            --depth;
            newLine();
            out += c;
            break;
        case ',':
            out += c;
            newLine();
            break;
        case ':':
            out += ": ";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace quell::tools
