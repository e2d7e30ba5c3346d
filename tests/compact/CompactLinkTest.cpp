// The compact link on loopback: against quellgw with the simulated compact board (every readable
// entry arrives, a written value stays on the board), and against a test server that goes away
// or never answers (the lost connection reported and the link stopped, Stop quick), and the ring
// that is full.
#include "compact/CompactLink.h"

#include "client/ClientSettings.h"
#include "compact/UCommands.h"
#include "tests/client/FakeGateway.h"
#include "tests/support/SimulatedGateway.h"

#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace quell::compact {
namespace {

constexpr int kWaitMs = 10000;
const char* const kExample = QUELL_EXAMPLES_DIR "/vrq-compact.var";

struct Recorder {
    explicit Recorder(CompactLink& link)
    {
        QObject::connect(&link, &CompactLink::stateChanged,
                         [this](LinkState s) { states.push_back(s); });
        QObject::connect(&link, &CompactLink::message,
                         [this](Dialogs::Kind, const QString& text) { messages << text; });
    }
    std::vector<LinkState> states;
    QStringList messages;
};

void pointAt(CompactLink& link, int port)
{
    ClientSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = QString::number(port);
    settings.transmitDelay = 0;
    settings.maxPacket = 8;
    link.applySettings(settings);
}

void load(CompactLink& link)
{
    ASSERT_TRUE(link.scheduler().editTable([](TProtocol& t) { return t.LoadFromFile(kExample); }));
}

bool setText(CompactLink& link, std::uint8_t entry, const char* text)
{
    return link.scheduler().editTable([&](TProtocol& t) { return t.TextToValue(entry, text); });
}

TEST(CompactLink, EveryReadableEntryArrivesAndAWrittenValueStaysOnTheBoard)
{
    testsupport::SimulatedGateway gateway;
    ASSERT_TRUE(gateway.start(QStringLiteral(QUELLGW_PATH), {QStringLiteral("vrq-compact@1")}))
        << gateway.error().toStdString();
    CompactLink link;
    load(link);
    pointAt(link, gateway.port());
    link.start();
    const auto everyEntryShown = [&] {
        const auto [count, writeOnly] = link.scheduler().withTable([](const TProtocol& t) {
            std::vector<bool> wo(kTableSize);
            for (int n = 1; n <= t.Count; ++n)
                wo[static_cast<std::size_t>(n)] =
                    t.Commands[static_cast<std::size_t>(n)].Access == kAccessWriteOnly;
            return std::make_pair(int{t.Count}, wo);
        });
        for (int n = 1; n <= count; ++n) {
            const std::string cell = link.scheduler().cellText(static_cast<std::uint16_t>(n));
            if (!writeOnly[static_cast<std::size_t>(n)] && (cell.empty() || cell == "TimeOut"))
                return false;
        }
        return count > 100;
    };
    ASSERT_TRUE(QTest::qWaitFor(everyEntryShown, kWaitMs));
    EXPECT_EQ(link.linkState(), LinkState::Connected);
    EXPECT_EQ(link.scheduler().cellText(19), "8"); // Filter EMC1 as the board starts

    ASSERT_TRUE(setText(link, 19, "4"));
    ASSERT_TRUE(link.WriteParameter(19));
    EXPECT_TRUE(QTest::qWaitFor([&] { return link.scheduler().cellText(19) == "4"; }, kWaitMs));
    // Read again on a new connection, the board gives the written value back.
    link.stop();
    link.scheduler().setCellText(19, "");
    link.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return link.scheduler().cellText(19) == "4"; }, kWaitMs));
    link.stop();
}

TEST(CompactLink, ALostConnectionIsReportedAndStartWorksAgain)
{
    FakeGateway server;
    CompactLink link;
    load(link);
    pointAt(link, server.port());
    Recorder recorder(link);
    link.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.status().timeOuts > 0; }, kWaitMs));
    EXPECT_EQ(link.linkState(), LinkState::Connected);
    server.dropClient();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !link.started(); }, kWaitMs));
    EXPECT_EQ(recorder.states, (std::vector<LinkState>{LinkState::Connecting, LinkState::Connected,
                                                       LinkState::Stopped}));
    ASSERT_EQ(recorder.messages.size(), 1);
    EXPECT_TRUE(recorder.messages[0].contains(QStringLiteral("connection to the server was lost")));
    // The test server answers every block with a time-out; the status keeps the counts and says
    // why the link stopped until the next Start.
    const LinkStatus lost = link.status();
    EXPECT_EQ(lost.stopCause, StopCause::ConnectionLost);
    EXPECT_EQ(lost.errorAnswers, 0);
    EXPECT_TRUE(lost.sinceAnswerMs.has_value());
    link.start();
    EXPECT_EQ(link.status().stopCause, StopCause::User);
    EXPECT_EQ(link.status().timeOuts, 0);
    EXPECT_FALSE(link.status().sinceAnswerMs.has_value());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return server.connections == 2 && link.linkState() == LinkState::Connected; },
        kWaitMs));
    link.stop();
    EXPECT_EQ(link.status().stopCause, StopCause::User);
    // A server that is not there at all.
    server.close();
    link.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !link.started(); }, kWaitMs));
    EXPECT_EQ(link.status().stopCause, StopCause::NotReached);
}

TEST(CompactLink, AFullRingIsReportedAndQueuedWritesGoOutAfterStart)
{
    FakeGateway server;
    CompactLink link;
    load(link);
    pointAt(link, server.port());
    Recorder recorder(link);
    ASSERT_TRUE(setText(link, 19, "5"));
    for (int n = 0; n < 10; ++n)
        EXPECT_TRUE(link.WriteParameter(19)) << n; // queued while stopped
    EXPECT_TRUE(recorder.messages.isEmpty());
    EXPECT_FALSE(link.WriteParameter(19));
    EXPECT_EQ(recorder.messages,
              QStringList{QStringLiteral(
                  "The command queue is full: the write of entry 19 was not sent.")});

    const std::string frame = link.scheduler().withTable(
        [](const TProtocol& t) { return t.BuildWriteFrame(19, 5, 0xA1); });
    link.start();
    // The settings line first, then the writes, two to a line with MaxPacket 8.
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.lines.size() >= 2; }, kWaitMs));
    const QByteArray wrote = QByteArray::fromStdString("BODY=" + frame + "END ");
    EXPECT_TRUE(server.lines[1].startsWith(wrote + wrote)) << server.lines[1].toStdString();
    link.stop();
}

TEST(CompactLink, StopIsQuickWhenTheServerNeverAnswers)
{
    FakeGateway server;
    server.answer = [](const QByteArray&) { return QByteArray(); };
    CompactLink link;
    load(link);
    pointAt(link, server.port());
    link.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.lines.isEmpty(); }, kWaitMs));
    QElapsedTimer stopping;
    stopping.start();
    link.stop();
    EXPECT_LT(stopping.elapsed(), 1000);
    EXPECT_EQ(link.linkState(), LinkState::Stopped);
}

} // namespace
} // namespace quell::compact
