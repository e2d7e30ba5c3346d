// The built quellvar on the example files: exit statuses, output shapes, and that the command
// line reaches the run loop the way the in-process tests assume.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

#include "tests/tools/TempFile.h"
#include "tools/quellvar/VarRunner.h"

namespace quell::tools {
namespace {

const std::string kBinary = QUELLVAR_BINARY;
const std::string kExamples = QUELL_EXAMPLES_DIR;

struct Outcome {
    int status = -1;
    std::string out;
};

// Runs the shell command and returns its exit status and standard output.
Outcome runShell(const std::string& command)
{
    Outcome outcome;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return outcome;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        outcome.out.append(buffer, n);
    }
    const int raw = ::pclose(pipe);
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return outcome;
}

std::string quoted(const std::string& path)
{
    return "'" + path + "'";
}

TEST(QuellVar, DumpsTheBoardDescriptionWithTheWholeEntryMap)
{
    const Outcome dump = runShell(kBinary + " dump " + quoted(kExamples + "/vrq-pb.var"));
    ASSERT_EQ(dump.status, 0) << dump.out;
    std::smatch count;
    ASSERT_TRUE(std::regex_search(dump.out, count, std::regex(R"("count":(\d+))")));
    EXPECT_GE(std::stoi(count[1]), 147);
    EXPECT_EQ(dump.out.rfind(R"({"loaded":true,"kind":1,"protocolName":"Kestavin")", 0), 0u);
    // The measurement view reads entry 147 last: it must be there and be the compensation.
    EXPECT_NE(dump.out.find(R"({"index":147,"name":"Comp temp")"), std::string::npos);
    EXPECT_EQ(dump.out.find('\n'), dump.out.size() - 1) << "one line";
}

TEST(QuellVar, ChecksTheExamplesClean)
{
    for (const char* name : {"vrq-pb.var", "ei-controller.var"}) {
        const Outcome check = runShell(kBinary + " check " + quoted(kExamples + "/" + name));
        EXPECT_EQ(check.status, 0) << check.out;
        EXPECT_NE(check.out.find("no problems found"), std::string::npos) << check.out;
    }
}

TEST(QuellVar, DumpExitStatusSaysWhatTheLoadDid)
{
    test::TempFile broken("PROT Kestavin\nVAR a 1,0,rw,0,100,0,1,2,3,0,d\n\nVAR b 1,0,rw,0,1x\n");
    const Outcome error = runShell(kBinary + " dump " + quoted(broken.path()));
    EXPECT_EQ(error.status, 2);
    EXPECT_NE(error.out.find(R"("error":"'1x' is not a valid integer value","errorLine":4})"),
              std::string::npos)
        << error.out;
    EXPECT_NE(error.out.find(R"("count":2,)"), std::string::npos) << error.out;

    const Outcome missing = runShell(kBinary + " dump " + quoted(broken.sibling("none.var")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out.rfind(R"({"loaded":false,)", 0), 0u) << missing.out;

    const Outcome usage = runShell(kBinary + " 2>&1");
    EXPECT_EQ(usage.status, 64);
    EXPECT_NE(usage.out.find("usage: quellvar"), std::string::npos);
}

TEST(QuellVar, RunTakesItsLinkOptionsFromTheCommandLine)
{
    const std::string commands = "read 105\nwrite 147 0\nread 82\nanswer 105 =x =TimeOut\nfly\n";
    test::TempFile input(commands, "commands.txt");
    const std::string file = kExamples + "/vrq-pb.var";
    const Outcome run =
        runShell(kBinary + " run " + quoted(file)
                 + " --mc --address 3 --mcaddress 2 --mcmask 0x50 < " + quoted(input.path()));
    ASSERT_EQ(run.status, 0) << run.out;

    // The same commands in-process with the settings the options stand for.
    auto protocol = std::make_unique<TProtocol>();
    ASSERT_TRUE(protocol->LoadFromFile(file));
    VarLinkSettings link;
    link.viaMC = true;
    link.address = 3;
    link.mcAddress = 2;
    link.mcMask = 0x50;
    std::istringstream in(commands);
    std::ostringstream expected;
    VarRunner(*protocol, link).run(in, expected);
    EXPECT_EQ(run.out, expected.str());
    // Routed frames start with SOH and M = $50 | 2, whichever entry they are for.
    EXPECT_EQ(run.out.rfind(R"({"frame":"0152)", 0), 0u) << run.out;
}

} // namespace
} // namespace quell::tools
