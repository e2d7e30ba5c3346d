#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quell::tools {

// Builds one JSON text on a single line. Strings are taken as UTF-8; bytes that are not valid
// UTF-8 become U+FFFD, so whatever a description file or a device sends, the output stays JSON.
class JsonWriter {
public:
    // Opens an object, as a value or as the value of the key given last.
    JsonWriter& beginObject();
    // Closes the innermost object.
    JsonWriter& endObject();
    // Opens an array, as a value or as the value of the key given last.
    JsonWriter& beginArray();
    // Closes the innermost array.
    JsonWriter& endArray();
    // Names the next value of the current object.
    JsonWriter& key(std::string_view name);
    // A string value.
    JsonWriter& string(std::string_view text);
    // A signed integer value.
    JsonWriter& integer(std::int64_t number);
    // true or false.
    JsonWriter& boolean(bool flag);
    // A number in its shortest exact decimal form; null for infinities and NaN.
    JsonWriter& number(double value);

    // The text written so far.
    const std::string& text() const { return out_; }

    // The quoted and escaped JSON string of the bytes.
    static std::string quote(std::string_view bytes);

private:
    void beforeValue();

    std::string out_;
    std::vector<bool> empty_; // per open container: nothing written into it yet
    bool afterKey_ = false;
};

// The one-line JSON text laid out for people: one member or element per line, indented by two
// blanks per level; strings are left exactly as they are.
std::string prettyJson(std::string_view text);

} // namespace quell::tools
