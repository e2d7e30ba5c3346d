// Figures of quellcal's link, each against a baseline measured in the same run:
//   - one exchange through the main window and its worker (request line built, written, answer
//     read, handed to the GUI thread, applied to the table and the visible grid) against a bare
//     loopback ping-pong of lines of the same length;
//   - the CPU the program spends connected with nothing due, as a share of one core;
//   - start-up to the window shown with a 1023-entry description, against loading that file.
#include "ClientCommunications.h"
#include "Dialogs.h"
#include "RatioReporter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <atomic>
#include <iostream>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A gateway that answers every line at once: settings lines with themselves, every device block
// with a value answer whose value changes each time, so the grid really repaints.
class InstantGateway {
public:
    InstantGateway()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        const int yes = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 4);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }

    ~InstantGateway()
    {
        stop_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        if (client_ >= 0)
            ::shutdown(client_, SHUT_RDWR);
        thread_.join();
    }

    quint16 port() const { return port_; }
    long exchanges() const { return exchanges_; }

    static std::string answerFor(const std::string& line, int value)
    {
        if (line.rfind("BODY=", 0) != 0)
            return line;
        std::string out;
        for (std::size_t at = line.find("BODY="); at != std::string::npos;
             at = line.find("BODY=", at + 1)) {
            const std::string frame = line.substr(at + 5, line.find("END", at) - at - 5);
            std::string answer = frame.substr(0, 6);
            for (int shift = 12; shift >= 0; shift -= 4)
                answer += static_cast<char>(0x30 + ((value >> shift) & 0xF));
            answer += "00\x04";
            out += "BODY=" + frame + "END ANSWER=" + answer + "END ";
        }
        return out;
    }

private:
    void serve()
    {
        while (!stop_) {
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0)
                return;
            client_ = client;
            const int yes = 1;
            ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
            std::string buffer;
            char chunk[65536];
            for (;;) {
                const ssize_t got = ::read(client, chunk, sizeof chunk);
                if (got <= 0)
                    break;
                buffer.append(chunk, static_cast<std::size_t>(got));
                for (std::size_t end = buffer.find("\r\n"); end != std::string::npos;
                     end = buffer.find("\r\n")) {
                    const std::string line = buffer.substr(0, end);
                    buffer.erase(0, end + 2);
                    const std::string reply =
                        answerFor(line, static_cast<int>(++exchanges_)) + "\r\n";
                    if (::write(client, reply.data(), reply.size()) < 0)
                        break;
                }
            }
            ::close(client);
            client_ = -1;
        }
    }

    int listener_ = -1;
    std::atomic<int> client_{-1};
    quint16 port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<long> exchanges_{0};
    std::thread thread_;
};

struct Station {
    QTemporaryDir dir;
    QString settings;
    QString description;
};

Station* g_station = nullptr;

// A description of `count` enabled entries read in every cycle; every entry has its own pair of
// read code and parameter code, so every answer finds its entry.
void writeDescription(const QString& path, int count)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("PROT Kestavin\nSECTION Bench\n");
    for (int i = 1; i <= count; ++i)
        file.write(QStringLiteral("VAR Parameter%1 1 1 rw 0 30000 0 %2 %3 %4 0 f1\n")
                       .arg(i)
                       .arg(16 + i / 256)
                       .arg(48 + i / 256)
                       .arg(i % 256)
                       .toUtf8());
}

// Settings for the gateway's port; transmitDelay 0 lets lines follow each other at once.
void writeSettings(quint16 port, const QString& description, int transmitDelay = 0)
{
    QFile file(g_station->settings);
    file.open(QIODevice::WriteOnly);
    file.write(QStringLiteral("[Socket]\nHost=127.0.0.1\nPort=%1\n[Comm]\nTransmitDelay=%3\n"
                              "[Protocol]\nFile=%2\n")
                   .arg(port)
                   .arg(description)
                   .arg(transmitDelay)
                   .toUtf8());
}

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
    InstantGateway gateway;
    writeSettings(gateway.port(), g_station->description);
    quell::TClientMain window;
    window.FormCreate({"quellcal", g_station->settings});
    window.show();
    window.MEnableAllClick();
    window.MStartStopClick();
    if (!window.Started()) {
        state.SkipWithError("no connection");
        return;
    }
    // Warm up past the settings line and the first reads.
    QTest::qWaitFor([&] { return gateway.exchanges() > 50; }, 5000);
    // The program runs its plain event loop; each iteration is half a second of it, and its time
    // is that span divided by the exchanges made in it.
    for (auto _ : state) {
        const long before = gateway.exchanges();
        QElapsedTimer span;
        span.start();
        QEventLoop loop;
        QTimer::singleShot(500, &loop, &QEventLoop::quit);
        loop.exec();
        const long made = gateway.exchanges() - before;
        state.SetIterationTime(made > 0 ? span.nsecsElapsed() / 1e9 / double(made) : 1.0);
    }
    window.MStartStopClick();
}
BENCHMARK(BM_ClientExchange)->UseManualTime()->Iterations(6);

// CPU of this process (both threads) over ten seconds connected with nothing due, per second of
// wall time: the share of one core. The pause after lines is the settings file's default.
void BM_IdleCpuShare(benchmark::State& state)
{
    InstantGateway gateway;
    writeSettings(gateway.port(), g_station->description, 10);
    quell::TClientMain window;
    window.FormCreate({"quellcal", g_station->settings});
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
        benchmark::DoNotOptimize(table.LoadFromFile(g_station->description.toStdString()));
    }
}
BENCHMARK(BM_LoadDescription1023)->Unit(benchmark::kMillisecond);

void BM_StartupToWindowShown(benchmark::State& state)
{
    writeSettings(9, g_station->description);
    for (auto _ : state) {
        quell::TClientMain window;
        window.FormCreate({"quellcal", g_station->settings});
        window.show();
        QTest::qWaitForWindowExposed(&window);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_StartupToWindowShown)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    qputenv("QUELL_NONINTERACTIVE", "1");
    QApplication app(argc, argv);
    Station station;
    g_station = &station;
    station.settings = station.dir.filePath("bench.cli");
    station.description = station.dir.filePath("full.var");
    writeDescription(station.description, 1023);

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
