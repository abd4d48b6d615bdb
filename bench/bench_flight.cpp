// Cost of the flight: particle steps per second, and one tick of the run
// engine with all 101 slots in flight (the window has 10 ms for a whole tick).
#include "Data/Flight.h"
#include "Data/Model.h"
#include "Data/Raster.h"
#include "Main/core/Instrument.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct Setup {
    std::unique_ptr<TInstrument> instrument = std::make_unique<TInstrument>();
    TModel &m = instrument->Model;
    Spectra &spectra = instrument->Counts;
    Setup()
    {
        DeviceFields fields;
        fields.PointSource = false;
        fields.MonoEnergetic = false;
        StartInstrument(*instrument, fields);
    }
};

// A whole run of ions, one emission per tick: the steady state has ~100 ions in flight.
void BM_FlightSteps(benchmark::State &state)
{
    Setup s;
    int64_t steps = 0;
    for (auto _ : state) {
        RunState run;
        run.PresetCount = 1000;
        StartRun(s.m, run);
        while (run.Running)
            steps += Tick(s.m, s.spectra, run).Advanced;
    }
    state.counters["steps/s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FlightSteps)->Unit(benchmark::kMillisecond);

// One tick with all 101 slots active (refilled between ticks, outside the timing).
void BM_TickWith101Ions(benchmark::State &state)
{
    Setup s;
    RunState run;
    run.PresetCount = 0;
    StartRun(s.m, run);
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < ParticleSlots; ++i) {
            Particle &p = s.m.Particles[i];
            if (!p.Active) {
                Emit(s.m, i, true);
                // Spread the ions along the beam so all kinds of step are timed.
                const int warm = (i * 3) % 200;
                for (int k = 0; k < warm && p.Active; ++k)
                    Advance(s.m, p, ReadColor(s.m.ApparatusBitmap, p.PixelX, p.PixelY), s.m.TraceBitmap);
            }
        }
        state.ResumeTiming();
        Tick(s.m, s.spectra, run);
    }
}
BENCHMARK(BM_TickWith101Ions)->Unit(benchmark::kMicrosecond);

void BM_DrawApparatus(benchmark::State &state)
{
    Setup s;
    for (auto _ : state)
        DrawApparatus(s.m);
}
BENCHMARK(BM_DrawApparatus)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
