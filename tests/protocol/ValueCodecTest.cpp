// Value codec: raw value <-> text per type, EI-Bisynch data fields, the hexadecimal helpers.
#include "protocol/ValueCodec.h"
#include "protocol/ConvertError.h"
#include "protocol/UCommands.h"
#include "tests/protocol/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace quell {
namespace {

using test::makeProtocol;

// One entry (number 1) of the given type; items "Off", "On", "Auto" are always present so that a
// wrong bound shows as a wrong item rather than as an empty text.
struct EntryShape {
    std::uint8_t type;
    std::uint8_t decimals = 0;
    std::int8_t offset = 0;
    std::int16_t min = 0;
    std::int16_t max = 0;
};

TCommands& shapeEntry(TProtocol& p, const EntryShape& s)
{
    p.Count = 1;
    TCommands& e = p.Commands[1];
    e.TypeCode = s.type;
    e.Decimals = s.decimals;
    e.Offset = s.offset;
    e.Min = s.min;
    e.Max = s.max;
    e.PickList[0] = "Off";
    e.PickList[1] = "On";
    e.PickList[2] = "Auto";
    return e;
}

constexpr std::int16_t i16(int bits)
{
    return static_cast<std::int16_t>(bits);
}

TEST(ValueToText, PerType)
{
    const struct {
        EntryShape shape;
        std::int32_t raw;
        const char* text;
    } cases[] = {
        {{kTypeFixed, 2}, 1234, "12.34"},
        {{kTypeFixed, 2}, -5, "-0.05"},
        {{kTypeFixed, 2}, -100, "-1.00"},
        {{kTypeFixed, 2}, 0, "0.00"},
        {{kTypeFixed, 3}, 32767, "32.767"},
        {{kTypeFixed, 0}, 42, "42"},
        {{kTypeFixed, 2}, -32768, "error"},
        {{kTypeFixed, 1, 1}, -32768, "error"},
        {{kTypeFixed, 1, 1}, -1, "6553.5"}, // Offset 1: unsigned
        {{kTypeFixed, 1, 2}, -1, "-0.1"},   // any other Offset: signed
        {{kTypeDecimal, 0, -40}, 65, "25"},
        {{kTypeDecimal}, -7, "-7"},
        {{kTypeDecimal, 0, 10}, 32767, "32777"},
        {{kTypeUnsigned, 0, 5}, 10, "15"},
        {{kTypeLong, 0, 3}, 7, "7"}, // no offset
        {{kTypeLong}, 100000, "100000"},
        {{kTypePickList, 0, 4, 0, 1}, 0x10, "On"},
        {{kTypePickList, 0, 4, 0, 1}, 0x00, "Off"},
        {{kTypePickList, 0, 4, 0, 1}, 0x20, "fallback"},
        {{kTypePickList, 0, 4, 0, 1}, 0x110, "On"}, // index from the low 8 bits
        {{kTypePickList, 0, -1, 0, 2}, 1, "Auto"},  // negative Offset shifts left
        {{kTypePickList, 0, 0, 0, 2}, -1, "fallback"},
        {{kTypeIndex, 0, 0, 0, 3}, 5, "fallback"},
        {{kTypeBcd}, 0x42, "0042"},
        {{kTypeBcd}, 0x1234, "0034"},
        {{kTypeBitFields, 0, 0, 0x0F00, i16(0xF004)}, 0x5A, "10,5"},
        {{kTypeBitFields, 0, 0, i16(0xF004), 0x0F00}, 0x5A, "5,10"},
        {{kTypeBitFields, 0, 0, i16(0xFF00), 0}, 0x1234, "52,0"},    // mask is one byte
        {{kTypeBitFields, 0, 0, i16(0xF024), 0x0F00}, 0x5A, "5,10"}, // shift 36 is 4
        {{kTypeHex}, 0x1A2B, "1A2B"},
        {{kTypeHex}, -1, "FFFF"},
        {{kTypeHex}, 0, "0000"},
        {{kTypeString}, 5, "fallback"},
        {{42}, 5, "fallback"},
    };
    for (const auto& c : cases) {
        auto p = makeProtocol();
        shapeEntry(*p, c.shape);
        EXPECT_EQ(p->ValueToText(1, c.raw, "fallback"), c.text)
            << "type " << int(c.shape.type) << " raw " << c.raw;
    }
}

TEST(ValueToText, PickIndexBeyondTheListNeverReadsOutsideIt)
{
    auto p = makeProtocol();
    shapeEntry(*p, {kTypePickList, 0, 0, 0, 30}); // a Max no loader accepts
    const std::string text = p->ValueToText(1, 25, "fallback");
    EXPECT_TRUE(text.empty() || text == "fallback") << text;

    const TCommands& e = p->Commands[1];
    EXPECT_EQ(e.pickItem(2), "Auto");
    EXPECT_EQ(e.pickItem(-1), "");
    EXPECT_EQ(e.pickItem(21), "");
    EXPECT_EQ(e.pickItem(1LL << 40), "");
}

TEST(TextToValue, PerType)
{
    const struct {
        EntryShape shape;
        const char* text;
        std::int16_t value; // old value is always 777
    } cases[] = {
        {{kTypeFixed, 1}, "12.3", 123},
        {{kTypeFixed, 1}, "0.7", 7}, // exact decimal scaling
        {{kTypeFixed, 1}, "0.75", 7},
        {{kTypeFixed, 1}, "-1.25", -12},
        {{kTypeFixed, 2}, "-1.25", -125},
        {{kTypeFixed, 2}, "1", 100},
        {{kTypeFixed, 0}, "3.9", 3},
        {{kTypeFixed, 1}, "-0.05", 0},
        {{kTypeFixed, 1}, "4000", -25536}, // low 16 bits
        {{kTypeDecimal, 0, -40}, "25", 65},
        {{kTypeDecimal}, "$10", 16},
        {{kTypeDecimal}, "-5", -5},
        {{kTypeDecimal}, "  7", 7},
        {{kTypeDecimal}, "70000", 4464},
        {{kTypeUnsigned, 0, 5}, "15", 10},
        {{kTypeLong, 0, 3}, "10", 10},
        {{kTypeLong}, "-1", -1},
        {{kTypePickList, 0, 4, 0, 1}, "On", 0x10},
        {{kTypePickList, 0, 4, 0, 1}, "Off", 0},
        {{kTypePickList, 0, 4, 0, 1}, "on", 777},
        {{kTypePickList, 0, 4, 0, 1}, "Auto", 777}, // beyond Max
        {{kTypePickList, 0, 4, 0, 1}, "", 777},
        {{kTypePickList, 0, -1, 0, 2}, "Auto", 1},
        {{kTypeIndex, 0, 0, 0, 2}, "On", 1},
        {{kTypeBcd}, "42", 0x42},
        {{kTypeBcd}, "7", 0x07},
        {{kTypeBcd}, "99", 0x99},
        {{kTypeHex}, "1a2B", 0x1A2B},
        {{kTypeHex}, "12345", 0x2345},
        {{kTypeHex}, "zz", 0},
        {{kTypeBitFields}, "1,2", 777},
        {{kTypeString}, "abc", 777},
        {{42}, "5", 777},
    };
    for (const auto& c : cases) {
        auto p = makeProtocol();
        shapeEntry(*p, c.shape);
        EXPECT_EQ(p->TextToValue(1, c.text, 777), c.value)
            << "type " << int(c.shape.type) << " text '" << c.text << "'";
    }
}

TEST(TextToValue, PickIndexIsKeptTo8BitsAfterTheShift)
{
    auto p = makeProtocol();
    TCommands& e = shapeEntry(*p, {kTypePickList, 0, 4, 0, 20});
    for (int i = 0; i <= 20; ++i)
        e.PickList[i] = "i" + std::to_string(i);
    EXPECT_EQ(p->TextToValue(1, "i15", 777), 0xF0);
    EXPECT_EQ(p->TextToValue(1, "i16", 777), 0);
    EXPECT_EQ(p->TextToValue(1, "i17", 777), 0x10);
}

TEST(TextToValue, NonNumbersRaiseTheStandardConversionError)
{
    const struct {
        std::uint8_t type;
        const char* text;
        const char* message;
    } cases[] = {
        {kTypeFixed, "abc", "'abc' is not a valid floating point value"},
        {kTypeFixed, "1,5", "'1,5' is not a valid floating point value"},
        {kTypeDecimal, "1.5", "'1.5' is not a valid integer value"},
        {kTypeDecimal, "4294967296", "'4294967296' is not a valid integer value"},
        {kTypeUnsigned, "--1", "'--1' is not a valid integer value"},
        {kTypeBcd, "4x", "'4x' is not a valid integer value"},
        {kTypeLong, "abc", "'abc' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        auto p = makeProtocol();
        shapeEntry(*p, {c.type, 1});
        try {
            p->TextToValue(1, c.text, 777);
            ADD_FAILURE() << "no error for '" << c.text << "'";
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(StoreEIData, NumbersGoToTheFieldOfTheType)
{
    auto p = makeProtocol();
    TCommands& e = shapeEntry(*p, {kTypeFixed, 1});
    EXPECT_TRUE(p->StoreEIData(1, "25.5"));
    EXPECT_DOUBLE_EQ(e.FloatValue, 25.5);
    EXPECT_EQ(e.Value, 0);

    for (std::uint8_t type : {kTypeDecimal, kTypeUnsigned, kTypeBitFields}) {
        shapeEntry(*p, {type});
        EXPECT_TRUE(p->StoreEIData(1, "-12"));
        EXPECT_EQ(e.Value, -12) << int(type);
        EXPECT_TRUE(p->StoreEIData(1, "$1F"));
        EXPECT_EQ(e.Value, 31) << int(type);
    }

    shapeEntry(*p, {kTypeBcd});
    EXPECT_TRUE(p->StoreEIData(1, "#42")); // first character dropped
    EXPECT_EQ(e.Value, 42);

    shapeEntry(*p, {kTypeLong});
    e.Value = 5;
    EXPECT_TRUE(p->StoreEIData(1, "100000"));
    EXPECT_EQ(e.LongValue, 100000);
    EXPECT_EQ(e.Value, 5);

    for (std::uint8_t type : {std::uint8_t{kTypeIndex}, std::uint8_t{kTypeString},
                              std::uint8_t{kTypeHex}, std::uint8_t{42}}) {
        shapeEntry(*p, {type});
        e.Value = 5;
        e.ValueText = "kept";
        EXPECT_FALSE(p->StoreEIData(1, "7")) << int(type);
        EXPECT_EQ(e.Value, 5) << int(type);
        EXPECT_EQ(e.ValueText, "kept") << int(type);
    }
}

TEST(StoreEIData, PickListIndexIsShiftedAndClampedIntoTheList)
{
    const struct {
        std::int8_t offset;
        const char* text;
        bool result;
        std::int16_t value;
        const char* item;
    } cases[] = {
        {0, "1", true, 1, "On"},        {0, "2", true, 2, "Auto"},  {0, "5", false, 2, "Auto"},
        {0, "-1", false, 0, "Off"},     {4, "32", true, 2, "Auto"}, {-1, "1", true, 2, "Auto"},
        {0, "99999", false, 2, "Auto"},
    };
    for (const auto& c : cases) {
        auto p = makeProtocol();
        TCommands& e = shapeEntry(*p, {kTypePickList, 0, c.offset, 0, 2});
        EXPECT_EQ(p->StoreEIData(1, c.text), c.result) << c.text;
        EXPECT_EQ(e.Value, c.value) << c.text;
        EXPECT_EQ(e.ValueText, c.item) << c.text;
    }

    auto p = makeProtocol();
    TCommands& e = shapeEntry(*p, {kTypePickList, 0, 0, 0, 30}); // a Max no loader accepts
    p->StoreEIData(1, "25");
    EXPECT_EQ(e.ValueText, "");
}

TEST(StoreEIData, NonNumbersRaiseAndLeaveTheEntry)
{
    auto p = makeProtocol();
    TCommands& e = shapeEntry(*p, {kTypeDecimal});
    e.Value = 9;
    try {
        p->StoreEIData(1, "abc");
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'abc' is not a valid integer value");
    }
    EXPECT_EQ(e.Value, 9);

    shapeEntry(*p, {kTypeFixed, 1});
    e.FloatValue = 1.5;
    EXPECT_THROW(p->StoreEIData(1, "x1"), EConvertError);
    EXPECT_EQ(e.FloatValue, 1.5);

    shapeEntry(*p, {kTypePickList, 0, 0, 0, 2});
    EXPECT_THROW(p->StoreEIData(1, "On"), EConvertError); // the index is expected, not the item
}

TEST(WriteRefusal, NumbersOutsideTheLimitsOrBeyond16BitsAreRefused)
{
    const struct {
        EntryShape shape;
        const char* text;
        const char* refusal; // empty: may be written
    } cases[] = {
        // "Cal EMC1 100K": tenths, 0.0 .. 3000.0; 99999 would reach the board as 1695.0.
        {{kTypeFixed, 1, 0, 0, 30000}, "99999", "x: 99999 is outside its limits 0.0 .. 3000.0"},
        {{kTypeFixed, 1, 0, 0, 30000}, "3000.0", ""},
        {{kTypeFixed, 1, 0, 0, 30000}, "3000.1", "outside its limits 0.0 .. 3000.0"},
        {{kTypeFixed, 1, 0, 0, 30000}, "-0.1", "outside"},
        {{kTypeFixed, 2, 0, -500, 500}, "-5.00", ""},
        {{kTypeDecimal, 0, 0, 1, 32}, "33", "x: 33 is outside its limits 1 .. 32"},
        {{kTypeDecimal, 0, 0, 1, 32}, "1", ""},
        // An offset is added for the eye: the limits are the raw ones, shown with it.
        {{kTypeDecimal, 0, 10, 0, 5}, "15", ""},
        {{kTypeDecimal, 0, 10, 0, 5}, "16", "outside its limits 10 .. 15"},
        // No limits given: only what 16 bits hold.
        {{kTypeDecimal, 0, 0, 0, 0}, "32767", ""},
        {{kTypeDecimal, 0, 0, 0, 0}, "40000", "outside its limits -32768 .. 32767"},
        {{kTypeUnsigned, 0, 0, 0, i16(0xFFFF)}, "65535", ""},
        {{kTypeUnsigned, 0, 0, 0, i16(0xFFFF)}, "65536", "outside"},
        {{kTypeUnsigned, 0, 0, 0, i16(0xFFFF)}, "-1", "outside"},
        // Types without a number range are for their own conversions to judge.
        {{kTypePickList, 0, 0, 0, 2}, "Auto", ""},
        {{kTypeHex, 0, 0, 0, 0}, "FFFF", ""},
    };
    for (const auto& c : cases) {
        auto p = makeProtocol();
        TCommands& e = shapeEntry(*p, c.shape);
        e.Name = "x";
        const auto refusal = writeRefusal(e, c.text);
        if (std::string(c.refusal).empty()) {
            EXPECT_FALSE(refusal) << c.text << ": " << refusal.value_or("");
        } else {
            ASSERT_TRUE(refusal) << c.text;
            EXPECT_NE(refusal->find(c.refusal), std::string::npos) << *refusal;
        }
    }
    auto p = makeProtocol();
    EXPECT_THROW(writeRefusal(shapeEntry(*p, {kTypeDecimal, 0, 0, 1, 32}), "eight"), EConvertError);
}

TEST(ValueCodec, EntriesBeyondTheTableAreNeverTouched)
{
    auto p = makeProtocol();
    EXPECT_EQ(p->ValueToText(kTableSize, 5, "fallback"), "fallback");
    EXPECT_EQ(p->TextToValue(kTableSize, "5", 777), 777);
    EXPECT_FALSE(p->StoreEIData(65535, "5"));
    EXPECT_EQ(p->entryAt(kTableSize), nullptr);
    EXPECT_EQ(p->entryAt(kMaxEntries), &p->Commands[kMaxEntries]);
}

TEST(HexHelpers, KnownAnswers)
{
    const struct {
        std::uint8_t value;
        const char* hex;
    } bytes[] = {{0, "0"}, {1, "1"}, {0x0A, "A"}, {0x10, "10"}, {0xF0, "F0"}, {0xFF, "FF"}};
    for (const auto& c : bytes)
        EXPECT_EQ(TProtocol::ByteToHex(c.value), c.hex);

    const struct {
        std::uint16_t value;
        const char* hex;
    } words[] = {{0, "0000"}, {0xF, "000F"}, {0xABCD, "ABCD"}, {0xFFFF, "FFFF"}, {0x1000, "1000"}};
    for (const auto& c : words)
        EXPECT_EQ(TProtocol::WordToHex4(c.value), c.hex);

    const struct {
        const char* text;
        std::uint16_t value;
    } texts[] = {{"12345", 0x2345}, {"1a2B", 0x1A2B}, {"", 0},           {"FFFF", 0xFFFF},
                 {"g1", 1},         {"0x10", 0x10},   {"ffff0", 0xFFF0}, {"fF", 0xFF}};
    for (const auto& c : texts)
        EXPECT_EQ(TProtocol::HexToWord(c.text), c.value) << c.text;

    const struct {
        std::uint8_t value;
        std::uint8_t bcd;
    } bcds[] = {{0, 0}, {9, 9}, {10, 0x10}, {42, 0x42}, {99, 0x99}};
    for (const auto& c : bcds)
        EXPECT_EQ(TProtocol::ByteToBCD(c.value), c.bcd) << int(c.value);
}

} // namespace
} // namespace quell
