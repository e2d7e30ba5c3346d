#include "bench/LinkStation.h"

#include "bench/InstantGateway.h"
#include "client/ClientCommunications.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <ctime>

namespace quell::bench {

namespace {

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

double processCpuSeconds()
{
    timespec used{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

} // namespace

void LinkStation::prepareEnvironment()
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    qputenv("QUELL_NONINTERACTIVE", "1");
}

LinkStation::LinkStation()
    : settings_(dir_.filePath(QStringLiteral("bench.cli"))),
      description_(dir_.filePath(QStringLiteral("full.var")))
{
    writeDescription(description_, 1023);
}

void LinkStation::writeSettings(quint16 port, int transmitDelay) const
{
    QFile file(settings_);
    file.open(QIODevice::WriteOnly);
    file.write(QStringLiteral("[Socket]\nHost=127.0.0.1\nPort=%1\n[Comm]\nTransmitDelay=%3\n"
                              "[Protocol]\nFile=%2\n")
                   .arg(port)
                   .arg(description_)
                   .arg(transmitDelay)
                   .toUtf8());
}

void LinkStation::measureClientExchange(benchmark::State& state, ExchangeTime time) const
{
    InstantGateway gateway;
    writeSettings(gateway.port());
    TClientMain window;
    window.FormCreate({"quellcal", settings_});
    window.show();
    window.MEnableAllClick();
    window.MStartStopClick();
    if (!window.Started()) {
        state.SkipWithError("no connection");
        return;
    }
    // Warm up past the settings line and the first reads.
    if (!QTest::qWaitFor([&] { return gateway.exchanges() > 50; }, 5000)) {
        state.SkipWithError("the gateway got no lines");
        window.MStartStopClick();
        return;
    }
    // The program runs its plain event loop; each iteration is half a second of it, and its time
    // is that span (or the client's CPU in it) divided by the exchanges made in it.
    for (auto _ : state) {
        const long before = gateway.exchanges();
        const double cpuBefore = processCpuSeconds() - gateway.cpuSeconds();
        QElapsedTimer span;
        span.start();
        QEventLoop loop;
        QTimer::singleShot(500, &loop, &QEventLoop::quit);
        loop.exec();
        const long made = gateway.exchanges() - before;
        const double spent = time == ExchangeTime::Wall
                                 ? span.nsecsElapsed() / 1e9
                                 : processCpuSeconds() - gateway.cpuSeconds() - cpuBefore;
        state.SetIterationTime(made > 0 ? spent / double(made) : 1.0);
    }
    window.MStartStopClick();
}

} // namespace quell::bench
