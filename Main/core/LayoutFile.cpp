#include "Main/core/LayoutFile.h"

#include "Data/Constants.h"
#include "Main/core/DeviceValues.h"
#include "Main/core/KeyNames.h"
#include "Main/core/NumberText.h"
#include "Main/core/ChartText.h"

#include <QFileInfo>

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

// A setting the instrument does not take: the key and the file's text.
std::string NotANumberWarning(int key, std::string_view text)
{
    return KeyOf(key) + ": " + NotANumberMessage(text);
}

// A typed field with limits: the file's text when the field would take it; a
// finite number beyond the limits as the nearest limit, with a warning; no
// number at all: empty (the field keeps its text), with a warning.
std::string LimitedText(int key, const std::string &text, ParamLimit limit, std::vector<std::string> &warnings)
{
    const std::optional<double> v = ParseFloat(text);
    if (v && WithinLimit(*v, limit))
        return text;
    if (v && std::isfinite(*v)) {
        warnings.push_back(OutOfRangeMessage(KeyOf(key), text, limit.Min, limit.Max));
        return FormatGeneral(std::clamp(*v, limit.Min, limit.Max));
    }
    warnings.push_back(NonFiniteNumber(text) ? OutOfRangeMessage(KeyOf(key), text, limit.Min, limit.Max)
                                             : NotANumberWarning(key, text));
    return {};
}

// A field with arrows: the arrow position the file's number gives, kept within
// the arrows' range, as the field then shows it; empty, with a warning, when
// the text is no number.
std::string ArrowText(int key, const std::string &text, ParamLimit limit, double scale,
                      std::vector<std::string> &warnings)
{
    const std::optional<double> v = ParseFloat(text);
    if (!v) {
        warnings.push_back(NotANumberWarning(key, text));
        return {};
    }
    return FormatGeneral(ArrowPosition(*v, scale, limit.Min, limit.Max) / scale);
}

} // namespace

std::string OutOfRangeMessage(std::string_view key, std::string_view text, double min, double max)
{
    std::string message(key);
    message.append(": „").append(text).append("” a megengedett tartományon kívül esik (");
    message.append(FormatGeneral(min)).append(" … ").append(FormatGeneral(max)).append(").");
    return message;
}

std::string LayoutWarningText(const std::vector<std::string> &warnings)
{
    if (warnings.empty())
        return {};
    std::string text = "A fájl néhány beállítását a készülék nem veheti át.\r"
                       "A spektrumok, a ROI és a megjegyzés betöltődtek; ezek a beállítások a megengedett "
                       "határok között maradtak:";
    for (const std::string &w : warnings)
        text.append("\r").append(w);
    return text;
}

Status WriteLayout(ProfileFile &file, const LayoutRecord &s)
{
    std::string failedAt;
    auto write = [&](const std::string &section, const std::string &key, const std::string &value) {
        if (failedAt.empty() && !file.WriteString(section, key, value))
            failedAt = section + "/" + key;
    };
    write(User, "Name", s.UserId);
    if (s.Note) {
        // A note line is stored whole, never split at ":" here.
        for (size_t i = 0; i < s.Note->size(); ++i)
            write(Config, "REM" + std::to_string(i), (*s.Note)[i]);
    }
    write(Config, "Type", KeyOf(s.UnknownMode ? Key::Ismeretlen : Key::Teszt));
    const std::pair<int, const std::string *> fields[] = {
        {Key::BTerero, &s.Fields.Induction}, {Key::Mm, &s.Fields.Mass},      {Key::Mkozep, &s.Fields.MeanMass},
        {Key::Blende1, &s.Fields.Blende1},   {Key::Blende2, &s.Fields.Blende2}, {Key::Blende3, &s.Fields.Blende3},
        {Key::Helyzet, &s.Fields.Offset},    {Key::Preset, &s.Fields.Preset}, {Key::Osszes, &s.Fields.Launched},
    };
    for (const auto &[key, text] : fields)
        write(Config, KeyOf(key), *text);
    write(Config, "Detector", KeyOf(s.DetectorAccepted ? Key::Active : Key::Inactive));
    if (s.DetectorAccepted) {
        for (int k = 0; k < 3; ++k) {
            write(Config, KeyOf(Key::DetPoint1X + 2 * k), std::to_string(s.DetectorPoints[k].x));
            write(Config, KeyOf(Key::DetPoint1Y + 2 * k), std::to_string(s.DetectorPoints[k].y));
        }
    }
    static const LayoutSpectrum empty{{}, RoiBoxTexts{"0", "0", "", ""}, {}};
    for (int panel = 1; panel <= 2; ++panel) {
        const LayoutSpectrum &chart = s.Spectra[panel - 1] ? *s.Spectra[panel - 1] : empty;
        std::vector<std::string> lines;
        SpectrumToLines(panel, chart.Counts, chart.Boxes, lines);
        const std::string section = "Spectrum" + std::to_string(panel);
        if (failedAt.empty() && !WriteLinesToSection(section, lines, file))
            failedAt = section;
    }
    if (!failedAt.empty())
        return Status::Failure("Unable to write " + failedAt);
    return {};
}

