// The server with several clients on one virtual bus: turns, own settings, the client limit,
// clients that go away, and input that is not a request line.

#include "gateway/GatewayServer.h"
#include "gateway/VirtualBus.h"
#include "tests/gateway/TestNet.h"

#include "sim/DeviceFactory.h"

#include <gtest/gtest.h>

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
    void start(int maxClients)
    {
        trace_ = std::make_unique<TrafficTrace>((dir_.path() / "trace.txt").string());
        sim::DeviceFactory factory;
        link_ =
            std::make_unique<VirtualBus>(factory.makeBus("vrq-pb@1"), std::chrono::milliseconds(1));
        server_ = std::make_unique<GatewayServer>(GatewayServer::Config{"127.0.0.1", 0, maxClients},
                                                  *link_, *trace_, log_);
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

} // namespace
} // namespace quell::gw
