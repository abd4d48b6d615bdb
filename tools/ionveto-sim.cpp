// Headless run of the instrument: the device set up as the window sets it up at
// start-up, ions flown with the window's tick rules (without the 10 ms wait).
#include "Data/Detector.h"
#include "Main/core/AtomicSave.h"
#include "Main/core/Instrument.h"
#include "Main/core/TextExport.h"
#include "Main/core/Version.h"
#include "Main/core/HeadlessLayout.h"
#include "tools/ProgramArguments.h"
#include "tools/SimOptions.h"

#include <QBuffer>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>

namespace {

// The parameters applied as the Start button applies them: a first voltage
// warning is reported and the application repeated, as a second Start does.
void ApplyAsStart(TInstrument &ins, const DeviceFields &fields)
{
    ApplyOutcome out = ApplyDeviceValues(ins.Model, fields, ins.Latches);
    if (out.ShowMassWarning)
        std::cerr << "warning: " << MassWarningText << "\n";
    if (out.ShowVoltageWarning) {
        std::cerr << "warning: " << VoltageWarningText << "\n";
        ApplyDeviceValues(ins.Model, fields, ins.Latches);
    }
}

int PlaceDetector(TInstrument &ins, const std::array<int, 6> &d)
{
    for (int k = 0; k < 3; ++k) {
        const TPixel p{d[2 * k], d[2 * k + 1]};
        if (!PlaceablePoint(ins.Model, p)) {
            std::cerr << "ionveto-sim: --detector point " << k + 1 << " (" << p.x << "," << p.y
                      << ") is not inside drift 2 or drift 3\n";
            return 2;
        }
        ins.Model.Detector.Points[k] = p;
    }
    if (const Status accepted = AcceptDetector(ins.Model); !accepted) {
        std::cerr << "ionveto-sim: " << accepted.Message() << "\n";
        return 2;
    }
    return 0;
}

Status WritePicture(const TModel &m, const std::string &path)
{
    QImage shown;
    ComposeDevicePicture(shown, m, m.Detector.Accepted);
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !shown.save(&buffer, "PNG"))
        return Status::Failure(UnableToWriteMessage(path));
    return SaveFileAtomically(path, std::string_view(png.constData(), static_cast<size_t>(png.size())));
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> args = ProgramArguments(argc, argv);
    SimOptions opt;
    if (const Status parsed = ParseSimOptions(args, opt); !parsed) {
        std::cerr << "ionveto-sim: " << parsed.Message() << "\n";
        return 2;
    }
    if (opt.Help) {
        std::cout << SimUsage();
        return 0;
    }
    if (opt.Version) {
        std::cout << "ionveto-sim " << ProgramVersion() << "\n";
        return 0;
    }
    if (opt.Roi && (opt.Roi->first < 0 || opt.Roi->first > LastChannel || opt.Roi->second < 0
                    || opt.Roi->second > LastChannel)) {
        std::cerr << "ionveto-sim: --roi bounds must lie from 0 to " << LastChannel << "\n";
        return 2;
    }

    auto instrument = std::make_unique<TInstrument>();
    TInstrument &ins = *instrument;
    TModel &m = ins.Model;
    StartInstrument(ins);
    if (opt.SeedGiven)
        m.Random.Seed(opt.Seed);
    std::array<RoiBoxTexts, 2> boxes{RoiBoxTexts{"0", "0", "", ""}, RoiBoxTexts{"0", "0", "", ""}};
    std::string userId = "None";
    std::optional<std::array<std::string, 4>> loadedTexts;   // mass, mean mass, preset, emitted
    std::optional<std::vector<std::string>> note;

