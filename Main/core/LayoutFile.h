#pragma once
// The layout-and-measurement file: who made it, the note, the mode, the device
// page's fields, the detector and both spectra with their ROI results.
// Writing builds the whole file; loading walks the entries in a fixed order and
// hands each value to a target (the main window, or the headless tool), so
// both restore a file in exactly the same way. A value that cannot be
// converted stops the load at that entry; what was restored before stays.
#include "Data/Status.h"
#include "Data/Types.h"
#include "Main/core/ProfileFile.h"
#include "Main/core/Roi.h"
#include "Main/core/Spectra.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The texts of the device page's fields, as they stand.
struct LayoutFieldTexts {
    std::string Induction;   // "B_terero"
    std::string Mass;        // "Mm"
    std::string MeanMass;    // "Mközép"
    std::string Blende1, Blende2, Blende3, Offset;   // "Blende_1", "Blende_2", "Blende_3", "Helyzet"
    std::string Preset;      // "Preset"
    std::string Launched;    // "Összes"
};

struct LayoutSnapshot {
    std::string UserId;
    std::optional<std::vector<std::string>> Note;   // only when the note dialog ended with OK
    bool UnknownMode = false;
    LayoutFieldTexts Fields;
    bool DetectorAccepted = false;
    std::array<TPixel, 3> DetectorPoints{};
    const Spectra *Counts = nullptr;
    std::array<RoiBoxTexts, 2> RoiBoxes;
};

// False when an entry could not be written.
bool WriteLayout(ProfileFile &file, const LayoutSnapshot &state);

// The arrow positions of the device page: value x 100 for the induction and
// x 1000 for the apertures, rounded half to even and kept within the range.
int ArrowPosition(double value, double scale, double min, double max);

// What the load hands over, in this order. Every member does nothing until a
// target sets it, so a target sets only what it needs.
struct LayoutTarget {
    std::function<void(const std::string &userId)> SetUserId = [](const std::string &) {};
    // Only called when the file holds note lines ("REM" keys).
    std::function<void(const std::vector<std::string> &lines)> ShowNote = [](const std::vector<std::string> &) {};
    std::function<void()> SetWarningLatches = [] {};
    std::function<void(bool unknownMode)> SelectMode = [](bool) {};
    std::function<void(int position)> SetInductionPosition = [](int) {};   // 10 .. 200
    std::function<void(const std::string &mass, const std::string &meanMass)> SetMassTexts =
        [](const std::string &, const std::string &) {};
    // which: 0 "Blende_1", 1 "Blende_2", 2 "Blende_3" (5 .. 100), 3 "Helyzet" (-50 .. 50)
    std::function<void(int which, int position)> SetAperturePosition = [](int, int) {};
    std::function<void(const std::string &preset, const std::string &launched)> SetCountTexts =
        [](const std::string &, const std::string &) {};
    // Accepted: the three points follow and the detector is accepted again from them.
    std::function<void(bool accepted, const std::array<TPixel, 3> &points)> SetDetector =
        [](bool, const std::array<TPixel, 3> &) {};
    // Applies the parameters; fails with the conversion message when a field is no number.
    std::function<Status()> ApplyParameters = [] { return Status(); };
    // A spectrum section: the boxes get the file's ROI texts (before the counts).
    std::function<void(int spectrum, const RoiBoxTexts &boxes)> ShowRoiBoxes = [](int, const RoiBoxTexts &) {};
    // The counts of `spectrum` were replaced: the chart switches to the automatic maximum.
    std::function<void(int spectrum)> CountsReplaced = [](int) {};
    // RoiData of `spectrum` now holds the file's values: the ROI mark is placed again.
    std::function<void(int spectrum)> RoiRestored = [](int) {};
    // After each of the two sections: the "Auto" switch of that panel is ticked.
    std::function<void(int panel)> TickAuto = [](int) {};
};

// The message of a loaded value its field would refuse: the key, the text and
// the range the field accepts.
std::string OutOfRangeMessage(std::string_view key, std::string_view text, double min, double max);

// Restores a state from `file`; fails with the message of the value that
// stopped it: the conversion message of a text that is no number, or
// OutOfRangeMessage for the mass texts (the mass number only in the test mode)
// and detector points that lie outside what their fields accept (the points:
// inside the device picture).
Status LoadLayout(const ProfileFile &file, Spectra &counts, std::array<RoiData, 2> &roi,
                  const LayoutTarget &target);

// One spectrum section into the chart its "Spektrum" entry names (1 or 2); any
// other number leaves everything as it was.
Status LoadSpectrumSection(const ProfileFile &file, const std::string &section, Spectra &counts,
                           std::array<RoiData, 2> &roi, const LayoutTarget &target);
