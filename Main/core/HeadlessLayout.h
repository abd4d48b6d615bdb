#pragma once
// Loading a saved layout file without the window (the simulator, the jury's
// report, the fuzz targets), through the same loader the jury's "Betöltés" uses.
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
    bool DetectorAccepted = false;           // the file names an accepted detector ...
    std::array<TPixel, 3> DetectorPoints{};  // ... through these points
    Status DetectorAccept;                   // fails when those points give no detector
    Status Loaded;                           // fails with the message that stopped the load
};

// `fields` holds what the file does not carry (the source options).
HeadlessLoad LoadLayoutHeadless(const ProfileFile &file, TInstrument &ins, const DeviceFields &fields,
                                std::array<RoiBoxTexts, 2> boxes);
