#pragma once
// The layout-and-measurement file: who made it, the note, the mode, the device
// page's fields, the detector and both spectra with their ROI results.
// Writing takes one LayoutRecord; reading gives one back, and the window and
// the headless tools each apply it in one place, so both restore a file in
// exactly the same way.
//
// What was measured is never lost to a setting: a setting the instrument
// cannot take (a mass out of range, a text that is no number, a detector point
// off the picture) is named in the record's warnings and left out, and the
// load goes on to the spectra, their ROI and the note. Only a spectrum section
// that cannot be read stops the load there; what was read before stays.
#include "Data/Status.h"
#include "Data/Types.h"
#include "Main/core/ProfileFile.h"
#include "Main/core/Roi.h"
#include "Main/core/Counts.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The texts of the device page's fields, as they stand. In a record read from
// a file an empty setting text (induction to position) means: the file holds
// nothing the field can take, the field keeps what it shows. The two counts are
// taken as they stand in the file, an empty one included.
struct LayoutFieldTexts {
    std::string Induction;   // "B_terero"
    std::string Mass;        // "Mm"
    std::string MeanMass;    // "Mközép"
    std::string Blende1, Blende2, Blende3, Offset;   // "Blende_1", "Blende_2", "Blende_3", "Helyzet"
    std::string Preset;      // "Preset"
    std::string Launched;    // "Összes"
};

// One chart with its ROI boxes.
struct LayoutSpectrum {
    SpectrumCounts Counts{};
    RoiBoxTexts Boxes;   // as the boxes show them; read back, an empty text is "0"
    RoiData Roi;         // read back: the boxes as numbers
};

struct LayoutRecord {
    std::string UserId;
    std::optional<std::vector<std::string>> Note;   // saved: only when the note dialog ended with OK;
                                                    // read: only when the file holds note lines
    bool UnknownMode = false;
    LayoutFieldTexts Fields;
    bool DetectorAccepted = false;
    std::array<TPixel, 3> DetectorPoints{};
    // Charts 1 and 2. Saved: an absent chart is written empty. Read: only the
    // charts a spectrum section named; the others keep what they show.
    std::array<std::optional<LayoutSpectrum>, 2> Spectra;
    // Read: for "Spectrum1" and "Spectrum2", the chart each filled (1 or 2), 0
    // when it named none, -1 when the load stopped before it. The "Auto" switch
    // of a panel is ticked once its section has been read.
    std::array<int, 2> SectionCharts{-1, -1};
    // Read: one text per setting of the file the instrument did not take, naming
    // the key, the file's text and the range ("Mm: „1001” a megengedett
    // tartományon kívül esik (1 … 1000)."). The jury is shown them as one
    // message (LayoutWarningText); the report lists them on the file's row.
    std::vector<std::string> Warnings;
};

// Builds the file; fails naming the entry that could not be written (a text
// holding a line break). The caller reports the file ("Unable to write to ...").
Status WriteLayout(ProfileFile &file, const LayoutRecord &record);

// The arrow positions of the device page: value x 100 for the induction and
// x 1000 for the apertures, rounded half to even and kept within the range.
int ArrowPosition(double value, double scale, double min, double max);

// The message of a loaded value its field would refuse: the key, the text and
// the range the field accepts.
std::string OutOfRangeMessage(std::string_view key, std::string_view text, double min, double max);

// The one message the jury is shown for the warnings of a load; empty when there are none.
std::string LayoutWarningText(const std::vector<std::string> &warnings);

struct LayoutRead {
    LayoutRecord Record;
    Status Loaded;   // fails with the conversion message of a spectrum section that stopped the load
};

// Reads a whole file. Missing entries take their defaults (a missing file reads
// as an empty one: user "None", the test mode, the lowest induction, masses 1,
// apertures 0.005, no detector, no spectra).
LayoutRead ReadLayout(const ProfileFile &file);

// One spectrum section into the record's chart its "Spektrum" entry names (1 or
// 2; any other number changes nothing). Returns the chart filled (0: none).
Status ReadLayoutSpectrum(const ProfileFile &file, std::string_view section, LayoutRecord &record,
                          int &chart);

// The largest layout file the window and the tools load. A real one is a few
// kilobytes; loading takes about 50 times the file's size in memory.
inline constexpr long long LayoutFileLimit = 16LL * 1024 * 1024;

// The message for a file above LayoutFileLimit.
std::string TooLargeLayoutMessage(const std::string &path, long long size);

// Reads the file at `path` for a load: fails with "Unable to read <path>" when
// it cannot be read (or, unless `missingIsEmpty`, does not exist) and with
// TooLargeLayoutMessage above the limit. A missing file otherwise reads as empty.
Status ReadLayoutFile(const std::string &path, ProfileFile &file, bool missingIsEmpty);
