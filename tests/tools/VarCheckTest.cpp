// The author's report: each faulty file must name its problem on the right line, and a good file
// must come out clean (a check that cries wolf is not read).
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/tools/TempFile.h"
#include "tools/quellvar/VarCheck.h"

namespace quell::tools {
namespace {

std::string describe(const VarCheck& check)
{
    std::ostringstream out;
    check.report(out);
    return out.str();
}

constexpr const char* kHead = "PROT Kestavin\nSECTION T\n";

struct Finding {
    const char* what;
    std::string file;
    unsigned line;
    const char* text;
};

TEST(VarCheck, NamesEachProblemOnItsLine)
{
    const std::string kOk = "VAR ok 1,0,rw,0,100,0,$10,$20,1,0,d\n";
    const Finding cases[] = {
        {"default outside the limits", kHead + kOk + "VAR a 1,0,rw,0,100,500,$10,$20,2,0,d\n", 4,
         "Default 500 lies outside Min..Max (0..100)"},
        {"Min above Max", kHead + kOk + "VAR a 1,0,rw,9,1,5,$10,$20,2,0,d\n", 4,
         "Min 9 is greater than Max 1"},
        {"short pick list", kHead + kOk + "VAR a 1,0,rw,0,2,0,$10,$20,2,0,s,Off,On\n", 4,
         "the pick list has 2 items; Max 2 needs 3"},
        {"quoted items count as one each",
         kHead + kOk + "VAR a 1,0,rw,0,2,0,$10,$20,2,0,s,'a, b' '' c\n// end\n", 0, nullptr},
        {"unknown type", kHead + kOk + "VAR a 1,0,rw,0,1,0,$10,$20,2,0,q\n", 4,
         "unknown type 'q': the entry is read as d"},
        {"type with its digit first", kHead + kOk + "VAR a 1,0,rw,0,1,0,$10,$20,2,0,x1f\n", 0,
         nullptr},
        {"unknown access word", kHead + kOk + "VAR a 1,0,rx,0,1,0,$10,$20,2,0,d\n", 4,
         "unknown access word 'rx'"},
        {"mistyped keyword", kHead + kOk + "VRA a 1,0,rw,0,1,0,$10,$20,2,0,d\n", 4,
         "'VRA' is no keyword (PROT, SECTION or VAR): the line is skipped"},
        {"long line",
         kHead + kOk + "VAR a 1,0,rw,0,1,0,$10,$20,2,0,d //" + std::string(250, '-') + "\n", 4,
         "only the first 255 are read"},
        {"number beyond 16 bits", kHead + kOk + "VAR a 1,0,rw,0,70000,0,$10,$20,2,0,d\n", 4,
         "Max 70000 does not fit 16 bits; it is read as 4464"},
        {"poll rate beyond 8 bits", kHead + kOk + "VAR a 1,300,rw,0,1,0,$10,$20,2,0,d\n", 4,
         "PollRate 300 does not fit 8 bits; it is read as 44"},
        {"shared read code", kHead + kOk + "VAR a 1,0,ro,0,1,0,$10,$21,1,0,d\n", 4,
         "is also used by entry 1 'ok' (line 3)"},
        {"read code that is a status byte", kHead + kOk + "VAR a 1,0,ro,0,1,0,$B3,$21,2,0,d\n", 4,
         "read code 0xB3 is a status byte"},
        {"duplicate name in another case", kHead + kOk + "VAR OK 1,0,rw,0,1,0,$10,$20,2,0,d\n", 4,
         "the name is already used by entry 1 (line 3)"},
        {"load error", kHead + kOk + "\nVAR a 1,0,rw,0,1x,0,$10,$20,2,0,d\n", 5,
         "field Max: '1x' is not a valid integer value"},
        {"PROT first met in a comment", "// PROTOCOL of the board\n" + std::string(kHead) + kOk, 1,
         "unknown protocol 'OCOL'"},
        {"no SECTION", "PROT Kestavin\n" + kOk, 0, "no SECTION line"},
        {"no VAR line", std::string(kHead), 0, "no VAR line"},
        {"EI answers caught by a later entry",
         "PROT EI_BISYNCH\nSECTION T\nVAR pv 1,0,ro,0,1,0,P,V,0,0,f1\n"
         "VAR op 1,0,rw,0,1,0,O,P,0,0,f1\n",
         3, "answers for mnemonic 'PV' are matched to entry 2 'op' (line 4)"},
        {"EI entries in a safe order",
         "PROT EI_BISYNCH\nSECTION T\nVAR op 1,0,rw,0,1,0,O,P,0,0,f1\n"
         "VAR pv 1,0,ro,0,1,0,P,V,0,0,f1\nVAR pv2 1,0,ro,0,1,0,P,V,2,0,f1\n",
         0, nullptr},
        {"EI channel that is not a digit",
         "PROT EI_BISYNCH\nSECTION T\nVAR pv 1,0,ro,0,1,0,P,V,x,0,f1\n", 3,
         "channel 'x' is not a digit"},
    };
    for (const Finding& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFile file(c.file);
        const VarCheck check(file.path());
        if (c.text == nullptr) {
            EXPECT_TRUE(check.problems().empty()) << describe(check);
            continue;
        }
        bool found = false;
        for (const VarProblem& problem : check.problems()) {
            found =
                found || (problem.line == c.line && problem.text.find(c.text) != std::string::npos);
        }
        EXPECT_TRUE(found) << describe(check);
    }
}

TEST(VarCheck, ReportEndsWithTheVerdictAndGivesTheExitStatus)
{
    test::TempFile good(std::string(kHead) + "VAR a 1,0,rw,0,1,0,$10,$20,2,0,d\n");
    std::ostringstream goodReport;
    EXPECT_EQ(VarCheck(good.path()).report(goodReport), 0);
    EXPECT_NE(goodReport.str().find("entries: 1\n"), std::string::npos) << goodReport.str();
    EXPECT_NE(goodReport.str().find("no problems found\n"), std::string::npos);

    test::TempFile bad(std::string(kHead) + "VAR a 1,0,rw,0,1,0,$10,$20,2,0,q\n");
    std::ostringstream badReport;
    EXPECT_EQ(VarCheck(bad.path()).report(badReport), 1);
    EXPECT_NE(badReport.str().find("line 3: entry 1 'a': unknown type 'q'"), std::string::npos)
        << badReport.str();
    EXPECT_NE(badReport.str().find("1 problem found\n"), std::string::npos);

    std::ostringstream missingReport;
    EXPECT_EQ(VarCheck(bad.sibling("none.var")).report(missingReport), 1);
}

} // namespace
} // namespace quell::tools
