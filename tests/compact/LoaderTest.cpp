// The compact description syntax: fields in their compact order, poll and access words, the
// protocol word, the 255-entry stop, Clear, and the board's own description file.
#include "compact/UCommands.h"
#include "protocol/ConvertError.h"
#include "tests/compact/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace quell::compact {
namespace {

using test::loadText;
using test::makeEngine;

TEST(CompactLoader, ReadsEachVarLineInTheCompactFieldOrder)
{
    struct Case {
        const char* fields; // after "VAR p "
        std::uint8_t pollMode, access;
        bool valid;
        std::int16_t min, max, defaultValue;
        std::uint8_t code1, code2;
        std::int8_t offset;
        std::uint8_t type, decimals;
    };
    const Case cases[] = {
        {"periodic,rw,0,100,0,3,4,0,d", kPollPeriodic, kAccessReadWrite, false, 0, 100, 0, 3, 4, 0,
         kTypeDecimal, 0},
        {"manual,ro,-500,$7FFF,7,$14,0x6D,-40,f2", kPollManual, kAccessReadOnly, false, -500,
         0x7FFF, 7, 0x14, 0x6D, -40, kTypeFixed, 2},
        {"demand,wo,0,1,0,1,2,200,x1f", kPollOnDemand, kAccessWriteOnly, true, 0, 1, 0, 1, 2, -56,
         kTypeFixed, 1},
        // Words of the full syntax mean nothing here: access we/re/qe is ro, h/c/l types are d.
        {"Periodic,we,0,1,0,$110,2,0,h", kPollOnDemand, kAccessReadOnly, false, 0, 1, 0, 0x10, 2, 0,
         kTypeDecimal, 0},
        {"manual,qe,0,1,0,1,2,0,c", kPollManual, kAccessReadOnly, false, 0, 1, 0, 1, 2, 0,
         kTypeDecimal, 0},
        {"manual,rw,0,1,0,1,2,0,u", kPollManual, kAccessReadWrite, false, 0, 1, 0, 1, 2, 0,
         kTypeUnsigned, 0},
        {"manual,rw,$0F00,$F004,0,1,2,0,v", kPollManual, kAccessReadWrite, false, 0x0F00,
         static_cast<std::int16_t>(0xF004), 0, 1, 2, 0, kTypeBitFields, 0},
        {"manual,rw,0,1,0,1,2,0,a", kPollManual, kAccessReadWrite, false, 0, 1, 0, 1, 2, 0,
         kTypeIndex, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fields);
        auto engine = makeEngine();
        ASSERT_TRUE(loadText(*engine, std::string("PROT Kestavin\nVAR p ") + c.fields + "\n"));
        ASSERT_EQ(engine->Count, 1);
        const TCommands& e = engine->Commands[1];
        EXPECT_EQ(e.Name, "p");
        EXPECT_EQ(e.PollMode, c.pollMode);
        EXPECT_EQ(e.Access, c.access);
        EXPECT_EQ(e.Valid, c.valid);
        EXPECT_EQ(e.ValueText, ""); // not preset, not even for write-only entries
        EXPECT_EQ(e.Min, c.min);
        EXPECT_EQ(e.Max, c.max);
        EXPECT_EQ(e.Default, c.defaultValue);
        EXPECT_EQ(e.Code1, c.code1);
        EXPECT_EQ(e.Code2, c.code2);
        EXPECT_EQ(e.Offset, c.offset);
        EXPECT_EQ(e.TypeCode, c.type);
        EXPECT_EQ(e.Decimals, c.decimals);
    }
}

TEST(CompactLoader, PickListTakesExactlyMaxPlusOneItems)
{
    auto engine = makeEngine();
    ASSERT_TRUE(loadText(*engine, "PROT Kestavin\nSECTION 'Board 2'\n"
                                  "VAR \"Temp unit\" manual,rw,0,2,0,$10,28,0,s,C,'F, old',K,X\n"));
    EXPECT_EQ(engine->Section, "Board 2");
    const TCommands& e = engine->Commands[1];
    EXPECT_EQ(e.Name, "Temp unit");
    EXPECT_EQ(e.PickList[0], "C");
    EXPECT_EQ(e.PickList[1], "F, old");
    EXPECT_EQ(e.PickList[2], "K");
    EXPECT_EQ(e.PickList[3], "");
}

TEST(CompactLoader, OnlyTheMakersProtocolLoadsAndAFailedOneKeepsTheTable)
{
    const char* const refused[] = {"PROT EI_BISYNCH\n", "PROT kestavin\n", "SECTION x\n"};
    for (const char* header : refused) {
        SCOPED_TRACE(header);
        auto engine = makeEngine();
        ASSERT_TRUE(loadText(*engine, "PROT Kestavin\nVAR kept manual,ro,0,1,0,1,2,0,d\n"));
        EXPECT_FALSE(loadText(*engine, std::string(header) + "VAR new manual,ro,0,1,0,1,2,0,d\n"));
        EXPECT_EQ(engine->Kind, kKindNone);
        EXPECT_EQ(engine->Count, 1);
        EXPECT_EQ(engine->Commands[1].Name, "kept");
    }
    auto engine = makeEngine();
    ASSERT_TRUE(loadText(*engine, "PROT Kestavin\nVAR kept manual,ro,0,1,0,1,2,0,d\n"));
    EXPECT_FALSE(engine->LoadFromFile("/nonexistent/quell.var"));
    EXPECT_EQ(engine->Kind, kKindKestavin); // a missing file changes nothing
}

TEST(CompactLoader, StopsAtTheTwoHundredFiftyFifthEntry)
{
    for (const int lines : {255, 256, 300}) {
        std::string text = "PROT Kestavin\n";
        for (int i = 1; i <= lines; ++i)
            text +=
                "VAR p" + std::to_string(i) + " manual,rw,0,1,0,1," + std::to_string(i) + ",0,d\n";
        auto engine = makeEngine();
        EXPECT_TRUE(loadText(*engine, text)) << lines;
        EXPECT_EQ(engine->Count, 255) << lines;
        EXPECT_EQ(engine->Commands[255].Name, "p255") << lines;
        EXPECT_EQ(engine->Commands[0].Name, "") << lines;
    }
}

TEST(CompactLoader, AFieldThatIsNoNumberFailsNamingLineAndField)
{
    auto engine = makeEngine();
    try {
        loadText(*engine, "PROT Kestavin\nVAR a manual,ro,0,1,0,1,2,0,d\n\n"
                          "VAR b manual,ro,0,1,0,1,two,0,d\n");
        FAIL() << "no error";
    } catch (const ELoadError& error) {
        EXPECT_EQ(error.describe(), "line 4, field Code2: 'two' is not a valid integer value");
    }
    EXPECT_EQ(engine->Count, 2); // the entries so far stay, the faulty one counted
    EXPECT_EQ(engine->Commands[1].Name, "a");
    EXPECT_THROW(loadText(*engine, "PROT Kestavin\nVAR s manual,ro,0,21,0,1,2,0,s\n"), ELoadError);
}

TEST(CompactLoader, ClearKeepsLimitsAccessAndTextsOfEverySlot)
{
    auto engine = makeEngine();
    for (const std::size_t slot : {std::size_t{1}, std::size_t{255}}) {
        TCommands& e = engine->Commands[slot];
        e = {"p",
             1,
             2,
             -5,
             9,
             3,
             kTypePickList,
             2,
             1,
             {"Off"},
             kPollPeriodic,
             kAccessReadWrite,
             true,
             7,
             "shown"};
    }
    engine->Count = 255;
    engine->Clear();
    EXPECT_EQ(engine->Count, 0);
    for (const std::size_t slot : {std::size_t{1}, std::size_t{255}}) {
        const TCommands& e = engine->Commands[slot];
        EXPECT_EQ(e.Name, "");
        EXPECT_EQ(e.Code1 + e.Code2 + e.Max + e.Decimals + e.Offset + e.PollMode + e.Value, 0);
        EXPECT_EQ(e.TypeCode, kTypeDecimal);
        EXPECT_EQ(e.PickList[0], "");
        EXPECT_FALSE(e.Valid);
        EXPECT_EQ(e.Min, -5);
        EXPECT_EQ(e.Default, 3);
        EXPECT_EQ(e.Access, kAccessReadWrite);
        EXPECT_EQ(e.ValueText, "shown");
    }
}

TEST(CompactLoader, TheCompactBoardsDescription)
{
    auto engine = makeEngine();
    ASSERT_TRUE(engine->LoadFromFile(test::exampleFile()));
    EXPECT_EQ(engine->Section, "VRQ-PB"); // a word, as every token
    EXPECT_EQ(engine->Count, 109);
    struct Case {
        std::uint8_t entry;
        const char* name;
        std::uint8_t code1, pollMode, access, type;
    };
    const Case cases[] = {
        {1, "Board ID", 0x10, kPollManual, kAccessReadOnly, kTypeBcd},
        {30, "Beep", 0x10, kPollManual, kAccessReadWrite, kTypePickList},
        {31, "Save settings", 0x10, kPollManual, kAccessWriteOnly, kTypeDecimal},
        {66, "EMC1", 0x14, kPollPeriodic, kAccessReadOnly, kTypeFixed},
        {109, "Comp temp", 0x10, kPollPeriodic, kAccessReadWrite, kTypeFixed},
    };
    for (const Case& c : cases) {
        const TCommands& e = engine->Commands[c.entry];
        EXPECT_EQ(e.Name, c.name);
        EXPECT_EQ(e.Code1, c.code1) << c.name;
        EXPECT_EQ(e.Code2, c.entry) << c.name; // the parameter code is the entry number
        EXPECT_EQ(e.PollMode, c.pollMode) << c.name;
        EXPECT_EQ(e.Access, c.access) << c.name;
        EXPECT_EQ(e.TypeCode, c.type) << c.name;
    }
    EXPECT_EQ(engine->Commands[30].PickList[1], "On");
}

} // namespace
} // namespace quell::compact
