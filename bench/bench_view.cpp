// Figures of the measurement view's refresh, which runs on the GUI thread after every answer line
// while the link worker waits for it, so whatever it costs is added to every exchange:
//   - the refresh after an answer (answerApplied with the entries the answer brought) with
//     "Merenje" and with "Detalji" active, when the answered entry brought nothing new, when an
//     answer brought every entry with every value the page shows changed, and when one value
//     changed (what an answer of one block usually brings), and with "Kalibracija" active (only
//     the readiness scan), over the board's own description;
//   - each against the client's cost of one exchange measured in this run, as wall time between
//     exchanges and as the client's CPU per exchange.
// The refresh figures are the refresh call itself; repainting the changed labels happens later
// in the event loop and is not counted.
#include "bench/LinkStation.h"
#include "bench/RatioReporter.h"
#include "client/ClientCommunications.h"
#include "view/UView.h"

#include <QApplication>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

namespace {

using quell::bench::LinkStation;
using namespace quell::vrqpb;

// The main window over the VRQ-PB description with the link stopped, and its view shown on the
// offscreen platform, as an operator has it.
struct ViewStation {
    ViewStation()
    {
        const QString settings = dir.filePath(QStringLiteral("view.cli"));
        QFile file(settings);
        file.open(QIODevice::WriteOnly);
        // Port 9 is never listened on; the link is not started anyway.
        file.write(QStringLiteral("[Socket]\nHost=127.0.0.1\nPort=9\n[Protocol]\nFile=%1\n")
                       .arg(QStringLiteral(QUELL_EXAMPLES_DIR "/vrq-pb.var"))
                       .toUtf8());
        file.close();
        main.FormCreate({"quellcal", settings});
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            std::cerr << "the view was not exposed; its figures may be low\n";
        count = main.scheduler().withTable([](const quell::TProtocol& t) { return t.Count; });
    }

    QTemporaryDir dir;
    quell::TClientMain main;
    quell::TFormView view{main.link(), main};
    std::uint16_t count = 0;
};

ViewStation* g_view = nullptr;
LinkStation* g_link = nullptr;

bool isOneOf(Entry e, std::initializer_list<Entry> entries)
{
    return std::find(entries.begin(), entries.end(), e) != entries.end();
}

// One answer's worth of values for every entry, in one of two phases that differ in everything
// the page shows: texts and values of every entry, every flag mark, probe letters and colours,
// swap sign and deviations. On "Merenje" the value flags stay done and clear of errors in both
// phases, so every indicator takes its new text.
struct BoardState {
    std::vector<std::int16_t> values;
    std::vector<std::string> texts;

    BoardState(std::uint16_t count, int phase, bool indicatorsDone)
        : values(count + 1u), texts(count + 1u)
    {
        for (Entry e = 1; e <= count; ++e) {
            // The scale differs between the phases, so constant minus voltage differs too.
            auto value = static_cast<std::int16_t>(1000 + e * (1 + phase));
            if (isOneOf(e, {kValueDoneA, kValueDoneB, kWoodValueDone}) && indicatorsDone)
                value = 0xFF;
            else if (isOneOf(e, {kValueErrorA, kValueErrorB, kWoodValueError}) && indicatorsDone)
                value = 0;
            else if (isOneOf(e, {kAdcErrorA, kAdcErrorB, kVoltDoneA, kVoltErrorA, kVoltDoneB,
                                 kVoltErrorB, kValueDoneA, kValueErrorA, kValueDoneB, kValueErrorB,
                                 kWoodVoltDone, kWoodVoltError, kWoodValueDone, kWoodValueError}))
                value = phase == 0 ? 0xFF : 0;
            else if (e >= kProbeConfigFirst && e <= kProbeConfigLast)
                value = phase == 0 ? 0x80 : 0x01; // P0 grey, A1 olive
            else if (e == kWoodSwap)
                value = static_cast<std::int16_t>(phase);
            values[e] = value;
            texts[e] = std::to_string(value / 10) + "." + std::to_string(value % 10);
        }
    }

