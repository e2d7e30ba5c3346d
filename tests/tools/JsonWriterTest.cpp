// JSON output: whatever bytes a file or a device brings, the line must stay valid JSON.
// (Hexadecimal frames are covered by the run-loop scenarios.)
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "tools/quellvar/JsonWriter.h"

namespace quell::tools {
namespace {

struct QuoteCase {
    const char* what;
    std::string bytes;
    std::string json;
};

TEST(JsonWriter, QuotesEveryByteStringAsValidJson)
{
    const QuoteCase cases[] = {
        {"plain", "PV 25.5", "\"PV 25.5\""},
        {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
        {"frame control characters", std::string("\x01\x04\x1f", 3), "\"\\u0001\\u0004\\u001f\""},
        {"UTF-8 kept", "Čitanje 25°C", "\"Čitanje 25°C\""},
        {"address byte", "\xA1", "\"\xEF\xBF\xBD\""},
        {"Windows-1250 letter", "\x8Aume", "\"\xEF\xBF\xBDume\""},
        {"truncated sequence at end", "ab\xC4", "\"ab\xEF\xBF\xBD\""},
        {"overlong slash", "\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"surrogate", "\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80",
         "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
    };
    for (const QuoteCase& c : cases) {
        EXPECT_EQ(JsonWriter::quote(c.bytes), c.json) << c.what;
    }
}

TEST(JsonWriter, SeparatesMembersAndElementsAtEveryLevel)
{
    JsonWriter json;
    json.beginObject();
    json.key("a").integer(-5);
    json.key("list").beginArray().string("x").beginObject().endObject().beginArray().endArray();
    json.endArray();
    json.key("ok").boolean(true);
    json.key("f").number(25.5);
    json.key("bad").number(std::numeric_limits<double>::infinity());
    json.endObject();
    EXPECT_EQ(json.text(), R"({"a":-5,"list":["x",{},[]],"ok":true,"f":25.5,"bad":null})");
}

TEST(JsonWriter, NumbersRoundTrip)
{
    for (const double value : {0.0, -0.05, 0.1, 6553.5, 1e300, -123456.789}) {
        JsonWriter json;
        json.number(value);
        EXPECT_EQ(std::stod(json.text()), value) << json.text();
    }
}

} // namespace
} // namespace quell::tools

namespace quell::tools {
namespace {

TEST(PrettyJson, LaysOutMembersAndLeavesStringsAlone)
{
    const struct {
        const char* compact;
        const char* pretty;
    } cases[] = {
        {R"({"a":1,"b":[1,2]})", "{\n  \"a\": 1,\n  \"b\": [\n    1,\n    2\n  ]\n}"},
        {R"({"list":[],"o":{}})", "{\n  \"list\": [],\n  \"o\": {}\n}"},
        // Braces, commas, colons and escaped quotes inside strings are text.
        {R"({"s":"a,{b}:[c] \"q\" \\"})", "{\n  \"s\": \"a,{b}:[c] \\\"q\\\" \\\\\"\n}"},
        {"[]", "[]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(prettyJson(c.compact), c.pretty) << c.compact;
}

} // namespace
} // namespace quell::tools
