#include "Main/core/LayoutFile.h"

#include "Main/core/DeviceValues.h"
#include "Main/core/KeyNames.h"
#include "Main/core/NumberText.h"
#include "Main/core/ChartText.h"

#include <algorithm>
#include <cmath>

namespace {

const std::string User = "User";
const std::string Config = "Config";

// A key of the list without the trailing blank some names carry.
std::string KeyOf(int index)
{
    return std::string(TrimControl(KeyNames[index]));
}

} // namespace

bool WriteLayout(ProfileFile &file, const LayoutSnapshot &s)
{
    bool ok = file.WriteString(User, "Name", s.UserId);
    if (s.Note) {
        // A note line is stored whole, never split at ":" here.
        for (size_t i = 0; i < s.Note->size(); ++i)
            ok = ok && file.WriteString(Config, "REM" + std::to_string(i), (*s.Note)[i]);
    }
    ok = ok && file.WriteString(Config, "Type", KeyOf(s.UnknownMode ? Key::Ismeretlen : Key::Teszt));
    const std::pair<int, const std::string *> fields[] = {
        {Key::BTerero, &s.Fields.Induction}, {Key::Mm, &s.Fields.Mass},      {Key::Mkozep, &s.Fields.MeanMass},
        {Key::Blende1, &s.Fields.Blende1},   {Key::Blende2, &s.Fields.Blende2}, {Key::Blende3, &s.Fields.Blende3},
        {Key::Helyzet, &s.Fields.Offset},    {Key::Preset, &s.Fields.Preset}, {Key::Osszes, &s.Fields.Launched},
    };
    for (const auto &[key, text] : fields)
        ok = ok && file.WriteString(Config, KeyOf(key), *text);
    ok = ok && file.WriteString(Config, "Detector", KeyOf(s.DetectorAccepted ? Key::Active : Key::Inactive));
    if (s.DetectorAccepted) {
        for (int k = 0; k < 3; ++k) {
            ok = ok && file.WriteString(Config, KeyOf(Key::DetPoint1X + 2 * k), std::to_string(s.DetectorPoints[k].x));
            ok = ok && file.WriteString(Config, KeyOf(Key::DetPoint1Y + 2 * k), std::to_string(s.DetectorPoints[k].y));
        }
    }
    static const SpectrumCounts empty{};
    for (int panel = 1; panel <= 2; ++panel) {
        std::vector<std::string> lines;
        SpectrumToLines(panel, s.Counts ? s.Counts->Counts(panel) : empty, s.RoiBoxes[panel - 1], lines);
        ok = ok && WriteLinesToSection("Spectrum" + std::to_string(panel), lines, file);
    }
    return ok;
}

int ArrowPosition(double value, double scale, double min, double max)
{
    const double lo = std::round(min * scale), hi = std::round(max * scale);
    const double p = std::nearbyint(value * scale);
    return static_cast<int>(std::clamp(p, lo, hi));
}

Status LoadSpectrumSection(const ProfileFile &file, const std::string &section, Spectra &counts,
                           std::array<RoiData, 2> &roi, const LayoutTarget &target)
{
    const SpectrumSectionText text = ReadSpectrumSection(file, section);
    int n = 0;
    if (Status read = ReadSpectrumNumber(text, n); !read)
        return read;
    if (n != 1 && n != 2)
        return {};
    target.ShowRoiBoxes(n, text.roi);
    if (Status applied = ApplyChannels(text, n, counts); !applied)
        return applied;
    target.CountsReplaced(n);
    if (Status read = ReadRoiBoxes(text.roi, roi[n - 1]); !read)
        return read;
    target.RoiRestored(n);
    return {};
}

Status LoadLayout(const ProfileFile &file, Spectra &counts, std::array<RoiData, 2> &roi,
                  const LayoutTarget &target)
{
    auto read = [&](int key, const char *fallback) { return file.ReadString(Config, KeyOf(key), fallback); };
    auto readFloat = [&](int key, const char *fallback, double &out) -> Status {
        const std::string text = read(key, fallback);
        const auto v = ParseFloat(text);
        if (!v)
            return Status::Failure(NotANumberMessage(text));
        out = *v;
        return {};
    };

    target.SetUserId(file.ReadString(User, "Name", "None"));

    std::vector<std::string> note;
    for (const std::string &key : file.SectionKeys(Config))
        if (key.find("REM") != std::string::npos)
            note.push_back(file.ReadString(Config, key, ""));
    if (!note.empty())
        target.ShowNote(note);

    target.SetWarningLatches();
    target.SelectMode(file.ReadString(Config, "Type", KeyOf(Key::Teszt)) != KeyOf(Key::Teszt));

    double v = 0.0;
    if (Status read = readFloat(Key::BTerero, "0", v); !read)
        return read;
    target.SetInductionPosition(
        ArrowPosition(v, Limits::InductionScale, Limits::Induction.Min, Limits::Induction.Max));
    target.SetMassTexts(read(Key::Mm, "1"), read(Key::Mkozep, "1"));

    const int apertureKeys[4] = {Key::Blende1, Key::Blende2, Key::Blende3, Key::Helyzet};
    for (int which = 0; which < 4; ++which) {
        if (Status read = readFloat(apertureKeys[which], which == 3 ? "0.000" : "0.005", v); !read)
            return read;
        const ParamLimit limit = which == 3 ? Limits::Offset : Limits::Blende;
        target.SetAperturePosition(which, ArrowPosition(v, Limits::BlendeScale, limit.Min, limit.Max));
    }
    target.SetCountTexts(read(Key::Preset, "0"), read(Key::Osszes, "0"));

    const bool accepted = file.ReadString(Config, "Detector", KeyOf(Key::Inactive)) == KeyOf(Key::Active);
    std::array<TPixel, 3> points{};
    if (accepted) {
        for (int k = 0; k < 6; ++k) {
            const std::string text = read(Key::DetPoint1X + k, "0");
            const auto p = ParseInt(text);
            if (!p)
                return Status::Failure(NotANumberMessage(text));
            (k % 2 == 0 ? points[k / 2].x : points[k / 2].y) = *p;
        }
    }
    target.SetDetector(accepted, points);

    if (Status applied = target.ApplyParameters(); !applied)
        return applied;

    for (int panel = 1; panel <= 2; ++panel) {
        if (Status loaded = LoadSpectrumSection(file, "Spectrum" + std::to_string(panel), counts, roi, target);
            !loaded)
            return loaded;
        target.TickAuto(panel);
    }
    return {};
}
