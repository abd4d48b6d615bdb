#include "Main/core/LayoutFile.h"

#include "Data/Constants.h"
#include "Main/core/DeviceValues.h"
#include "Main/core/KeyNames.h"
#include "Main/core/NumberText.h"
#include "Main/core/ChartText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

const std::string User = "User";
const std::string Config = "Config";

// A key of the list without the trailing blank some names carry.
std::string KeyOf(int index)
{
    return std::string(TrimControl(KeyNames[index]));
}

// A text that names a number the program cannot hold: "inf", "nan", "1e999".
bool NonFiniteNumber(std::string_view text)
{
    std::string_view t = TrimControl(text);
    if (!t.empty() && (t.front() == '+' || t.front() == '-'))
        t.remove_prefix(1);
    double v = 0.0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || r.ptr != t.data() + t.size())
        return false;
    return r.ec == std::errc::result_out_of_range || !std::isfinite(v);
}

// A loaded text for a field with limits: fine when the field would take it.
Status CheckLimited(int key, const std::string &text, ParamLimit limit)
{
    const std::optional<double> v = ParseFloat(text);
    if (v && WithinLimit(*v, limit))
        return {};
    if (!v && !NonFiniteNumber(text))
        return Status::Failure(NotANumberMessage(text));   // no number at all: the conversion message
    return Status::Failure(OutOfRangeMessage(KeyOf(key), text, limit.Min, limit.Max));
}

} // namespace

std::string OutOfRangeMessage(std::string_view key, std::string_view text, double min, double max)
{
    std::string message(key);
    message.append(": „").append(text).append("” a megengedett tartományon kívül esik (");
    message.append(FormatGeneral(min)).append(" … ").append(FormatGeneral(max)).append(").");
    return message;
}

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
    target.ShowRoiBoxes(n, text.Roi);
    if (Status applied = ApplyChannels(text, n, counts); !applied)
        return applied;
    target.CountsReplaced(n);
    if (Status read = ReadRoiBoxes(text.Roi, roi[n - 1]); !read)
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
    for (auto &[key, value] : file.SectionEntries(Config))
        if (key.find("REM") != std::string::npos)
            note.push_back(std::move(value));
    if (!note.empty())
        target.ShowNote(note);

    target.SetWarningLatches();
    const bool unknownMode = file.ReadString(Config, "Type", KeyOf(Key::Teszt)) != KeyOf(Key::Teszt);
    target.SelectMode(unknownMode);

    double v = 0.0;
    if (Status read = readFloat(Key::BTerero, "0", v); !read)
        return read;
    target.SetInductionPosition(
        ArrowPosition(v, Limits::InductionScale, Limits::Induction.Min, Limits::Induction.Max));
    // The mass texts go into typed fields: a text such a field would refuse stops the
    // load here, before anything (the detector's accept action included) applies it.
    const std::string mass = read(Key::Mm, "1"), meanMass = read(Key::Mkozep, "1");
    if (Status checked = unknownMode ? Status() : CheckLimited(Key::Mm, mass, Limits::Mass); !checked)
        return checked;
    if (Status checked = CheckLimited(Key::Mkozep, meanMass, Limits::Mass); !checked)
        return checked;
    target.SetMassTexts(mass, meanMass);

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
            // A point can only have been placed on the device picture.
            const int size = k % 2 == 0 ? PictureSize::Width : PictureSize::Height;
            if (*p < 0 || *p >= size)
                return Status::Failure(OutOfRangeMessage(KeyOf(Key::DetPoint1X + k), text, 0, size - 1));
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
