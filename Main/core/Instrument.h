#pragma once
// The single instances the program works on, kept in one place: the model with
// its pictures and particles, the two spectra, the ROI records, the warning
// latches and the run state. The program creates one at start and hands
// references to the windows; the tests and the headless tool make their own.
#include "Data/Model.h"
#include "Main/core/DeviceValues.h"
#include "Main/core/Roi.h"
#include "Main/core/RunEngine.h"
#include "Main/core/Counts.h"

#include <array>

struct TInstrument {
    TModel Model;
    Spectra Counts;
    std::array<RoiData, 2> Roi{};   // spectrum 1 and 2
    WarningLatches Latches;
    RunState Run;
};

// The start-up of the instrument, the same for the window, the tools, the tests
// and the benchmarks: the model (pictures, elements, isotope tables), the
// parameter initialisation with `fields` (layout chain, one application, the
// particle table reset), the apparatus drawn and the traces cleared.
ApplyOutcome StartInstrument(TInstrument &ins, const DeviceFields &fields = {});

// `ins` made equal to `started` (an instrument right after StartInstrument)
// for the next file of a batch. Its pictures are copied into the memory `ins`
// already owns, so a thread that loads file after file does not allocate and
// fault in three fresh pictures each time.
// A batch that never flies an ion (the jury's report) may leave the trace
// picture as the last file left it.
enum class TraceReset { Copied, Left };
void ResetInstrument(TInstrument &ins, const TInstrument &started, TraceReset traces = TraceReset::Copied);
