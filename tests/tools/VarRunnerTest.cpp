// The run loop, driven in-process: command lines in, JSON lines out. Frames and values are the
// worked examples of the two protocols, with the arithmetic shown where it is ours.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/tools/TempFile.h"
#include "tools/quellvar/VarRunner.h"

namespace quell::tools {
namespace {

constexpr const char* kKestavin = R"(PROT Kestavin
SECTION T
VAR p1    1,1,rw,0,1000,0,$10,$30,5,0,f1
VAR mode  1,0,rw,0,1,0,$11,$21,6,4,s,Off,On
VAR word  1,3,rw,0,$FFFF,0,$12,$20,5,0,h
VAR fixed 1,0,we,0,100,0,3,4,5,0,f1
VAR temp  1,0,rw,0,100,0,$13,$23,8,-40,d
VAR again 1,0,ro,0,100,0,$10,$31,5,0,d
)";

constexpr const char* kEIBisynch = R"(PROT EI_BISYNCH
VAR out 1,0,rw,0,1000,0,O,P,0,0,f1
VAR pv  1,1,ro,0,1000,0,P,V,0,0,f1
VAR sl  1,0,rw,0,1000,0,S,L,0,0,f1
VAR pv2 1,1,ro,0,1000,0,P,V,2,0,f1
)";

// One command and what must come back: the whole line, or (exact = false) a part of it.
struct Step {
    const char* command;
    const char* expected;
    bool exact = true;
};

struct Scenario {
    const char* name;
    const char* file;
    VarLinkSettings link;
    std::vector<Step> steps;
};

VarLinkSettings viaMC()
{
    VarLinkSettings link;
    link.viaMC = true;
    return link;
}

VarLinkSettings address(std::uint8_t a)
{
    VarLinkSettings link;
    link.address = a;
    return link;
}

const Scenario kScenarios[] = {
    {"Kestavin frames",
     kKestavin,
     {},
     {
         {"read 1", R"({"frame":"01A131303035313504"})"},
         // Address 15 for a fixed-address entry: A = $A0 | 15 = $AF; checksum 3 ^ 5 = 6.
         {"read 4", R"({"frame":"01AF30333035303604"})"},
         // $20 ^ $05 ^ $12 ^ $34 = $03.
         {"write 3 1234", R"({"frame":"01A13230303531323334303304"})"},
         {"read 2000", R"({"frame":""})"},
     }},
    {"Kestavin routed through the MC",
     kKestavin,
     viaMC(),
     {
         {"read 1", R"({"frame":"01413F3F3A31313030353135353E04"})"},
     }},
    {"value codec",
     kKestavin,
     {},
     {
         {"value 1 0.7", R"({"value":7})"},
         {"value 1 -1.25", R"({"value":-12})"},
         {"value 1 abc", R"({"error":"'abc' is not a valid floating point value"})"},
         {"text 1 -32768", R"({"text":"error"})"},
         {"value 2 On", R"({"value":16})"},
         {"set 2 value 32", "{}"},
         {"value 2 on", R"({"value":32})"},
         {"text 2 32 keep, this", R"({"text":"keep, this"})"},
         {"text 5 65", R"({"text":"25"})"},
         {"value 5 25", R"({"value":65})"},
         {"text 3 6699", R"({"text":"1A2B"})"},
         {"value 3 1a2B", R"({"value":6699})"},
     }},
    {"answers and the rollback of an unconfirmed write",
     kKestavin,
     {},
     {
         // Read of entry 3 (Code1 $12, Code3 5), checksum $12 ^ 5 = $17; the answer's
         // nibble characters "12;?" stand for $12BF.
         {"answer 3 01A131323035313704 01A13132303531323B3F303004",
          R"({"taken":true,"entry":3,"status":"12BF"})"},
         {"set 3 valueText 0042", "{}"},
         {"write 3 1234", R"({"frame":"01A13230303531323334303304"})"},
         {"entry 3", R"("value":4660,)", false},
         {"answer 3 01A13230303531323334303304 =TimeOut",
          R"({"taken":false,"entry":3,"status":"TimeOut"})"},
         {"entry 3", R"("value":66,)", false},
         {"write 3 1234", R"({"frame":"01A13230303531323334303304"})"},
         {"answer 3 01A13230303531323334303304 01A13B35", // status byte $B5
          R"({"taken":true,"entry":3,"status":"read_only"})"},
         {"entry 3", R"("value":4660,)", false},
     }},
    {"poll selector and searches",
     kKestavin,
     {},
     {
         {"set 3 valid 1", "{}"},
         {"poll 3", R"({"poll":false})"},
         {"poll 3", R"({"poll":false})"},
         {"poll 3", R"({"poll":true})"},
         {"poll 3", R"({"poll":true})"},
         {"entry 3", R"("pollCounter":2,)", false},
         {"poll 4", R"({"poll":false})"},
         {"enable none", "{}"},
         {"poll 1", R"({"poll":false})"},
         {"enable all", "{}"},
         {"poll 1", R"({"poll":true})"},
         {"forward 48 5 3", R"({"found":true,"entry":1})"},
         {"forward 16 5 2", R"({"found":true,"entry":6})"},
         {"forward 16 5 7", R"({"found":false,)", false},
         {"backward 16 5", R"({"found":true,"entry":6})"},
         {"backward 99 5", R"({"found":false,)", false},
     }},
    {"EI-Bisynch frames and answers",
     kEIBisynch,
     address(12),
     {
         {"read 2", R"({"frame":"0431313232505605"})"},
         {"read 4", R"({"frame":"043131323232505605"})"},
         {"answer 2 0431313232505605 0250562032352E350300", R"({"taken":true,"entry":2,)", false},
         {"entry 2", R"("floatValue":25.5,)", false},
         {"answer 2 0431313232505605 =TimeOut", R"({"taken":false,"entry":2,"status":"error"})"},
         {"answer 2 0431313232505605 =timeout", R"({"taken":true,"entry":2,"status":"timeout"})"},
         {"answer 2 0431313232505605 15", R"({"taken":true,"entry":2,"status":"NAK"})"},
         {"store 2 x", R"({"error":"'x' is not a valid floating point value"})"},
     }},
    // BCC = 'S' ^ 'L' ^ '1' ^ '0' ^ '0' ^ '.' ^ '0' ^ ETX = $33.
    {"EI-Bisynch write",
     kEIBisynch,
     {},
     {
         {"write 3 100.0", R"({"frame":"043030313102534C3130302E300333"})"},
     }},
    {"bad commands",
     kKestavin,
     {},
     {
         {"read x", R"({"error":"'x' is not a valid integer value"})"},
         {"read 70000", R"({"error":"entry 70000 is outside 0..65535"})"},
         {"entry 1024", R"({"error":"entry 1024 is outside 0..1023"})"},
         {"read", R"({"error":"missing entry number"})"},
         {"read 1 2", R"({"error":"unexpected argument '2'"})"},
         {"answer 1 0G =TimeOut", R"({"error":"'0G' is not a hexadecimal frame"})"},
         {"enable some", R"({"error":)", false},
         {"set 1 colour 3", R"({"error":"unknown field 'colour'"})"},
         {"forward 256 5 1", R"({"error":"code 256 is outside 0..255"})"},
         {"fly 1", R"({"error":"unknown command 'fly'"})"},
         {"", R"({"error":"empty command"})"},
         {"read 1", R"({"frame":"01A131303035313504"})"},
     }},
};

