// The calibration procedures against quellgw of this build with a simulated VRQ-PB board
// ("--sim vrq-pb@1" on a free loopback port), through a real link: the board's description in
// the table, address 1, MaxPacket as a fresh settings file has it, TransmitDelay 10 ms. Each
// figure against a baseline measured in the same run:
//   - one awaited transaction (TransactEntry, a read of entry 90) against one client exchange:
//     the interval between two answer lines the link applies while it polls back to back (no
//     pacing pause, for that measurement only), and, for reference, the poll cycle with the
//     10 ms pause. The goal is at most 1.5 exchanges plus the pause: a request may find a poll
//     line in flight (half an exchange on average) and the pause behind it;
//   - the CPU of this process (GUI thread and link worker; the server is another process) while
//     a timed point waits for its readings, against the same link polling with no procedure
//     running, both as a share of one core;
//   - the wall time of "Sve" by the normal method against the waits the recipe prescribes for
//     what the run did: a pause of 500 ms before each look at a timed point, one swap cycle of
//     the board's swap period before each look at a point waited by swap cycles (a look reads the
//     channel's status, and its voltage when the channel is ready). The procedures reach the
//     link through a pass-through that counts those status reads. It takes minutes and runs
//     once; leave it out with --benchmark_filter=-CalibrateAll.
// The procedures run on the GUI thread in nested event loops, as in quellcal: every benchmark
// runs from inside the application's event loop.
#include "bench/RatioReporter.h"

#include "calibration/BoardPrimitives.h"
#include "calibration/CalibrationHost.h"
#include "calibration/CalibrationRecipe.h"
#include "calibration/CalibrationRuns.h"
#include "calibration/CalibrationStation.h"
#include "client/ClientSettings.h"
#include "client/LinkController.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using quell::CalibrationHost;

constexpr int kTransmitDelayMs = 10;
constexpr int kStartWaitMs = 10000;
// The entry the transaction benchmark reads: EMC 1's voltage, which every point of that channel
// reads.
constexpr std::uint16_t kReadEntry = 90;
// How long each CPU window lasts; a timed point needs at least 22 readings of 500 ms, so it is
// still waiting when Stop ends it.
constexpr int kCpuWindowMs = 8000;
// The readings a timed point takes at best (ten skipped, one compared, ten skipped, one agreeing)
// and the swap cycles a point waited by swap cycles takes at best (two readings that agree).
constexpr int kBestTimedReadings = 2 * (quell::TimedSkip + 1);
constexpr int kBestSwapCycles = 2;

double toSeconds(const timespec& t)
{
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// CPU of every thread of this process so far.
double processCpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return toSeconds(t);
}

// CPU of the calling thread so far.
double threadCpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return toSeconds(t);
}

// The program's plain event loop for ms, as it runs while nothing is asked of it.
void runEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until done() holds or ms pass; for setting up only.
bool runUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > ms)
            return false;
        runEventLoop(10);
    }
    return true;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return -1.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double percentile(std::vector<double> values, int percent)
{
    if (values.empty())
        return -1.0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1,
                           values.size() * static_cast<std::size_t>(percent) / 100)];
}

// quellgw of this build with the simulated board, on a free loopback port. Started by a plain fork
// and exec with its log in a file, so this process has no pipe to serve while it is measured; the
// server ends with the object (SIGTERM, then a wait) or with this process.
class BoardServer {
public:
    BoardServer()
    {
        if (!log_.open())
            return;
        const int logFd = log_.handle();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            ::dup2(logFd, STDERR_FILENO);
            ::execl(QUELLGW_PATH, QUELLGW_PATH, "--sim", "vrq-pb@1", "--listen", "127.0.0.1:0",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // quellgw names its port on standard error once the socket is bound.
        const QRegularExpression said(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
        for (int waited = 0; pid_ > 0 && port_ == 0 && waited < kStartWaitMs; waited += 20) {
            QFile log(log_.fileName());
            if (log.open(QIODevice::ReadOnly)) {
                said_ = QString::fromLocal8Bit(log.readAll());
                const auto match = said.match(said_);
                port_ = match.hasMatch() ? static_cast<quint16>(match.captured(1).toUInt()) : 0;
            }
            if (port_ == 0)
                ::usleep(20000);
        }
    }
    ~BoardServer()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    BoardServer(const BoardServer&) = delete;
    BoardServer& operator=(const BoardServer&) = delete;

    // The port it listens on; 0 when it did not start.
    quint16 port() const { return port_; }
    // What it printed, for a failed start.
    const QString& said() const { return said_; }
    // CPU seconds the server has used so far (user and system, from /proc).
    double cpuSeconds() const
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid_));
        if (!stat.open(QIODevice::ReadOnly))
            return 0.0;
        const QByteArray text = stat.readAll();
        // The fields after the program's name, which is in parentheses and may hold blanks:
        // state is the first, utime the twelfth and stime the thirteenth.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 13)
            return 0.0;
        const double ticks = static_cast<double>(::sysconf(_SC_CLK_TCK));
        return (fields[11].toDouble() + fields[12].toDouble()) / ticks;
    }

