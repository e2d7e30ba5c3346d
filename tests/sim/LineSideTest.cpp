// The device side of the line: requests cut out of a byte stream, and faults put on answers.

#include "sim/FaultyDevice.h"
#include "sim/RequestAssembler.h"

#include <gtest/gtest.h>

#include <vector>

namespace quell::sim::test {
namespace {

using namespace std::string_literals;

TEST(RequestAssembler, CutsRequestsOutOfNoiseAndPauses)
{
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, double>> chunks; // bytes, time they arrive (ms)
        std::vector<std::string> frames;
    };
    const std::string read = "\x01\xA1"
                             "100515\x04"s;
    const std::string poll = "\x04"
                             "1122PV\x05"s;
    const std::string select = "\x04"
                               "0011\x02SL10.0\x03"
                               "\x04"s; // BCC happens to be EOT
    const Case cases[] = {
        {"maker's read", {{read, 0}}, {read}},
        {"noise in front", {{"xx\x03"s + read, 0}}, {read}},
        {"poll and selection", {{poll + select, 0}}, {poll, select}},
        {"split", {{read.substr(0, 4), 0}, {read.substr(4), 5}}, {read}},
        {"pause abandons", {{read.substr(0, 4), 0}, {read.substr(4), 500}}, {}},
        {"restart on SOH", {{read.substr(0, 5) + read, 0}}, {read}},
    };
    for (const Case& c : cases) {
        RequestAssembler a;
        std::vector<std::string> got;
        for (const auto& [bytes, ms] : c.chunks)
            for (char b : bytes)
                if (auto f = a.feed(b, SimTime(static_cast<long long>(ms * 1000))))
                    got.push_back(*f);
        EXPECT_EQ(got, c.frames) << c.name;
    }
}

// Answers every request with a fixed maker's value answer.
class Echo : public SimDevice {
public:
    std::optional<Reply> respond(std::string_view, SimTime) override
    {
        return Reply{"\x01\xA1"
                     "1005123400\x03"s};
    }
    std::string label() const override { return "echo@1"; }
};

TEST(FaultyDevice, EachFaultSpoilsEveryNthAnswerItsWay)
{
    const std::string good = "\x01\xA1"
                             "1005123400\x03"s;
    struct Case {
        const char* plan;
        bool answered;
        std::string bytes;
        SimTime delay;
    };
    const Case cases[] = {
        {"none", true, good, SimTime{0}},
        {"noanswer", false, "", SimTime{0}},
        {"slow", true, good, FaultyDevice::kSlowDelay},
        {"partial", true, good.substr(0, 6), SimTime{0}},
        {"badsum", true,
         "\x01\xA1"
         "1005123401\x03"s,
         SimTime{0}},
        {"garbled", true,
         "\x01\xA1"
         "1005523400\x03"s,
         SimTime{0}},
    };
    for (const Case& c : cases) {
        const auto plan = FaultyDevice::parsePlan(c.plan);
        ASSERT_TRUE(plan) << c.plan;
        FaultyDevice d(std::make_unique<Echo>(), *plan);
        const auto r = d.respond("x", SimTime{0});
        ASSERT_EQ(r.has_value(), c.answered) << c.plan;
        if (r) {
            EXPECT_EQ(r->bytes, c.bytes) << c.plan;
            EXPECT_EQ(r->extraDelay, c.delay) << c.plan;
        }
    }
    const auto third = FaultyDevice::parsePlan("noanswer:3");
    ASSERT_TRUE(third);
    FaultyDevice d(std::make_unique<Echo>(), *third);
    std::string pattern;
    for (int i = 0; i < 6; ++i)
        pattern += d.respond("x", SimTime{0}) ? 'a' : '-';
    EXPECT_EQ(pattern, "aa-aa-");
    for (const char* bad : {"slower", "slow:0", "slow:x", ""})
        EXPECT_FALSE(FaultyDevice::parsePlan(bad)) << bad;
}

} // namespace
} // namespace quell::sim::test
