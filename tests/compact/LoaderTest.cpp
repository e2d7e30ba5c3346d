// The compact description syntax: fields in their compact order, poll and access words, the
// protocol word, the 255-entry stop and Clear. The board's own file: SimulatedBoardTest.
#include "compact/UCommands.h"
#include "protocol/ConvertError.h"
#include "tests/compact/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
        std::uint8_t code1, code2;
        std::int8_t offset;
        std::uint8_t type, decimals;
    };
    const Case cases[] = {
        {"periodic,rw,0,100,0,3,4,0,d", kPollPeriodic, kAccessReadWrite, false, 3, 4, 0,
         kTypeDecimal, 0},
        {"manual,ro,-5,9,7,$14,0x6D,-40,f2", kPollManual, kAccessReadOnly, false, 0x14, 0x6D, -40,
         kTypeFixed, 2},
        {"demand,wo,0,1,0,1,2,200,x1f", kPollOnDemand, kAccessWriteOnly, true, 1, 2, -56,
         kTypeFixed, 1},
        // Words of the full syntax mean nothing here: access we/qe is ro, h/c are d.
        {"Periodic,we,0,1,0,$110,2,0,h", kPollOnDemand, kAccessReadOnly, false, 0x10, 2, 0,
         kTypeDecimal, 0},
        {"manual,qe,0,1,0,1,2,0,c", kPollManual, kAccessReadOnly, false, 1, 2, 0, kTypeDecimal, 0},
        {"manual,rw,0,1,0,1,2,0,u", kPollManual, kAccessReadWrite, false, 1, 2, 0, kTypeUnsigned,
         0},
        {"manual,rw,0,1,0,1,2,0,v", kPollManual, kAccessReadWrite, false, 1, 2, 0, kTypeBitFields,
         0},
        {"manual,rw,0,1,0,1,2,0,a", kPollManual, kAccessReadWrite, false, 1, 2, 0, kTypeIndex, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fields);
        auto engine = makeEngine();
        ASSERT_TRUE(loadText(*engine, std::string("PROT Kestavin\nVAR p ") + c.fields + "\n"));
        ASSERT_EQ(engine->Count, 1);
        const TCommands& e = engine->Commands[1];
        EXPECT_EQ(e.PollMode, c.pollMode);
        EXPECT_EQ(e.Access, c.access);
        EXPECT_EQ(e.Valid, c.valid);
        EXPECT_EQ(e.ValueText, ""); // not preset, not even for write-only entries
        EXPECT_EQ(e.Code1, c.code1);
        EXPECT_EQ(e.Code2, c.code2);
        EXPECT_EQ(e.Offset, c.offset);
        EXPECT_EQ(e.TypeCode, c.type);
        EXPECT_EQ(e.Decimals, c.decimals);
    }
    auto engine = makeEngine();
    ASSERT_TRUE(loadText(*engine, "PROT Kestavin\nVAR p manual,ro,-5,$7FFF,7,1,2,0,d\n"));
    EXPECT_EQ(engine->Commands[1].Min, -5);
    EXPECT_EQ(engine->Commands[1].Max, 0x7FFF);
    EXPECT_EQ(engine->Commands[1].Default, 7);
}

TEST(CompactLoader, PickListTakesExactlyMaxPlusOneItems)
{
    auto engine = makeEngine();
    ASSERT_TRUE(loadText(*engine, "PROT Kestavin\nVAR t manual,rw,0,1,0,1,2,0,s,C,'F, old',K\n"));
    const auto& items = engine->Commands[1].PickList;
    EXPECT_EQ(std::vector<std::string>(items.begin(), items.begin() + 3),
              std::vector<std::string>({"C", "F, old", ""}));
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

TEST(CompactLoader, StopsAtTheTwoHundredFiftyFifthEntryAndClearEmptiesEverySlot)
{
    for (const int lines : {255, 256, 300}) {
        std::string text = "PROT Kestavin\n";
        for (int i = 1; i <= lines; ++i)
            text += "VAR p" + std::to_string(i) + " manual,rw,0,1,0,1,2,0,d\n";
        auto engine = makeEngine();
        EXPECT_TRUE(loadText(*engine, text)) << lines;
        EXPECT_EQ(engine->Count, 255) << lines;
        EXPECT_EQ(engine->Commands[255].Name, "p255") << lines;
        EXPECT_EQ(engine->Commands[0].Name, "") << lines;
        engine->Clear();
        EXPECT_EQ(engine->Commands[255].Name, "") << lines;
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
}

TEST(CompactLoader, ClearKeepsLimitsAccessAndText)
{
    auto engine = makeEngine();
    ASSERT_TRUE(loadText(*engine, "PROT Kestavin\nVAR p periodic,rw,-5,1,3,1,2,1,s,Off,On\n"));
    const TCommands& e = engine->Commands[1];
    ASSERT_TRUE(engine->TextToValue(1, "On"));
    engine->Clear();
    EXPECT_EQ(engine->Count, 0);
    EXPECT_EQ(e.Name + e.PickList[1], "");
    EXPECT_EQ(e.Code1 + e.Code2 + e.Max + e.Offset + e.PollMode + e.Value + e.Valid, 0);
    EXPECT_EQ(e.TypeCode, kTypeDecimal);
    EXPECT_EQ(e.Min, -5);
    EXPECT_EQ(e.Default, 3);
    EXPECT_EQ(e.Access, kAccessReadWrite);
    EXPECT_EQ(e.ValueText, "On");
}

} // namespace
} // namespace quell::compact
