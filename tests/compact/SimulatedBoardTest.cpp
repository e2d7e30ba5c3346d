// The engine's frames against the simulated compact board, both reading the same description
// file: every readable entry answers its read, and written values reach the board.
#include "compact/UCommands.h"
#include "protocol/ControlChars.h"
#include "protocol/HexText.h"
#include "sim/VrqCompactBoard.h"
#include "tests/compact/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace quell::compact {
namespace {

using kestavin::decodePair;

constexpr std::uint8_t kAddressByte = 0xA1; // mask 0xA0, address 1

class CompactBoard : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(engine->LoadFromFile(test::exampleFile())); }

    std::string ask(const std::string& request)
    {
        now += std::chrono::milliseconds(50);
        const auto reply = board.respond(request, now);
        return reply ? reply->bytes : std::string();
    }
    std::string read(std::uint8_t entry)
    {
        return ask(kSoh + std::string(1, static_cast<char>(kAddressByte))
                   + engine->BuildReadBody(entry) + kEot);
    }

    std::unique_ptr<TProtocol> engine = test::makeEngine();
    sim::VrqCompactBoard board{sim::VrqCompactBoard::loadDescription(test::exampleFile()), 1};
    sim::SimTime now{0};
};

TEST_F(CompactBoard, EveryReadableEntryAnswersItsRead)
{
    EXPECT_EQ(engine->Count, 109);
    EXPECT_EQ(engine->Section, "VRQ-PB"); // a word, as every token
    for (int n = 1; n <= engine->Count; ++n) {
        const auto e = static_cast<std::uint8_t>(n);
        const TCommands& c = engine->Commands[e];
        const std::string answer = read(e);
        if (c.Access == kAccessWriteOnly) {
            EXPECT_EQ(decodePair(answer, 3), 0xB0) << c.Name; // nothing to read, no error
            continue;
        }
        ASSERT_EQ(answer.size(), 13u) << c.Name; // a value answer
        EXPECT_EQ(decodePair(answer, 3), c.Code1) << c.Name;
        EXPECT_EQ(decodePair(answer, 5), c.Code2) << c.Name;
        std::uint8_t found = 0;
        ASSERT_TRUE(engine->FindEntryBackward(decodePair(answer, 3), decodePair(answer, 5), found));
        EXPECT_EQ(found, e);
    }
}

TEST_F(CompactBoard, WrittenValuesReachTheBoard)
{
    const struct {
        std::uint8_t entry;
        const char* text;
        std::int32_t boardRaw; // what the board holds afterwards; -1: a measurement, not checked
        std::uint8_t answerCode;
    } cases[] = {
        {19, "4", 4, 0x10},          // Filter EMC1
        {30, "On", 1, 0x10},         // Beep, a pick list
        {32, "003F", 0x3F, 0x10},    // Configuration, typed as it is shown
        {11, "2750.5", 27505, 0x10}, // CalW MC1, tenths
        {19, "99", 4, 0xB2},         // beyond Max: refused, the last value stays
        {66, "1.00", -1, 0xB5},      // EMC1 is read-only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(engine->TextToValue(c.entry, c.text));
        const std::string answer =
            ask(engine->BuildWriteFrame(c.entry, engine->Commands[c.entry].Value, kAddressByte));
        EXPECT_EQ(decodePair(answer, 3), c.answerCode);
        if (c.boardRaw >= 0) {
            EXPECT_EQ(board.raw(c.entry), c.boardRaw);
        }
    }
}

} // namespace
} // namespace quell::compact
