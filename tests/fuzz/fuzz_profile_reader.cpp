// Any bytes as a profile file: reading never fails, every listed key and section
// is found again, and writing back is stable (bytes read, written and read again
// give the same bytes as written the first time).
#include "Main/core/ProfileFile.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const ProfileFile file = ProfileFile::FromBytes(bytes);
    for (const std::string &section : file.SectionNames()) {
        for (const std::string &key : file.SectionKeys(section)) {
            FUZZ_CHECK(file.HasKey(section, key));
            (void)file.ReadString(section, key, "");
        }
    }
    (void)file.ReadString("Config", "Mközép", "1");
    (void)file.ReadString("Spectrum1", "Ch0", "0");

    const std::string once = file.ToBytes();
    const std::string twice = ProfileFile::FromBytes(once).ToBytes();
    FUZZ_CHECK(once == twice);
    return 0;
}
