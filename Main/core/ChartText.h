#pragma once
// A spectrum as text: the lines of a chart panel ("Spektrum:", the ROI boxes,
// one "Ch" line per channel with counts), the writing of such lines as the
// entries of a file section, and the reading of a spectrum section back.
#include "Data/Status.h"
#include "Main/core/ProfileFile.h"
#include "Main/core/Roi.h"
#include "Main/core/Counts.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Key names of a spectrum section.
inline constexpr std::string_view SpectrumKey = "Spektrum";
inline constexpr std::string_view RoiMinimumKey = "ROI_Minimum";
inline constexpr std::string_view RoiMaximumKey = "ROI_Maximum";
inline constexpr std::string_view RoiBruttoKey = "ROI_Brutto";
inline constexpr std::string_view RoiKozepKey = "ROI_Közép";

// Appends the lines of chart panel `panel` (1 or 2; any other number appends
// nothing): "Spektrum:" TAB n, the four ROI lines "<key>:" TAB box text, then
// "Ch<i>: " and the count as "%8.0f" for every channel whose count is above 0.
void SpectrumToLines(int panel, const SpectrumCounts &counts, const RoiBoxTexts &roi,
                     std::vector<std::string> &lines);

// Writes each line as one entry of `section`: split at the first ":" (or, with
// no ":", at the first "="), key and value trimmed of characters of code 32 or
// lower. A line with neither becomes "REM<n>" = the whole line, n counting such
// lines from 0. A line whose key part could not be read back as that key
// (":abc", "=x", "[a]: b", "a=b: c") is kept the same way, whole, as a REM entry,
// so it can neither vanish nor open a section. False when an entry could not be
// written (a line holding a line break); the entries before it stay written.
bool WriteLinesToSection(const std::string &section, const std::vector<std::string> &lines,
                         ProfileFile &file);

// One spectrum section as it stands in the file, not yet converted.
struct SpectrumSectionText {
    std::string Spectrum = "0"; // the "Spektrum" value
    RoiBoxTexts Roi;            // trimmed, an empty text as "0"
    // Entries whose stored key begins with "Ch" (capital C, small h), in file
    // order: the key and its value.
    std::vector<std::pair<std::string, std::string>> Channels;
};

SpectrumSectionText ReadSpectrumSection(const ProfileFile &file, std::string_view section);

// The functions below fail with the conversion message of the first text that
// is no number. What was set before the failure stays set.

// The chart the section fills: 1 or 2, or 0 when the section is to be ignored.
Status ReadSpectrumNumber(const SpectrumSectionText &text, int &number);

// Replaces spectrum `s` of `spectra`: all channels to 0, then each channel entry
// in file order. A channel number outside 0 .. 1000 finds no channel and its
// entry is skipped.
Status ApplyChannels(const SpectrumSectionText &text, int s, Spectra &spectra);

// X1, X2 and Brutto as whole numbers, Kozep as a decimal number, in this order.
Status ReadRoiBoxes(const RoiBoxTexts &boxes, RoiData &roi);
