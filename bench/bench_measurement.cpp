// A headless measurement: 20,000 ions through the instrument onto a detector
// across the beam, the tick with 101 ions in flight and the detector build.
#include "Data/Model.h"
#include "Data/Raster.h"
#include "Data/Detector.h"
#include "Main/core/Instrument.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace {

struct Bench {
    std::unique_ptr<TInstrument> instrument = std::make_unique<TInstrument>();
    TModel &m = instrument->Model;
    Spectra &spectra = instrument->Counts;
    Bench()
    {
        DeviceFields f;
        f.PointSource = false;
        f.MonoEnergetic = false;
        StartInstrument(*instrument, f);
        m.Detector.Points = {TPixel{236, 460}, TPixel{237, 483}, TPixel{238, 506}};
        if (!AcceptDetector(m))
            std::abort();
        ClearTraces(m);
    }
};

void BM_Run20000IonsWithDetector(benchmark::State &state)
{
    Bench b;
    int64_t steps = 0, ticks = 0;
    for (auto _ : state) {
        RunState run;
        run.PresetCount = 20000;
        StartRun(b.m, run);
        while (run.Running) {
            steps += Tick(b.m, b.spectra, run).Advanced;
            ++ticks;
        }
    }
    state.counters["steps/s"] = benchmark::Counter(double(steps), benchmark::Counter::kIsRate);
    state.counters["per_tick"] = benchmark::Counter(double(ticks), benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                                                   benchmark::Counter::OneK::kIs1000);
}
BENCHMARK(BM_Run20000IonsWithDetector)->Unit(benchmark::kMillisecond)->Iterations(3);

// A fresh fit and drawing (a point was moved).
void BM_BuildDetectorFresh(benchmark::State &state)
{
    Bench b;
    for (auto _ : state) {
        b.m.Detector.BuiltValid = false;
        benchmark::DoNotOptimize(BuildDetector(b.m));
    }
}
BENCHMARK(BM_BuildDetectorFresh)->Unit(benchmark::kMicrosecond);

// The rebuild of every tick while the detector is shown: the same points.
void BM_BuildDetectorSamePoints(benchmark::State &state)
{
    Bench b;
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildDetector(b.m));
}
BENCHMARK(BM_BuildDetectorSamePoints)->Unit(benchmark::kMicrosecond);

void BM_ComposeDevicePicture(benchmark::State &state)
{
    Bench b;
    QImage shown;
    for (auto _ : state)
        ComposeDevicePicture(shown, b.m, true);
}
BENCHMARK(BM_ComposeDevicePicture)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
