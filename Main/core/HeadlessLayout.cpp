#include "Main/core/HeadlessLayout.h"

#include "Data/Detector.h"
#include "Main/core/NumberText.h"

HeadlessLoad LoadLayoutHeadless(const ProfileFile &file, TInstrument &ins, const DeviceFields &fields,
                                std::array<RoiBoxTexts, 2> boxes)
{
    HeadlessLoad r;
    r.Fields = fields;
    r.RoiBoxes = boxes;
    TModel &m = ins.Model;

    LayoutTarget t;
    t.SetUserId = [&](const std::string &id) { r.UserId = id; };
    t.ShowNote = [&](const std::vector<std::string> &lines) { r.Note = lines; };
    t.SetWarningLatches = [&] {
        ins.Latches.MassWarningShown = true;
        ins.Latches.VoltageWarningShown = true;
    };
    t.SelectMode = [&](bool unknown) { r.Fields.UnknownMode = unknown; };
    t.SetInductionPosition = [&](int pos) { r.Fields.Induction = pos / Limits::InductionScale; };
    t.SetMassTexts = [&](const std::string &mass, const std::string &mean) {
        r.MassText = mass;
        r.MeanMassText = mean;
    };
    t.SetAperturePosition = [&](int which, int pos) {
        double *target[4] = {&r.Fields.Blende1, &r.Fields.Blende2, &r.Fields.Blende3, &r.Fields.Blende3Offset};
        *target[which] = pos / Limits::BlendeScale;
    };
    t.SetDetector = [&](bool accepted, const std::array<TPixel, 3> &points) {
        r.DetectorAccepted = accepted;
        if (!accepted) {
            m.Detector.Accepted = false;
            return;
        }
        r.DetectorPoints = m.Detector.Points = points;
        // The window answers a refused detector with a message and loads on.
        r.DetectorAccept = AcceptDetector(m);
    };
    t.ApplyParameters = [&]() -> Status {
        // The fields are read as the device page reads them when parameters are applied.
        const auto mass = ParseFloat(r.MassText);
        if (!r.Fields.UnknownMode && !mass)
            return Status::Failure(NotANumberMessage(r.MassText));
        const auto mean = ParseFloat(r.MeanMassText);
        if (!mean)
            return Status::Failure(NotANumberMessage(r.MeanMassText));
        if (mass)
            r.Fields.Mass = *mass;
        r.Fields.MeanMass = *mean;
        ApplyDeviceValues(m, r.Fields, ins.Latches);
        return {};
    };
    t.ShowRoiBoxes = [&](int s, const RoiBoxTexts &texts) { r.RoiBoxes[s - 1] = texts; };
    r.Loaded = LoadLayout(file, ins.Counts, ins.Roi, t);
    return r;
}
