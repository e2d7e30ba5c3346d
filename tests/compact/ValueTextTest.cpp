// Conversions that store into the entry: raw value to text, typed text to raw value, the x entry
// whose shown text types back, and ByteToHex2.
#include "compact/UCommands.h"
#include "protocol/ConvertError.h"
#include "tests/compact/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace quell::compact {
namespace {

using test::makeEngine;

struct Shape {
    std::uint8_t type;
    std::uint8_t decimals = 0;
    std::int8_t offset = 0;
    std::int16_t min = 0;
    std::int16_t max = 1;
};

// Entry 1 of the given shape, holding Value 99 and text "old" so that a kept value shows.
TCommands& shapeEntry(TProtocol& engine, const Shape& s)
{
    engine.Count = 1;
    TCommands& e = engine.Commands[1];
    e.TypeCode = s.type;
    e.Decimals = s.decimals;
    e.Offset = s.offset;
    e.Min = s.min;
    e.Max = s.max;
    e.PickList = {"Off", "On", "Auto"};
    e.Value = 99;
    e.ValueText = "old";
    return e;
}

TEST(CompactValueToText, StoresTextAndValuePerType)
{
    const struct {
        Shape shape;
        std::int32_t raw;
        const char* text;
        std::int16_t value;
        bool result;
    } cases[] = {
        // The texts are the full tool's (tested there); here: what is stored.
        {{kTypeFixed, 2}, -32768, "error", -32768, true},
        {{kTypeDecimal, 0, -40}, 65, "25", 65, true},
        {{kTypeBitFields, 0, 0, 0x0F00, static_cast<std::int16_t>(0xF004)},
         0x5A,
         "10,5",
         0x5A,
         true},
        {{kTypeBcd}, 0x12AB, "12AB", 0x12AB, true}, // the whole word, not only its low byte
        {{kTypeIndex}, 3, "done", 3, true},
        // A pick list stores the item index, pinned to the last item when the board's is beyond.
        {{kTypePickList, 0, 0, 0, 1}, 5, "On", 1, false},
        {{kTypePickList, 0, 4, 0, 2}, 0x20, "Auto", 2, true},
        {{kTypePickList, 0, 0, 0, -1}, 0, "Off", 0, false}, // no items: never beyond the list
        {{kTypeString}, 5, "old", 99, false},               // not a compact type
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("type ") + std::to_string(c.shape.type) + " raw "
                     + std::to_string(c.raw));
        auto engine = makeEngine();
        const TCommands& e = shapeEntry(*engine, c.shape);
        EXPECT_EQ(engine->ValueToText(1, c.raw), c.result);
        EXPECT_EQ(e.ValueText, c.text);
        EXPECT_EQ(e.Value, c.value);
    }
}

TEST(CompactTextToValue, StoresValueAndTheTypedText)
{
    const struct {
        Shape shape;
        const char* text;
        std::int16_t value;
        bool result;
    } cases[] = {
        {{kTypeFixed, 1}, "0.7", 7, true}, // decimal digits, no binary rounding
        {{kTypeDecimal, 0, -40}, "25", 65, true},
        {{kTypeBcd}, "12AB", 0x12AB, true},
        {{kTypeBcd}, "42", 0x42, true}, // two decimal digits still give their BCD byte
        {{kTypeBcd}, "0x1f", 0x1F, true},
        {{kTypePickList, 0, 0, 0, 1}, "Off", 0, true}, // stored before any answer came
        {{kTypePickList, 0, 4, 0, 1}, "On", 0x10, true},
        {{kTypePickList, 0, 0, 0, 1}, "Auto", 99, false}, // beyond Max
        {{kTypePickList, 0, 0, 0, 1}, "on", 99, false},
        {{kTypeIndex, 0, 0, 0, 1}, "done", 99, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("type ") + std::to_string(c.shape.type) + " text " + c.text);
        auto engine = makeEngine();
        const TCommands& e = shapeEntry(*engine, c.shape);
        EXPECT_EQ(engine->TextToValue(1, c.text), c.result);
        EXPECT_EQ(e.Value, c.value);
        EXPECT_EQ(e.ValueText, c.text);
    }
}

TEST(CompactTextToValue, TextThatIsNoNumberLeavesTheEntryAlone)
{
    const struct {
        std::uint8_t type;
        const char* text;
        const char* message;
    } cases[] = {
        {kTypeFixed, "1,5", "'1,5' is not a valid floating point value"},
        {kTypeBcd, "12G4", "'12G4' is not a valid integer value"},
        {kTypeBcd, "12345", "'12345' is not a valid integer value"}, // more than a word
        {kTypeBcd, "-1", "'-1' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        auto engine = makeEngine();
        const TCommands& e = shapeEntry(*engine, {c.type});
        try {
            engine->TextToValue(1, c.text);
            ADD_FAILURE() << c.text << " converted";
        } catch (const EConvertError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
        EXPECT_EQ(e.Value, 99) << c.text;
        EXPECT_EQ(e.ValueText, "old") << c.text;
    }
}

// What an entry shows must type back to the same value, or a saved value set would not load.
TEST(CompactTextToValue, ShownTextTypesBack)
{
    const Shape shapes[] = {{kTypeBcd}, {kTypeDecimal, 0, -40}, {kTypeFixed, 2}, {kTypeUnsigned}};
    for (const Shape& shape : shapes) {
        for (const std::int32_t raw : {0, 1, 0x42, 0x0100, 0x12AB, 0x7FFF, -1, -32767}) {
            auto engine = makeEngine();
            const TCommands& e = shapeEntry(*engine, shape);
            ASSERT_TRUE(engine->ValueToText(1, raw));
            const std::string shown = e.ValueText;
            engine->Commands[1].Value = 0;
            EXPECT_TRUE(engine->TextToValue(1, shown));
            EXPECT_EQ(e.Value, static_cast<std::int16_t>(raw))
                << "type " << int{shape.type} << " shown " << shown;
        }
    }
}

TEST(CompactByteToHex2, AlwaysTwoUpperCaseDigits)
{
    const struct {
        std::uint8_t value;
        const char* text;
    } cases[] = {{0, "00"}, {0x0A, "0A"}, {0xF0, "F0"}};
    for (const auto& c : cases)
        EXPECT_EQ(TProtocol::ByteToHex2(c.value), c.text);
}

} // namespace
} // namespace quell::compact