private:
    QTemporaryFile log_;
    pid_t pid_ = -1;
    quint16 port_ = 0;
    QString said_;
};

// The recipe row of a channel as a calibration button names it.
int rowOfChannel(const QString& channel)
{
    for (int tag = 1; tag <= quell::kLastCalibrationTag; ++tag) {
        const quell::TConfig& config = quell::ProcedureTable[static_cast<std::size_t>(tag)];
        if (channel
            == QString::fromUtf8(config.ChannelName.data(),
                                 static_cast<qsizetype>(config.ChannelName.size())))
            return config.Row;
    }
    return -1;
}

// The page "Kalibracija" as the runs see it: every box checked, the normal method, "Swap period"
// unchecked. It shows nothing; it keeps the last progress, how many readings each point took and
// when each point was first and last reported.
class BenchPanel : public CalibrationHost {
public:
    BenchPanel() { clock_.start(); }

    void AddLogLine(const QString&) override {}
    void paintPoint(int, int, PointPaint) override {}
    bool pointChecked(int, int) const override { return true; }
    bool channelChecked(int) const override { return true; }
    Method method() const override { return Method::Normal; }
    bool swapPeriod() const override { return false; }
    int boardNumber() const override { return 1; }
    void beginProcedure() override {}
    void endProcedure() override {}
    void showProgress(const quell::RunProgress& progress) override
    {
        last = progress;
        if (progress.running && progress.point > 0 && !progress.channel.isEmpty()) {
            const std::pair<QString, int> point{progress.channel, progress.point};
            int& taken = readings[point];
            taken = std::max(taken, progress.reading);
            const qint64 now = clock_.nsecsElapsed();
            spans.try_emplace(point, now, now).first->second.second = now;
        }
    }

    // The procedure asks for a read of an entry. A point reads its channel's status once after
    // every wait that ended in a swap cycle or a timed pause, so those reads count its waits.
    void readAsked(std::uint16_t entry)
    {
        if (!last.running || last.point <= 0 || last.channel.isEmpty())
            return;
        const int row = rowOfChannel(last.channel);
        if (row >= 0 && quell::recipeStep(row, last.point).StatusEntry == entry)
            ++waits[{last.channel, last.point}];
    }

    // Forgets the points of an earlier run.
    void clearPoints()
    {
        readings.clear();
        waits.clear();
        spans.clear();
    }

    quell::RunProgress last;
    // Readings per point of a run, by channel name and point.
    std::map<std::pair<QString, int>, int> readings;
    // Waits per point of a run (timed pauses or swap cycles) after which the status was read.
    std::map<std::pair<QString, int>, int> waits;
    // Per point, when it was first and last reported (ns on the panel's clock): from before its
    // reference is switched in to after its new constant is written.
    std::map<std::pair<QString, int>, std::pair<qint64, qint64>> spans;

private:
    QElapsedTimer clock_;
};

// The link as the station sees it: every call goes on to the real link unchanged; the reads the
// procedures ask for are also told to onRead, so the run's waits can be counted from outside.
class CountingLink : public quell::DeviceLink {
public:
    explicit CountingLink(quell::DeviceLink& link) : link_(link) {}

