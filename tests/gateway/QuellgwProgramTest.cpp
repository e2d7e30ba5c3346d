// quellgw as a program: the command line's bounds and warnings, and SIGTERM while a client has
// the longest exchange it can ask for on the bus.

#include "gateway/GatewayOptions.h"
#include "tests/gateway/TestNet.h"

#include <gtest/gtest.h>

#include <chrono>

namespace quell::gw {
namespace {

using test::ChildProgram;
using test::LineClient;
using test::makerRead;

TEST(GatewayOptions, IdleTimeOutAndANetworkAddressAreReadAndTold)
{
    struct Case {
        std::vector<std::string> args;
        int idleTimeoutS;
        bool warned;
    };
    const Case cases[] = {
        {{"--sim", "vrq-pb@1"}, GatewayServer::kDefaultIdleTimeoutS, false},
        {{"--sim", "vrq-pb@1", "--idle-timeout", "0"}, 0, false},
        {{"--sim", "vrq-pb@1", "--idle-timeout=45", "--listen", "[::1]:0"}, 45, false},
        {{"--sim", "vrq-pb@1", "--listen", "localhost:9099"}, 600, false},
        {{"--sim", "vrq-pb@1", "--listen", "127.0.0.2:9099"}, 600, false},
        {{"--sim", "vrq-pb@1", "--listen", "0.0.0.0:9099"}, 600, true},
        {{"--sim", "vrq-pb@1", "--listen", "[::]:9099"}, 600, true},
        {{"--sim", "vrq-pb@1", "--listen", "192.168.1.20:9099"}, 600, true},
    };
    for (const Case& c : cases) {
        const GatewayOptions o = GatewayOptions::parse(c.args);
        EXPECT_EQ(o.idleTimeoutS, c.idleTimeoutS) << c.args.back();
        EXPECT_EQ(o.listenWarning().empty(), !c.warned) << c.args.back();
        if (c.warned) {
            EXPECT_NE(o.listenWarning().find("reachable from the network"), std::string::npos);
        }
    }
    EXPECT_GT(GatewayServer::kDefaultIdleTimeoutS, 0) << "a default that frees places";
    EXPECT_THROW(GatewayOptions::parse({"--sim", "vrq-pb@1", "--idle-timeout", "-1"}),
                 std::invalid_argument);
    const std::string usage = GatewayOptions::usage();
    for (const char* told :
         {"--idle-timeout", "keep-alive", "TOUT=", "SIGTERM", "off=P", "dead=CHS", "noisy=CHS"})
        EXPECT_NE(usage.find(told), std::string::npos) << told;
}

TEST(QuellgwProgram, SigtermEndsItWithinASecondWhileTheBusIsHeld)
{
    test::ScratchDir dir;
    ChildProgram gw(QUELLGW_PATH, {"--sim", "vrq-pb@1", "--listen", "127.0.0.1:0"}, dir.path(),
                    "gw");
    const int port = gw.listeningPort();
    ASSERT_NE(port, 0) << gw.errors();
    LineClient hog(port);
    EXPECT_EQ(hog.ask("TOUT=60000 RET=20 "),
              "USER= BAUD=57600 PARITY=Even DATAB=8 STOPB=1 TOUT=1000 RET=10 ");
    const std::string absent = "BODY=" + makerRead(0x10, 60, 0xA5) + "END ";
    hog.send(absent + absent + "\r\n");
    LineClient waiting(port);
    waiting.send("BODY=" + makerRead(0x10, 60) + "END \r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(1500)); // well into a second try
    const auto signalled = std::chrono::steady_clock::now();
    const int elapsedMs = gw.terminate(SIGTERM, 3000);
    EXPECT_GE(elapsedMs, 0) << "still running 3 s after SIGTERM";
    EXPECT_LT(elapsedMs, 1000);
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(4));
}

} // namespace
} // namespace quell::gw
