// One frame on the bus: what the exchanger makes of clean, noisy, late, broken and missing
// answers, against a scripted line that never really waits.

#include "gateway/BusExchanger.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace quell::gw {
namespace {

using namespace std::string_literals;

// A line whose every send is followed by a scripted list of received chunks; an empty chunk, or
// the end of the list, is a receive that reaches its deadline with nothing.
class ScriptedLink : public ByteLink {
public:
    std::deque<std::vector<std::string>> script;
    std::vector<std::string> sent;
    int discards = 0;
    std::string sendFailure;

    bool configure(const SerialSettings&, std::string&) override { return true; }
    void discardInput() override { ++discards; }
    bool send(std::string_view bytes, std::string& failure) override
    {
        if (!sendFailure.empty()) {
            failure = sendFailure;
            return false;
        }
        sent.emplace_back(bytes);
        current_.clear();
        if (!script.empty()) {
            current_.assign(script.front().begin(), script.front().end());
            script.pop_front();
        }
        return true;
    }
    bool receive(std::string& out, Clock::time_point, std::string&) override
    {
        if (!current_.empty()) {
            out += current_.front();
            current_.pop_front();
        }
        return true;
    }
    std::string describe() const override { return "script"; }

private:
    std::deque<std::string> current_;
};

const std::string kRead = "\x01\xA1"
                          "100111\x04"s; // Code1 0x10, Code3 0x01
const std::string kAnswer = "\x01\xA1"
                            "10015:014:\x03"s; // its value answer
const std::string kOther = "\x01\xA1"
                           "10025:014:\x03"s; // the answer to Code3 0x02
const std::string kStatus = "\x01\xA1"
                            ";3010000\x03"s; // bad_csm: echoes no code
const std::string kPoll = "\x04"
                          "1122PV\x05"s;
const std::string kData = "\x02PV20.0\x03\x19"s;

TEST(BusExchanger, TellsAnswersFromNoiseLateAnswersAndFailures)
{
    struct Case {
        const char* name;
        std::string frame;
        int retries;
        std::deque<std::vector<std::string>> script;
        bool answered;
        std::string text;
        int tries;
    };
    const Case cases[] = {
        {"clean", kRead, 3, {{kAnswer}}, true, kAnswer, 1},
        {"in pieces", kRead, 3, {{kAnswer.substr(0, 3), kAnswer.substr(3)}}, true, kAnswer, 1},
        {"noise first", kRead, 3, {{"\xFF\x00zz"s + kAnswer}}, true, kAnswer, 1},
        {"late answer first", kRead, 3, {{kOther, kAnswer}}, true, kAnswer, 1},
        {"status", kRead, 3, {{kStatus}}, true, kStatus, 1},
        {"silent", kRead, 2, {}, false, "TimeOut", 3},
        {"silent, no retries", kRead, 0, {}, false, "TimeOut", 1},
        {"late only", kRead, 0, {{kOther}}, false, "TimeOut", 1},
        {"partial then whole", kRead, 1, {{kAnswer.substr(0, 6)}, {kAnswer}}, true, kAnswer, 2},
        {"partial",
         kRead,
         1,
         {{kAnswer.substr(0, 6)}, {kAnswer.substr(0, 6)}},
         false,
         "Partial",
         2},
        {"EI data", kPoll, 0, {{kData}}, true, kData, 1},
        {"EI bad block check", kPoll, 0, {{kData.substr(0, 8) + "\x18"}}, false, "BadCheck", 1},
        {"EI ACK is no answer to a poll", kPoll, 0, {{"\x06"}}, false, "TimeOut", 1},
        {"unknown protocol ends at a pause", "XYZ", 0, {{"abc", "def"}}, true, "abcdef", 1},
        {"unknown protocol, END inside", "XYZ", 0, {{"aENDb"}}, false, "Unframable", 1},
    };
    for (const Case& c : cases) {
        ScriptedLink link;
        link.script = c.script;
        SerialSettings settings;
        settings.retries = c.retries;
        TrafficTrace trace;
        const BusExchanger::Outcome o = BusExchanger::exchange(link, settings, c.frame, trace, 1);
        EXPECT_EQ(o.answered, c.answered) << c.name;
        EXPECT_EQ(o.text, c.text) << c.name;
        EXPECT_EQ(o.tries, c.tries) << c.name;
        EXPECT_EQ(static_cast<int>(link.sent.size()), c.tries) << c.name;
        EXPECT_EQ(link.discards, c.tries) << c.name << ": stray bytes go before every send";
    }
}

TEST(BusExchanger, AFailingLineGivesItsOwnWord)
{
    ScriptedLink link;
    link.sendFailure = "PortLost";
    TrafficTrace trace;
    const BusExchanger::Outcome o = BusExchanger::exchange(link, SerialSettings{}, kRead, trace, 1);
    EXPECT_FALSE(o.answered);
    EXPECT_EQ(o.text, "PortLost");
}

} // namespace
} // namespace quell::gw
