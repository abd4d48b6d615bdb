#pragma once
// An INI-style file held in memory: the layout-and-measurement file and the
// text exports are written and read through it.
//
// Syntax, as the Windows profile functions read it:
// - A line whose first non-blank character is "[" and which holds a "]" opens
//   the section named by the text between them (blanks around the name dropped).
// - Inside a section, a line "key=value" is one entry: the key is the text before
//   the first "=", the value the rest; both are read without the characters of
//   code 32 or lower around them. A value is given back as stored otherwise
//   (surrounding quotes are not removed).
// - Every other line (empty, a ";" comment, a "[" without "]", text without "=",
//   an empty key, lines before the first section) is kept as it stands and
//   written back, but is no entry: lookups and key lists do not see it.
// - Section and key names match without regard to letter case: ASCII letters and
//   the accented Latin letters of the Central European code page (so "ÖSSZES"
//   finds "Összes", "mközép" finds "Mközép"). When a name occurs twice, the first
//   one counts, as Windows reads it.
//
// Texts of the interface are UTF-8; the file on disk is Windows-1250 with CR LF
// line ends. A file that starts with a UTF-8 byte-order mark, or whose bytes are
// well-formed UTF-8 with characters beyond ASCII (as an editor saves it), is
// read as UTF-8; it is written back in the code page. Reading accepts CR LF, LF or a lone CR, and reading then writing an
// unchanged file gives back the same bytes (given CR LF line ends). A character
// the code page cannot hold is stored as "?" as soon as it is written.
#include "Data/Status.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class ProfileFile {
public:
    // The file held in `bytes` (Windows-1250, or UTF-8 as above). Anything is accepted: what is not
    // a section or an entry is kept as a plain line.
    static ProfileFile FromBytes(std::string_view bytes);

    // Replaces the content by the file at `path`. A file that does not exist
    // reads as an empty file; a file that exists but cannot be read leaves the
    // content empty and fails with "Unable to read <path>".
    Status Load(const std::string &path);

    // The whole file as it goes to disk.
    std::string ToBytes() const;

    // Writes the file to `path` so that it is replaced in one step (see
    // SaveFileAtomically): on any failure, a write-protected target included,
    // the file that was there before is left untouched and the result is false.
    Status Save(const std::string &path) const;

    // The value of the entry, without surrounding blanks; `fallback` when the
    // section or the key is missing.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    bool HasKey(std::string_view section, std::string_view key) const;

    // The key names of a section as stored, in file order; empty for a missing section.
    std::vector<std::string> SectionKeys(std::string_view section) const;
    // The entries of a section in file order: each stored key name with the value
    // ReadString gives for it (a repeated name reads as its first entry). The same
    // as SectionKeys followed by ReadString per key, without a lookup per entry.
    std::vector<std::pair<std::string, std::string>> SectionEntries(std::string_view section) const;
    // The names of all sections, in file order.
    std::vector<std::string> SectionNames() const;

    // Sets key = value in the section. An existing key gets the new value in
    // place and keeps the spelling of its name (later duplicates of it are
    // dropped); a new key goes after the last
    // entry of its section; a new section goes to the end of the file. The key
    // is stored without surrounding blanks. False, and nothing changed, when
    // the section, key or value could not be read back as written (see below).
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);

    // Whether a key, once trimmed, would read back as the same entry: not empty,
    // not starting with "[" or ";", holding no "=" and no line break.
    static bool IsStorableKey(std::string_view key);
    // A section name: not empty once trimmed, holding no "]" and no line break.
    static bool IsStorableSection(std::string_view section);
    // A value: holding no line break.
    static bool IsStorableValue(std::string_view value);

    void Clear();

private:
    struct Line {
        std::string text;   // the line as it stands in the file
        bool entry = false; // a "key=value" line
        std::string key;    // entries: the stored name, trimmed
        std::string fold;   // entries: the name for matching
        std::string value;  // entries: the text after "=", untrimmed
        bool repeat = false; // entries: an earlier entry of the section has the same name
    };
    struct Section {
        bool hasHeader = false; // false only for the lines before the first section
        std::string header;     // the "[...]" line as it stands
        std::string name;
        std::string fold;
        std::vector<Line> lines;
        // The first entry of each folded name: lookups stay constant-time however
        // long the section is.
        std::unordered_map<std::string, size_t> index;
        bool repeats = false;                // some name stands more than once
        std::optional<size_t> lastEntry;     // the position of the last entry
        void Reindex();
    };

    static Line ParseLine(std::string text);
    const Section *FindSection(std::string_view section) const;
    Section *FindSection(std::string_view section);
    static const Line *FindEntry(const Section &s, const std::string &fold);

    std::vector<Section> m_sections;
    // The first section of each folded name (sections are only ever appended).
    std::unordered_map<std::string, size_t> m_sectionIndex;
};
