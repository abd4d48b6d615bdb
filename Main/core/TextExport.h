#pragma once
// The text export of both spectra (menu "Mentés másként (mérési adatok
// szövegfájlba)"): the note lines and chart 1 into "Spectrum1", chart 2 into
// "Spectrum2". The window and the headless tool write it through here.
#include "Main/core/AtomicSave.h"   // a failed write is reported with UnableToWriteMessage
#include "Main/core/ProfileFile.h"
#include "Main/core/Roi.h"
#include "Main/core/Counts.h"

#include <array>
#include <string>
#include <vector>

// False when an entry could not be written (the caller reports the file).
bool WriteBothSpectra(ProfileFile &file, const std::vector<std::string> &noteLines, const Spectra &spectra,
                      const std::array<RoiBoxTexts, 2> &roiBoxes);
