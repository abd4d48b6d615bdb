// Any bytes as a layout file, loaded into a freshly started instrument through
// the loader the headless tool uses, with the real model behind it. A load that
// goes through must leave only values the device page would accept, and a short
// run with them must keep every ion a finite number inside the picture.
#include "Data/Constants.h"
#include "Data/Model.h"
#include "Main/core/Instrument.h"
#include "tests/fuzz/FuzzCheck.h"
#include "Main/core/HeadlessLayout.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace {

// The device right after start-up, as the tool sets it up; copied for every input.
const TInstrument &Started()
{
    static const std::unique_ptr<TInstrument> ins = [] {
        auto i = std::make_unique<TInstrument>();
        StartInstrument(*i);
        return i;
    }();
    return *ins;
}

bool InPicture(TPixel p)
{
    return p.x >= 0 && p.x < PictureSize::Width && p.y >= 0 && p.y < PictureSize::Height;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ProfileFile file = ProfileFile::FromBytes(std::string_view(reinterpret_cast<const char *>(data), size));
    auto ins = std::make_unique<TInstrument>(Started());
    const std::array<RoiBoxTexts, 2> boxes{RoiBoxTexts{"0", "0", "", ""}, RoiBoxTexts{"0", "0", "", ""}};
    const HeadlessLoad r = LoadLayoutHeadless(file, *ins, DeviceFields{}, boxes);
    if (!r.Loaded) {
        FUZZ_CHECK(!r.Loaded.Message().empty());
        return 0;
    }
    const DeviceFields &f = r.Fields;
    if (!f.UnknownMode)
        FUZZ_CHECK(WithinLimit(f.Mass, Limits::Mass));
    FUZZ_CHECK(WithinLimit(f.MeanMass, Limits::Mass));
    FUZZ_CHECK(WithinLimit(f.Induction, Limits::Induction));
    for (double b : {f.Blende1, f.Blende2, f.Blende3})
        FUZZ_CHECK(WithinLimit(b, Limits::Blende));
    FUZZ_CHECK(WithinLimit(f.Blende3Offset, Limits::Offset));
    TModel &m = ins->Model;
    if (m.Detector.Accepted)
        for (const TPixel &p : m.Detector.Points)
            FUZZ_CHECK(InPicture(p));

    // A short run with what was loaded, as Start would run it.
    ApplyDeviceValues(m, f, ins->Latches);
    ins->Run.PresetCount = 0;
    StartRun(m, ins->Run);
    for (int tick = 0; tick < 8 && ins->Run.Running; ++tick) {
        Tick(m, ins->Counts, ins->Run);
        for (const Particle &p : m.Particles)
            if (p.Active)
                FUZZ_CHECK(std::isfinite(p.X) && std::isfinite(p.Y));
    }
    return 0;
}
