#include "Main/core/Cp1250.h"

#include <algorithm>
#include <array>
#include <iconv.h>
#include <utility>

namespace {

// Decodes one UTF-8 sequence at s[i]. Returns the code point and its length,
// or length 0 for a malformed sequence (overlong, surrogate, cut short, too big).
std::pair<char32_t, size_t> DecodeUtf8(std::string_view s, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80)
        return {b0, 1};
    size_t len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0)
        len = 2, cp = b0 & 0x1F, min = 0x80;
    else if ((b0 & 0xF0) == 0xE0)
        len = 3, cp = b0 & 0x0F, min = 0x800;
    else if ((b0 & 0xF8) == 0xF0)
        len = 4, cp = b0 & 0x07, min = 0x10000;
    else
        return {0, 0};
    if (i + len > s.size())
        return {0, 0};
    for (size_t k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return {0, 0};
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return {0, 0};
    return {cp, len};
}

void AppendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The characters of the bytes 0x80 to 0xFF, asked of iconv once per byte.
struct CodeTable {
    std::array<char32_t, 128> upper{};                       // byte 0x80 + i -> character
    std::array<std::pair<char32_t, unsigned char>, 128> back{}; // sorted by character
};

// A byte iconv does not define (or all of them, should iconv lack the code page)
// stands for the control character of its own number, so it survives a round trip.
char32_t AskIconv(iconv_t cd, unsigned char b)
{
    char in[1] = {static_cast<char>(b)};
    char out[8];
    char *inp = in;
    char *outp = out;
    size_t inLeft = 1, outLeft = sizeof out;
    if (cd == reinterpret_cast<iconv_t>(-1))
        return b;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
        return b;
    const std::string_view utf8(out, static_cast<size_t>(outp - out));
    const auto [cp, len] = DecodeUtf8(utf8, 0);
    return (len == 0 || len != utf8.size()) ? b : cp;
}

CodeTable BuildTable()
{
    CodeTable t;
    iconv_t cd = iconv_open("UTF-8", "CP1250");
    for (int i = 0; i < 128; ++i) {
        const auto b = static_cast<unsigned char>(0x80 + i);
        t.upper[i] = AskIconv(cd, b);
        t.back[i] = {t.upper[i], b};
    }
    if (cd != reinterpret_cast<iconv_t>(-1))
        iconv_close(cd);
    std::sort(t.back.begin(), t.back.end());
    return t;
}

const CodeTable &Table()
{
    static const CodeTable table = BuildTable(); // built once, thread-safe
    return table;
}

} // namespace

std::string Cp1250ToUtf8(std::string_view bytes)
{
    const CodeTable &t = Table();
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else
            AppendUtf8(out, t.upper[b - 0x80]);
    }
    return out;
}

std::string Utf8ToCp1250(std::string_view utf8)
{
    const CodeTable &t = Table();
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const auto [cp, len] = DecodeUtf8(utf8, i);
        if (len == 0) {
            out += '?';
            ++i;
            continue;
        }
        i += len;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
            continue;
        }
        const auto it = std::lower_bound(t.back.begin(), t.back.end(),
                                         std::make_pair(cp, static_cast<unsigned char>(0)));
        out += (it != t.back.end() && it->first == cp) ? static_cast<char>(it->second) : '?';
    }
    return out;
}
