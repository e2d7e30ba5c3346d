// quellvar on the compact syntax: the board's own description dumps whole, and the check names a
// failed load's line and the entries whose codes collide.
#include "tools/quellvar/CompactVar.h"
#include "tests/tools/TempFile.h"
#include "tools/quellvar/VarCommandLine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace quell::tools {
namespace {

TEST(CompactVar, TheCompactBoardsDescriptionDumpsWhole)
{
    const VarCommandLine line =
        VarCommandLine::parse({"dump", "--compact", QUELL_EXAMPLES_DIR "/vrq-compact.var"});
    ASSERT_EQ(line.command, VarCommandLine::Command::Dump);
    ASSERT_TRUE(line.compact);
    std::ostringstream out;
    EXPECT_EQ(CompactVar::dump(line.fileName, out), 0);
    const std::string json = out.str();
    EXPECT_NE(json.find(R"("loaded":true)"), std::string::npos);
    EXPECT_NE(json.find(R"("count":109)"), std::string::npos);
    EXPECT_NE(json.find(R"("name":"Wood swap")"), std::string::npos);
    EXPECT_NE(json.find(R"("pickList":["Idle","Swapping","Ready"])"), std::string::npos);
}

TEST(CompactVar, RunTakesTheCompactCommandsAndRefusesTheMasterController)
{
    const VarCommandLine dump = VarCommandLine::parse({"dump", "--pretty", "--hex", "x.var"});
    EXPECT_TRUE(dump.pretty && dump.hex);
    EXPECT_EQ(VarCommandLine::parse({"check", "--pretty", "x.var"}).command,
              VarCommandLine::Command::Invalid);
    const VarCommandLine run =
        VarCommandLine::parse({"run", "--compact", "x.var", "--address", "3", "--mask", "0x80"});
    EXPECT_EQ(run.command, VarCommandLine::Command::Run);
    EXPECT_TRUE(run.compact);
    EXPECT_EQ(run.link.address | run.link.mask, 0x83);
    for (const char* mc : {"--mc", "--mcaddress"}) {
        std::vector<std::string> words{"run", "x.var", mc};
        if (std::string(mc) != "--mc")
            words.emplace_back("2");
        words.emplace_back("--compact");
        EXPECT_EQ(VarCommandLine::parse(words).command, VarCommandLine::Command::Invalid) << mc;
    }

    // Filter EMC1 is entry 19 of the board's description: codes $10 and 19 (0x13), a number.
    std::istringstream in("read 19\n"
                          "write 19 4\n"
                          "entry 19\n"
                          "text 19 12\n"
                          "value 19 abc\n"
                          "backward 16 19\n"
                          "backward 16 200\n"
                          "set 19 valid 1\n"
                          "read 300\n"
                          "jump 1\n");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(CompactVar::run(QUELL_EXAMPLES_DIR "/vrq-compact.var", 0xA1, in, out, err), 0);
    EXPECT_EQ(err.str(), "");
    const std::string expected[] = {
        // SOH, the address byte, "10" "13" and their XOR "03", EOT.
        R"({"frame":"01A131303133303304"})",
        // The value 4 in two bytes, then the XOR of 10 13 00 04: 07.
        R"({"frame":"01A13130313330303034303704"})",
        "",
        R"({"stored":true,"value":12,"text":"12"})",
        R"({"error":"'abc' is not a valid integer value"})",
        R"({"found":true,"entry":19})",
        R"({"found":false,"entry":0})",
        "{}",
        R"({"error":"entry 300 is outside 0..255"})",
        R"({"error":"unknown command 'jump'"})",
    };
    std::istringstream lines(out.str());
    std::string line;
    for (const std::string& want : expected) {
        ASSERT_TRUE(std::getline(lines, line));
        if (want.empty())
            EXPECT_NE(line.find(R"("name":"Filter EMC1")"), std::string::npos) << line;
        else
            EXPECT_EQ(line, want);
    }
    EXPECT_FALSE(std::getline(lines, line));

    std::istringstream none;
    std::ostringstream nothing;
    EXPECT_EQ(CompactVar::run("/no/such/file.var", 0xA1, none, nothing, err), 1);
    EXPECT_NE(err.str().find("not loaded"), std::string::npos);
}

TEST(CompactVar, CheckNamesWhatTheAuthorMustFix)
{
    const struct {
        const char* what;
        std::string text;
        int status;
        const char* finding;
    } cases[] = {
        {"clean",
         "PROT Kestavin\nSECTION T\nVAR a, manual, rw, 0, 9, 0, $10, 1, 0, d\n"
         "VAR b, periodic, ro, 0, 9, 0, $14, 1, 0, d\n",
         0, "no problems found"},
        {"shared codes",
         "PROT Kestavin\nSECTION T\nVAR a, manual, rw, 0, 9, 0, $10, 1, 0, d\n"
         "VAR b, periodic, ro, 0, 9, 0, $10, 1, 0, d\n",
         1, "entries 1 2 share the codes 10 01: every answer goes to entry 2"},
        {"a bad field", "PROT Kestavin\nSECTION T\nVAR a, manual, rw, zz, 9, 0, $10, 1, 0, d\n", 1,
         "line 3: "},
        {"another protocol", "PROT EI-Bisynch\nVAR a, manual, rw, 0, 9, 0, $10, 1, 0, d\n", 1,
         "file: not loaded"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const test::TempFile file(c.text);
        std::ostringstream out;
        EXPECT_EQ(CompactVar::check(file.path(), out), c.status);
        EXPECT_NE(out.str().find(c.finding), std::string::npos) << out.str();
    }
}

} // namespace
} // namespace quell::tools
