#pragma once
// The vocabulary of the layout file: the 24 names it writes and reads the
// device page with. Entries 2, 3 and 10 carry a trailing blank, which the file
// drops when the name is used as a key.
#include <array>
#include <string_view>

inline constexpr std::array<std::string_view, 24> KeyNames = {
    "Teszt",       "Ismeretlen",  "B_terero ",   "Mm ",         "Mközép",      "Blende_1",
    "Blende_2",    "Blende_3",    "Helyzet",     "Preset",      "Összes ",     "Active",
    "Inactive",    "DetPoint1_X", "DetPoint1_Y", "DetPoint2_X", "DetPoint2_Y", "DetPoint3_X",
    "DetPoint3_Y", "Spektrum",    "ROI_Minimum", "ROI_Maximum", "ROI_Brutto",  "ROI_Közép",
};

namespace Key {
enum : int {
    Teszt = 0, Ismeretlen, BTerero, Mm, Mkozep, Blende1, Blende2, Blende3, Helyzet, Preset, Osszes,
    Active, Inactive, DetPoint1X, DetPoint1Y, DetPoint2X, DetPoint2Y, DetPoint3X, DetPoint3Y,
    Spektrum, RoiMinimum, RoiMaximum, RoiBrutto, RoiKozep
};
} // namespace Key
