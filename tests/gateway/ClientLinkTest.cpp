// The client's own request scheduler (the core of quellcal's link) against the server and the
// simulated board: it reads the whole board, writes a value that the board takes, and reads it
// back.

#include "client/RequestScheduler.h"
#include "gateway/GatewayServer.h"
#include "gateway/VirtualBus.h"
#include "protocol/ValueCodec.h"
#include "tests/gateway/TestNet.h"

#include "sim/DeviceFactory.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quell::gw {
namespace {

TEST(ClientLink, ReadsTheWholeBoardWritesAValueAndReadsItBack)
{
    sim::DeviceFactory factory;
    VirtualBus bus(factory.makeBus("vrq-pb@1"), std::chrono::milliseconds(1));
    TrafficTrace trace;
    std::ostringstream log;
    GatewayServer server({"127.0.0.1", 0, 8}, bus, trace, log);
    std::string failure;
    ASSERT_TRUE(server.listen(failure)) << failure;
    std::atomic<bool> stop{false};
    std::thread serving([&] { server.run(stop); });

    TProtocol table;
    ASSERT_TRUE(table.LoadFromFile(factory.descriptionFile("vrq-pb")));
    RequestScheduler scheduler(table);
    LinkSettings settings;
    settings.maxPacket = 8;
    settings.transmitDelay = 0;
    scheduler.setSettings(settings);
    scheduler.connected();
    test::LineClient link(server.port());
    // One exchange of the worker's loop: build, send, apply.
    auto exchange = [&] {
        const RequestPlan plan = scheduler.BuildRequestLine();
        if (plan.line.empty()) {
            scheduler.waitForWork(RequestScheduler::Clock::now() + std::chrono::milliseconds(5));
            return;
        }
        const AnswerEffects effects = scheduler.ProcessAnswerLine(link.ask(plan.line));
        EXPECT_FALSE(effects.error) << *effects.error;
    };
    // Every entry a client can read (write-only commands are never read).
    auto allValid = [&] {
        return scheduler.withTable([](const TProtocol& t) {
            for (std::uint16_t e = 1; e <= t.Count; ++e)
                if (t.Commands[e].Enabled && t.Commands[e].Access != kAccessWriteOnly
                    && !t.Commands[e].Valid)
                    return false;
            return true;
        });
    };
    for (int i = 0; i < 400 && !allValid(); ++i)
        exchange();
    EXPECT_TRUE(allValid()) << scheduler.withTable([](const TProtocol& t) {
        std::string missing;
        for (std::uint16_t e = 1; e <= t.Count; ++e)
            if (t.Commands[e].Enabled && t.Commands[e].Access != kAccessWriteOnly
                && !t.Commands[e].Valid)
                missing += " " + std::to_string(e);
        return missing;
    });
    EXPECT_EQ(scheduler.cellText(1), "5A01");
    EXPECT_EQ(scheduler.cellText(71), "10");

    // The swap period, written as the view would, is taken by the board and read back.
    ASSERT_TRUE(scheduler.WriteParameter(71, "25"));
    for (int i = 0; i < 50 && scheduler.currentCommand().State < TSendCommand::kAnswered; ++i)
        exchange();
    EXPECT_EQ(scheduler.currentCommand().State, TSendCommand::kAnswered);
    ASSERT_TRUE(scheduler.ReadParameter(71));
    for (int i = 0; i < 50 && scheduler.currentCommand().State < TSendCommand::kAnswered; ++i)
        exchange();
    EXPECT_EQ(scheduler.currentCommand().State, TSendCommand::kAnswered);
    EXPECT_EQ(scheduler.currentCommand().Value, 25);
    EXPECT_EQ(scheduler.cellText(71), "25");

    // A value outside the entry's limits never leaves the client, and the board keeps its own.
    EXPECT_THROW(scheduler.WriteParameter(60, "99"), EWriteRefused);
    ASSERT_TRUE(scheduler.ReadParameter(60));
    for (int i = 0; i < 50 && scheduler.currentCommand().State < TSendCommand::kAnswered; ++i)
        exchange();
    EXPECT_EQ(scheduler.currentCommand().Value, 8);

    link.close();
    stop = true;
    serving.join();
}

} // namespace
} // namespace quell::gw