int ArrowPosition(double value, double scale, double min, double max)
{
    const double lo = std::round(min * scale), hi = std::round(max * scale);
    const double p = std::nearbyint(value * scale);
    return static_cast<int>(std::clamp(p, lo, hi));
}

Status ReadLayoutSpectrum(const ProfileFile &file, std::string_view section, LayoutRecord &record, int &chart)
{
    chart = 0;
    const SpectrumSectionText text = ReadSpectrumSection(file, section);
    int n = 0;
    if (Status read = ReadSpectrumNumber(text, n); !read)
        return read;
    if (n != 1 && n != 2)
        return {};
    LayoutSpectrum spectrum;
    spectrum.Boxes = text.Roi;
    Spectra counts;
    if (Status applied = ApplyChannels(text, n, counts); !applied)
        return applied;
    spectrum.Counts = counts.Counts(n);
    if (Status read = ReadRoiBoxes(text.Roi, spectrum.Roi); !read)
        return read;
    record.Spectra[n - 1] = std::move(spectrum);
    chart = n;
    return {};
}

LayoutRead ReadLayout(const ProfileFile &file)
{
    LayoutRead out;
    LayoutRecord &r = out.Record;
    auto read = [&](int key, const char *fallback) { return file.ReadString(Config, KeyOf(key), fallback); };

    r.UserId = file.ReadString(User, "Name", "None");
    std::vector<std::string> note;
    for (auto &[key, value] : file.SectionEntries(Config))
        if (key.find("REM") != std::string::npos)
            note.push_back(std::move(value));
    if (!note.empty())
        r.Note = std::move(note);
    r.UnknownMode = file.ReadString(Config, "Type", KeyOf(Key::Teszt)) != KeyOf(Key::Teszt);

    LayoutFieldTexts &f = r.Fields;
    std::vector<std::string> &w = r.Warnings;
    f.Induction = ArrowText(Key::BTerero, read(Key::BTerero, "0"), Limits::Induction, Limits::InductionScale, w);
    // The unknown-mass mode does not use the mass number: its text is kept as it stands.
    f.Mass = r.UnknownMode ? read(Key::Mm, "1") : LimitedText(Key::Mm, read(Key::Mm, "1"), Limits::Mass, w);
    f.MeanMass = LimitedText(Key::Mkozep, read(Key::Mkozep, "1"), Limits::Mass, w);
    f.Blende1 = ArrowText(Key::Blende1, read(Key::Blende1, "0.005"), Limits::Blende, Limits::BlendeScale, w);
    f.Blende2 = ArrowText(Key::Blende2, read(Key::Blende2, "0.005"), Limits::Blende, Limits::BlendeScale, w);
    f.Blende3 = ArrowText(Key::Blende3, read(Key::Blende3, "0.005"), Limits::Blende, Limits::BlendeScale, w);
    f.Offset = ArrowText(Key::Helyzet, read(Key::Helyzet, "0.000"), Limits::Offset, Limits::BlendeScale, w);
    f.Preset = read(Key::Preset, "0");
    f.Launched = read(Key::Osszes, "0");

    // A point can only have been placed on the device picture: a file naming
    // another leaves the detector as it was.
    r.DetectorAccepted = file.ReadString(Config, "Detector", KeyOf(Key::Inactive)) == KeyOf(Key::Active);
    for (int k = 0; k < 6 && r.DetectorAccepted; ++k) {
        const std::string text = read(Key::DetPoint1X + k, "0");
        const auto p = ParseInt(text);
        const int size = k % 2 == 0 ? PictureSize::Width : PictureSize::Height;
        if (!p || *p < 0 || *p >= size) {
            w.push_back(p ? OutOfRangeMessage(KeyOf(Key::DetPoint1X + k), text, 0, size - 1)
                          : NotANumberWarning(Key::DetPoint1X + k, text));
            r.DetectorAccepted = false;
            r.DetectorPoints = {};
            break;
        }
        (k % 2 == 0 ? r.DetectorPoints[k / 2].x : r.DetectorPoints[k / 2].y) = *p;
    }

    for (int k = 0; k < 2; ++k) {
        int chart = 0;
        out.Loaded = ReadLayoutSpectrum(file, "Spectrum" + std::to_string(k + 1), r, chart);
        if (!out.Loaded)
            break;
        r.SectionCharts[k] = chart;
    }
    return out;
}

std::string TooLargeLayoutMessage(const std::string &path, long long size)
{
    return "A fájl túl nagy egy elrendezéshez (" + std::to_string(size) + " bájt, legfeljebb "
           + std::to_string(LayoutFileLimit / (1024 * 1024)) + " MB): " + path;
}

Status ReadLayoutFile(const std::string &path, ProfileFile &file, bool missingIsEmpty)
{
    file.Clear();
    const QFileInfo info(QString::fromStdString(path));
    if (!info.exists() && !missingIsEmpty)
        return Status::Failure("Unable to read " + path);
    if (info.isFile() && info.size() > LayoutFileLimit)
        return Status::Failure(TooLargeLayoutMessage(path, info.size()));
    return file.Load(path);
}
