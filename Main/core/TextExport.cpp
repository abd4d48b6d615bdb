#include "Main/core/TextExport.h"

#include "Main/core/ChartText.h"

bool WriteBothSpectra(ProfileFile &file, const std::vector<std::string> &noteLines, const Spectra &spectra,
                      const std::array<RoiBoxTexts, 2> &roiBoxes)
{
    std::vector<std::string> lines = noteLines;
    SpectrumToLines(1, spectra.Counts(1), roiBoxes[0], lines);
    if (!WriteLinesToSection("Spectrum1", lines, file))
        return false;
    lines.clear();
    SpectrumToLines(2, spectra.Counts(2), roiBoxes[1], lines);
    return WriteLinesToSection("Spectrum2", lines, file);
}
