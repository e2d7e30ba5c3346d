// The communication server on its virtual bus, at 57600 baud 8E1 with a 2 ms device turnaround:
//   - exchanges through the server (request line over loopback TCP, frames on the bus, answer
//     line back) with 1 and 8 frames a line, against the wire time of the same frames: the
//     characters of request and answer at 11 bits each plus the turnaround, with no gaps. Its
//     inverse is the bus utilisation.
//   - the latency the server adds to a one-frame exchange beyond that wire time: median and 99th
//     percentile over 2000 exchanges, printed after the benchmarks.
#include "bench/RatioReporter.h"

#include "gateway/GatewayServer.h"
#include "gateway/VirtualBus.h"

#include "sim/DeviceFactory.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::microseconds kTurnaround{2000};
constexpr std::size_t kRequestChars = 9; // a read request
constexpr std::size_t kAnswerChars = 13; // its value answer

std::string encodeByte(unsigned b)
{
    return {static_cast<char>(0x30 + ((b >> 4) & 15)), static_cast<char>(0x30 + (b & 15))};
}

// Reads of the board's 16-bit settings (filters and the like, entries 60..81, read code 0x10),
// so every answer is a 13-character value answer.
std::string readFrame(unsigned entry)
{
    const unsigned code = 0x10;
    return "\x01\xA1" + encodeByte(code) + encodeByte(entry) + encodeByte(code ^ entry) + "\x04";
}

struct Rig {
    std::ostringstream log;
    quell::gw::TrafficTrace trace;
    std::unique_ptr<quell::gw::VirtualBus> bus;
    std::unique_ptr<quell::gw::GatewayServer> server;
    std::atomic<bool> stop{false};
    std::thread thread;
    int fd = -1;
    std::string buffer;
    quell::gw::SerialSettings settings;

    Rig()
    {
        quell::sim::DeviceFactory factory;
        bus = std::make_unique<quell::gw::VirtualBus>(factory.makeBus("vrq-pb@1"), kTurnaround);
        server = std::make_unique<quell::gw::GatewayServer>(
            quell::gw::GatewayServer::Config{"127.0.0.1", 0, 8}, *bus, trace, log);
        std::string failure;
        if (!server->listen(failure)) {
            std::cerr << "bench: " << failure << "\n";
            std::exit(1);
        }
        thread = std::thread([this] { server->run(stop); });
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(server->port()));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
            std::exit(1);
        ask("BAUD=57600 PARITY=Even DATAB=8 STOPB=1 TOUT=80 RET=3 ");
        settings.apply("PARITY", "Even");
    }
    ~Rig()
    {
        ::close(fd);
        stop = true;
        thread.join();
    }
    std::string ask(const std::string& line)
    {
        const std::string out = line + "\r\n";
        (void)!::send(fd, out.data(), out.size(), 0);
        for (;;) {
            const std::size_t end = buffer.find("\r\n");
            if (end != std::string::npos) {
                std::string answer = buffer.substr(0, end);
                buffer.erase(0, end + 2);
                return answer;
            }
            char chunk[4096];
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0)
                std::exit(1);
            buffer.append(chunk, static_cast<std::size_t>(n));
        }
    }
    // The wire time of one line of n frames.
    std::chrono::nanoseconds wireTime(int frames) const
    {
        return frames
               * (settings.characterTime() * static_cast<long long>(kRequestChars + kAnswerChars)
                  + kTurnaround);
    }
};

Rig* g_rig = nullptr;

std::string deviceLine(int frames, unsigned& next)
{
    std::string line;
    for (int i = 0; i < frames; ++i) {
        line += "BODY=" + readFrame(60 + next % 22) + "END ";
        ++next;
    }
    return line;
}

void BM_GatewayExchange(benchmark::State& state)
{
    const int frames = static_cast<int>(state.range(0));
    unsigned next = 0;
    for (auto _ : state) {
        const std::string answer = g_rig->ask(deviceLine(frames, next));
        // "BODY=", frame, "END ANSWER=", value answer, "END " per frame: anything else is not the
        // exchange the wire time was computed for.
        if (answer.size() != static_cast<std::size_t>(frames) * (kRequestChars + kAnswerChars + 20))
            state.SkipWithError("an exchange was not a value answer");
    }
}
BENCHMARK(BM_GatewayExchange)
    ->ArgName("MaxPacket")
    ->Arg(1)
    ->Arg(8)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_WireTime(benchmark::State& state)
{
    const double seconds =
        std::chrono::duration<double>(g_rig->wireTime(static_cast<int>(state.range(0)))).count();
    for (auto _ : state)
        state.SetIterationTime(seconds);
}
BENCHMARK(BM_WireTime)
    ->ArgName("MaxPacket")
    ->Arg(1)
    ->Arg(8)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void printAddedLatency(std::ostream& out)
{
    unsigned next = 0;
    std::vector<double> added;
    const double wire = std::chrono::duration<double, std::micro>(g_rig->wireTime(1)).count();
    for (int i = 0; i < 2000; ++i) {
        const std::string line = deviceLine(1, next);
        const Clock::time_point start = Clock::now();
        g_rig->ask(line);
        added.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count()
                        - wire);
    }
    std::sort(added.begin(), added.end());
    char text[200];
    std::snprintf(text, sizeof text,
                  "latency added to a one-frame exchange (wire time %.0f us): median %.0f us "
                  "(%.3f of the wire time), 99th percentile %.0f us (%.3f)\n",
                  wire, added[added.size() / 2], added[added.size() / 2] / wire,
                  added[added.size() * 99 / 100], added[added.size() * 99 / 100] / wire);
    out << text;
}

} // namespace

int main(int argc, char** argv)
{
    Rig rig;
    g_rig = &rig;
    benchmark::Initialize(&argc, argv);
    quell::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios(std::cout,
                         {{"exchange through the gateway / wire time, MaxPacket 1 (1/utilisation)",
                           "BM_GatewayExchange/MaxPacket:1", "BM_WireTime/MaxPacket:1", true},
                          {"exchange through the gateway / wire time, MaxPacket 8 (1/utilisation)",
                           "BM_GatewayExchange/MaxPacket:8", "BM_WireTime/MaxPacket:8", true}});
    for (const char* packet : {"1", "8"}) {
        const double measured = reporter.secondsPerIteration(
            std::string("BM_GatewayExchange/MaxPacket:") + packet, true);
        const double wire =
            reporter.secondsPerIteration(std::string("BM_WireTime/MaxPacket:") + packet, true);
        if (measured > 0 && wire > 0)
            std::printf("bus utilisation, MaxPacket %s: %.3f (goal 0.95)\n", packet,
                        wire / measured);
    }
    printAddedLatency(std::cout);
    benchmark::Shutdown();
    return 0;
}
