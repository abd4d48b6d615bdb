#pragma once
// One run of the instrument: emission of at most one ion per tick into the
// lowest slot that was free when the tick began, the flight of every active
// ion, and the end of the run at the first tick that neither emits nor finds
// an ion in flight. The window's 10 ms timer and the headless tool both call Tick.
#include <cstdint>

struct TModel;
class Spectra;

struct RunState {
    int32_t PresetCount = 0;     // 0 means no limit
    bool Continuous = true;      // "Folyamatos a kitűzöttig"
    bool Launching = false;      // new ions may be emitted (cleared by Stop)
    bool Running = false;        // the tick is armed
    int Spectrum = 1;            // which spectrum receives the detector hits
};

struct TickResult {
    bool Launched = false;
    int Advanced = 0;            // particle steps taken in this tick
    bool Finished = false;       // this tick ended the run
};

// Start: resets the particle table (slot 0 flies) and arms the run.
void StartRun(TModel &m, RunState &run);
// Stop during a run: no more emissions; the ions in flight finish.
void StopRun(RunState &run);
TickResult Tick(TModel &m, Spectra &spectra, RunState &run);
bool AnyParticleActive(const TModel &m);
