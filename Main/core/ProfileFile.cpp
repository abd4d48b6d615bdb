#include "Main/core/ProfileFile.h"

#include "Main/core/AtomicSave.h"
#include "Main/core/Cp1250.h"
#include "Main/core/NumberText.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

namespace {

// Lower-case partner of an accented Latin letter (U+00C0 .. U+017F), the range
// that holds every letter of the Central European code page.
char32_t FoldLatin(char32_t cp)
{
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)
        return cp + 0x20;
    const bool evenUpper = (cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177);
    const bool oddUpper = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
    if ((evenUpper && cp % 2 == 0) || (oddUpper && cp % 2 == 1))
        return cp + 1;
    return cp;
}

// The form in which names are compared.
std::string FoldCase(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b >= 'A' && b <= 'Z') {
            out += static_cast<char>(b + ('a' - 'A'));
        } else if (b >= 0xC3 && b <= 0xC5 && i + 1 < s.size()
                   && (static_cast<unsigned char>(s[i + 1]) & 0xC0) == 0x80) {
            const char32_t cp = FoldLatin(((b & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu));
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
            ++i;
        } else {
            out += static_cast<char>(b);
        }
    }
    return out;
}

// What a text becomes once it has been through the file: the characters the
// code page lacks turn into "?".
std::string ThroughCodePage(std::string_view utf8)
{
    return Cp1250ToUtf8(Utf8ToCp1250(utf8));
}

bool HasLineBreak(std::string_view s)
{
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// Splits at CR LF, LF or a lone CR. A text that ends with a line end has no
// empty line after it.
std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.emplace_back(text.substr(start, i - start));
        i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

// Whether `bytes` is well-formed UTF-8 holding at least one character beyond
// ASCII: what an editor writes. A file of the code page with accented letters
// is practically never that.
bool IsUtf8Text(std::string_view bytes)
{
    bool beyondAscii = false;
    for (size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        const size_t len = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
        if (len == 0 || i + len > bytes.size())
            return false;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        if ((b == 0xE0 && b1 < 0xA0) || (b == 0xED && b1 > 0x9F) || (b == 0xF0 && b1 < 0x90) || (b == 0xF4 && b1 > 0x8F))
            return false;   // overlong forms, surrogates, beyond U+10FFFF
        beyondAscii = true;
        i += len;
    }
    return beyondAscii;
}

// The text of a file: UTF-8 after a byte-order mark or when the bytes are
// UTF-8 (as an editor saves them), the code page otherwise.
std::string FileText(std::string_view bytes)
{
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (bytes.substr(0, bom.size()) == bom)
        bytes.remove_prefix(bom.size());
    else if (!IsUtf8Text(bytes))
        return Cp1250ToUtf8(bytes);
    return std::string(bytes);   // characters the code page lacks become "?" only when written
}

} // namespace

ProfileFile::Line ProfileFile::ParseLine(std::string text)
{
    Line line;
    const std::string_view t = TrimControl(text);
    const size_t eq = text.find('=');
    if (!t.empty() && t.front() != '[' && t.front() != ';' && eq != std::string::npos) {
        const std::string_view key = TrimControl(std::string_view(text).substr(0, eq));
        if (!key.empty()) {
            line.entry = true;
            line.key = std::string(key);
            line.fold = FoldCase(key);
            line.value = text.substr(eq + 1);
        }
    }
    line.text = std::move(text);
    return line;
}

ProfileFile ProfileFile::FromBytes(std::string_view bytes)
{
    std::vector<std::string> texts = SplitLines(FileText(bytes));
    auto isHeader = [](std::string_view t) {
        t = TrimControl(t);
        return !t.empty() && t.front() == '[' && t.find(']') != std::string_view::npos;
    };
    // Each section's lines are counted first: a large file is then built without
    // growing (and copying) its line lists again and again.
    std::vector<size_t> counts(1, 0);
    for (const std::string &text : texts) {
        if (isHeader(text))
            counts.push_back(0);
        else
            ++counts.back();
    }

    ProfileFile file;
    file.m_sections.reserve(counts.size());
    file.m_sections.emplace_back(); // the lines before the first section
    file.m_sections.back().lines.reserve(counts[0]);
    for (std::string &text : texts) {
        if (isHeader(text)) {
            const std::string_view t = TrimControl(text);
            Section s;
            s.hasHeader = true;
            s.name = std::string(TrimControl(t.substr(1, t.find(']') - 1)));
            s.fold = FoldCase(s.name);
            s.header = std::move(text);
            s.lines.reserve(counts[file.m_sections.size()]);
            file.m_sectionIndex.emplace(s.fold, file.m_sections.size());
            file.m_sections.push_back(std::move(s));
        } else {
            file.m_sections.back().lines.push_back(ParseLine(std::move(text)));
        }
    }
    for (Section &s : file.m_sections)
        s.Reindex();
    return file;
}

