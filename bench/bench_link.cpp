// Figures of quellcal's link, each against a baseline measured in the same run:
//   - one exchange through the main window and its worker (request line built, written, answer
//     read, handed to the GUI thread, applied to the table and the visible grid) against a bare
//     loopback ping-pong of lines of the same length;
//   - the CPU the program spends connected with nothing due, as a share of one core;
//   - start-up to the window shown with a 1023-entry description, against loading that file.
#include "bench/InstantGateway.h"
#include "bench/LinkStation.h"
#include "bench/RatioReporter.h"
#include "client/ClientCommunications.h"
#include "client/Dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <iostream>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using quell::bench::InstantGateway;
using quell::bench::LinkStation;

LinkStation* g_station = nullptr;

int connectTo(quint16 port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    return s;
}

// The device line quellcal sends for one read, so both sides move the same bytes.
const std::string kReadLine = std::string("BODY=\x01\xA1"
                                          "111111\x04"
                                          "END \r\n");

void BM_BarePingPong(benchmark::State& state)
{
    InstantGateway gateway;
    const int s = connectTo(gateway.port());
    char chunk[4096];
    for (auto _ : state) {
        if (::write(s, kReadLine.data(), kReadLine.size()) < 0)
            state.SkipWithError("write failed");
        std::string answer;
        while (answer.find("\r\n") == std::string::npos) {
            const ssize_t got = ::read(s, chunk, sizeof chunk);
            if (got <= 0) {
                state.SkipWithError("read failed");
                break;
            }
            answer.append(chunk, static_cast<std::size_t>(got));
        }
    }
    ::close(s);
}
BENCHMARK(BM_BarePingPong)->UseRealTime()->MinTime(1.0);

void BM_ClientExchange(benchmark::State& state)
{
    g_station->measureClientExchange(state, LinkStation::ExchangeTime::Wall);
}
BENCHMARK(BM_ClientExchange)->UseManualTime()->Iterations(6);

// CPU of this process (both threads) over ten seconds connected with nothing due, per second of
// wall time: the share of one core. The pause after lines is the settings file's default.
void BM_IdleCpuShare(benchmark::State& state)
{
    InstantGateway gateway;
    g_station->writeSettings(gateway.port(), 10);
    quell::TClientMain window;
    window.FormCreate({"quellcal", g_station->settings()});
    window.show();
    window.scheduler().editTable([](quell::TProtocol& t) {
        for (int i = 1; i <= t.Count; ++i)
            t.Commands[i].PollRate = 0;
    });
    window.MStartStopClick();
    // Every entry is read once; after that nothing is due and the line stays quiet.
    QTest::qWaitFor([&] { return gateway.exchanges() > 1030; }, 20000);
    QTest::qWait(500);
    const long settled = gateway.exchanges();
    for (auto _ : state) {
        rusage before{};
        ::getrusage(RUSAGE_SELF, &before);
        QElapsedTimer wall;
        wall.start();
        // A plain event loop, as the program runs; QTest::qWait would poll and cost CPU itself.
        QEventLoop loop;
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        rusage after{};
        ::getrusage(RUSAGE_SELF, &after);
        auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
        const double cpu = seconds(after.ru_utime) - seconds(before.ru_utime)
                           + seconds(after.ru_stime) - seconds(before.ru_stime);
        state.counters["cpu_share_of_one_core"] = cpu / (wall.elapsed() / 1000.0);
        state.counters["exchanges_while_idle"] = double(gateway.exchanges() - settled);
    }
    window.MStartStopClick();
}
BENCHMARK(BM_IdleCpuShare)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_LoadDescription1023(benchmark::State& state)
{
    for (auto _ : state) {
        quell::TProtocol table;
        benchmark::DoNotOptimize(table.LoadFromFile(g_station->description().toStdString()));
    }
}
BENCHMARK(BM_LoadDescription1023)->Unit(benchmark::kMillisecond);

void BM_StartupToWindowShown(benchmark::State& state)
{
    g_station->writeSettings(9);
    for (auto _ : state) {
        quell::TClientMain window;
        window.FormCreate({"quellcal", g_station->settings()});
        window.show();
        QTest::qWaitForWindowExposed(&window);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_StartupToWindowShown)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    LinkStation::prepareEnvironment();
    QApplication app(argc, argv);
    LinkStation station;
    g_station = &station;

    benchmark::Initialize(&argc, argv);
    quell::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios(std::cout, {{"client exchange / bare loopback ping-pong",
                                      "BM_ClientExchange", "BM_BarePingPong", true},
                                     {"start-up to window shown / loading the description",
                                      "BM_StartupToWindowShown", "BM_LoadDescription1023", true}});
    benchmark::Shutdown();
    return 0;
}
