#pragma once
// Loading a saved layout file into a headless run, through the same loader the
// jury's "Betöltés" uses.
#include "Main/core/Instrument.h"
#include "Main/core/LayoutFile.h"

#include <optional>
#include <string>

struct SimLayoutResult {
    DeviceFields Fields;                     // the device page after the load
    std::array<RoiBoxTexts, 2> RoiBoxes;     // the ROI boxes as the load fills them
    std::string UserId;
    Status Loaded;                           // fails with the conversion message that stopped the load
};

// `fields` holds what the file does not carry (the source options).
SimLayoutResult LoadLayoutHeadless(const ProfileFile &file, TInstrument &ins, const DeviceFields &fields,
                                   std::array<RoiBoxTexts, 2> boxes);