    // Stores the values in the table and the texts in the value cells, as answers do.
    void apply(quell::TClientMain& main) const
    {
        main.scheduler().editTable([this](quell::TProtocol& table) {
            for (std::size_t e = 1; e < values.size(); ++e) {
                table.Commands[e].Value = values[e];
                table.Commands[e].ValueText = texts[e];
                table.Commands[e].Valid = true;
            }
        });
        for (std::size_t e = 1; e < texts.size(); ++e)
            main.scheduler().setCellText(static_cast<std::uint16_t>(e), texts[e]);
    }
};

void showPage(int page)
{
    g_view->view.findChild<QTabWidget*>(QStringLiteral("PageControl"))->setCurrentIndex(page);
    QCoreApplication::processEvents();
}

// Arguments: page index; what changes between refreshes: 0 nothing, 1 every value the page
// shows, 2 the one value an answer line of a single block brings (EMC 1's, shown on both pages).
void BM_RefreshView(benchmark::State& state)
{
    const int page = static_cast<int>(state.range(0));
    const auto changes = state.range(1);
    const bool indicatorsDone = page == 0;
    std::vector<BoardState> phases = {BoardState(g_view->count, 0, indicatorsDone),
                                      BoardState(g_view->count, 1, indicatorsDone)};
    if (changes == 2) {
        phases[1] = phases[0];
        phases[1].values[kValueFirstA] = 999;
        phases[1].texts[kValueFirstA] = "99.9";
    }
    // What the answer line brought: every entry, or the one block of EMC 1's value.
    std::vector<std::uint16_t> answered = {kValueFirstA};
    if (changes == 1) {
        answered.clear();
        for (Entry e = 1; e <= g_view->count; ++e)
            answered.push_back(e);
    }
    showPage(page);
    phases[0].apply(g_view->main);
    g_view->view.RefreshView();
    QCoreApplication::processEvents();
    int phase = 0;
    for (auto _ : state) {
        if (changes != 0) {
            state.PauseTiming();
            // The repaint of the last refresh runs here, as the event loop would run it.
            QCoreApplication::processEvents();
            phase = 1 - phase;
            phases[phase].apply(g_view->main);
            state.ResumeTiming();
        }
        g_view->view.answerApplied(answered);
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_RefreshView)
    ->ArgNames({"page", "changed"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({0, 2})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({1, 2})
    ->Args({2, 0})
    ->Unit(benchmark::kMicrosecond);

// The client's exchange measured as the link benchmark measures it, so the refresh is compared
// with what one exchange costs without a view. That figure is wall time between exchanges and
// includes whatever time the client spends waiting (for the gateway, for the hand-over between
// worker and GUI thread); the client's CPU per exchange is measured as well, so the refresh can
// also be compared with the work an exchange costs.
void BM_ClientExchange(benchmark::State& state)
{
    g_link->measureClientExchange(state, LinkStation::ExchangeTime::Wall);
}
BENCHMARK(BM_ClientExchange)->UseManualTime()->Iterations(6);

void BM_ClientExchangeCpu(benchmark::State& state)
{
    g_link->measureClientExchange(state, LinkStation::ExchangeTime::ClientCpu);
}
BENCHMARK(BM_ClientExchangeCpu)->UseManualTime()->Iterations(6);

} // namespace

int main(int argc, char** argv)
{
    LinkStation::prepareEnvironment();
    QApplication app(argc, argv);
    LinkStation link;
    g_link = &link;
    ViewStation view;
    g_view = &view;

    benchmark::Initialize(&argc, argv);
    quell::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::vector<quell::bench::RatioReporter::Ratio> ratios;
    const struct {
        const char* label;
        const char* name;
    } refreshes[] = {{"RefreshView Merenje nothing changed", "BM_RefreshView/page:0/changed:0"},
                     {"RefreshView Merenje all changed", "BM_RefreshView/page:0/changed:1"},
                     {"RefreshView Merenje one value changed", "BM_RefreshView/page:0/changed:2"},
                     {"RefreshView Detalji nothing changed", "BM_RefreshView/page:1/changed:0"},
                     {"RefreshView Detalji all changed", "BM_RefreshView/page:1/changed:1"},
                     {"RefreshView Detalji one value changed", "BM_RefreshView/page:1/changed:2"},
                     {"RefreshView Kalibracija", "BM_RefreshView/page:2/changed:0"}};
    // Wall time on both sides: the refresh keeps the GUI thread busy for all of it.
    for (const auto& r : refreshes)
        ratios.push_back(
            {std::string(r.label) + " / client exchange", r.name, "BM_ClientExchange", true});
    for (const auto& r : refreshes)
        ratios.push_back({std::string(r.label) + " / client CPU per exchange", r.name,
                          "BM_ClientExchangeCpu", true, "refresh wall time / client CPU time"});
    reporter.printRatios(std::cout, ratios);
    benchmark::Shutdown();
    return 0;
}
