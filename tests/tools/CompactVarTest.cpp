// quellvar on the compact syntax: the board's own description dumps whole, and the check names a
// failed load's line and the entries whose codes collide.
#include "tools/quellvar/CompactVar.h"
#include "tests/tools/TempFile.h"
#include "tools/quellvar/VarCommandLine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

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
    EXPECT_EQ(VarCommandLine::parse({"run", "--compact", "x.var"}).command,
              VarCommandLine::Command::Invalid);
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
