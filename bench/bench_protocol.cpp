// Figures of the protocol engine, each against a baseline measured in the same run:
//   loading a full 1023-entry description file against merely reading it and splitting it
//   into lines (what any loader must pay), and parsing one answer or building one request
//   against copying the frame's bytes (what the link layer pays per frame anyway).
#include "bench/RatioReporter.h"

#include "protocol/ControlChars.h"
#include "protocol/UCommands.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::uint8_t kMask = 0xA0;
constexpr std::uint8_t kAddress = 1;
constexpr std::uint8_t kMcAddress = 1;
constexpr std::uint8_t kMcMask = 0x40;
// A fixed-point entry in the middle of the full table: the answers benchmarked are for it.
constexpr std::uint16_t kKestavinEntry = 496;
// Entries of the EI-Bisynch table; the measured mnemonic is entry 1, so the backward search
// walks the whole table, as it does for the first parameters of a real controller.
constexpr int kEIEntries = 100;
constexpr std::uint16_t kEIEntry = 1;

struct Fixture {
    std::filesystem::path dir;
    std::string kestavinFile;
    std::string eiFile;
    std::unique_ptr<quell::TProtocol> kestavin;
    std::unique_ptr<quell::TProtocol> ei;
    std::string kestavinRequest;
    std::string kestavinAnswer;
    std::string eiRequest;
    std::string eiAnswer;
};

Fixture g_fixture;

// A full table as a station's file would have it: grouped under comments, every value type,
// pick lists, quoted names, all access words.
std::string kestavinDescription()
{
    static const char* const kTypes[] = {"f1", "d", "s", "u", "x", "v", "a", "c", "l", "h", "f2"};
    static const char* const kAccess[] = {"rw", "ro", "rw", "wo", "re", "qe"};
    std::ostringstream out;
    out << "// Full parameter table for the load benchmark\nPROT Kestavin\nSECTION bench\n";
    for (int i = 1; i <= quell::kMaxEntries; ++i) {
        if (i % 16 == 1) {
            out << "\n// group " << i / 16 << '\n';
        }
        const char* type = kTypes[(i - 1) % 11];
        char name[32];
        // Some names hold a blank, as the quoted names of real files do.
        if (i % 7 == 0) {
            std::snprintf(name, sizeof name, "'Param%04d main'", i);
        } else {
            std::snprintf(name, sizeof name, "Param%04d", i);
        }
        char line[256];
        std::snprintf(line, sizeof line, "VAR %s %d,%d,%s,-100,%d,0,$%02X,$%02X,%d,%d,%s", name,
                      i % 5 != 0, i % 4, kAccess[i % 6], type[0] == 's' ? 2 : 900, (i * 2) & 0xFF,
                      (i * 2 + 1) & 0xFF, i >> 7, type[0] == 'd' ? -40 : 0, type);
        out << line;
        if (type[0] == 's') {
            out << ",Off,'On, slow',\"On, fast\"";
        }
        out << '\n';
    }
    return out.str();
}