    if (!opt.LayoutIn.empty()) {
        ProfileFile file;
        // A path typed wrong is an error here, not an empty layout.
        if (const Status read = ReadLayoutFile(opt.LayoutIn, file, false); !read) {
            std::cerr << "ionveto-sim: " << read.Message() << "\n";
            return 1;
        }
        const HeadlessLoad loaded = LoadLayoutHeadless(file, ins, opt.Fields, boxes);
        if (!loaded.Loaded) {
            std::cerr << "ionveto-sim: " << loaded.Loaded.Message() << "\n";
            return 1;
        }
        for (const std::string &w : loaded.Warnings)
            std::cerr << "warning: " << w << "\n";
        if (!loaded.DetectorAccept)
            std::cerr << "warning: " << loaded.DetectorAccept.Message() << "\n";
        userId = loaded.UserId;
        loadedTexts = {loaded.MassText, loaded.MeanMassText, loaded.PresetText, loaded.LaunchedText};
        if (!loaded.Note.empty())
            note = loaded.Note;
        boxes = loaded.RoiBoxes;
        // Options named on the command line change the loaded settings.
        SimOptions over;
        over.Fields = loaded.Fields;
        (void)ParseSimOptions(args, over);   // read once already, without failure
        opt.Fields = over.Fields;
        ClearTraces(m);
    }

    if (opt.DetectorPoints) {
        if (const int rc = PlaceDetector(ins, *opt.DetectorPoints))
            return rc;
        ClearTraces(m);
    }
    ApplyAsStart(ins, opt.Fields);

    RunState &run = ins.Run;
    run.Continuous = opt.Continuous;
    run.Spectrum = opt.Spectrum;
    run.PresetCount = static_cast<int32_t>(std::min<int64_t>(opt.Ions, INT32_MAX));
    int64_t ticks = 0, steps = 0, hits = 0;
    ins.Counts.Changed = [&](int) { ++hits; };
    const auto t0 = std::chrono::steady_clock::now();
    if (opt.Ions > 0) {
        StartRun(m, run);
        while (run.Running) {
            steps += Tick(m, ins.Counts, run).Advanced;
            ++ticks;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();

    if (!opt.PictureOut.empty() && !WritePicture(m, opt.PictureOut)) {
        std::cerr << "ionveto-sim: " << UnableToWriteMessage(opt.PictureOut) << "\n";
        return 1;
    }
    if (opt.Roi) {
        RoiData &roi = ins.Roi[opt.Spectrum - 1];
        roi.X1 = opt.Roi->first;
        roi.X2 = opt.Roi->second;
        EvaluateRoi(roi, ins.Counts.Counts(opt.Spectrum));
        boxes[opt.Spectrum - 1] = {std::to_string(roi.X1), std::to_string(roi.X2), FormatBrutto(roi.Brutto),
                                   FormatKozep(roi.Kozep)};
        std::cout << "ROI " << roi.X1 << ".." << roi.X2 << " of spectrum " << opt.Spectrum
                  << ": Bruttó: " << FormatBrutto(roi.Brutto) << "  Közép: " << FormatKozep(roi.Kozep) << "\n";
    }
    if (!opt.SpectrumOut.empty()) {
        ProfileFile file;
        const Status saved = WriteBothSpectra(file, {}, ins.Counts, boxes)
                                 ? file.Save(opt.SpectrumOut)
                                 : Status::Failure(UnableToWriteMessage(opt.SpectrumOut));
        if (!saved) {
            std::cerr << "ionveto-sim: " << saved.Message() << "\n";
            return 1;
        }
    }

    if (!opt.LayoutOut.empty()) {
        LayoutRecord record = HeadlessRecord(ins, opt.Fields, userId, boxes);
        record.Note = note;
        // Texts of the file stand as the window's fields show them, unless the
        // command line or a run changed them.
        if (loadedTexts) {
            if (!opt.Given.contains("--mass"))
                record.Fields.Mass = (*loadedTexts)[0];
            if (!opt.Given.contains("--mean-mass"))
                record.Fields.MeanMass = (*loadedTexts)[1];
            if (opt.Ions == 0) {
                record.Fields.Preset = (*loadedTexts)[2];
                record.Fields.Launched = (*loadedTexts)[3];
            }
        }
        ProfileFile file;
        const Status saved = WriteLayout(file, record) ? file.Save(opt.LayoutOut)
                                                       : Status::Failure(UnableToWriteMessage(opt.LayoutOut));
        if (!saved) {
            std::cerr << "ionveto-sim: " << saved.Message() << "\n";
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
