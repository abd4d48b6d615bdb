#pragma once
// Applying a layout record without the window (the simulator, the jury's
// report, the fuzz targets): the headless counterpart of the window's
// "Betöltés", fed by the same reader.
#include "Main/core/Instrument.h"
#include "Main/core/LayoutFile.h"

#include <array>
#include <string>
#include <vector>

struct HeadlessLoad {
    DeviceFields Fields;                     // the device page after the load
    std::array<RoiBoxTexts, 2> RoiBoxes;     // the ROI boxes as the load fills them
    std::string UserId;
    std::vector<std::string> Note;           // the note lines, when the file has any
    std::string MassText, MeanMassText;      // the two mass fields as loaded
    std::string PresetText, LaunchedText;    // the two count fields as loaded
    bool DetectorAccepted = false;           // the file names an accepted detector ...
    std::array<TPixel, 3> DetectorPoints{};  // ... through these points
    Status DetectorAccept;                   // fails when those points give no detector
    std::vector<std::string> Warnings;       // settings of the file the instrument did not take
    Status Loaded;                           // fails with the message that stopped the load
};

// Applies `record` to the instrument as the window applies it; `fields` and
// `boxes` hold what the device page and the ROI boxes show before (and what
// the record leaves as it is).
HeadlessLoad ApplyLayoutHeadless(const LayoutRecord &record, TInstrument &ins, const DeviceFields &fields,
                                 std::array<RoiBoxTexts, 2> boxes);

// ReadLayout followed by ApplyLayoutHeadless; stops where the read stopped.
HeadlessLoad LoadLayoutHeadless(const ProfileFile &file, TInstrument &ins, const DeviceFields &fields,
                                std::array<RoiBoxTexts, 2> boxes);

// The state of a headless instrument as the window's "Mentés másként" would
// save it: the fields shown as the device page shows them.
LayoutRecord HeadlessRecord(const TInstrument &ins, const DeviceFields &fields, const std::string &userId,
                            const std::array<RoiBoxTexts, 2> &boxes);