    std::function<void(std::uint16_t)> onRead;

    bool WriteParameter(std::uint16_t entry, const std::string& valueText) override
    {
        return link_.WriteParameter(entry, valueText);
    }
    bool ReadParameter(std::uint16_t entry) override
    {
        if (onRead)
            onRead(entry);
        return link_.ReadParameter(entry);
    }
    quell::TSendCommand currentCommand() const override { return link_.currentCommand(); }
    quell::LinkState linkState() const override { return link_.linkState(); }
    bool valuesLive() const override { return link_.valuesLive(); }
    quell::CellMarks cellMarks(std::uint16_t entry) const override
    {
        return link_.cellMarks(entry);
    }
    void readTable(const std::function<void(const quell::TProtocol&)>& read) const override
    {
        link_.readTable(read);
    }
    void readTableAndCells(
        const std::function<void(const quell::TProtocol&, const std::vector<std::string>&)>& read)
        const override
    {
        link_.readTableAndCells(read);
    }
    void editTable(const std::function<void(quell::TProtocol&)>& edit) override
    {
        link_.editTable(edit);
    }
    quell::WaitOutcome waitUntil(const std::function<bool()>& condition, int timeoutMs) override
    {
        return link_.waitUntil(condition, timeoutMs);
    }

private:
    quell::DeviceLink& link_;
};

// The server, the link to it with the board's table, and the station the procedures work on.
class CalibrationRig {
public:
    CalibrationRig()
    {
        QObject::connect(&link_, &quell::LinkController::answerApplied,
                         [this](const quell::AnswerEffects&) { ++answers_; });
        counting_.onRead = [this](std::uint16_t entry) { panel_.readAsked(entry); };
        QObject::connect(&link_, &quell::LinkController::message,
                         [](quell::Dialogs::Kind, const QString& text) {
                             std::cerr << "link: " << text.toStdString() << "\n";
                         });
    }
    ~CalibrationRig() { link_.stop(); }

    // Loads the description, points the link at the server, starts it and waits until the first
    // pass over the table has been read; false with the reason.
    bool start(std::string& failure)
    {
        if (server_.port() == 0) {
            failure = "quellgw did not start: " + server_.said().toStdString();
            return false;
        }
        bool loaded = false;
        link_.editTable([&loaded](quell::TProtocol& table) {
            loaded = table.LoadFromFile(QUELL_EXAMPLES_DIR "/vrq-pb.var");
        });
        if (!loaded) {
            failure = "the description " QUELL_EXAMPLES_DIR "/vrq-pb.var did not load";
            return false;
        }
        settings_.host = QStringLiteral("127.0.0.1");
        settings_.port = QString::number(server_.port());
        settings_.address = 1;
        settings_.transmitDelay = kTransmitDelayMs;
        link_.applySettings(settings_);
        link_.start();
        if (!runUntil([this] { return link_.isConnected(); }, kStartWaitMs)) {
            failure = "the link did not connect";
            return false;
        }
        if (!runUntil([this] { return answers_ > 200; }, kStartWaitMs)) {
            failure = "the board did not answer";
            return false;
        }
        return true;
    }

    // The pause after each device line; takes effect with the next line.
    void setTransmitDelay(int ms)
    {
        settings_.transmitDelay = ms;
        link_.applySettings(settings_);
    }

    quell::LinkController& link() { return link_; }
    quell::CalibrationStation& station() { return station_; }
    quell::BoardPrimitives& board() { return board_; }
    quell::CalibrationRuns& runs() { return runs_; }
    BenchPanel& panel() { return panel_; }
    const BoardServer& server() const { return server_; }
    // Answer lines the link has applied so far.
    long answers() const { return answers_; }

private:
    BoardServer server_;
    quell::ClientSettings settings_;
    quell::LinkController link_;
    CountingLink counting_{link_};
    BenchPanel panel_;
    quell::CalibrationStation station_{counting_, panel_};
    quell::BoardPrimitives board_{station_};
    quell::CalibrationRuns runs_{station_};
    long answers_ = 0;
};

CalibrationRig* g_rig = nullptr;

// ---- one awaited transaction against one client exchange ----

