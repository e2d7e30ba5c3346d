// The link controller against quellgw with a simulated VRQ-PB board and against ports that refuse
// or never answer, all on loopback: the states it reports, the messages of a failed start,
// reconnecting, a window that stays responsive while a connect hangs, and awaited transactions.

#include "client/LinkController.h"
#include "client/AwaitedTransaction.h"
#include "client/ClientSettings.h"
#include "tests/client/FakeGateway.h"
#include "tests/support/SimulatedGateway.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>

namespace quell {
namespace {

constexpr int kWaitMs = 10000;

// Every state the link reports, and every message, in order.
struct Recorder {
    explicit Recorder(LinkController& link)
    {
        QObject::connect(&link, &LinkController::stateChanged,
                         [this](LinkState s) { states.push_back(s); });
        QObject::connect(&link, &LinkController::message,
                         [this](Dialogs::Kind, const QString& text) { messages << text; });
        QObject::connect(&link, &LinkController::answerApplied,
                         [this](const AnswerEffects&) { ++answers; });
    }
    std::vector<LinkState> states;
    QStringList messages;
    int answers = 0;
};

void pointAt(LinkController& link, quint16 port)
{
    ClientSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = QString::number(port);
    settings.transmitDelay = 0;
    settings.maxPacket = 8;
    link.applySettings(settings);
}

class SimulatedBoardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gateway.start(QStringLiteral(QUELLGW_PATH), {QStringLiteral("vrq-pb@1")}))
            << gateway.error().toStdString();
        link.editTable(
            [](TProtocol& t) { ASSERT_TRUE(t.LoadFromFile(QUELL_EXAMPLES_DIR "/vrq-pb.var")); });
        pointAt(link, static_cast<quint16>(gateway.port()));
    }
    void TearDown() override { link.stop(); }

    // Starts the link and waits until lines flow.
    void startAndConnect()
    {
        link.start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return link.isConnected(); }, kWaitMs))
            << recorder.messages.join('\n').toStdString();
        ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.answers >= 2; }, kWaitMs));
    }

    testsupport::SimulatedGateway gateway;
    LinkController link;
    Recorder recorder{link};
};

TEST_F(SimulatedBoardTest, StartGoesThroughConnectingToConnectedAndStopEndsIt)
{
    EXPECT_EQ(link.linkState(), LinkState::Stopped);
    link.start();
    // Connecting runs on the worker: start returns before the connection is made.
    EXPECT_EQ(link.linkState(), LinkState::Connecting);
    EXPECT_TRUE(link.started());
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.isConnected(); }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.answers >= 2; }, kWaitMs));
    link.stop();
    EXPECT_FALSE(link.started());
    EXPECT_EQ(recorder.states, (std::vector<LinkState>{LinkState::Connecting, LinkState::Connected,
                                                       LinkState::Stopped}));
    EXPECT_TRUE(recorder.messages.isEmpty());
}

TEST(LinkController, AFailedStartSaysWhereAndStopsAgain)
{
    // Ports that cannot be used: nobody listens there, or the text is no number at all.
    quint16 closedPort = 0;
    {
        FakeGateway gateway;
        closedPort = gateway.port();
    }
    const struct {
        QString port;
        QString message;
        std::vector<LinkState> states;
    } cases[] = {
        {QString::number(closedPort),
         "Error while connecting:\r127.0.0.1:" + QString::number(closedPort) + " does not answer",
         {LinkState::Connecting, LinkState::Stopped}},
        {"90x", "Error while connecting:\r'90x' is not a valid integer value", {}},
    };
    for (const auto& c : cases) {
        LinkController link;
        Recorder recorder(link);
        ClientSettings settings;
        settings.host = QStringLiteral("127.0.0.1");
        settings.port = c.port;
        link.applySettings(settings);
        link.start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !link.started(); }, kWaitMs))
            << c.port.toStdString();
        EXPECT_EQ(recorder.messages, QStringList{c.message}) << c.port.toStdString();
        EXPECT_EQ(recorder.states, c.states) << c.port.toStdString();
        EXPECT_EQ(link.linkState(), LinkState::Stopped);
        // Nothing is tried again: the user's start failed.
        QTest::qWait(100);
        EXPECT_EQ(recorder.messages.size(), 1);
    }
}

