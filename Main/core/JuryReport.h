#pragma once
// The jury's summary of every contestant's saved work: the layout files found in
// the contestant folders, each read with the layout loader into an instrument of
// its own, the ROI results checked against the saved counts, and the two outputs
// ("osszesito.csv" and "osszesito.html"). The command-line program and the
// window's "Összesítő jelentés…" both run it; the spectrum pictures come from the
// chart code of the windows through a callback, so this part stays toolkit-free.
#include "Main/core/Counts.h"
#include "Main/core/LayoutFile.h"
#include "Main/core/Roi.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QImage;
struct TInstrument;

// One chart as the window shows it after the load.
struct ReportSpectrum {
    double Total = 0.0;          // sum of the counts
    RoiBoxTexts Saved;           // the four ROI boxes as the file fills them
    RoiData SavedRoi;            // the same, read as numbers
    // "Számíts!" again over the saved bounds and counts; empty when a bound lies
    // outside the channels (nothing can be computed there).
    std::optional<RoiData> Recomputed;
    bool Agrees = false;         // gross count and centroid (to 4 decimals) both match
};

struct ReportLayout {
    std::string Folder;          // the folder the file was found in, as given
    std::string File;            // the file's name
    std::string Path;            // folder and name
    std::string FileTime;        // last modification, "yyyy-MM-dd HH:mm:ss" local time
    std::string UserId;          // "User"/"Name"
    std::vector<std::string> Note;
    bool UnknownMode = false;
    // The device page's fields as the window shows them after the load.
    std::string Mass, MeanMass, Induction, Blende1, Blende2, Blende3, Offset;
    bool DetectorAccepted = false;
    bool DetectorUsable = false; // the three points gave a detector curve
    std::array<TPixel, 3> DetectorPoints{};
    std::array<ReportSpectrum, 2> Spectra;
    std::string ApparatusPng;    // the device picture with the accepted detector
    std::array<std::string, 2> SpectrumPng;   // the two charts with their ROI marks

    bool AllAgree() const { return Spectra[0].Agrees && Spectra[1].Agrees; }
};

struct ReportSkipped {
    std::string Folder;
    std::string File;
    std::string Reason;          // the loader's message, or why the file is no layout
};

// The spectrum picture of chart `spectrum` (1 or 2) of an instrument after a load,
// with the ROI boxes as given: PNG bytes, or empty when no picture can be made.
using SpectrumPainter = std::function<std::string(const TInstrument &ins, int spectrum, const RoiBoxTexts &boxes)>;
// Called before each file is read: how many are done, how many there are, the file.
using ReportProgress = std::function<void(int done, int total, const std::string &path)>;

struct JuryReport {
    std::vector<ReportLayout> Layouts;   // folder order, then file-name order
    std::vector<ReportSkipped> Skipped;
};

// A picture of the report as PNG bytes (empty when it cannot be encoded).
std::string ReportPng(const QImage &image);

// A file reads as a layout when it has "User"/"Name" or a "Config" section.
bool LooksLikeLayout(const ProfileFile &file);

// Reads one layout file; the loader's message when the load stopped, or why the
// file was not taken. Pictures are drawn only when `withPictures`.
Status ReadReportLayout(const std::string &path, ReportLayout &out, const SpectrumPainter &painter,
                        bool withPictures = true);

// Every file in each folder and in its direct subfolders; `exclude` (the report's
// own outputs) are passed over.
JuryReport BuildJuryReport(const std::vector<std::string> &folders, const SpectrumPainter &painter,
                           const ReportProgress &progress = {}, const std::vector<std::string> &exclude = {});

// The two outputs as bytes.
std::string JuryReportCsv(const JuryReport &report);
std::string JuryReportHtml(const JuryReport &report);

// The names of the outputs inside the chosen folder.
inline constexpr const char *ReportCsvName = "osszesito.csv";
inline constexpr const char *ReportHtmlName = "osszesito.html";

struct ReportRunResult {
    bool Written = false;
    std::string Error;           // why the outputs could not be written
    std::string HtmlPath;
    int Layouts = 0;
    int Skipped = 0;
};

// Builds the report of `folders` and writes both outputs into `outDir` (created
// when missing). Each output replaces an earlier one only once it is complete.
ReportRunResult WriteJuryReport(const std::vector<std::string> &folders, const std::string &outDir,
                                const SpectrumPainter &painter, const ReportProgress &progress = {});

// The command line "ionveto-report [--out DIR] FOLDER...".
struct ReportOptions {
    std::string OutDir = ".";
    std::vector<std::string> Folders;
    bool Help = false;
    bool Version = false;
};
// False with `error` set on a bad option, a missing value or no folder.
bool ParseReportOptions(const std::vector<std::string> &args, ReportOptions &opt, std::string &error);
std::string ReportUsage();