Status ProfileFile::Load(const std::string &path)
{
    Clear();
    const Status unreadable = Status::Failure("Unable to read " + path);
    // Qt's file layer takes UTF-8 names on every platform.
    const QString name = QString::fromStdString(path);
    if (!QFileInfo(name).exists() && !QFileInfo(name).isSymLink())
        return {};
    QFile f(name);
    if (QFileInfo(name).isDir() || !f.open(QIODevice::ReadOnly))
        return unreadable;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return unreadable;
    *this = FromBytes(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    return {};
}

std::string ProfileFile::ToBytes() const
{
    std::string text;
    for (const Section &s : m_sections) {
        if (s.hasHeader)
            text += s.header + "\r\n";
        for (const Line &line : s.lines)
            text += line.text + "\r\n";
    }
    return Utf8ToCp1250(text);
}

Status ProfileFile::Save(const std::string &path) const
{
    return SaveFileAtomically(path, ToBytes());
}

const ProfileFile::Section *ProfileFile::FindSection(std::string_view section) const
{
    const auto it = m_sectionIndex.find(FoldCase(TrimControl(section)));
    return it == m_sectionIndex.end() ? nullptr : &m_sections[it->second];
}

ProfileFile::Section *ProfileFile::FindSection(std::string_view section)
{
    return const_cast<Section *>(std::as_const(*this).FindSection(section));
}

const ProfileFile::Line *ProfileFile::FindEntry(const Section &s, const std::string &fold)
{
    const auto it = s.index.find(fold);
    return it == s.index.end() ? nullptr : &s.lines[it->second];
}

void ProfileFile::Section::Reindex()
{
    index.clear();
    index.reserve(lines.size());
    repeats = false;
    lastEntry.reset();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].entry)
            continue;
        lines[i].repeat = !index.emplace(lines[i].fold, i).second;
        repeats = repeats || lines[i].repeat;
        lastEntry = i;
    }
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view fallback) const
{
    const Section *s = FindSection(section);
    const Line *line = s ? FindEntry(*s, FoldCase(TrimControl(key))) : nullptr;
    return line ? std::string(TrimControl(line->value)) : std::string(fallback);
}

bool ProfileFile::HasKey(std::string_view section, std::string_view key) const
{
    const Section *s = FindSection(section);
    return s && FindEntry(*s, FoldCase(TrimControl(key)));
}

std::vector<std::string> ProfileFile::SectionKeys(std::string_view section) const
{
    std::vector<std::string> keys;
    if (const Section *s = FindSection(section))
        for (const Line &line : s->lines)
            if (line.entry)
                keys.push_back(line.key);
    return keys;
}

std::vector<std::pair<std::string, std::string>> ProfileFile::SectionEntries(std::string_view section) const
{
    std::vector<std::pair<std::string, std::string>> entries;
    const Section *s = FindSection(section);
    if (!s)
        return entries;
    for (const Line &line : s->lines) {
        if (!line.entry)
            continue;
        const Line &first = line.repeat ? *FindEntry(*s, line.fold) : line;
        entries.emplace_back(line.key, std::string(TrimControl(first.value)));
    }
    return entries;
}

std::vector<std::string> ProfileFile::SectionNames() const
{
    std::vector<std::string> names;
    for (const Section &s : m_sections)
        if (s.hasHeader)
            names.push_back(s.name);
    return names;
}

bool ProfileFile::IsStorableKey(std::string_view key)
{
    const std::string_view k = TrimControl(key);
    return !k.empty() && k.front() != '[' && k.front() != ';'
           && k.find('=') == std::string_view::npos && !HasLineBreak(k);
}

bool ProfileFile::IsStorableSection(std::string_view section)
{
    const std::string_view s = TrimControl(section);
    return !s.empty() && s.find(']') == std::string_view::npos && !HasLineBreak(s);
}

bool ProfileFile::IsStorableValue(std::string_view value)
{
    return !HasLineBreak(value);
}

bool ProfileFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string sec = ThroughCodePage(TrimControl(section));
    const std::string k = ThroughCodePage(TrimControl(key));
    const std::string v = ThroughCodePage(value);
    if (!IsStorableSection(sec) || !IsStorableKey(k) || !IsStorableValue(v))
        return false;

    Section *s = FindSection(sec);
    if (!s) {
        if (m_sections.empty())
            m_sections.emplace_back();
        Section created;
        created.hasHeader = true;
        created.name = sec;
        created.fold = FoldCase(sec);
        created.header = "[" + sec + "]";
        m_sectionIndex.emplace(created.fold, m_sections.size());
        m_sections.push_back(std::move(created));
        s = &m_sections.back();
    }

    Line line = ParseLine(k + "=" + v);
    std::vector<Line> &lines = s->lines;
    // The usual cases go through the index, so that writing a file entry by
    // entry stays linear in its size: a key that is there once gets its new
    // value in place, a new key goes after the last entry of the section.
    if (const auto it = s->index.find(line.fold); it != s->index.end() && !s->repeats) {
        Line &old = lines[it->second];
        old = ParseLine(old.key + "=" + v);   // the name keeps its spelling
        return true;
    }
    const size_t after = s->lastEntry ? *s->lastEntry + 1 : 0;
    if (!s->index.contains(line.fold) && after == lines.size()) {
        s->index.emplace(line.fold, after);
        s->lastEntry = after;
        lines.push_back(std::move(line));
        return true;
    }

    size_t insertAt = 0;
    bool replaced = false;
    for (size_t i = 0; i < lines.size();) {
        if (!lines[i].entry) {
            ++i;
            continue;
        }
        if (lines[i].fold == line.fold) {
            if (replaced) {
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            lines[i] = ParseLine(lines[i].key + "=" + v); // the name keeps its spelling
            replaced = true;
        }
        insertAt = ++i;
    }
    if (!replaced)
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
    s->Reindex();   // positions after the change have moved
    return true;
}

void ProfileFile::Clear()
{
    m_sections.clear();
    m_sectionIndex.clear();
}
