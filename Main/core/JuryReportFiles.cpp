// Which files the jury's summary reads: the "*.ini" files of each folder and of
// its direct subfolders, each once, whatever path leads to it. Only regular
// files are ever opened (a link to a device or a FIFO would read without end or
// hang); everything passed over is listed with the reason.
#include "Main/core/JuryReport.h"

#include "Main/core/Cp1250.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Names compared as a person reads them: "9" before "10", letter case aside.
bool NaturalLess(const QString &a, const QString &b)
{
    int i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            int ie = i, je = j;
            while (ie < a.size() && a[ie].isDigit())
                ++ie;
            while (je < b.size() && b[je].isDigit())
                ++je;
            // Compare digit runs by value: leading zeros dropped, then length, then digits.
            QStringView da = QStringView(a).mid(i, ie - i), db = QStringView(b).mid(j, je - j);
            while (da.size() > 1 && da[0] == u'0')
                da = da.mid(1);
            while (db.size() > 1 && db[0] == u'0')
                db = db.mid(1);
            if (da.size() != db.size())
                return da.size() < db.size();
            if (const int c = da.compare(db); c != 0)
                return c < 0;
            i = ie;
            j = je;
            continue;
        }
        const QChar ca = a[i].toCaseFolded(), cb = b[j].toCaseFolded();
        if (ca != cb)
            return ca < cb;
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b;
}

struct Entry {
    fs::path path;
    std::string name;      // shown to the jury
    bool utf8 = true;
};

std::string Shown(const fs::path &p)
{
    return ShownPath(p).text;
}

// The reason a path that is no regular file (after its links) cannot be read,
// or empty when it is a regular file. `dir` is set for a folder.
std::string NotARegularFile(const fs::path &p, bool &dir)
{
    dir = false;
    std::error_code ec;
    const fs::file_status link = fs::symlink_status(p, ec);
    if (ec)
        return "nem olvasható: " + ec.message();
    const bool isLink = fs::is_symlink(link);
    const fs::file_status st = fs::status(p, ec);
    if (ec == std::errc::too_many_symbolic_link_levels)
        return "körbe mutató link";
    if (st.type() == fs::file_type::not_found)
        return isLink ? "hibás link: a cél nem létezik" : "eltűnt olvasás közben";
    if (ec)
        return "nem olvasható: " + ec.message();
    switch (st.type()) {
    case fs::file_type::regular: return {};
    case fs::file_type::directory: dir = true; return {};
    case fs::file_type::fifo: return "FIFO (névvel ellátott cső), nem fájl";
    case fs::file_type::socket: return "socket, nem fájl";
    case fs::file_type::block:
    case fs::file_type::character: return "eszközfájl, nem fájl";
    default: return "nem közönséges fájl";
    }
}

bool IsIniName(const fs::path &p)
{
    const QString ext = QString::fromStdString(ShownPath(p.extension()).text);
    return ext.compare(QStringLiteral(".ini"), Qt::CaseInsensitive) == 0;
}

// The same file or folder by any path: its canonical path.
std::string Identity(const fs::path &p)
{
    std::error_code ec;
    const fs::path c = fs::canonical(p, ec);
    return (ec ? fs::absolute(p, ec) : c).lexically_normal().generic_string();
}

} // namespace

ShownName ShownPath(const fs::path &p)
{
#ifdef _WIN32
    const std::u8string u = p.u8string();
    return {std::string(u.begin(), u.end()), true};
#else
    // Names are bytes here; one copied from a Windows machine may be in its
    // 8-bit code page, which the layout files use too.
    const std::string &bytes = p.native();
    const QByteArray raw(bytes.data(), qsizetype(bytes.size()));
    if (QString::fromUtf8(raw).toUtf8() == raw)
        return {bytes, true};
    return {Cp1250ToUtf8(bytes), false};
#endif
}