std::vector<double> g_transactSeconds;

void BM_CalTransactEntry(benchmark::State& state)
{
    CalibrationRig& rig = *g_rig;
    rig.setTransmitDelay(kTransmitDelayMs);
    rig.station().StopRequested = false;
    runEventLoop(200);
    // A procedure's reads come after waits of its own, at any moment of the poll cycle: so do
    // these, after a pause of up to three cycles.
    std::mt19937 random(kReadEntry);
    std::uniform_int_distribution<int> gap(0, 3 * kTransmitDelayMs);
    int failed = 0;
    for (auto _ : state) {
        rig.station().pause(gap(random));
        QElapsedTimer took;
        took.start();
        const bool answered = rig.board().TransactEntry(kReadEntry, false);
        const double seconds = static_cast<double>(took.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        g_transactSeconds.push_back(seconds);
        failed += answered ? 0 : 1;
    }
    if (failed > 0)
        state.SkipWithError("a read of entry 90 got no answer");
}
BENCHMARK(BM_CalTransactEntry)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

// The link's own polling in the program's plain event loop: each iteration is half a second of
// it, and its time is that span divided by the answer lines applied in it.
void measurePollInterval(benchmark::State& state, int transmitDelay)
{
    CalibrationRig& rig = *g_rig;
    rig.setTransmitDelay(transmitDelay);
    runEventLoop(300);
    for (auto _ : state) {
        const long before = rig.answers();
        QElapsedTimer span;
        span.start();
        runEventLoop(500);
        const long made = rig.answers() - before;
        state.SetIterationTime(made > 0 ? static_cast<double>(span.nsecsElapsed()) / 1e9
                                              / static_cast<double>(made)
                                        : 1.0);
        if (made == 0)
            state.SkipWithError("the link applied no answer line");
    }
    rig.setTransmitDelay(kTransmitDelayMs);
}

// One client exchange: request line out through the worker, the frame over the simulated bus,
// the answer line back, handed to the GUI thread and applied; polling back to back.
void BM_CalClientExchange(benchmark::State& state)
{
    measurePollInterval(state, 0);
}
BENCHMARK(BM_CalClientExchange)->UseManualTime()->Iterations(6)->Unit(benchmark::kMillisecond);

// The same with the 10 ms pause, which runs from the moment a line is sent.
void BM_CalPollCyclePaced(benchmark::State& state)
{
    measurePollInterval(state, kTransmitDelayMs);
}
BENCHMARK(BM_CalPollCyclePaced)->UseManualTime()->Iterations(6)->Unit(benchmark::kMillisecond);

// ---- CPU while a point waits ----

struct CpuWindow {
    double process = 0; // CPU of this process per wall second
    double gui = 0;     // of its GUI thread alone
    double server = 0;  // of quellgw, another process, over the same window
    double answersPerSecond = 0;
    double wallSeconds = 0;
};

CpuWindow measureCpu(const std::function<void()>& run)
{
    CalibrationRig& rig = *g_rig;
    const double process = processCpuSeconds();
    const double gui = threadCpuSeconds();
    const double server = rig.server().cpuSeconds();
    const long answers = rig.answers();
    QElapsedTimer wall;
    wall.start();
    run();
    CpuWindow window;
    window.wallSeconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    window.process = (processCpuSeconds() - process) / window.wallSeconds;
    window.gui = (threadCpuSeconds() - gui) / window.wallSeconds;
    window.server = (rig.server().cpuSeconds() - server) / window.wallSeconds;
    window.answersPerSecond = static_cast<double>(rig.answers() - answers) / window.wallSeconds;
    return window;
}

std::map<std::string, std::vector<CpuWindow>> g_cpuWindows;

// Each iteration's time is the CPU seconds this process spent per second of the window.
void reportCpu(benchmark::State& state, const char* name, const CpuWindow& window)
{
    state.SetIterationTime(window.process);
    state.counters["cpu_pct"] = window.process * 100;
    state.counters["gui_thread_pct"] = window.gui * 100;
    state.counters["quellgw_pct"] = window.server * 100;
    state.counters["answers_per_s"] = window.answersPerSecond;
    g_cpuWindows[name].push_back(window);
}

void BM_CalCpuPollingAlone(benchmark::State& state)
{
    g_rig->setTransmitDelay(kTransmitDelayMs);
    runEventLoop(300);
    for (auto _ : state)
        reportCpu(state, "alone", measureCpu([] { runEventLoop(kCpuWindowMs); }));
}
BENCHMARK(BM_CalCpuPollingAlone)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// A timed point (Temp 1, point 3) measuring: a pause of 500 ms before each reading, the status and
// the voltage read; Stop ends it after the window, long before it could finish.
void BM_CalCpuPointWaiting(benchmark::State& state)
{
    CalibrationRig& rig = *g_rig;
    rig.setTransmitDelay(kTransmitDelayMs);
    runEventLoop(300);
    for (auto _ : state) {
        QTimer stop;
        stop.setSingleShot(true);
        QObject::connect(&stop, &QTimer::timeout, [&rig] { rig.station().ButtonBreakClick(); });
        stop.start(kCpuWindowMs);
        const CpuWindow window =
            measureCpu([&rig] { rig.board().MeasurePoint(quell::kRowTemp1, false, 3, 3); });
        rig.station().StopRequested = false;
        state.counters["readings"] = rig.panel().last.reading;
        reportCpu(state, "point", window);
        if (window.wallSeconds < kCpuWindowMs / 1000.0 * 0.9)
            state.SkipWithError("the point ended before the window: it did not wait");
    }
}
BENCHMARK(BM_CalCpuPointWaiting)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// ---- "Sve" by the normal method ----

struct AllRun {
    bool ran = false;
    bool ok = false;
    double wallSeconds = 0;
    int swapPeriodMs = 0;
    int timedPoints = 0;
    int timedReadings = 0;
    int timedWaits = 0;
    int swapPoints = 0;
    int swapReadings = 0;
    int swapWaits = 0;
    int channelsOk = 0;
    int channels = 0;
    int pointsPassed = 0;
    int points = 0;
    // Wall time spent on points of each kind, first to last report of each point.
    double timedPointSeconds = 0;
    double swapPointSeconds = 0;
    // The points that did not pass, as "EMC 2/3".
    std::string failed;
    // The waits prescribed for what the run did (a timed pause or a swap cycle before each read
    // of the status, a reading or not), and for the best run.
    double prescribedSeconds() const
    {
        return (timedWaits * quell::TimedWaitMs + swapWaits * swapPeriodMs) / 1000.0;
    }
    double bestSeconds() const
    {
        return (timedPoints * kBestTimedReadings * quell::TimedWaitMs
                + swapPoints * kBestSwapCycles * swapPeriodMs)
               / 1000.0;
    }
};

AllRun g_allRun;

void BM_CalibrateAllNormal(benchmark::State& state)
{
    CalibrationRig& rig = *g_rig;
    rig.setTransmitDelay(kTransmitDelayMs);
    rig.station().StopRequested = false;
    for (auto _ : state) {
        // "Swap period" unchecked leaves the board's own period (entry 71, in 100 ms) in force.
        if (!rig.board().TransactEntry(quell::kSwapPeriodEntry, false)) {
            state.SkipWithError("the swap period could not be read");
            break;
        }
        AllRun run;
        run.swapPeriodMs = rig.board().answeredValue() * 100;
        rig.panel().clearPoints();
        QElapsedTimer wall;
        wall.start();
        if (!rig.runs().ButtonAllClick()) {
            state.SkipWithError("the run did not start");
            break;
        }
        run.wallSeconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
        state.SetIterationTime(run.wallSeconds);
        run.ran = true;
        for (const auto& [point, readings] : rig.panel().readings) {
            const int row = rowOfChannel(point.first);
            if (row < 0)
                continue;
            const auto& [first, last] = rig.panel().spans[point];
            const double spent = static_cast<double>(last - first) / 1e9;
            if (quell::recipeStep(row, point.second).WaitMode == 0) {
                ++run.timedPoints;
                run.timedReadings += readings;
                run.timedWaits += rig.panel().waits[point];
                run.timedPointSeconds += spent;
            } else {
                ++run.swapPoints;
                run.swapReadings += readings;
                run.swapWaits += rig.panel().waits[point];
                run.swapPointSeconds += spent;
            }
        }
        const quell::RunOutcome& outcome = rig.runs().outcome();
        run.ok = outcome.ok;
        for (const quell::ChannelOutcome& channel : outcome.channels) {
            ++run.channels;
            run.channelsOk += channel.ok ? 1 : 0;
            for (const quell::PointOutcome& point : channel.points) {
                ++run.points;
                run.pointsPassed += point.done ? 1 : 0;
                if (!point.done) {
                    const std::pair<QString, int> key{channel.name, point.point};
                    run.failed += (run.failed.empty() ? "" : ", ") + channel.name.toStdString()
                                  + "/" + std::to_string(point.point) + " ("
                                  + std::to_string(rig.panel().waits[key]) + " waits, "
                                  + std::to_string(rig.panel().readings[key]) + " readings)";
                }
            }
        }
        state.counters["timed_pauses"] = run.timedWaits;
        state.counters["swap_cycles"] = run.swapWaits;
        state.counters["points_passed"] = run.pointsPassed;
        g_allRun = run;
    }
}
BENCHMARK(BM_CalibrateAllNormal)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond);