TEST(LinkController, ALostServerIsTriedAgainUntilOneAnswersOnThatPort)
{
    FakeGateway gateway;
    const quint16 port = gateway.port();
    LinkController link;
    Recorder recorder(link);
    pointAt(link, port);
    link.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gateway.lines.size() >= 1; }, kWaitMs));
    // The server goes away: the link reconnects on its timer, and fails while nobody listens.
    gateway.close();
    gateway.dropClient();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return link.linkState() == LinkState::Reconnecting; }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.linkState() == LinkState::Lost; }, kWaitMs));
    EXPECT_TRUE(link.started());
    // A server is back on the same port: the next attempt connects and starts afresh.
    ASSERT_TRUE(gateway.listen(port));
    const qsizetype before = gateway.lines.size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.isConnected(); }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gateway.lines.size() > before; }, kWaitMs));
    EXPECT_TRUE(gateway.lines[before].startsWith("USER="));
    link.stop();
    EXPECT_EQ(recorder.states, (std::vector<LinkState>{LinkState::Connecting, LinkState::Connected,
                                                       LinkState::Reconnecting, LinkState::Lost,
                                                       LinkState::Connected, LinkState::Stopped}));
    EXPECT_TRUE(recorder.messages.isEmpty());
}

TEST(LinkController, ASilentServerCountsAsLostAndIsConnectedAgain)
{
    // A server that accepts and never answers: past the time the settings allow for an answer the
    // link gives up on the connection and reconnects, instead of waiting for ever.
    FakeGateway gateway;
    gateway.answer = [](const QByteArray&) { return QByteArray(); };
    LinkController link;
    Recorder recorder(link);
    ClientSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = QString::number(gateway.port());
    settings.timeOut = 1;
    settings.retrying = 1;
    link.applySettings(settings);
    QElapsedTimer elapsed;
    elapsed.start();
    link.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gateway.lines.size() >= 1; }, kWaitMs));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return link.linkState() == LinkState::Reconnecting; }, kWaitMs));
    // Not before the settings line's own allowance has passed.
    EXPECT_GE(elapsed.elapsed(), 2000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return gateway.connections >= 2; }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gateway.lines.size() >= 2; }, kWaitMs));
    EXPECT_TRUE(gateway.lines.last().startsWith("USER="));
    link.stop();
    EXPECT_EQ(link.linkState(), LinkState::Stopped);
    EXPECT_TRUE(recorder.messages.isEmpty());
}

// A loopback port whose connects hang: a listener with backlog 0 whose queue is full of
// connections nobody accepts, so the next handshake is never answered.
class HangingPort {
public:
    HangingPort()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0
            || ::listen(listener_, 0) != 0
            || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        port_ = ntohs(address.sin_port);
        // Connect until one does not complete: the queue is full from then on.
        for (int i = 0; i < 8; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            clients_.push_back(fd);
            ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
            pollfd watch = {fd, POLLOUT, 0};
            if (::poll(&watch, 1, 300) == 0) {
                hanging_ = true;
                break;
            }
        }
    }
    ~HangingPort()
    {
        for (int fd : clients_)
            ::close(fd);
        if (listener_ >= 0)
            ::close(listener_);
    }
    quint16 port() const { return port_; }
    bool hangs() const { return hanging_; }

private:
    int listener_ = -1;
    quint16 port_ = 0;
    bool hanging_ = false;
    std::vector<int> clients_;
};

TEST(LinkController, TheWindowRunsWhileAConnectHangsAndStopEndsItAtOnce)
{
    HangingPort hanging;
    ASSERT_TRUE(hanging.hangs());
    LinkController link;
    Recorder recorder(link);
    pointAt(link, hanging.port());
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    link.start();
    QTest::qWait(600);
    EXPECT_EQ(link.linkState(), LinkState::Connecting);
    // Some 30 ticks are due; a blocked event loop would have none.
    EXPECT_GE(ticks, 15);
    QElapsedTimer stopping;
    stopping.start();
    link.stop();
    EXPECT_LT(stopping.elapsed(), 300);
    EXPECT_EQ(link.linkState(), LinkState::Stopped);
    QTest::qWait(50);
    EXPECT_TRUE(recorder.messages.isEmpty());
}

// ---- awaited transactions ----

