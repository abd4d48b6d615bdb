// Any bytes as a file whose spectrum sections are loaded into the two charts:
// the load either restores the section or names the text that stopped it, and
// never touches anything outside the 1001 channels.
#include "Main/core/LayoutFile.h"
#include "Main/core/ChartText.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ProfileFile file = ProfileFile::FromBytes(std::string_view(reinterpret_cast<const char *>(data), size));
    Spectra counts;
    std::array<RoiData, 2> roi{};
    int shown = 0, replaced = 0, restored = 0;
    LayoutTarget t;
    t.ShowRoiBoxes = [&](int s, const RoiBoxTexts &) { FUZZ_CHECK(s == 1 || s == 2); ++shown; };
    t.CountsReplaced = [&](int s) { FUZZ_CHECK(s == 1 || s == 2); ++replaced; };
    t.RoiRestored = [&](int s) { FUZZ_CHECK(s == 1 || s == 2); ++restored; };

    std::vector<std::string> sections = file.SectionNames();
    sections.insert(sections.begin(), {"Spectrum1", "Spectrum2"});
    for (const std::string &section : sections) {
        const Status loaded = LoadSpectrumSection(file, section, counts, roi, t);
        FUZZ_CHECK(loaded.Ok() || !loaded.Message().empty());
        FUZZ_CHECK(replaced <= shown && restored <= replaced);
    }
    for (int s : {1, 2})
        for (double c : counts.Counts(s))
            FUZZ_CHECK(std::isfinite(c));
    return 0;
}