// The baseline of the run above, computed from what it did.
void BM_CalibrateAllPrescribed(benchmark::State& state)
{
    for (auto _ : state) {
        if (!g_allRun.ran) {
            state.SkipWithError("the calibration did not run");
            break;
        }
        state.SetIterationTime(g_allRun.prescribedSeconds());
    }
}
BENCHMARK(BM_CalibrateAllPrescribed)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond);

// ---- the summary ----

void printTransactionGoal(const quell::bench::RatioReporter& reporter)
{
    const double transact = reporter.secondsPerIteration("BM_CalTransactEntry", true);
    const double exchange = reporter.secondsPerIteration("BM_CalClientExchange", true);
    const double paced = reporter.secondsPerIteration("BM_CalPollCyclePaced", true);
    if (transact < 0 || exchange <= 0)
        return;
    const double goal = 1.5 * exchange + kTransmitDelayMs / 1000.0;
    std::printf("\nTransactEntry, read of entry %u after a random pause: mean %.2f ms (median "
                "of the repetitions); over all %zu: median %.2f, 90th percentile %.2f, max "
                "%.2f ms\n",
                kReadEntry, transact * 1e3, g_transactSeconds.size(),
                median(g_transactSeconds) * 1e3, percentile(g_transactSeconds, 90) * 1e3,
                percentile(g_transactSeconds, 100) * 1e3);
    std::printf("one client exchange (interval between applied answer lines, polling back to "
                "back): %.2f ms\n",
                exchange * 1e3);
    if (paced > 0)
        std::printf("poll cycle with TransmitDelay %d ms (interval between applied answer lines): "
                    "%.2f ms\n",
                    kTransmitDelayMs, paced * 1e3);
    std::printf("goal: at most 1.5 x exchange + TransmitDelay = %.2f ms; TransactEntry / goal: "
                "%.2f (%s)\n",
                goal * 1e3, transact / goal, transact <= goal ? "met" : "not met");
}

