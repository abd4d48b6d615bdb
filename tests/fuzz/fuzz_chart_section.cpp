// Any bytes as a file whose spectrum sections are read into a layout record:
// the read either gives the section's chart or names the text that stopped it,
// and never touches anything outside the 1001 channels.
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
    std::vector<std::string> sections = file.SectionNames();
    sections.insert(sections.begin(), {"Spectrum1", "Spectrum2"});
    for (const std::string &section : sections) {
        LayoutRecord record;
        int chart = -1;
        const Status loaded = ReadLayoutSpectrum(file, section, record, chart);
        FUZZ_CHECK(loaded.Ok() || !loaded.Message().empty());
        FUZZ_CHECK(chart >= 0 && chart <= 2);
        FUZZ_CHECK(loaded.Ok() || chart == 0);
        for (int s : {1, 2}) {
            FUZZ_CHECK(record.Spectra[size_t(s - 1)].has_value() == (chart == s));
            if (record.Spectra[size_t(s - 1)])
                for (double c : record.Spectra[size_t(s - 1)]->Counts)
                    FUZZ_CHECK(std::isfinite(c));
        }
    }
    return 0;
}
