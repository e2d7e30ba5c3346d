// quellsim's command line: every option in both spellings, defaults, and the refusals a user
// sees instead of a simulator started with something other than what was asked.
#include "sim/SimOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quell::sim {
namespace {

using Args = std::vector<std::string>;

TEST(SimOptions, AcceptedCommandLines)
{
    struct Case {
        Args args;
        std::string deviceList;
        std::string link;
        int turnaroundMs;
        std::string fault;
        std::string varDir;
        bool verbose;
    };
    const Case cases[] = {
        {{"vrq-pb", "--pty"}, "vrq-pb@1", "", 2, "", "", false},
        {{"--pty", "vrq-pb@3,ei-controller@12"}, "vrq-pb@3,ei-controller@12", "", 2, "", "", false},
        // A model without an address sits at address 1, wherever it stands in the list.
        {{"ei-controller@12,vrq-compact", "--pty"},
         "ei-controller@12,vrq-compact@1",
         "",
         2,
         "",
         "",
         false},
        // Faults after the model: the default address goes before them.
        {{"vrq-pb:off=3:dead=emc2,ei-controller@12", "--pty"},
         "vrq-pb@1:off=3:dead=emc2,ei-controller@12",
         "",
         2,
         "",
         "",
         false},
        {{"vrq-pb@4:seed=9", "--pty"}, "vrq-pb@4:seed=9", "", 2, "", "", false},
        {{"vrq-pb", "--pty", "--link", "/tmp/a", "--turnaround", "0", "--fault", "garbled:3",
          "--var-dir", "/v", "--verbose"},
         "vrq-pb@1",
         "/tmp/a",
         0,
         "garbled:3",
         "/v",
         true},
        {{"vrq-pb", "--pty", "--link=/tmp/b", "--turnaround=10000", "--fault=noanswer",
          "--var-dir=/w"},
         "vrq-pb@1",
         "/tmp/b",
         10000,
         "noanswer",
         "/w",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const SimOptionsResult r = SimOptions::parse(c.args);
        ASSERT_TRUE(r.options) << r.error;
        EXPECT_EQ(r.error, "");
        EXPECT_TRUE(r.options->pty);
        EXPECT_FALSE(r.options->help);
        EXPECT_EQ(r.options->deviceList(), c.deviceList);
        EXPECT_EQ(r.options->link, c.link);
        EXPECT_EQ(r.options->turnaroundMs, c.turnaroundMs);
        EXPECT_EQ(r.options->fault, c.fault);
        EXPECT_EQ(r.options->varDir, c.varDir);
        EXPECT_EQ(r.options->verbose, c.verbose);
    }
}

TEST(SimOptions, HelpNeedsNoDevices)
{
    for (const Args& args : {Args{"--help"}, Args{"-h"}, Args{"vrq-pb", "--help"}}) {
        const SimOptionsResult r = SimOptions::parse(args);
        ASSERT_TRUE(r.options) << r.error;
        EXPECT_TRUE(r.options->help);
    }
    for (const char* told :
         {"--turnaround", "off=P", "dead=CHS", "noisy=CHS", "seed=N", "mc1..mc8"})
        EXPECT_NE(SimOptions::usage().find(told), std::string::npos) << told;
}

TEST(SimOptions, RefusedCommandLinesSayWhatIsWrong)
{
    struct Case {
        Args args;
        std::string errorPart;
    };
    const Case cases[] = {
        {{}, "name the devices"},
        {{"--pty"}, "name the devices"},
        {{"vrq-pb"}, "say --pty"},
        {{"vrq-pb", "ei-controller", "--pty"}, "unexpected argument 'ei-controller'"},
        {{"-x", "--pty"}, "unexpected argument '-x'"},
        {{"vrq-pb", "--pty", "--port", "/dev/x"}, "unknown option --port"},
        {{"vrq-pb", "--pty", "--link"}, "--link needs a value"},
        {{"vrq-pb", "--pty", "--turnaround"}, "--turnaround needs a value"},
        {{"vrq-pb", "--pty", "--turnaround", "-1"}, "--turnaround: '-1' is not a number"},
        {{"vrq-pb", "--pty", "--turnaround", "2ms"}, "--turnaround: '2ms' is not a number"},
        {{"vrq-pb", "--pty", "--turnaround=10001"}, "from 0 to 10000"},
        {{"vrq-pb", "--pty", "--fault", "sometimes"}, "--fault: 'sometimes' is no plan"},
        {{"vrq-pb@x", "--pty"}, "'vrq-pb@x' has no numeric address"},
        {{"vrq-pb,,ei-controller", "--pty"}, "'@1' is not MODEL@ADDRESS"},
        // A bad device option is refused with the command line, before anything is made.
        {{"vrq-pb:noisy=emc7", "--pty"}, "'vrq-pb@1:noisy=emc7': noisy: unknown channel 'emc7'"},
        {{"vrq-compact:off=1", "--pty"}, "vrq-compact takes no options"},
        // A malformed option is reported even next to --help.
        {{"--help", "--turnaround", "x"}, "--turnaround: 'x'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const SimOptionsResult r = SimOptions::parse(c.args);
        EXPECT_FALSE(r.options);
        EXPECT_NE(r.error.find(c.errorPart), std::string::npos) << r.error;
    }
}

} // namespace
} // namespace quell::sim
