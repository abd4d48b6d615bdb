#include "Main/core/RunEngine.h"

#include "Data/Flight.h"
#include "Data/Model.h"
#include "Data/Raster.h"
#include "Main/core/Counts.h"

#include <cassert>

void StartRun(TModel &m, RunState &run)
{
    ResetParticles(m);
    run.Launching = true;
    run.Running = true;
}

void StopRun(RunState &run)
{
    run.Launching = false;
}

bool AnyParticleActive(const TModel &m)
{
    for (const Particle &p : m.Particles)
        if (p.Active)
            return true;
    return false;
}

TickResult Tick(TModel &m, Spectra &spectra, RunState &run)
{
    TickResult r;
    assert(run.Spectrum == 1 || run.Spectrum == 2);
    const int spectrum = run.Spectrum;
    bool anyActive = false;
    for (int slot = 0; slot < ParticleSlots; ++slot) {
        Particle &p = m.Particles[slot];
        if (p.Active) {
            const TColor c = ReadColor(m.ApparatusBitmap, p.PixelX, p.PixelY);
            if (const std::optional<int> channel = Advance(m, p, c, m.TraceBitmap))
                spectra.AddCount(spectrum, *channel);
            ++r.Advanced;
            anyActive = anyActive || p.Active;
        } else if (run.Continuous && !r.Launched
                   && (m.LaunchCount < run.PresetCount || run.PresetCount == 0)) {
            if (run.Launching) {
                Emit(m, slot, true);
                r.Launched = true;
            }
        }
    }
    // A slot filled in this tick is active but was not advanced: it still counts as in flight.
    if (!r.Launched && !anyActive) {
        run.Running = false;
        r.Finished = true;
    }
    return r;
}
