// Figures of the liquid-crystal indicator, each against a baseline measured in the same run:
//   a text change on the measurement view's read-out (5 cells, 100 × 40: new lit segments
//   rendered, then the widget painted) against repainting a plain widget of the same size
//   (what Qt charges any widget for a paint), and setting an unchanged text against comparing
//   two strings (all the setter has to do). Also the render alone, without Qt's paint.
#include "bench/RatioReporter.h"

#include "widgets/IndicatorText.h"
#include "widgets/VesmarLiquidIndicator.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <iostream>
#include <memory>

namespace {

// What the widget would cost if drawing itself were free: one fill per paint.
class PlainWidget : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::lightGray); }
};

// The view's parent window with one read-out in it, shown on the offscreen screen.
struct Window {
    QWidget parent;
    TVesmarLiquidIndicator* indicator = nullptr;
    PlainWidget* plain = nullptr;

    Window()
    {
        parent.resize(400, 200);
        indicator = new TVesmarLiquidIndicator(&parent);
        indicator->setSignNumber(5);
        indicator->setIndicatorWidth(100);
        indicator->setIndicatorHeight(40);
        indicator->setNumberForeColor(Qt::red);
        indicator->move(10, 10);
        plain = new PlainWidget(&parent);
        plain->setGeometry(200, 10, 100, 40);
        parent.show();
        QCoreApplication::processEvents();
    }
};

std::unique_ptr<Window> g_window;

// Two readings that differ in every lit segment, as a live value does from poll to poll.
const QString kReadings[] = {QStringLiteral("12.5"), QStringLiteral("-3.75")};

void BM_TextChange(benchmark::State& state)
{
    TVesmarLiquidIndicator& indicator = *g_window->indicator;
    int i = 0;
    for (auto _ : state) {
        indicator.setIndicatorString(kReadings[i++ & 1]);
        indicator.repaint();
    }
}
BENCHMARK(BM_TextChange);

void BM_PlainRepaint(benchmark::State& state)
{
    PlainWidget& plain = *g_window->plain;
    for (auto _ : state)
        plain.repaint();
}
BENCHMARK(BM_PlainRepaint);

void BM_UnchangedText(benchmark::State& state)
{
    TVesmarLiquidIndicator& indicator = *g_window->indicator;
    indicator.setIndicatorString(QStringLiteral("12.5"));
    QCoreApplication::processEvents();
    // A fresh but equal string each time, as the view formats one per answer.
    QString same = QStringLiteral("12.5");
    for (auto _ : state) {
        indicator.setIndicatorString(same);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_UnchangedText);

void BM_CompareStrings(benchmark::State& state)
{
    const QString current = QStringLiteral("12.5");
    QString same = QStringLiteral("12.5");
    for (auto _ : state) {
        benchmark::DoNotOptimize(current == same);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CompareStrings);

// The renderer alone: copy the finished layer and fill the lit segments.
void BM_RenderOnly(benchmark::State& state)
{
    IndicatorOptions options;
    options.signNumber = 5;
    options.indicatorWidth = 100;
    options.indicatorHeight = 40;
    const IndicatorScene scene(options, false, QSize(100, 40));
    std::vector<std::uint64_t> lit[2];
    for (int k = 0; k < 2; ++k)
        for (const IndicatorCell& cell : IndicatorText::cells(kReadings[k], 5, Vm::ik7segment))
            lit[k].push_back(IndicatorText::litElements(cell, Vm::ik7segment));
    IndicatorRenderer renderer;
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(renderer.render(scene, options, {}, false, lit[i++ & 1]).bits());
}
BENCHMARK(BM_RenderOnly);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_window = std::make_unique<Window>();
    quell::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios(
        std::cout,
        {
            {"text change (render + paint)/plain widget repaint ratio", "BM_TextChange",
             "BM_PlainRepaint"},
            {"render alone/plain widget repaint ratio", "BM_RenderOnly", "BM_PlainRepaint"},
            {"unchanged text/string comparison ratio", "BM_UnchangedText", "BM_CompareStrings"},
        });
    const double change = reporter.secondsPerIteration("BM_TextChange");
    const double unchanged = reporter.secondsPerIteration("BM_UnchangedText");
    if (change > 0 && unchanged > 0)
        std::printf("text change: %.1f us per change (goal: well under 50 us); unchanged text: "
                    "%.1f ns\n",
                    change * 1e6, unchanged * 1e9);
    benchmark::Shutdown();
    g_window.reset();
    return 0;
}
