// The window's 10 ms tick with the device picture full of ions: 101 in flight,
// the detector accepted across the beam and shown. One tick flies every ion,
// composes the visible picture with the detector, writes the counter and paints
// the picture (and the chart of any hit); all of it has to fit well inside 10 ms.
#include "Data/Model.h"
#include "Main/window/Main.h"
#include "Main/device/PictureView.h"
#include "Main/core/Instrument.h"
#include "RunningWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

int ActiveIons(const TModel &m)
{
    return int(std::count_if(m.Particles.begin(), m.Particles.end(), [](const Particle &p) { return p.Active; }));
}

// The run in full flow: 150 ticks fill the picture with ions first.
RunningWindow &Window()
{
    static RunningWindow w;
    static const bool filled = [] {
        for (int i = 0; i < 150; ++i)
            w.form->Timer1Timer();
        QCoreApplication::processEvents();
        return true;
    }();
    (void)filled;
    return w;
}

// The whole tick as the timer runs it, plus the paint it asks for.
void BM_WindowTickWithPaint(benchmark::State &state)
{
    RunningWindow &w = Window();
    std::vector<double> ms;
    ms.reserve(100000);
    double active = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        w.form->Timer1Timer();
        QCoreApplication::processEvents();   // the repaint of the picture and of a chart
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        active += ActiveIons(w.instrument.Model);
    }
    std::sort(ms.begin(), ms.end());
    state.counters["ions_in_flight"] = active / double(ms.size());
    state.counters["p99_ms"] = ms[size_t(double(ms.size() - 1) * 0.99)];
    state.counters["max_ms"] = ms.back();
    state.counters["launched"] = w.instrument.Model.LaunchCount;
}
BENCHMARK(BM_WindowTickWithPaint)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The tick alone, without the paint.
void BM_WindowTick(benchmark::State &state)
{
    RunningWindow &w = Window();
    for (auto _ : state)
        w.form->Timer1Timer();
    QCoreApplication::processEvents();
    state.counters["ions_in_flight"] = ActiveIons(w.instrument.Model);
}
BENCHMARK(BM_WindowTick)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// Composition of the visible picture with the detector shown.
void BM_ComposePicture(benchmark::State &state)
{
    RunningWindow &w = Window();
    for (auto _ : state)
        w.form->ComposePicture();
    QCoreApplication::processEvents();
}
BENCHMARK(BM_ComposePicture)->Unit(benchmark::kMicrosecond);

// Painting the whole 1000 x 745 picture onto the window.
void BM_RepaintPicture(benchmark::State &state)
{
    RunningWindow &w = Window();
    for (auto _ : state)
        w.form->Image1->repaint();
}
BENCHMARK(BM_RepaintPicture)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Window().form.reset();
    return 0;
}