std::string eiDescription()
{
    std::ostringstream out;
    out << "PROT EI_BISYNCH\nSECTION bench\n";
    out << "VAR PV 1,1,ro,0,0,0,P,V,0,0,f1\n";
    for (int i = 2; i <= kEIEntries; ++i) {
        // No other entry may match "P" on channel 0, or the search would stop early.
        const char first = static_cast<char>('A' + i % 15);
        const char second = static_cast<char>('Q' + i % 10);
        out << "VAR E" << i << " 1,1,rw,0,1000,0," << first << ',' << second << ',' << (i / 15) % 10
            << ",0,d\n";
    }
    return out.str();
}

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) {
        std::fprintf(stderr, "bench: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

std::unique_ptr<quell::TProtocol> load(const std::string& path, int expectedCount)
{
    auto protocol = std::make_unique<quell::TProtocol>();
    if (!protocol->LoadFromFile(path) || protocol->Count != expectedCount) {
        std::fprintf(stderr, "bench: %s loaded %d entries, expected %d\n", path.c_str(),
                     protocol->Count, expectedCount);
        std::exit(1);
    }
    return protocol;
}

std::string encodeByte(std::uint8_t value)
{
    return {static_cast<char>(0x30 + (value >> 4)), static_cast<char>(0x30 + (value & 0x0F))};
}

void setUp()
{
    Fixture& f = g_fixture;
    f.dir = std::filesystem::temp_directory_path() / ("quell-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(f.dir);
    f.kestavinFile = (f.dir / "full.var").string();
    f.eiFile = (f.dir / "ei.var").string();
    writeText(f.kestavinFile, kestavinDescription());
    writeText(f.eiFile, eiDescription());
    f.kestavin = load(f.kestavinFile, quell::kMaxEntries);
    f.ei = load(f.eiFile, kEIEntries);

    const quell::TCommands& entry = f.kestavin->Commands[kKestavinEntry];
    f.kestavinRequest =
        f.kestavin->BuildReadRequest(kKestavinEntry, kAddress, kMask, false, kMcAddress, kMcMask);
    // A 13-character value answer: echoed codes, four nibbles, checksum, end.
    f.kestavinAnswer = std::string{quell::kSoh, static_cast<char>(kMask | kAddress)}
                       + encodeByte(entry.Code1) + encodeByte(entry.Code3) + "0123" + "00"
                       + quell::kEtx;
    f.eiRequest = f.ei->BuildReadRequest(kEIEntry, kAddress, kMask, false, kMcAddress, kMcMask);
    const std::string body = std::string("PV 25.5") + quell::kEtx;
    char bcc = 0;
    for (char c : body) {
        bcc ^= c;
    }
    f.eiAnswer = quell::kStx + body + bcc;
    if (f.kestavinRequest.size() != 9
        || f.eiRequest != std::string{quell::kEot} + "0011PV" + quell::kEnq) {
        std::fprintf(stderr, "bench: unexpected request frames\n");
        std::exit(1);
    }
}

void tearDown()
{
    g_fixture.kestavin.reset();
    g_fixture.ei.reset();
    std::error_code ignored;
    std::filesystem::remove_all(g_fixture.dir, ignored);
}

void BM_ReadAndSplitLines(benchmark::State& state)
{
    std::size_t lines = 0;
    for (auto _ : state) {
        std::ifstream in(g_fixture.kestavinFile, std::ios::binary);
        std::string line;
        lines = 0;
        while (std::getline(in, line)) {
            benchmark::DoNotOptimize(line.data());
            ++lines;
        }
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_ReadAndSplitLines)->Unit(benchmark::kMicrosecond);

void BM_LoadFromFile(benchmark::State& state)
{
    // The program keeps one table and reloads into it, so the benchmark does too.
    quell::TProtocol& protocol = *g_fixture.kestavin;
    for (auto _ : state) {
        benchmark::DoNotOptimize(protocol.LoadFromFile(g_fixture.kestavinFile));
    }
    state.counters["entries"] = protocol.Count;
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMicrosecond);

void BM_CopyKestavinAnswer(benchmark::State& state)
{
    for (auto _ : state) {
        std::string copy = g_fixture.kestavinAnswer;
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyKestavinAnswer);

void BM_ParseAnswerKestavin(benchmark::State& state)
{
    quell::TProtocol& protocol = *g_fixture.kestavin;
    for (auto _ : state) {
        quell::TAnswerResult result = protocol.ParseAnswer(
            g_fixture.kestavinRequest, g_fixture.kestavinAnswer, kKestavinEntry);
        benchmark::DoNotOptimize(result);
    }
    const quell::TAnswerResult check =
        protocol.ParseAnswer(g_fixture.kestavinRequest, g_fixture.kestavinAnswer, kKestavinEntry);
    // Nibbles 0123 on an f1 entry: a figure for an answer the engine refused would mean nothing.
    if (!check.Taken || check.Entry != kKestavinEntry || check.Status != "29.1") {
        state.SkipWithError("the value answer was not taken as 29.1 for its entry");
    }
}
BENCHMARK(BM_ParseAnswerKestavin);

void BM_CopyEIAnswer(benchmark::State& state)
{
    for (auto _ : state) {
        std::string copy = g_fixture.eiAnswer;
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyEIAnswer);

void BM_ParseAnswerEIBisynch(benchmark::State& state)
{
    quell::TProtocol& protocol = *g_fixture.ei;
    for (auto _ : state) {
        quell::TAnswerResult result =
            protocol.ParseAnswer(g_fixture.eiRequest, g_fixture.eiAnswer, kEIEntry);
        benchmark::DoNotOptimize(result);
    }
    const quell::TAnswerResult check =
        protocol.ParseAnswer(g_fixture.eiRequest, g_fixture.eiAnswer, kEIEntry);
    const double stored = protocol.Commands[kEIEntry].FloatValue;
    if (!check.Taken || check.Entry != kEIEntry || stored != 25.5) {
        state.SkipWithError("the data answer was not taken as 25.5 for its entry");
    }
}
BENCHMARK(BM_ParseAnswerEIBisynch);

void BM_CopyRequestFrame(benchmark::State& state)
{
    for (auto _ : state) {
        std::string copy = g_fixture.kestavinRequest;
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyRequestFrame);

void BM_BuildReadRequestKestavin(benchmark::State& state)
{
    const bool viaMC = state.range(0) != 0;
    const quell::TProtocol& protocol = *g_fixture.kestavin;
    for (auto _ : state) {
        std::string frame =
            protocol.BuildReadRequest(kKestavinEntry, kAddress, kMask, viaMC, kMcAddress, kMcMask);
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(BM_BuildReadRequestKestavin)->ArgName("viaMC")->Arg(0)->Arg(1);

void BM_BuildReadRequestEIBisynch(benchmark::State& state)
{
    const quell::TProtocol& protocol = *g_fixture.ei;
    for (auto _ : state) {
        std::string frame =
            protocol.BuildReadRequest(kEIEntry, kAddress, kMask, false, kMcAddress, kMcMask);
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(BM_BuildReadRequestEIBisynch);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    setUp();
    quell::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios(std::cout,
                         {
                             {"load/split ratio", "BM_LoadFromFile", "BM_ReadAndSplitLines"},
                             {"ParseAnswer Kestavin value answer/copy ratio",
                              "BM_ParseAnswerKestavin", "BM_CopyKestavinAnswer"},
                             {"ParseAnswer EI-Bisynch data answer/copy ratio",
                              "BM_ParseAnswerEIBisynch", "BM_CopyEIAnswer"},
                             {"BuildReadRequest Kestavin/copy ratio",
                              "BM_BuildReadRequestKestavin/viaMC:0", "BM_CopyRequestFrame"},
                             {"BuildReadRequest Kestavin via MC/copy ratio",
                              "BM_BuildReadRequestKestavin/viaMC:1", "BM_CopyRequestFrame"},
                             {"BuildReadRequest EI-Bisynch/copy ratio",
                              "BM_BuildReadRequestEIBisynch", "BM_CopyRequestFrame"},
                         });
    benchmark::Shutdown();
    tearDown();
    return 0;
}
