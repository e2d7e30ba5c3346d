// The controller's answers through the client's own EI-Bisynch parser.

#include "sim/EIController.h"
#include "tests/sim/SimTestSupport.h"

#include "protocol/EIBisynchFrames.h"

#include <gtest/gtest.h>

namespace quell::sim::test {
namespace {

std::uint16_t entryOf(const TProtocol& p, const char* mnemonic, char channel = '0')
{
    for (std::uint16_t e = 1; e <= p.Count; ++e)
        if (p.Commands[e].Code1 == static_cast<std::uint8_t>(mnemonic[0])
            && p.Commands[e].Code2 == static_cast<std::uint8_t>(mnemonic[1])
            && p.Commands[e].Code3 == static_cast<std::uint8_t>(channel))
            return e;
    return 0;
}

TEST(EIController, PollsSelectionsAndRefusals)
{
    auto client = clientTable("ei-controller");
    EIController device(clientTable("ei-controller"), 12);
    const std::uint16_t sl = entryOf(*client, "SL");
    const std::uint16_t pv = entryOf(*client, "PV");
    const std::uint16_t md = entryOf(*client, "MD");
    ASSERT_TRUE(sl && pv && md);

    struct Case {
        std::uint16_t entry;
        const char* write; // nullptr: poll
        const char* answerStart;
    };
    const Case cases[] = {
        {sl, nullptr, "\x02SL50.0\x03"},
        {sl, "62.5", "\x06"},
        {sl, nullptr, "\x02SL62.5\x03"},
        {sl, "2000.0", "\x15"}, // above Max
        {pv, "10.0", "\x15"},   // read-only
        {md, "1", "\x06"},
        {md, nullptr, "\x02MD1\x03"},
    };
    for (const Case& c : cases) {
        const std::string request =
            c.write ? client->BuildWriteRequest(c.entry, c.write, 12, 0, false, 0, 0)
                    : client->BuildReadRequest(c.entry, 12, 0, false, 0, 0);
        const std::string answer = ask(device, request, 1.0);
        EXPECT_EQ(answer.substr(0, std::string(c.answerStart).size()), c.answerStart)
            << (c.write ? c.write : "poll");
        if (!c.write) {
            EXPECT_TRUE(client->ParseAnswer(request, answer, c.entry).Taken);
        }
    }
    EXPECT_EQ(client->Commands[md].ValueText, "Manual");

    // A selection with a broken block check is refused; another address is not answered.
    std::string broken = client->BuildWriteRequest(sl, "10.0", 12, 0, false, 0, 0);
    broken.back() ^= 1;
    EXPECT_EQ(ask(device, broken, 1.0), "\x15");
    EXPECT_EQ(ask(device, client->BuildReadRequest(sl, 11, 0, false, 0, 0), 1.0), "");
}

TEST(EIController, InAutoTheProcessValueMovesTowardsTheSetPoint)
{
    auto client = clientTable("ei-controller");
    EIController device(clientTable("ei-controller"), 1);
    const std::uint16_t pv = entryOf(*client, "PV");
    const std::string poll = client->BuildReadRequest(pv, 1, 0, false, 0, 0);
    ask(device, poll, 0.0);
    ask(device, poll, 300.0);
    client->ParseAnswer(poll, ask(device, poll, 300.0), pv);
    EXPECT_NEAR(client->Commands[pv].FloatValue, 50.0, 2.0);
}

} // namespace
} // namespace quell::sim::test
