#pragma once
// The jury's summary of every contestant's saved work: the layout files found in
// the contestant folders, each read with the layout loader into an instrument of
// its own (several at once), the ROI results checked against the saved counts,
// and the outputs ("osszesito.csv", "osszesito.xlsx", "osszesito.html"). The
// command-line program and the window's "Összesítő jelentés…" both run it; the
// spectrum pictures come from the chart code of the windows through a callback
// on the calling thread, so this part stays toolkit-free.
#include "Main/core/Counts.h"
#include "Main/core/LayoutFile.h"
#include "Main/core/Roi.h"

#include <array>
#include <filesystem>
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
    bool Evaluated = true;       // the file holds a result ("Bruttó:" or "Közép:" not empty)

    // A saved result that its counts do not give (or that cannot be computed).
    bool Disagrees() const { return Evaluated && !Agrees; }
};

struct ReportLayout {
    std::string Folder;          // the folder the file lies in, as found from the folder given
    std::string File;            // the file's name (read in the 8-bit code page when it is no UTF-8)
    std::string Path;            // folder and name
    bool Utf8Name = true;        // false: the name's bytes were no UTF-8
    std::string FileTime;        // last modification, "yyyy-MM-dd HH:mm:ss" local time
    std::string UserId;          // "User"/"Name"
    std::vector<std::string> Note;
    bool UnknownMode = false;
    // The device page's fields as the window shows them after the load.
    std::string Mass, MeanMass, Induction, Blende1, Blende2, Blende3, Offset;
    bool DetectorAccepted = false;
    bool DetectorUsable = false; // the three points gave a detector curve
    std::array<TPixel, 3> DetectorPoints{};
    // Settings of the file the instrument did not take (LayoutRecord::Warnings):
    // the file is a row all the same, its spectra, ROI and note restored.
    std::vector<std::string> LoadWarnings;
    std::array<ReportSpectrum, 2> Spectra;
    std::string ApparatusPng;    // the device picture with the accepted detector
    std::array<std::string, 2> SpectrumPng;   // the two charts with their ROI marks
    std::array<SpectrumCounts, 2> Counts{};   // kept for the charts' pictures
    // Everything the jury should look at in this row (see ReportWarnings).
    std::vector<std::string> Warnings;

    bool AllAgree() const { return !Spectra[0].Disagrees() && !Spectra[1].Disagrees(); }
};

// The warnings of one row, in the order shown: saved by another contestant than
// the folder's, a spectrum whose ROI was never evaluated, a ROI disagreement, a
// file name in the old code page. Every kind of warning is added here.
std::vector<std::string> ReportWarnings(const ReportLayout &l);

struct ReportSkipped {
    std::string Folder;
    std::string File;
    std::string Reason;          // the loader's message, or why the file is no layout
};

// The spectrum picture of chart `spectrum` (1 or 2) with these counts and the ROI
// boxes as a load leaves them, or a null picture when none can be made. Always
// called on the thread that builds the report; the picture is encoded elsewhere.
using SpectrumPainter = std::function<QImage(const SpectrumCounts &counts, int spectrum, const RoiBoxTexts &boxes)>;
// Called on the building thread as the work goes on: how many files are done,
// how many there are, the file last done. Returning false cancels the report.
using ReportProgress = std::function<bool(int done, int total, const std::string &path)>;

struct JuryReport {
    std::vector<ReportLayout> Layouts;   // folder order, then file-name order
    std::vector<ReportSkipped> Skipped;
    bool Cancelled = false;
};

// ---- finding the files ----

// A name as the jury reads it (UTF-8), and whether its bytes were UTF-8.
struct ShownName {
    std::string text;
    bool utf8 = true;
};
ShownName ShownPath(const std::filesystem::path &p);
std::filesystem::path PathFromUtf8(const std::string &utf8);

struct ReportFile {
    std::filesystem::path Path;
    std::string Folder, File;    // as shown
    bool Utf8Name = true;
};
struct ReportFileList {
    std::vector<ReportFile> Files;
    std::vector<ReportSkipped> Skipped;
};
// The "*.ini" files (any letter case) of each folder and its direct subfolders,
// each file once whatever path leads to it; links are followed, and whatever is
// no regular file (a device, a FIFO, a broken or looping link), is unreadable,
// or is no .ini file is listed with the reason. `exclude` are passed over silently.
ReportFileList FindReportFiles(const std::vector<std::string> &folders, const std::vector<std::string> &exclude = {});

// At most `cap` bytes of a regular file; fails when it holds more or cannot be read.
Status ReadCapped(const std::filesystem::path &path, std::string &bytes, size_t cap);

// A picture of the report as PNG bytes (empty when it cannot be encoded).
std::string ReportPng(const QImage &image);

// A file reads as a layout when it has "User"/"Name" or a "Config" section.
bool LooksLikeLayout(const ProfileFile &file);

// Reads one layout file without its spectrum pictures (any thread); the
// loader's message when the load stopped, or why the file was not taken.
Status ReadReportLayout(const ReportFile &file, ReportLayout &out, bool withPictures = true);
// The same with both spectrum pictures drawn by `painter`.
Status ReadReportLayout(const std::string &path, ReportLayout &out, const SpectrumPainter &painter,
                        bool withPictures = true);

// Every layout of FindReportFiles, read on several threads; the spectrum
// pictures are drawn on the calling thread.
JuryReport BuildJuryReport(const std::vector<std::string> &folders, const SpectrumPainter &painter,
                           const ReportProgress &progress = {}, const std::vector<std::string> &exclude = {});

// The table of the spreadsheets: one row per layout, then the files left out.
struct ReportTable {
    std::vector<std::string> Header;
    std::vector<bool> Numeric;   // per column: a number when the text reads as one
    std::vector<std::vector<std::string>> Rows;
    std::vector<std::vector<std::string>> Skipped;   // folder, file, reason
};
ReportTable JuryReportTable(const JuryReport &report);

// The outputs as bytes.
std::string JuryReportCsv(const JuryReport &report);
std::string JuryReportHtml(const JuryReport &report);
// The spreadsheet written to `path`; fails when this build has no spreadsheet library.
Status WriteJuryReportXlsx(const JuryReport &report, const std::string &path);
bool JuryReportHasXlsx();

// The names of the outputs inside the chosen folder.
inline constexpr const char *ReportCsvName = "osszesito.csv";
inline constexpr const char *ReportXlsxName = "osszesito.xlsx";
inline constexpr const char *ReportHtmlName = "osszesito.html";

struct ReportRunResult {
    bool Written = false;
    bool Cancelled = false;
    std::string Error;           // why the outputs could not be written
    std::string XlsxNote;        // why there is no spreadsheet, when there is none
    std::string HtmlPath;
    int Layouts = 0;
    int Skipped = 0;
    int Warnings = 0;            // rows with at least one warning
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
// Fails with the message on a bad option, a missing value or no folder.
Status ParseReportOptions(const std::vector<std::string> &args, ReportOptions &opt);
std::string ReportUsage();
