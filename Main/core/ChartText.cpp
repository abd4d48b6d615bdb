#include "Main/core/ChartText.h"

#include "Main/core/NumberText.h"

namespace {

std::string KeyLine(std::string_view key, std::string_view text)
{
    std::string line(key);
    line += ":\t";
    line += text;
    return line;
}

// The separator of a line: the first ":", else the first "=".
size_t SeparatorOf(const std::string &line)
{
    const size_t colon = line.find(':');
    return colon != std::string::npos ? colon : line.find('=');
}

std::string BoxText(const ProfileFile &file, std::string_view section, std::string_view key)
{
    std::string text = file.ReadString(section, key, "0");
    return text.empty() ? "0" : text;
}

bool IsChannelKey(const std::string &key)
{
    return key.size() >= 2 && key[0] == 'C' && key[1] == 'h';
}

} // namespace

void SpectrumToLines(int panel, const SpectrumCounts &counts, const RoiBoxTexts &roi,
                     std::vector<std::string> &lines)
{
    if (panel != 1 && panel != 2)
        return;
    lines.push_back(KeyLine(SpectrumKey, std::to_string(panel)));
    lines.push_back(KeyLine(RoiMinimumKey, roi.X1));
    lines.push_back(KeyLine(RoiMaximumKey, roi.X2));
    lines.push_back(KeyLine(RoiBruttoKey, roi.Brutto));
    lines.push_back(KeyLine(RoiKozepKey, roi.Kozep));
    for (size_t i = 0; i < counts.size(); ++i)
        if (counts[i] > 0)
            lines.push_back("Ch" + std::to_string(i) + ": " + FormatFixed(counts[i], 8, 0));
}

bool WriteLinesToSection(const std::string &section, const std::vector<std::string> &lines,
                         ProfileFile &file)
{
    int remCounter = 0;
    for (const std::string &line : lines) {
        const size_t sep = SeparatorOf(line);
        bool ok;
        if (sep != std::string::npos && ProfileFile::IsStorableKey(line.substr(0, sep))) {
            const std::string_view view(line);
            ok = file.WriteString(section, TrimControl(view.substr(0, sep)),
                                  TrimControl(view.substr(sep + 1)));
        } else {
            ok = file.WriteString(section, "REM" + std::to_string(remCounter++), line);
        }
        if (!ok)
            return false;
    }
    return true;
}

SpectrumSectionText ReadSpectrumSection(const ProfileFile &file, std::string_view section)
{
    SpectrumSectionText text;
    text.Spectrum = file.ReadString(section, SpectrumKey, "0");
    text.Roi.X1 = BoxText(file, section, RoiMinimumKey);
    text.Roi.X2 = BoxText(file, section, RoiMaximumKey);
    text.Roi.Brutto = BoxText(file, section, RoiBruttoKey);
    text.Roi.Kozep = BoxText(file, section, RoiKozepKey);
    for (auto &entry : file.SectionEntries(section))
        if (IsChannelKey(entry.first))
            text.Channels.push_back(std::move(entry));
    return text;
}

Status ReadSpectrumNumber(const SpectrumSectionText &text, int &number)
{
    const std::optional<int32_t> n = ParseInt(text.Spectrum);
    if (!n)
        return Status::Failure(NotANumberMessage(text.Spectrum));
    number = (*n == 1 || *n == 2) ? *n : 0;
    return {};
}

Status ApplyChannels(const SpectrumSectionText &text, int s, Spectra &spectra)
{
    spectra.ClearCounts(s);
    for (const auto &[key, value] : text.Channels) {
        const std::string number = key.substr(2);
        const std::optional<int32_t> channel = ParseInt(number);
        if (!channel)
            return Status::Failure(NotANumberMessage(number));
        if (*channel < 0 || *channel > LastChannel)
            continue;
        const std::optional<double> count = ParseFloat(value);
        if (!count)
            return Status::Failure(NotANumberMessage(value));
        spectra.SetCount(s, *channel, *count);
    }
    return {};
}

Status ReadRoiBoxes(const RoiBoxTexts &boxes, RoiData &roi)
{
    for (auto [text, field] : {std::pair{&boxes.X1, &roi.X1}, std::pair{&boxes.X2, &roi.X2},
                               std::pair{&boxes.Brutto, &roi.Brutto}}) {
        const std::optional<int32_t> v = ParseInt(*text);
        if (!v)
            return Status::Failure(NotANumberMessage(*text));
        *field = *v;
    }
    const std::optional<double> kozep = ParseFloat(boxes.Kozep);
    if (!kozep)
        return Status::Failure(NotANumberMessage(boxes.Kozep));
    roi.Kozep = *kozep;
    return {};
}
