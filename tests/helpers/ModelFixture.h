#pragma once
// A model set up as the program sets it up after identification: layout,
// device defaults, apparatus and aperture drawn, traces cleared.
#include "Data/Model.h"
#include "Main/core/DeviceValues.h"
#include "Main/core/Counts.h"

#include <memory>

struct ModelFixture {
    std::unique_ptr<TModel> model = std::make_unique<TModel>();
    TModel &m = *model;
    Spectra spectra;
    WarningLatches latches;
    DeviceFields fields;

    explicit ModelFixture(uint64_t seed = 7)
    {
        InitModel(m);
        m.Random.Seed(seed);
        InitDevice(m, fields, latches);
        DrawApparatus(m, false);
        ApplyDeviceValues(m, fields, latches);
        ClearTraces(m);
    }

    ApplyOutcome Apply() { return ApplyDeviceValues(m, fields, latches); }

    // Flies one active particle until it stops; returns the number of steps.
    int FlyToEnd(Particle &p, int spectrum = 1, int limit = 100000)
    {
        int n = 0;
        while (p.Active && n < limit) {
            const TColor c = ReadColorAt(p.PixelX, p.PixelY);
            Advance(m, p, c, m.TraceBitmap, spectra, spectrum);
            ++n;
        }
        return n;
    }

    TColor ReadColorAt(int x, int y) const;
};
