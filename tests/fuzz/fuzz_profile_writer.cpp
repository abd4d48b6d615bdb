// Writes driven by the input: it is cut at NUL bytes into (section, key, value)
// triples, written one by one onto a file that starts as the first piece. A
// write that is accepted must read back as written, also after the file went
// through its bytes; a refused write changes nothing.
#include "Main/core/Cp1250.h"
#include "Main/core/NumberText.h"
#include "Main/core/ProfileFile.h"
#include "tests/fuzz/FuzzCheck.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool ReadsAsUtf8(const std::string &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (decoder.hasError())
        return false;
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

std::string Through(std::string_view utf8)
{
    return Cp1250ToUtf8(Utf8ToCp1250(utf8));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            pieces.emplace_back();
        else
            pieces.back() += static_cast<char>(data[i]);
    }
    ProfileFile file = ProfileFile::FromBytes(pieces[0]);
    // A few dozen writes are plenty; more would only slow each run down.
    for (size_t i = 1; i + 2 < pieces.size() && i < 3 * 64; i += 3) {
        // The interface hands UTF-8 to the writer: take the piece as the file would read it.
        const std::string section = Cp1250ToUtf8(pieces[i]);
        const std::string key = Cp1250ToUtf8(pieces[i + 1]);
        const std::string value = Cp1250ToUtf8(pieces[i + 2]);
        const std::string before = file.ToBytes();
        if (!file.WriteString(section, key, value)) {
            FUZZ_CHECK(file.ToBytes() == before);
            continue;
        }
        const std::string expected(TrimControl(Through(value)));
        FUZZ_CHECK(file.ReadString(section, key, "\x01") == expected);
        // Code-page bytes that happen to be well-formed UTF-8 beyond ASCII are
        // read as an editor's UTF-8 file: the one case where the bytes do not read
        // back as written. The program's own texts never fall that way.
        const std::string bytes = file.ToBytes();
        if (ReadsAsUtf8(bytes))
            continue;
        const ProfileFile again = ProfileFile::FromBytes(bytes);
        FUZZ_CHECK(again.ReadString(section, key, "\x01") == expected);
        FUZZ_CHECK(again.ToBytes() == bytes);
    }
    return 0;
}
