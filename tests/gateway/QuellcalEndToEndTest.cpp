// quellcal itself against quellgw with the simulated board: its link reads every entry of the
// board, and a value written to the board comes back in quellcal's next poll of it.

#include "tests/gateway/TestNet.h"

#include "protocol/UCommands.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace quell::gw {
namespace {

using test::ChildProgram;

struct TraceLine {
    int client = 0;
    std::string what;
    std::string bytes; // decoded from hex
};

std::vector<TraceLine> readTrace(const std::filesystem::path& file)
{
    std::istringstream in(ChildProgram::slurp(file));
    std::vector<TraceLine> out;
    std::string stamp, client, what, rest;
    while (in >> stamp >> client >> what) {
        std::getline(in, rest);
        TraceLine t{std::stoi(client.substr(1)), what, {}};
        if (what == "tx" || what == "rx")
            for (std::size_t i = 1; i + 1 < rest.size(); i += 2)
                t.bytes += static_cast<char>(std::stoi(rest.substr(i, 2), nullptr, 16));
        out.push_back(t);
    }
    return out;
}

unsigned pair(const std::string& frame, std::size_t position)
{
    return (frame[position - 1] & 0x0F) * 16u + (frame[position] & 0x0F);
}

TEST(QuellcalEndToEnd, ReadsTheWholeBoardAndSeesAWrittenValue)
{
    test::ScratchDir dir;
    const auto trace = dir.path() / "trace.txt";
    ChildProgram gateway(
        QUELLGW_PATH, {"--sim", "vrq-pb@1", "--listen", "127.0.0.1:0", "--trace", trace.string()},
        dir.path(), "gw");
    const int port = gateway.listeningPort();
    ASSERT_NE(port, 0) << gateway.errors();
    const auto settings = dir.path() / "quellcal.cli";
    {
        std::ofstream cli(settings);
        cli << "[Socket]\nHost=127.0.0.1\nPort=" << port << "\n[Comm]\nMaxPacket=8\n"
            << "[Protocol]\nFile=" << QUELL_EXAMPLES_DIR << "/vrq-pb.var\nAddress=1\n"
            << "[Action]\nStart=1\n";
    }
    ChildProgram quellcal(QUELLCAL_PATH, {settings.string()}, dir.path(), "quellcal",
                          {"QT_QPA_PLATFORM=offscreen", "QUELL_NONINTERACTIVE=1"});

    // Every entry the board lets a client read has been answered (write-only commands are not
    // read).
    TProtocol board;
    ASSERT_TRUE(board.LoadFromFile(std::string(QUELL_EXAMPLES_DIR) + "/vrq-pb.var"));
    std::set<unsigned> readable;
    for (unsigned e = 1; e <= board.Count; ++e)
        if (board.Commands[e].Access != kAccessWriteOnly)
            readable.insert(board.Commands[e].Code3);
    ASSERT_GT(readable.size(), 150u);
    std::set<unsigned> answered;
    for (int waited = 0; waited < 30000 && answered != readable; waited += 200) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        answered.clear();
        for (const TraceLine& t : readTrace(trace))
            if (t.what == "rx" && t.bytes.size() >= 9)
                answered.insert(pair(t.bytes, 5));
    }
    EXPECT_EQ(answered, readable) << quellcal.errors();

    // Another client writes the wood input (entry 87, write code 0x24) to 5; quellcal polls it.
    test::LineClient other(port);
    const std::string write = "\x01\xA1" + test::encodeByte(0x24) + test::encodeByte(87)
                              + test::encodeByte(0) + test::encodeByte(5)
                              + test::encodeByte(0x24 ^ 87 ^ 5) + "\x04";
    const std::string echo = other.ask("BODY=" + write + "END ");
    ASSERT_NE(echo.find("ANSWER="), std::string::npos) << echo;
    bool seen = false;
    for (int waited = 0; waited < 10000 && !seen; waited += 200) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const std::vector<TraceLine> lines = readTrace(trace);
        bool afterWrite = false;
        for (const TraceLine& t : lines) {
            if (t.client != 1) {
                afterWrite = afterWrite || (t.what == "tx" && t.bytes == write);
                continue;
            }
            if (afterWrite && t.what == "rx" && t.bytes.size() == 13 && pair(t.bytes, 3) == 0x14
                && pair(t.bytes, 5) == 87)
                seen = t.bytes.substr(6, 4) == "0005";
        }
    }
    EXPECT_TRUE(seen) << "quellcal's reads of entry 87 after the write";
    EXPECT_EQ(quellcal.stop(), 0) << quellcal.errors();
    EXPECT_EQ(gateway.stop(), 0);
}

} // namespace
} // namespace quell::gw