fs::path PathFromUtf8(const std::string &utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

Status ReadCapped(const fs::path &path, std::string &bytes, size_t cap)
{
    bytes.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Status::Failure("nem olvasható (nincs jogosultság, vagy foglalt)");
    // Read in pieces, never more than one byte past the cap, whatever size the file claims.
    constexpr size_t Piece = 256 * 1024;
    while (bytes.size() <= cap) {
        const size_t had = bytes.size();
        const size_t want = std::min(Piece, cap + 1 - had);
        bytes.resize(had + want);
        in.read(bytes.data() + had, std::streamsize(want));
        bytes.resize(had + size_t(in.gcount()));
        if (in.bad())
            return Status::Failure("olvasási hiba");
        if (!in)
            break;
    }
    if (bytes.size() > cap)
        return Status::Failure("túl nagy fájl (több mint " + std::to_string(cap / (1024 * 1024))
                               + " MB), nem elrendezés");
    return {};
}

ReportFileList FindReportFiles(const std::vector<std::string> &folders, const std::vector<std::string> &exclude)
{
    ReportFileList list;
    std::set<std::string> excluded;
    for (const std::string &e : exclude) {
        std::error_code ec;
        excluded.insert(fs::weakly_canonical(PathFromUtf8(e), ec).lexically_normal().generic_string());
    }
    std::map<std::string, std::string> seenFiles, seenFolders;   // identity -> first path shown

    auto listFolder = [&](const fs::path &folder, std::vector<Entry> &entries) {
        std::error_code ec;
        fs::directory_iterator it(folder, fs::directory_options::none, ec);
        if (ec) {
            list.Skipped.push_back({Shown(folder), "", "a mappa nem olvasható: " + ec.message()});
            return false;
        }
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            const ShownName n = ShownPath(it->path().filename());
            entries.push_back({it->path(), n.text, n.utf8});
        }
        if (ec)
            list.Skipped.push_back({Shown(folder), "", "a mappa nem olvasható végig: " + ec.message()});
        std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
            return NaturalLess(QString::fromStdString(a.name), QString::fromStdString(b.name));
        });
        return true;
    };

    // One folder once: false when it was scanned already (a link to ".", the
    // same folder named twice, a folder and its own subfolder).
    auto firstVisit = [&](const fs::path &folder, const std::string &parent, const std::string &name) {
        const auto [it, fresh] = seenFolders.emplace(Identity(folder), Shown(folder));
        if (!fresh)
            list.Skipped.push_back({parent, name, "ugyanaz a mappa, mint " + it->second + " (egyszer számolva)"});
        return fresh;
    };

    auto scan = [&](const fs::path &folder, bool top) {
        const std::string shownFolder = Shown(folder);
        std::vector<Entry> entries;
        if (!listFolder(folder, entries))
            return std::vector<fs::path>{};
        std::vector<fs::path> subfolders;
        for (const Entry &e : entries) {
            bool dir = false;
            if (const std::string why = NotARegularFile(e.path, dir); !why.empty()) {
                list.Skipped.push_back({shownFolder, e.name, why});
                continue;
            }
            if (dir) {
                if (!top)
                    list.Skipped.push_back({shownFolder, e.name, "mappa a második szinten: nem olvassuk"});
                else if (firstVisit(e.path, shownFolder, e.name))
                    subfolders.push_back(e.path);
                continue;
            }
            const std::string id = Identity(e.path);
            if (excluded.count(id))
                continue;
            if (!IsIniName(e.path)) {
                list.Skipped.push_back({shownFolder, e.name, "nem .ini fájl"});
                continue;
            }
            const auto [it, fresh] = seenFiles.emplace(id, shownFolder + "/" + e.name);
            if (!fresh) {
                list.Skipped.push_back({shownFolder, e.name, "ugyanaz a fájl, mint " + it->second + " (egyszer számolva)"});
                continue;
            }
            list.Files.push_back({e.path, shownFolder, e.name, e.utf8});
        }
        return subfolders;
    };

    for (const std::string &top : folders) {
        fs::path folder = PathFromUtf8(top).lexically_normal();
        // "verseny/" is shown as "verseny", and its files as "verseny/…".
        if (!folder.has_filename() && folder.has_relative_path())
            folder = folder.parent_path();
        bool dir = false;
        if (const std::string why = NotARegularFile(folder, dir); !why.empty() || !dir) {
            list.Skipped.push_back({Shown(folder), "", why.empty() ? "nem mappa" : why});
            continue;
        }
        if (!firstVisit(folder, Shown(folder), ""))
            continue;
        for (const fs::path &sub : scan(folder, true))
            scan(sub, false);
    }
    return list;
}