void printCpu()
{
    const auto medianOf = [](const char* name, double CpuWindow::*field) {
        std::vector<double> values;
        for (const CpuWindow& window : g_cpuWindows[name])
            values.push_back(window.*field);
        return median(values);
    };
    if (g_cpuWindows["alone"].empty() || g_cpuWindows["point"].empty())
        return;
    const double alone = medianOf("alone", &CpuWindow::process);
    const double point = medianOf("point", &CpuWindow::process);
    std::printf("\nCPU of this process, share of one core over %d s windows (medians):\n",
                kCpuWindowMs / 1000);
    std::printf("  a timed point waiting (Temp 1, point 3) plus the link's polling: %.2f %% "
                "(GUI thread %.2f %%)\n",
                point * 100, medianOf("point", &CpuWindow::gui) * 100);
    std::printf("  the link's polling alone: %.2f %% (GUI thread %.2f %%)\n", alone * 100,
                medianOf("alone", &CpuWindow::gui) * 100);
    std::printf("  the procedure adds: %.2f %% of one core (goal under 5 %%: %s)\n",
                (point - alone) * 100, point - alone < 0.05 ? "met" : "not met");
    std::printf("  quellgw, not counted above, in the same windows: %.2f %% and %.2f %%; answer "
                "lines applied: %.0f/s and %.0f/s\n",
                medianOf("point", &CpuWindow::server) * 100,
                medianOf("alone", &CpuWindow::server) * 100,
                medianOf("point", &CpuWindow::answersPerSecond),
                medianOf("alone", &CpuWindow::answersPerSecond));
}

