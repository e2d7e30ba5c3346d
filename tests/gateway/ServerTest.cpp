// The server with several clients on one virtual bus: turns, own settings, the client limit,
// clients that go away, and input that is not a request line.

#include "gateway/GatewayServer.h"
#include "gateway/VirtualBus.h"
#include "tests/gateway/TestNet.h"

#include "sim/DeviceFactory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <latch>
#include <map>
#include <sstream>

namespace quell::gw {
namespace {

using namespace std::string_literals;
using test::LineClient;
using test::makerRead;

class Server : public ::testing::Test {
protected:
    void start(int maxClients, int idleTimeoutS = GatewayServer::kDefaultIdleTimeoutS)
    {
        trace_ = std::make_unique<TrafficTrace>((dir_.path() / "trace.txt").string());
        sim::DeviceFactory factory;
        link_ =
            std::make_unique<VirtualBus>(factory.makeBus("vrq-pb@1"), std::chrono::milliseconds(1));
        server_ = std::make_unique<GatewayServer>(
            GatewayServer::Config{"127.0.0.1", 0, maxClients, idleTimeoutS}, *link_, *trace_, log_);
        std::string failure;
        ASSERT_TRUE(server_->listen(failure)) << failure;
        thread_ = std::thread([this] { server_->run(stop_); });
    }
    void TearDown() override
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    int port() const { return server_->port(); }
    // How many frames the trace shows sent for client.
    int sentFor(int client) const
    {
        const std::vector<int> order = turns();
        return static_cast<int>(std::count(order.begin(), order.end(), client));
    }
    // Client numbers of the trace's "tx" lines, in order.
    std::vector<int> turns() const
    {
        std::istringstream in(test::ChildProgram::slurp(dir_.path() / "trace.txt"));
        std::vector<int> out;
        std::string stamp, client, what;
        std::string rest;
        while (in >> stamp >> client >> what) {
            std::getline(in, rest);
            if (what == "tx")
                out.push_back(std::stoi(client.substr(1)));
        }
        return out;
    }

