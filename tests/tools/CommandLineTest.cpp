#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/quellvar/VarCommandLine.h"

namespace quell::tools {
namespace {

using Command = VarCommandLine::Command;

struct Accepted {
    std::vector<std::string> arguments;
    Command command;
    VarLinkSettings link;
};

VarLinkSettings settings(std::uint8_t address, std::uint8_t mask, bool viaMC,
                         std::uint8_t mcAddress, std::uint8_t mcMask)
{
    return VarLinkSettings{address, mask, viaMC, mcAddress, mcMask};
}

TEST(VarCommandLine, ReadsCommandFileAndLinkOptions)
{
    const Accepted cases[] = {
        {{"dump", "a.var"}, Command::Dump, settings(1, 160, false, 1, 64)},
        {{"check", "a.var"}, Command::Check, settings(1, 160, false, 1, 64)},
        {{"run", "a.var"}, Command::Run, settings(1, 160, false, 1, 64)},
        {{"run", "--address", "12", "a.var", "--mc"}, Command::Run, settings(12, 160, true, 1, 64)},
        {{"run", "a.var", "--mask=0x80", "--mcaddress", "$1F", "--mcmask", "0"},
         Command::Run,
         settings(1, 128, false, 31, 0)},
    };
    for (const Accepted& c : cases) {
        const VarCommandLine line = VarCommandLine::parse(c.arguments);
        EXPECT_EQ(line.command, c.command) << line.error;
        EXPECT_EQ(line.fileName, "a.var");
        EXPECT_EQ(line.link.address, c.link.address);
        EXPECT_EQ(line.link.mask, c.link.mask);
        EXPECT_EQ(line.link.viaMC, c.link.viaMC);
        EXPECT_EQ(line.link.mcAddress, c.link.mcAddress);
        EXPECT_EQ(line.link.mcMask, c.link.mcMask);
    }
}

TEST(VarCommandLine, RefusesWhatItCannotRun)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"dump"},
        {"print", "a.var"},
        {"dump", "a.var", "b.var"},
        {"dump", "a.var", "--mc"},
        {"run", "a.var", "--address"},
        {"run", "a.var", "--address", "256"},
        {"run", "a.var", "--address", "one"},
        {"run", "a.var", "--speed", "9600"},
    };
    for (const auto& arguments : cases) {
        const VarCommandLine line = VarCommandLine::parse(arguments);
        EXPECT_EQ(line.command, Command::Invalid) << testing::PrintToString(arguments);
        EXPECT_FALSE(line.error.empty());
    }
}

} // namespace
} // namespace quell::tools
