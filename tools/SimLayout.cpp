#include "tools/SimLayout.h"

#include "Main/core/NumberText.h"
#include "Main/core/ChartText.h"
#include "Data/Detector.h"

#include <iostream>

SimLayoutResult LoadLayoutHeadless(const ProfileFile &file, TInstrument &ins, const DeviceFields &fields,
                                   std::array<RoiBoxTexts, 2> boxes)
{
    SimLayoutResult r;
    r.Fields = fields;
    r.RoiBoxes = boxes;
    std::string massText, meanMassText;
    TModel &m = ins.Model;

    LayoutTarget t;
    t.SetUserId = [&](const std::string &id) { r.UserId = id; };
    t.SetWarningLatches = [&] {
        ins.Latches.MassWarningShown = true;
        ins.Latches.VoltageWarningShown = true;
    };
    t.SelectMode = [&](bool unknown) { r.Fields.UnknownMode = unknown; };
    t.SetInductionPosition = [&](int pos) { r.Fields.Induction = pos / Limits::InductionScale; };
    t.SetMassTexts = [&](const std::string &mass, const std::string &mean) {
        massText = mass;
        meanMassText = mean;
    };
    t.SetAperturePosition = [&](int which, int pos) {
        double *target[4] = {&r.Fields.Blende1, &r.Fields.Blende2, &r.Fields.Blende3, &r.Fields.Blende3Offset};
        *target[which] = pos / Limits::BlendeScale;
    };
    t.SetDetector = [&](bool accepted, const std::array<TPixel, 3> &points) {
        if (!accepted) {
            m.Detector.Accepted = false;
            return;
        }
        m.Detector.Points = points;
        // The window answers a refused detector with a message and loads on.
        if (const Status accepted = AcceptDetector(m); !accepted)
            std::cerr << "warning: " << accepted.Message() << "\n";
    };
    t.ApplyParameters = [&]() -> Status {
        // The fields are read as the device page reads them when parameters are applied.
        const auto mass = ParseFloat(massText);
        if (!r.Fields.UnknownMode && !mass)
            return Status::Failure(NotANumberMessage(massText));
        const auto mean = ParseFloat(meanMassText);
        if (!mean)
            return Status::Failure(NotANumberMessage(meanMassText));
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
