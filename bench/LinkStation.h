#pragma once

#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace quell::bench {

// The files quellcal's link benchmarks start a main window from, in a temporary folder: a
// settings file and a description of 1023 enabled entries read in every cycle. It also runs the
// client exchange loop, the baseline other client-side figures are compared with.
class LinkStation {
public:
    // What a client exchange figure measures per exchange.
    enum class ExchangeTime {
        Wall,      // time between exchanges, which includes waiting for the gateway
        ClientCpu, // CPU of the client's threads (the gateway's thread taken out)
    };

    // Windows offscreen unless a platform was chosen, and every message printed and answered
    // with its default; call before the QApplication is made.
    static void prepareEnvironment();

    // Writes the description; the settings are written by writeSettings().
    LinkStation();

    // The settings file name.
    const QString& settings() const { return settings_; }
    // The 1023-entry description file name.
    const QString& description() const { return description_; }
    // Points the settings at a gateway port and the description; transmitDelay 0 lets lines
    // follow each other at once.
    void writeSettings(quint16 port, int transmitDelay = 0) const;

    // One exchange through the main window and its worker against an instant gateway (request
    // line built, written, answer read, handed to the GUI thread, applied to the table and the
    // visible grid). Needs UseManualTime(): each iteration's time is that of one exchange,
    // averaged over half a second of the program's plain event loop.
    void measureClientExchange(benchmark::State& state, ExchangeTime time) const;

private:
    QTemporaryDir dir_;
    QString settings_;
    QString description_;
};

} // namespace quell::bench