    test::ScratchDir dir_;
    std::ostringstream log_;
    std::unique_ptr<TrafficTrace> trace_;
    std::unique_ptr<VirtualBus> link_;
    std::unique_ptr<GatewayServer> server_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

const std::string kLine = "BODY=" + makerRead(0x10, 60) + "END ";
// A read for address 0xA5, where no device is: every try waits for the whole time-out.
const std::string kAbsent = "BODY=" + makerRead(0x10, 60, 0xA5) + "END ";

std::string repeated(const std::string& block, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += block;
    return out;
}

using Clock = std::chrono::steady_clock;
long long msSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST_F(Server, ClientsTakeTurnsLineByLineWithTheirOwnSettings)
{
    start(8);
    constexpr int kClients = 3;
    constexpr int kLines = 12;
    std::vector<std::thread> threads;
    std::vector<std::string> echoes(kClients);
    std::latch ready(kClients);
    for (int c = 0; c < kClients; ++c) {
        threads.emplace_back([&, c] {
            LineClient client(port());
            echoes[c] = client.ask("BAUD=" + std::to_string(9600 * (c + 1)) + " ");
            ready.arrive_and_wait(); // all queue up together
            for (int i = 0; i < kLines; ++i)
                EXPECT_NE(client.ask(kLine).find("ANSWER="), std::string::npos);
        });
    }
    for (auto& t : threads)
        t.join();
    for (int c = 0; c < kClients; ++c)
        EXPECT_NE(echoes[c].find("BAUD=" + std::to_string(9600 * (c + 1)) + " "), std::string::npos)
            << echoes[c];
    // While all of them wait, nobody gets a second turn before the others had theirs.
    const std::vector<int> order = turns();
    ASSERT_EQ(order.size(), static_cast<std::size_t>(kClients * kLines));
    std::map<int, int> served;
    for (int client : order) {
        ++served[client];
        if (served[client] == kLines)
            break;
    }
    for (const auto& [client, count] : served)
        EXPECT_GE(count, kLines - 2) << "client " << client;
}

TEST_F(Server, OneClientTooManyIsToldAndClosedAndItsPlaceComesBack)
{
    start(2);
    LineClient a(port());
    LineClient b(port());
    EXPECT_NE(a.ask(kLine).find("ANSWER="), std::string::npos);
    EXPECT_NE(b.ask(kLine).find("ANSWER="), std::string::npos);
    LineClient c(port());
    EXPECT_EQ(c.readLine(), "ERROR=TooManyClients ");
    EXPECT_EQ(c.readLine(), "<closed>");
    a.close();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    LineClient d(port());
    EXPECT_NE(d.ask(kLine).find("ANSWER="), std::string::npos);
}

TEST_F(Server, BadInputAndDepartedClientsLeaveItServing)
{
    start(8);
    {
        // Gone in the middle of a long exchange: 30 frames are on the bus when it closes.
        LineClient leaver(port());
        std::string many;
        for (int i = 0; i < 30; ++i)
            many += kLine;
        leaver.send(many + "\r\n");
    }
    LineClient client(port());
    struct Case {
        std::string line;
        const char* answer;
    };
    const Case cases[] = {
        {std::string(20000, 'x'), "ERROR=LineTooLong "},
        {"\xFF\x01\x02garbage\x7F"s, "ERROR=UnknownItem "},
        {"", "ERROR=EmptyLine "},
        {"BODY=END ", "ERROR=EmptyFrame "},
        {"BAUD=fast ", "USER= BAUD=57600 PARITY=Even DATAB=8 STOPB=1 TOUT=80 RET=3 "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(client.ask(c.line), c.answer) << c.line.substr(0, 20);
    // An over-long line sent in pieces, with its end much later, is refused once.
    client.send(std::string(10000, 'y'));
    client.send(std::string(10000, 'y'));
    client.send("tail\r\n");
    EXPECT_EQ(client.readLine(), "ERROR=LineTooLong ");
    const std::string answer = client.ask(kLine);
    EXPECT_EQ(answer.substr(0, kLine.size() + 9), kLine + "ANSWER=\x01\xA1") << answer;
}

TEST_F(Server, ALongLineOfAbsentDevicesDelaysOthersByOneFrameAndKeepsItsBlocksInOrder)
{
    start(8);
    // Each absent frame holds the bus for 2 x 100 ms; the line for 2 s.
    LineClient hog(port());
    hog.ask("TOUT=100 RET=1 ");
    std::string frames;
    std::string expected;
    for (int i = 0; i < 10; ++i) {
        const std::string frame = makerRead(0x10, 60 + i, 0xA5);
        frames += "BODY=" + frame + "END ";
        expected += "BODY=" + frame + "END ERROR=TimeOut ";
    }
    hog.send(frames + "\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    LineClient polite(port());
    for (int i = 0; i < 3; ++i) {
        const auto asked = Clock::now();
        EXPECT_NE(polite.ask(kLine).find("ANSWER="), std::string::npos);
        // One absent frame (200 ms) and its own; never the hog's whole line.
        EXPECT_LT(msSince(asked), 600) << "answer " << i;
    }
    EXPECT_EQ(hog.readLine(10000), expected);
}

TEST_F(Server, TheFramesOfAClientThatLeftAreDroppedAtOnce)
{
    start(8);
    {
        LineClient leaver(port());
        leaver.ask("TOUT=100 RET=1 ");
        leaver.send(repeated(kAbsent, 20) + "\r\n"); // 4 s of bus time
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const int sentWhenGone = sentFor(1);
    EXPECT_LE(sentWhenGone, 6);
    LineClient next(port());
    const auto asked = Clock::now();
    EXPECT_NE(next.ask(kLine).find("ANSWER="), std::string::npos);
    EXPECT_LT(msSince(asked), 300);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(sentFor(1), sentWhenGone) << "nothing of the departed client after it left";
}

TEST_F(Server, StopEndsItWithinASecondWhateverIsOnTheBus)
{
    start(8);
    LineClient hog(port());
    EXPECT_EQ(hog.ask("TOUT=60000 RET=20 "),
              "USER= BAUD=57600 PARITY=Even DATAB=8 STOPB=1 TOUT=1000 RET=10 ");
    LineClient waiting(port());
    hog.send(repeated(kAbsent, 3) + "\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    waiting.send(kLine + "\r\n"); // waits for its turn behind the hog
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto stopped = Clock::now();
    stop_ = true;
    thread_.join();
    EXPECT_LT(msSince(stopped), 1000);
}

TEST_F(Server, SilentClientsAreClosedAfterTheIdleTimeOutAndTalkingOnesStay)
{
    start(2, 1);
    LineClient silent(port());
    LineClient talking(port());
    const auto since = Clock::now();
    for (int i = 0; i < 5; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        EXPECT_NE(talking.ask(kLine).find("ANSWER="), std::string::npos) << i;
    }
    EXPECT_EQ(silent.readLine(2000), "<closed>");
    EXPECT_GE(msSince(since), 1000);
    // Its place came back.
    LineClient another(port());
    EXPECT_NE(another.ask(kLine).find("ANSWER="), std::string::npos);
    EXPECT_NE(log_.str().find("without a request"), std::string::npos) << log_.str();
}

TEST_F(Server, ControlCharactersFromClientsAreEscapedInLogAndTrace)
{
    start(8);
    LineClient client(port());
    // Items end at blanks, so a forged log line is written without them.
    client.ask("USER=op\nquellgw:\x1B[2J ");
    client.close();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    stop_ = true;
    thread_.join();
    const std::string trace = test::ChildProgram::slurp(dir_.path() / "trace.txt");
    for (const std::string& text : {log_.str(), trace}) {
        EXPECT_EQ(text.find("op\n"), std::string::npos) << text;
        EXPECT_EQ(text.find('\x1B'), std::string::npos) << text;
        EXPECT_NE(text.find("op\\x0Aquellgw:\\x1B[2J"), std::string::npos) << text;
    }
}

} // namespace
} // namespace quell::gw
