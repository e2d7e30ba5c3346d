// Number syntax of description files and value texts, and the character-set conversion.
#include "protocol/NumberText.h"
#include "protocol/ConvertError.h"
#include "protocol/TextEncoding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace quell {
namespace {

TEST(NumberText, IntegersInEveryAcceptedSpelling)
{
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"0", 0},
        {"-5", -5},
        {"+5", 5},
        {"   12", 12},
        {"$1F", 31},
        {"0x1f", 31},
        {"-$10", -16},
        {"-0x10", -16},
        {"2147483647", std::numeric_limits<std::int32_t>::max()},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"$FFFFFFFF", -1},
        {"0x80000000", std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseInteger(c.text), c.value) << c.text;
}

TEST(NumberText, IntegerErrorsCarryTheExactText)
{
    for (const char* text : {"", " ", "2147483648", "-2147483649", "$100000000", "1.5", "12a", "$",
                             "0x", "1 2", "abc", "--1"}) {
        try {
            parseInteger(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(NumberText, FloatsAndTheirErrors)
{
    EXPECT_DOUBLE_EQ(parseFloat("25.5"), 25.5);
    EXPECT_DOUBLE_EQ(parseFloat(" 25.5 "), 25.5);
    EXPECT_DOUBLE_EQ(parseFloat("-1e3"), -1000.0);
    EXPECT_DOUBLE_EQ(parseFloat("7"), 7.0);
    for (const char* text : {"", "abc", "1,5", "inf", "nan", "1e999", "1.2.3", "1e", "1e+"}) {
        try {
            parseFloat(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(text) + "' is not a valid floating point value");
        }
    }
}

TEST(NumberText, DecimalScalingIsExact)
{
    const struct {
        const char* text;
        unsigned decimals;
        std::int16_t value;
    } cases[] = {
        {"0.7", 1, 7},       {"0.75", 1, 7},
        {"-1.25", 1, -12},   {"-1.25", 2, -125},
        {"1.15", 2, 115},    {"0.29", 2, 29},
        {"4.35", 2, 435},    {"12", 0, 12},
        {" 3.9 ", 0, 3},     {"-0.9", 0, 0},
        {"2.5e1", 1, 250},   {"1e-1", 1, 1},
        {"4000", 1, -25536}, {"123456789012", 0, 6676},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scaleDecimalText(c.text, c.decimals), c.value) << c.text << " / " << c.decimals;
    EXPECT_THROW(scaleDecimalText("abc", 1), EConvertError);
    EXPECT_THROW(scaleDecimalText("", 1), EConvertError);
}

TEST(TextEncoding, Utf8ValidityAndWindows1250Conversion)
{
    EXPECT_TRUE(isValidUtf8("abc"));
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("\xC4\x8D"));
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x98\x80"));
    EXPECT_FALSE(isValidUtf8("\xE8"));
    EXPECT_FALSE(isValidUtf8("\xC4"));             // truncated
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(isValidUtf8("\xE0\x80\xAF"));     // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_FALSE(isValidUtf8("\x8D"));
    const std::string cDash = "\xC4\x8D";
    EXPECT_FALSE(isValidUtf8(std::string_view(cDash).substr(
        0, 1))); // cut before its second byte             // lone continuation

    EXPECT_EQ(cp1250ToUtf8("a\x8A\x9A\xE8\x9E\xA0"), "a\xC5\xA0\xC5\xA1\xC4\x8D\xC5\xBE\xC2\xA0");
    EXPECT_EQ(cp1250ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(cp1250ToUtf8("\x81"), "\xEF\xBF\xBD"); // undefined in the code page
    EXPECT_EQ(toUtf8("Pe\xC4\x8D"), "Pe\xC4\x8D");
    EXPECT_EQ(toUtf8("Pe\xE8"), "Pe\xC4\x8D");
}

TEST(NumberText, BoundedIntegersOfCommandLines)
{
    struct Case {
        const char* text;
        std::optional<int> expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"65535", 65535},
        {"-1", std::nullopt},
        {"65536", std::nullopt},
        {"", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {"0x10", std::nullopt},
        {"12a", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseBoundedInteger(c.text, 0, 65535), c.expected) << '"' << c.text << '"';
    EXPECT_EQ(parseBoundedInteger("-5", -10, 10), -5);
}

} // namespace
} // namespace quell