TEST_F(SimulatedBoardTest, AWriteIsAwaitedUntilTheBoardAnswersIt)
{
    startAndConnect();
    AwaitedTransaction transaction(link);
    ASSERT_TRUE(link.WriteParameter(60, "5"));
    EXPECT_EQ(transaction.awaitCommand(kWaitMs), AwaitedTransaction::Outcome::Done);
    EXPECT_EQ(link.currentCommand().State, TSendCommand::kAnswered);
    EXPECT_EQ(link.currentCommand().Index, 60);
    EXPECT_EQ(readEntry(link, 60).value, 5);
    // An outcome already there is taken without waiting.
    EXPECT_EQ(transaction.awaitCommand(0), AwaitedTransaction::Outcome::Done);
}

TEST_F(SimulatedBoardTest, WaitsEndByTimeOrByStopAndWakeOnlyOnAnswers)
{
    startAndConnect();
    AwaitedTransaction transaction(link);
    struct Case {
        const char* what;
        int stopAfterMs; // < 0: nobody stops the link
        AwaitedTransaction::Outcome outcome;
        int minMs;
        int maxMs;
    };
    const Case cases[] = {
        {"time runs out", -1, AwaitedTransaction::Outcome::TimedOut, 300, 1500},
        {"stop while waiting", 100, AwaitedTransaction::Outcome::Aborted, 80, 1000},
    };
    for (const Case& c : cases) {
        if (!link.started())
            startAndConnect();
        if (c.stopAfterMs >= 0)
            QTimer::singleShot(c.stopAfterMs, &link, [this] { link.stop(); });
        int asked = 0;
        const int answersBefore = recorder.answers;
        QElapsedTimer elapsed;
        elapsed.start();
        const auto outcome = transaction.waitUntil(
            [&] {
                ++asked;
                return false;
            },
            300);
        EXPECT_EQ(outcome, c.outcome) << c.what;
        EXPECT_GE(elapsed.elapsed(), c.minMs) << c.what;
        EXPECT_LT(elapsed.elapsed(), c.maxMs) << c.what;
        // Asked at the start, once per answer line and once when the time ran out: never more.
        EXPECT_LE(asked, recorder.answers - answersBefore + 2) << c.what;
    }
    // A command awaited on a stopped link ends at once.
    EXPECT_EQ(transaction.awaitCommand(kWaitMs), AwaitedTransaction::Outcome::Aborted);
}

double threadCpuSeconds()
{
    rusage usage = {};
    ::getrusage(RUSAGE_THREAD, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TEST(AwaitedTransaction, AnIdleWaitSleepsAndNestedWaitsEachEndTheirOwnWay)
{
    LinkController link;
    AwaitedTransaction outer(link);
    AwaitedTransaction inner(link);
    int asked = 0;
    const double cpuBefore = threadCpuSeconds();
    const auto idle = outer.waitUntil(
        [&] {
            ++asked;
            return false;
        },
        500);
    EXPECT_EQ(idle, AwaitedTransaction::Outcome::TimedOut);
    EXPECT_EQ(asked, 2);
    // Half a second of waiting costs next to nothing on this thread.
    EXPECT_LT(threadCpuSeconds() - cpuBefore, 0.1);

    // A wait started while another runs: the inner one ends first, by its own time; the outer
    // one then sees its condition met meanwhile.
    bool ready = false;
    AwaitedTransaction::Outcome innerOutcome = AwaitedTransaction::Outcome::Done;
    QTimer::singleShot(20, [&] {
        innerOutcome = inner.waitUntil([] { return false; }, 100);
        ready = true;
    });
    QTimer::singleShot(200, &link, [&] { emit link.answerApplied({}); });
    EXPECT_EQ(outer.waitUntil([&] { return ready; }, 5000), AwaitedTransaction::Outcome::Done);
    EXPECT_EQ(innerOutcome, AwaitedTransaction::Outcome::TimedOut);

    // Closing ends both at once, and nothing waits after it.
    QTimer::singleShot(20, [&] { innerOutcome = inner.waitUntil([] { return false; }, 5000); });
    QTimer::singleShot(60, &link, [&] { link.shutDown(); });
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(outer.waitUntil([] { return false; }, 5000), AwaitedTransaction::Outcome::Aborted);
    EXPECT_EQ(innerOutcome, AwaitedTransaction::Outcome::Aborted);
    EXPECT_LT(elapsed.elapsed(), 1000);
    EXPECT_EQ(outer.waitUntil([] { return false; }, 5000), AwaitedTransaction::Outcome::Aborted);
}

} // namespace
} // namespace quell
