// Headless run of the instrument: the device set up as the window sets it up at
// start-up, ions flown with the window's tick rules (without the 10 ms wait).
#include "Data/Model.h"
#include "Main/core/DeviceValues.h"
#include "Main/core/Roi.h"
#include "Main/core/RunEngine.h"
#include "Main/core/Spectra.h"
#include "Main/core/TextExport.h"
#include "tools/SimOptions.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>

namespace {

// The parameters applied as the Start button applies them: a first voltage
// warning is reported and the application repeated, as a second Start does.
void ApplyAsStart(TModel &m, const DeviceFields &fields, WarningLatches &latches)
{
    ApplyOutcome out = ApplyDeviceValues(m, fields, latches);
    if (out.ShowMassWarning)
        std::cerr << "warning: " << MassWarningText << "\n";
    if (out.ShowVoltageWarning) {
        std::cerr << "warning: " << VoltageWarningText << "\n";
        out = ApplyDeviceValues(m, fields, latches);
    }
}

// The ROI boxes as the window shows them after start-up ("Set" pressed once at
// channel 0, nothing evaluated), or after --roi was evaluated on the receiving spectrum.
std::array<RoiBoxTexts, 2> RoiBoxesFor(const SimOptions &opt, const RoiData *evaluated)
{
    std::array<RoiBoxTexts, 2> boxes{RoiBoxTexts{"0", "0", "", ""}, RoiBoxTexts{"0", "0", "", ""}};
    if (opt.Roi && evaluated) {
        RoiBoxTexts &b = boxes[opt.Spectrum - 1];
        b.X1 = std::to_string(evaluated->X1);
        b.X2 = std::to_string(evaluated->X2);
        b.Brutto = FormatBrutto(evaluated->Brutto);
        b.Kozep = FormatKozep(evaluated->Kozep);
    }
    return boxes;
}

} // namespace

int main(int argc, char **argv)
{
    SimOptions opt;
    const SimParseResult parsed = ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), opt);
    if (!parsed.Ok) {
        std::cerr << "ionveto-sim: " << parsed.Error << "\n";
        return 2;
    }
    if (opt.Help) {
        std::cout << SimUsage();
        return 0;
    }

    auto model = std::make_unique<TModel>();
    TModel &m = *model;
    Spectra spectra;
    WarningLatches latches;
    InitModel(m);
    if (opt.SeedGiven)
        m.Random.Seed(opt.Seed);

    // Start-up: the defaults of the device page, then what identification does.
    const DeviceFields defaults;
    InitDevice(m, defaults, latches);
    DrawApparatus(m, false);
    ApplyDeviceValues(m, defaults, latches);
    ClearTraces(m);

    if (opt.DetectorPoints) {
        const auto &d = *opt.DetectorPoints;
        for (int k = 0; k < 3; ++k) {
            const TPixel p{d[2 * k], d[2 * k + 1]};
            if (!PlaceablePoint(m, p)) {
                std::cerr << "ionveto-sim: --detector point " << k + 1 << " (" << p.x << "," << p.y
                          << ") is not inside drift 2 or drift 3\n";
                return 2;
            }
            m.Detector.Points[k] = p;
        }
        if (!AcceptDetector(m)) {
            std::cerr << "ionveto-sim: Hibás a detektort definiáló 3 pont!\n";
            return 2;
        }
        ClearTraces(m);
    }

    if (opt.Roi && (opt.Roi->first < 0 || opt.Roi->first > LastChannel || opt.Roi->second < 0
                    || opt.Roi->second > LastChannel)) {
        std::cerr << "ionveto-sim: --roi bounds must lie from 0 to " << LastChannel << "\n";
        return 2;
    }

    // The user's settings, applied as Start applies them.
    ApplyAsStart(m, opt.Fields, latches);

    RunState run;
    run.Continuous = opt.Continuous;
    run.Spectrum = opt.Spectrum;
    run.PresetCount = static_cast<int32_t>(std::min<int64_t>(opt.Ions, INT32_MAX));

    int64_t ticks = 0, steps = 0, hits = 0;
    spectra.Changed = [&](int) { ++hits; };
    const auto t0 = std::chrono::steady_clock::now();
    if (opt.Ions > 0) {
        StartRun(m, run);
        while (run.Running) {
            const TickResult r = Tick(m, spectra, run);
            ++ticks;
            steps += r.Advanced;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();

    if (!opt.PictureOut.empty()) {
        QImage shown = m.TraceBitmap.copy();
        if (m.Detector.Accepted) {
            QImage overlay = m.DetectorBitmap;
            for (int y = 0; y < overlay.height(); ++y)
                for (int x = 0; x < overlay.width(); ++x)
                    if ((overlay.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                        shown.setPixel(x + PictureSize::DetectorOriginX, y + PictureSize::DetectorOriginY,
                                       overlay.pixel(x, y));
        }
        if (!shown.save(QString::fromStdString(opt.PictureOut), "PNG")) {
            std::cerr << "ionveto-sim: cannot write " << opt.PictureOut << "\n";
            return 1;
        }
    }

    RoiData roi;
    if (opt.Roi) {
        roi.X1 = opt.Roi->first;
        roi.X2 = opt.Roi->second;
        EvaluateRoi(roi, spectra.Counts(opt.Spectrum));
        std::cout << "ROI " << roi.X1 << ".." << roi.X2 << " of spectrum " << opt.Spectrum
                  << ": Bruttó: " << FormatBrutto(roi.Brutto) << "  Közép: " << FormatKozep(roi.Kozep) << "\n";
    }
    if (!opt.SpectrumOut.empty()) {
        ProfileFile file;
        if (!WriteBothSpectra(file, {}, spectra, RoiBoxesFor(opt, opt.Roi ? &roi : nullptr))
            || !file.Save(opt.SpectrumOut)) {
            std::cerr << "ionveto-sim: " << UnableToWriteMessage(opt.SpectrumOut) << "\n";
            return 1;
        }
    }

    const int64_t emitted = opt.Ions > 0 ? m.LaunchCount : 0;
    char line[256];
    std::snprintf(line, sizeof line, "ions %lld, ticks %lld, steps %lld, hits %lld, seconds %.3f, steps/s %.0f",
                  static_cast<long long>(emitted), static_cast<long long>(ticks), static_cast<long long>(steps),
                  static_cast<long long>(hits), seconds, seconds > 0 ? steps / seconds : 0.0);
    std::cout << line << "\n";
    return 0;
}