TEST(VarRunner, AnswersEachCommandLineWithItsJsonLine)
{
    for (const Scenario& scenario : kScenarios) {
        SCOPED_TRACE(scenario.name);
        test::TempFile file(scenario.file);
        auto protocol = std::make_unique<TProtocol>();
        ASSERT_TRUE(protocol->LoadFromFile(file.path()));
        VarRunner runner(*protocol, scenario.link);
        for (const Step& step : scenario.steps) {
            const std::string out = runner.execute(step.command);
            if (step.exact) {
                EXPECT_EQ(out, step.expected) << step.command;
            } else {
                EXPECT_NE(out.find(step.expected), std::string::npos)
                    << step.command << " gave " << out;
            }
        }
    }
}

TEST(VarRunner, WritesOneLinePerInputLineAndToleratesWindowsLineEnds)
{
    test::TempFile file(kKestavin);
    auto protocol = std::make_unique<TProtocol>();
    ASSERT_TRUE(protocol->LoadFromFile(file.path()));
    std::istringstream in("read 1\r\n\nset 1 valueText a b \r\nentry 1");
    std::ostringstream out;
    VarRunner(*protocol, {}).run(in, out);

    std::vector<std::string> lines;
    std::istringstream written(out.str());
    for (std::string line; std::getline(written, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 4u) << out.str();
    EXPECT_EQ(lines[0], R"({"frame":"01A131303035313504"})");
    EXPECT_EQ(lines[1], R"({"error":"empty command"})");
    EXPECT_EQ(lines[2], "{}");
    EXPECT_NE(lines[3].find(R"("valueText":"a b ")"), std::string::npos) << lines[3];
}

TEST(VarRunner, RunsCommandsEvenWhenTheFileDidNotLoad)
{
    test::TempFile broken("PROT Kestavin\nVAR a 1,0,rw,0,100,0,1,2,3,0,d\nVAR b 1,0,rw,x\n");
    std::istringstream in("entry 1\nread 1\n");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(VarRunner::runFile(broken.path(), {}, in, out, err), 2);
    EXPECT_NE(err.str().find("line 3"), std::string::npos) << err.str();
    EXPECT_NE(out.str().find(R"("name":"a")"), std::string::npos) << out.str();

    std::istringstream again("read 1\n");
    std::ostringstream out2;
    std::ostringstream err2;
    EXPECT_EQ(VarRunner::runFile(broken.sibling("missing.var"), {}, again, out2, err2), 1);
    EXPECT_EQ(out2.str(), "{\"frame\":\"\"}\n");
}

} // namespace
} // namespace quell::tools
