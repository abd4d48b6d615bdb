// Cost of drawing a spectrum chart (1001 points with markers) and proof that
// the redraw requests of one simulation tick merge into one drawing. A tick has
// 10 ms for everything; the chart must take only a small part of it.
#include "Main/charts/ChartsPage.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <cmath>

namespace {

struct Page {
    Spectra spectra;
    std::array<RoiData, 2> roi{};
    TChartsPage page{spectra, roi};

    Page()
    {
        page.SetupAtCreation();
        page.show();
        // Three peaks, so the markers and the line really have something to draw.
        const double centres[] = {300, 500, 700};
        const double areas[] = {7900, 1000, 1100};
        for (int k = 0; k < 3; ++k)
            for (int c = 0; c <= LastChannel; ++c) {
                const double d = (c - centres[k]) / 8.0;
                const double n = std::round(areas[k] / (8.0 * 2.5066) * std::exp(-d * d / 2));
                if (n > 0)
                    spectra.SetCount(1, c, spectra.Count(1, c) + n);
            }
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
};

// One complete drawing of chart 1, painted to the widget at once.
void BM_ReplotChart1001(benchmark::State &state)
{
    Page p;
    QCustomPlot *chart = p.page.Chart(1);
    for (auto _ : state)
        chart->replot(QCustomPlot::rpImmediateRefresh);
    state.counters["points"] = chart->graph(0)->dataCount();
}
BENCHMARK(BM_ReplotChart1001)->Unit(benchmark::kMillisecond);

// One tick's worth of counts (101, one per particle slot) and the event-loop
// turn that follows it: the requests merge into one drawing of the chart.
void BM_TickOf101Counts(benchmark::State &state)
{
    Page p;
    const int before = p.page.ReplotCount(1);
    int channel = 0;
    for (auto _ : state) {
        for (int i = 0; i < 101; ++i) {
            p.spectra.AddCount(1, 200 + channel);
            channel = (channel + 37) % 600;
        }
        QCoreApplication::processEvents();
    }
    state.counters["drawings_per_tick"] =
        double(p.page.ReplotCount(1) - before) / double(state.iterations());
}
BENCHMARK(BM_TickOf101Counts)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
