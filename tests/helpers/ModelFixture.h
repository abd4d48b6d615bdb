#pragma once
// An instrument started as the program starts it (StartInstrument), seeded,
// with short names for the model and its spectra.
#include "Data/Detector.h"
#include "Data/Flight.h"
#include "Data/Model.h"
#include "Main/core/Instrument.h"

#include <memory>

struct ModelFixture {
    std::unique_ptr<TInstrument> instrument = std::make_unique<TInstrument>();
    TModel &m = instrument->Model;
    Spectra &spectra = instrument->Counts;
    WarningLatches &latches = instrument->Latches;
    DeviceFields fields;

    explicit ModelFixture(uint64_t seed = 7)
    {
        m.Random.Seed(seed);
        StartInstrument(*instrument, fields);
    }

    ApplyOutcome Apply() { return ApplyDeviceValues(m, fields, latches); }

    // Flies one active particle until it stops, counting a detector landing into
    // `spectrum` as the run engine does; returns the number of steps.
    int FlyToEnd(Particle &p, int spectrum = 1, int limit = 100000)
    {
        int n = 0;
        while (p.Active && n < limit) {
            const TColor c = ReadColorAt(p.PixelX, p.PixelY);
            if (const auto channel = Advance(m, p, c, m.TraceBitmap))
                spectra.AddCount(spectrum, *channel);
            ++n;
        }
        return n;
    }

    TColor ReadColorAt(int x, int y) const;
};
