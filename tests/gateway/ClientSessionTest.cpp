// One client's session: its settings are its own, and a framing the line cannot make is refused
// before the echo, not at the next exchange.

#include "gateway/ClientSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace quell::gw {
namespace {

// A line whose driver cannot make 14400 baud; it answers every frame with "ok".
class PickyLink : public ByteLink {
public:
    std::vector<int> configured;
    bool configure(const SerialSettings& s, std::string& failure) override
    {
        if (s.baud == 14400) {
            failure = kBadSettings;
            return false;
        }
        configured.push_back(s.baud);
        return true;
    }
    void discardInput() override {}
    bool send(std::string_view, std::string&) override
    {
        pending_ = "ok";
        return true;
    }
    bool receive(std::string& out, Clock::time_point, std::string&) override
    {
        out += pending_;
        pending_.clear();
        return true;
    }
    std::string describe() const override { return "picky"; }

private:
    std::string pending_;
};

TEST(ClientSession, SettingsAreTheClientsOwnAndOnlyWhatTheLineCanMakeIsEchoed)
{
    PickyLink link;
    BusArbiter arbiter;
    TrafficTrace trace;
    std::vector<std::string> log;
    auto logTo = [&log](const std::string& line) { log.push_back(line); };
    ClientSession a(1, link, arbiter, trace, logTo);
    ClientSession b(2, link, arbiter, trace, logTo);
    struct Case {
        ClientSession& session;
        const char* line;
        const char* answer;
    };
    const Case cases[] = {
        {a, "BAUD=19200 PARITY=None ",
         "USER= BAUD=19200 PARITY=None DATAB=8 STOPB=1 TOUT=80 RET=3 "},
        {a, "BAUD=14400 ", "USER= BAUD=19200 PARITY=None DATAB=8 STOPB=1 TOUT=80 RET=3 "},
        {b, "USER=op TOUT=161 ", "USER=op BAUD=57600 PARITY=Even DATAB=8 STOPB=1 TOUT=161 RET=3 "},
        {a, "BODY=XYZEND ", "BODY=XYZEND ANSWER=okEND "},
        {b, "BODY=XYZEND ", "BODY=XYZEND ANSWER=okEND "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.session.handle(c.line), c.answer) << c.line;
    // Each client's exchanges ran with its own framing.
    ASSERT_GE(link.configured.size(), 2u);
    EXPECT_EQ(link.configured[link.configured.size() - 2], 19200);
    EXPECT_EQ(link.configured.back(), 57600);
    EXPECT_NE(std::find(log.begin(), log.end(), "client 2: user op"), log.end());
}

} // namespace
} // namespace quell::gw