void printCalibration()
{
    const AllRun& run = g_allRun;
    if (!run.ran)
        return;
    std::printf("\n\"Sve\", normal method: %.1f s wall; %d of %d channels ok, %d of %d points "
                "passed\n",
                run.wallSeconds, run.channelsOk, run.channels, run.pointsPassed, run.points);
    std::printf("  timed points: %d, %d pauses of %d ms, %d readings; points waited by swap "
                "cycles: %d, %d cycles of %d ms, %d readings\n",
                run.timedPoints, run.timedWaits, quell::TimedWaitMs, run.timedReadings,
                run.swapPoints, run.swapWaits, run.swapPeriodMs, run.swapReadings);
    std::printf("  prescribed for what the run did (pauses x %d ms + swap cycles x swap period): "
                "%.1f s; wall / prescribed: %.2f\n",
                quell::TimedWaitMs, run.prescribedSeconds(),
                run.wallSeconds / run.prescribedSeconds());
    std::printf("  wall in timed points %.1f s (prescribed %.1f s), in points waited by swap "
                "cycles %.1f s (prescribed %.1f s), outside points %.1f s\n",
                run.timedPointSeconds, run.timedWaits * quell::TimedWaitMs / 1000.0,
                run.swapPointSeconds, run.swapWaits * run.swapPeriodMs / 1000.0,
                run.wallSeconds - run.timedPointSeconds - run.swapPointSeconds);
    if (!run.failed.empty())
        std::printf("  points that did not pass: %s\n", run.failed.c_str());
    std::printf("  prescribed at best (%d readings x %d ms per timed point, %d swap cycles per "
                "point waited by them): %.1f s; wall / best: %.2f\n",
                kBestTimedReadings, quell::TimedWaitMs, kBestSwapCycles, run.bestSeconds(),
                run.wallSeconds / run.bestSeconds());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    quell::bench::RatioReporter reporter;
    int status = 0;
    // The procedures expect to run as quellcal runs them, from a handler inside the event loop.
    QTimer::singleShot(0, &app, [&] {
        CalibrationRig rig;
        std::string failure;
        if (!rig.start(failure)) {
            std::cerr << "bench_calibration: " << failure << "\n";
            status = 1;
        } else {
            g_rig = &rig;
            benchmark::RunSpecifiedBenchmarks(&reporter);
            g_rig = nullptr;
        }
        QCoreApplication::quit();
    });
    app.exec();
    if (status != 0)
        return status;

    reporter.printRatios(
        std::cout,
        {{"TransactEntry (read of entry 90) / one client exchange", "BM_CalTransactEntry",
          "BM_CalClientExchange", true, "wall time per transaction and per exchange"},
         {"TransactEntry (read of entry 90) / poll cycle with the 10 ms pause",
          "BM_CalTransactEntry", "BM_CalPollCyclePaced", true,
          "wall time per transaction and per paced poll line"},
         {"CPU while a timed point waits / CPU of the link's polling alone",
          "BM_CalCpuPointWaiting", "BM_CalCpuPollingAlone", true,
          "CPU seconds of this process per wall second"},
         {"\"Sve\" normal, wall / prescribed waits of what it did", "BM_CalibrateAllNormal",
          "BM_CalibrateAllPrescribed", true, "wall time and the sum of the prescribed waits"}});
    std::cout.flush();
    printTransactionGoal(reporter);
    printCpu();
    printCalibration();
    benchmark::Shutdown();
    return 0;
}
