// The board's frames as the client's own parser sees them: every answer the simulated board gives
// must be one the client reads the way a real board's is read.

#include "sim/VrqPbBoard.h"
#include "tests/sim/SimTestSupport.h"

#include "protocol/KestavinFrames.h"

#include <gtest/gtest.h>

namespace quell::sim::test {
namespace {

class BoardFrames : public ::testing::Test {
protected:
    std::shared_ptr<TProtocol> client = clientTable("vrq-pb");
    VrqPbBoard board{clientTable("vrq-pb"), 1};

    TAnswerResult read(std::uint16_t entry, bool viaMC = false)
    {
        const std::string request = client->BuildReadRequest(entry, 1, 0xA0, viaMC, 1, 0x40);
        return client->ParseAnswer(request, ask(board, request, 0.0), entry);
    }
    TAnswerResult write(std::uint16_t entry, const std::string& text, bool viaMC = false)
    {
        const std::string request = client->BuildWriteRequest(entry, text, 1, 0xA0, viaMC, 1, 0x40);
        return client->ParseAnswer(request, ask(board, request, 0.0), entry);
    }
};

TEST_F(BoardFrames, ReadsAndWritesComeBackThroughTheClientsParser)
{
    struct Case {
        std::uint16_t entry;
        const char* write; // nullptr: read only
        bool viaMC;
        const char* status;
    };
    const Case cases[] = {
        {12, nullptr, false, "2480.0"},      // a calibration constant, factory value
        {12, "2500.5", false, "2500.5"},     // written, echoed as stored
        {12, nullptr, true, "2500.5"},       // the same, routed through the MC
        {71, "3", true, "3"},                // a routed write
        {80, "Pine", false, "Pine"},         // pick list by index
        {156, nullptr, false, "VRQ-PB sim"}, // character-string answer
        {83, nullptr, false, "1234"},        // 17-character long answer
        {90, "100.0", false, "read_only"},   // a voltage is measured, not written
        {60, "33", false, "bad_value"},      // filter above Max
        {60, "0", false, "bad_value"},       // and below Min
        {157, "1", false, "no_error"},       // a write-only command is acknowledged
    };
    for (const Case& c : cases) {
        const TAnswerResult r = c.write ? write(c.entry, c.write, c.viaMC) : read(c.entry, c.viaMC);
        EXPECT_EQ(r.Status, c.status) << "entry " << c.entry;
        EXPECT_TRUE(r.Taken) << "entry " << c.entry;
    }
    EXPECT_EQ(board.raw(12), 25005);
    EXPECT_EQ(board.raw(80), 3);
    EXPECT_EQ(board.raw(60), 8) << "refused writes change nothing";
}

TEST_F(BoardFrames, MalformedRequestsGetTheirStatusAndForeignOnesNoAnswer)
{
    using kestavin::encodeByte;
    const std::string good = client->BuildReadRequest(12, 1, 0xA0, false, 1, 0x40);
    std::string badSum = good;
    badSum[7] ^= 1;
    const std::string unknown =
        "\x01\xA1" + encodeByte(0x77) + encodeByte(5) + encodeByte(0x77 ^ 5) + "\x04";
    std::string notNibbles = good;
    notNibbles[3] = 'x';
    struct Case {
        std::string request;
        const char* status; // "" = the board stays silent
    };
    const Case cases[] = {
        {badSum, "bad_csm"},
        {unknown, "bad_code"},
        {notNibbles, "bad_form"},
        {good.substr(0, 7) + "\x04", "bad_form"},
        {client->BuildReadRequest(12, 2, 0xA0, false, 1, 0x40), ""}, // another address
        {"\x04"
         "0011PV\x05",
         ""}, // another protocol
    };
    for (const Case& c : cases) {
        const std::string answer = ask(board, c.request, 0.0);
        if (*c.status == 0) {
            EXPECT_EQ(answer, "");
            continue;
        }
        ASSERT_GE(answer.size(), 6u);
        const TAnswerResult r = client->ParseAnswer(good, answer, 12);
        EXPECT_EQ(r.Status, c.status) << kestavin::decodePair(answer, 3);
    }
}

} // namespace
} // namespace quell::sim::test
