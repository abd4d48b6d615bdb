#include "Main/core/HeadlessLayout.h"

#include "Data/Detector.h"
#include "Main/core/NumberText.h"

namespace {

// A field text of the record: empty keeps the value shown before.
void Take(const std::string &text, double &value)
{
    if (const std::optional<double> v = ParseFloat(text))
        value = *v;
}

} // namespace

HeadlessLoad ApplyLayoutHeadless(const LayoutRecord &rec, TInstrument &ins, const DeviceFields &fields,
                                 std::array<RoiBoxTexts, 2> boxes)
{
    HeadlessLoad r;
    r.Fields = fields;
    r.RoiBoxes = boxes;
    r.Warnings = rec.Warnings;
    TModel &m = ins.Model;

    r.UserId = rec.UserId;
    if (rec.Note)
        r.Note = *rec.Note;
    ins.Latches.MassWarningShown = true;
    ins.Latches.VoltageWarningShown = true;
    r.Fields.UnknownMode = rec.UnknownMode;
    Take(rec.Fields.Induction, r.Fields.Induction);
    if (!rec.UnknownMode)
        Take(rec.Fields.Mass, r.Fields.Mass);
    Take(rec.Fields.MeanMass, r.Fields.MeanMass);
    Take(rec.Fields.Blende1, r.Fields.Blende1);
    Take(rec.Fields.Blende2, r.Fields.Blende2);
    Take(rec.Fields.Blende3, r.Fields.Blende3);
    Take(rec.Fields.Offset, r.Fields.Blende3Offset);
    r.MassText = rec.Fields.Mass.empty() ? FormatGeneral(fields.Mass) : rec.Fields.Mass;
    r.MeanMassText = rec.Fields.MeanMass.empty() ? FormatGeneral(fields.MeanMass) : rec.Fields.MeanMass;
    r.PresetText = rec.Fields.Preset;
    r.LaunchedText = rec.Fields.Launched;

    r.DetectorAccepted = rec.DetectorAccepted;
    if (rec.DetectorAccepted) {
        r.DetectorPoints = m.Detector.Points = rec.DetectorPoints;
        // The window answers a refused detector with a message and loads on.
        r.DetectorAccept = AcceptDetector(m);
    } else {
        m.Detector.Accepted = false;   // the points stay as they were
    }
    ApplyDeviceValues(m, r.Fields, ins.Latches);

    for (int s = 1; s <= 2; ++s) {
        if (const auto &chart = rec.Spectra[size_t(s - 1)]) {
            r.RoiBoxes[size_t(s - 1)] = chart->Boxes;
            ins.Counts.ClearCounts(s);
            for (int c = 0; c <= LastChannel; ++c)
                if (chart->Counts[size_t(c)] != 0)
                    ins.Counts.SetCount(s, c, chart->Counts[size_t(c)]);
            ins.Roi[size_t(s - 1)] = chart->Roi;
        }
    }
    return r;
}

HeadlessLoad LoadLayoutHeadless(const ProfileFile &file, TInstrument &ins, const DeviceFields &fields,
                                std::array<RoiBoxTexts, 2> boxes)
{
    const LayoutRead read = ReadLayout(file);
    HeadlessLoad r = ApplyLayoutHeadless(read.Record, ins, fields, boxes);
    r.Loaded = read.Loaded;
    return r;
}

LayoutRecord HeadlessRecord(const TInstrument &ins, const DeviceFields &fields, const std::string &userId,
                            const std::array<RoiBoxTexts, 2> &boxes)
{
    LayoutRecord s;
    s.UserId = userId;
    s.UnknownMode = fields.UnknownMode;
    s.Fields = {FormatGeneral(fields.Induction), FormatGeneral(fields.Mass),    FormatGeneral(fields.MeanMass),
                FormatGeneral(fields.Blende1),   FormatGeneral(fields.Blende2), FormatGeneral(fields.Blende3),
                FormatGeneral(fields.Blende3Offset), std::to_string(ins.Run.PresetCount),
                std::to_string(ins.Model.LaunchCount)};
    s.DetectorAccepted = ins.Model.Detector.Accepted;
    s.DetectorPoints = ins.Model.Detector.Points;
    for (int n = 1; n <= 2; ++n)
        s.Spectra[size_t(n - 1)] = LayoutSpectrum{ins.Counts.Counts(n), boxes[size_t(n - 1)], ins.Roi[size_t(n - 1)]};
    return s;
}
