// The jury's summary: finding the layout files, reading each through the
// layout loader into a fresh instrument, checking the ROI results, writing the
// outputs, and the options of the command line.
#include "Main/core/JuryReport.h"

#include "Data/Detector.h"
#include "Data/Model.h"
#include "Main/core/AtomicSave.h"
#include "Main/core/DeviceValues.h"
#include "Main/core/HeadlessLayout.h"
#include "Main/core/Instrument.h"
#include "Main/core/NumberText.h"
#include "Main/core/ChartText.h"
#include "Main/core/KeyNames.h"
#include "Main/core/TextExport.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QList>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

namespace {

QString Q(const std::string &s)
{
    return QString::fromStdString(s);
}

std::string S(const QString &s)
{
    return s.toStdString();
}

void CheckSpectrum(ReportSpectrum &r, const SpectrumCounts &counts, const RoiData &saved)
{
    r.Total = 0.0;
    for (double c : counts)
        r.Total += c;
    r.SavedRoi = saved;
    RoiData again = saved;
    if (EvaluateRoi(again, counts)) {
        r.Recomputed = again;
        // The centroid is compared as the "Közép:" box shows it.
        r.Agrees = again.Brutto == saved.Brutto && FormatKozep(again.Kozep) == FormatKozep(saved.Kozep);
    } else {
        r.Recomputed.reset();
        r.Agrees = false;
    }
}

// Which charts the file gives a ROI result: "Bruttó:" or "Közép:" saved non-empty.
// The loader puts "0" into an empty box, so this is read from the file itself,
// section by section as the loader fills the charts (a later section wins).
std::array<bool, 2> EvaluatedInFile(const ProfileFile &file)
{
    std::array<bool, 2> evaluated{false, false};
    for (const char *section : {"Spectrum1", "Spectrum2"}) {
        const auto n = ParseInt(TrimControl(file.ReadString(section, "Spektrum", "0")));
        if (!n || (*n != 1 && *n != 2))
            continue;
        evaluated[size_t(*n - 1)] = !TrimControl(file.ReadString(section, "ROI_Brutto", "")).empty()
                                    || !TrimControl(file.ReadString(section, KeyNames[23], "")).empty();
    }
    return evaluated;
}

std::string FileTime(const std::filesystem::path &path)
{
    std::error_code ec;
    const auto t = std::filesystem::last_write_time(path, ec);
    if (ec)
        return {};
    // The file clock's epoch is the library's own; the distance from now carries over.
    const auto sys = std::chrono::system_clock::now()
                     + std::chrono::duration_cast<std::chrono::system_clock::duration>(t - std::filesystem::file_time_type::clock::now());
    const qint64 ms = std::chrono::duration_cast<std::chrono::milliseconds>(sys.time_since_epoch()).count();
    return S(QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

std::string JoinPath(const std::string &folder, const std::string &file)
{
    return S(QDir::toNativeSeparators(Q(folder) + QLatin1Char('/') + Q(file)));
}

} // namespace

namespace {

// The picture with a palette of its own colours, or a null picture when it has
// more than 256 of them. Neighbouring pixels mostly share their colour, so the
// palette is searched only when the colour changes, first in a small table of
// recent colours.
QImage ExactPalette(const QImage &rgb)
{
    QImage out(rgb.size(), QImage::Format_Indexed8);
    QList<QRgb> palette;
    QHash<QRgb, int> index;
    struct Recent {
        QRgb colour = 0;
        int index = -1;
    };
    std::array<Recent, 512> recent{};
    QRgb last = 0;
    int lastIndex = -1;
    const int width = rgb.width(), height = rgb.height();
    for (int y = 0; y < height; ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uchar *row = out.scanLine(y);
        for (int x = 0; x < width; ++x) {
            // Runs of the last colour, four pixels at a time.
            if (lastIndex >= 0) {
                while (x + 4 <= width && (in[x] | 0xFF000000u) == last && (in[x + 1] | 0xFF000000u) == last
                       && (in[x + 2] | 0xFF000000u) == last && (in[x + 3] | 0xFF000000u) == last) {
                    std::memset(row + x, lastIndex, 4);
                    x += 4;
                }
                if (x == width)
                    break;
            }
            const QRgb c = in[x] | 0xFF000000u;
            if (lastIndex < 0 || c != last) {
                Recent &r = recent[(c * 2654435761u) >> 23];
                if (r.index >= 0 && r.colour == c) {
                    lastIndex = r.index;
                } else if (const auto found = index.constFind(c); found != index.constEnd()) {
                    lastIndex = *found;
                } else {
                    if (palette.size() == 256)
                        return {};
                    lastIndex = int(palette.size());
                    palette.push_back(c);
                    index.insert(c, lastIndex);
                }
                r = {c, lastIndex};
                last = c;
            }
            row[x] = uchar(lastIndex);
        }
    }
    out.setColorTable(palette);
    return out;
}

} // namespace

std::string ReportPng(const QImage &image)
{
    // A palette picture is encoded several times faster than a 32-bit one; the
    // apparatus has a handful of colours, a chart some hundreds (a chart with more
    // only loses shades at the edges of its text).
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QImage indexed = ExactPalette(rgb);
    if (indexed.isNull())
        indexed = rgb.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // Light compression: these pictures are long runs of one colour, so the
    // files stay small while encoding takes a fraction of the default's time.
    writer.setQuality(80);
    if (!writer.write(indexed))
        return {};
    return bytes.toStdString();
}

bool LooksLikeLayout(const ProfileFile &file)
{
    if (file.HasKey("User", "Name"))
        return true;
    for (const std::string &name : file.SectionNames())
        if (QString::compare(Q(name), QStringLiteral("Config"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

std::vector<std::string> ReportWarnings(const ReportLayout &l)
{
    // A setting out of range was kept within its limits so the spectra could load.
    std::vector<std::string> w = l.LoadWarnings;
    // The folder of a contestant is named after the number; a file saved under
    // another identity is filed under that one, so the jury is told.
    const std::string folderName = S(QFileInfo(Q(l.Folder)).fileName());
    if (const auto folderNumber = ParseInt(folderName)) {
        const auto saver = ParseInt(TrimControl(l.UserId));
        if (!saver || *saver != *folderNumber)
            w.push_back("más mentette: a mappa " + folderName + ", a fájlban „" + l.UserId + "”");
    }
    for (int s = 0; s < 2; ++s) {
        const ReportSpectrum &sp = l.Spectra[size_t(s)];
        const std::string n = std::to_string(s + 1) + ". spektrum: ";
        if (!sp.Evaluated && sp.Total > 0)
            w.push_back(n + "a ROI nincs kiértékelve");
        else if (sp.Disagrees())
            w.push_back(n + (sp.Recomputed ? "ROI eltérés" : "ROI eltérés (a határok a csatornákon kívül)"));
    }
    if (!l.Utf8Name)
        w.push_back("a fájlnév régi kódlapú (CP1250), úgy olvasva");
    return w;
}

namespace {

// The apparatus pictures encoded lately, shared by the threads: a contestant
// usually saves several layouts of one set-up, and a picture equal to one of
// these, pixel for pixel, takes its bytes instead of being encoded again.
class PictureCache {
public:
    std::string Png(const QImage &picture)
    {
        const size_t hash = qHashBits(picture.constBits(), size_t(picture.sizeInBytes()));
        {
            const std::lock_guard lock(m_mutex);
            for (const Entry &e : m_entries)
                if (e.hash == hash && Same(e.picture, picture))
                    return e.png;
        }
        std::string png = ReportPng(picture);
        const std::lock_guard lock(m_mutex);
        if (m_entries.size() == Kept)
            m_entries.pop_front();
        m_entries.push_back({hash, picture.copy(), png});
        return png;
    }

private:
    static bool Same(const QImage &a, const QImage &b)
    {
        return a.size() == b.size() && a.format() == b.format() && a.sizeInBytes() == b.sizeInBytes()
               && std::memcmp(a.constBits(), b.constBits(), size_t(a.sizeInBytes())) == 0;
    }

    struct Entry {
        size_t hash;
        QImage picture;
        std::string png;
    };
    static constexpr size_t Kept = 8;
    std::mutex m_mutex;
    std::deque<Entry> m_entries;
};

// What a reading thread keeps from one file to the next: the instrument the
// files are loaded into (reset from one started instrument) and the memory of
// the device picture.
struct ReportWorkspace {
    explicit ReportWorkspace(const TInstrument &started, PictureCache &cache) : Started(started), Cache(cache) {}
    const TInstrument &Started;
    PictureCache &Cache;
    TInstrument Instrument;
    QImage Shown;
};

Status ReadReportLayout(const ReportFile &in, ReportLayout &out, bool withPictures, ReportWorkspace &ws)
{
    out.Folder = in.Folder;
    out.File = in.File;
    out.Path = JoinPath(in.Folder, in.File);
    out.Utf8Name = in.Utf8Name;
    out.FileTime = FileTime(in.Path);

    std::string bytes;
    if (Status read = ReadCapped(in.Path, bytes, size_t(LayoutFileLimit)); !read)
        return read;
    // A layout is text; a program or a picture named ".ini" may hold texts that look like one.
    if (bytes.find('\0') != std::string::npos)
        return Status::Failure("nem elrendezésfájl: nem szöveges (bináris) fájl");
    const ProfileFile file = ProfileFile::FromBytes(bytes);
    if (!LooksLikeLayout(file))
        return Status::Failure("nem elrendezésfájl: nincs benne User/Name kulcs és Config szakasz");

    // The device as the window has it right after the identification.
    TInstrument &ins = ws.Instrument;
    ResetInstrument(ins, ws.Started, TraceReset::Left);   // no ion flies here
    TModel &m = ins.Model;
    // Read as the simulator reads a layout: the same target of the one loader.
    const RoiBoxTexts unsaved{"0", "0", "0", "0"};
    const HeadlessLoad r = LoadLayoutHeadless(file, ins, DeviceFields{}, {unsaved, unsaved});
    if (!r.Loaded)
        return r.Loaded;
    out.UserId = r.UserId;
    out.Note = r.Note;
    out.LoadWarnings = r.Warnings;
    out.UnknownMode = r.Fields.UnknownMode;
    out.Mass = r.MassText;
    out.MeanMass = r.MeanMassText;
    out.Induction = FormatGeneral(r.Fields.Induction);
    out.Blende1 = FormatGeneral(r.Fields.Blende1);
    out.Blende2 = FormatGeneral(r.Fields.Blende2);
    out.Blende3 = FormatGeneral(r.Fields.Blende3);
    out.Offset = FormatGeneral(r.Fields.Blende3Offset);
    out.DetectorAccepted = r.DetectorAccepted;
    out.DetectorPoints = r.DetectorPoints;
    out.DetectorUsable = r.DetectorAccepted && r.DetectorAccept.Ok();
    const std::array<bool, 2> evaluated = EvaluatedInFile(file);
    for (int s = 1; s <= 2; ++s) {
        ReportSpectrum &sp = out.Spectra[size_t(s - 1)];
        sp.Saved = r.RoiBoxes[size_t(s - 1)];
        out.Counts[size_t(s - 1)] = ins.Counts.Counts(s);
        CheckSpectrum(sp, ins.Counts.Counts(s), ins.Roi[size_t(s - 1)]);
        sp.Evaluated = evaluated[size_t(s - 1)];
    }
    out.Warnings = ReportWarnings(out);

    if (withPictures) {
        // The window shows the traces cleared after a load: the apparatus itself,
        // with the detector's overlay on top when one is accepted.
        if (m.Detector.Accepted) {
            ComposeDevicePicture(ws.Shown, m.ApparatusBitmap, m, true);
            out.ApparatusPng = ws.Cache.Png(ws.Shown);
        } else {
            out.ApparatusPng = ws.Cache.Png(m.ApparatusBitmap);
        }
    }
    return {};
}

} // namespace

Status ReadReportLayout(const ReportFile &in, ReportLayout &out, bool withPictures)
{
    const auto started = std::make_unique<TInstrument>();
    StartInstrument(*started);
    PictureCache cache;
    const auto ws = std::make_unique<ReportWorkspace>(*started, cache);
    return ReadReportLayout(in, out, withPictures, *ws);
}

Status ReadReportLayout(const std::string &path, ReportLayout &out, const SpectrumPainter &painter,
                        bool withPictures)
{
    const std::filesystem::path p = PathFromUtf8(path);
    const ShownName name = ShownPath(p.filename());
    const ReportFile file{p, ShownPath(p.parent_path()).text, name.text, name.utf8};
    if (Status read = ReadReportLayout(file, out, withPictures); !read)
        return read;
    if (withPictures && painter)
        for (size_t s = 0; s < 2; ++s)
            out.SpectrumPng[s] = ReportPng(painter(out.Counts[s], int(s + 1), out.Spectra[s].Saved));
    return {};
}

JuryReport BuildJuryReport(const std::vector<std::string> &folders, const SpectrumPainter &painter,
                           const ReportProgress &progress, const std::vector<std::string> &exclude)
{
    ReportFileList found = FindReportFiles(folders, exclude);
    JuryReport report;
    report.Skipped = std::move(found.Skipped);
    const int total = int(found.Files.size());

    // The workers read, load and draw the device of each file and encode the
    // pictures; the charts are widgets of the calling thread, so they are drawn
    // here as the files come back in order, and handed back for encoding.
    struct Slot {
        ReportLayout layout;
        Status read;
        bool ready = false;
    };
    struct Encode {
        int slot;
        size_t spectrum;
        QImage picture;
    };
    std::vector<Slot> pending(static_cast<size_t>(total));
    const auto started = std::make_unique<TInstrument>();
    StartInstrument(*started);
    std::deque<Encode> encodes;
    std::mutex mutex;
    PictureCache pictures;
    std::condition_variable changed;
    int next = 0, encoding = 0;
    bool stop = false, painted = false;
    auto work = [&] {
        const auto workspace = std::make_unique<ReportWorkspace>(*started, pictures);
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return stop || !encodes.empty() || next < total || painted; });
            if (stop)
                return;
            // Encoding first: the pictures waiting for it hold the memory.
            if (!encodes.empty()) {
                Encode e = std::move(encodes.front());
                encodes.pop_front();
                lock.unlock();
                std::string png = ReportPng(e.picture);
                e.picture = QImage();
                lock.lock();
                pending[size_t(e.slot)].layout.SpectrumPng[e.spectrum] = std::move(png);
                --encoding;
                changed.notify_all();
            } else if (next < total) {
                const int i = next++;
                lock.unlock();
                ReportLayout layout;
                const Status read = ReadReportLayout(found.Files[size_t(i)], layout, true, *workspace);
                lock.lock();
                pending[size_t(i)].layout = std::move(layout);
                pending[size_t(i)].read = read;
                pending[size_t(i)].ready = true;
                changed.notify_all();
            } else {
                return;   // everything read and painted, nothing left to encode
            }
        }
    };
    // The toolkit looks its image writers up once, on the thread that first
    // asks; on Windows that left a worker thread a regular-expression stack that
    // crashed the program as the thread ended. The calling thread asks first.
    (void)ReportPng(QImage(8, 8, QImage::Format_RGB32));
    const int threads = std::clamp(int(std::thread::hardware_concurrency()), 1, std::max(1, total));
    std::vector<std::thread> workers;
    for (int t = 0; t < threads && total > 0; ++t)
        workers.emplace_back(work);

    auto ask = [&](int done, const std::string &path) { return !progress || progress(done, total, path); };
    // Waits for `until` and asks the caller a few times a second whether to go on.
    auto waitFor = [&](int done, const std::function<bool()> &until) {
        std::unique_lock lock(mutex);
        while (!until()) {
            if (!changed.wait_for(lock, std::chrono::milliseconds(100), until)) {
                lock.unlock();
                const bool go = ask(done, {});
                lock.lock();
                if (!go)
                    return false;
            }
        }
        return true;
    };
    bool go = ask(0, {});
    for (int i = 0; go && i < total; ++i) {
        Slot &slot = pending[size_t(i)];
        go = waitFor(i, [&] { return slot.ready; });
        if (!go)
            break;
        if (slot.read && painter) {
            for (size_t s = 0; s < 2; ++s) {
                QImage picture = painter(slot.layout.Counts[s], int(s + 1), slot.layout.Spectra[s].Saved);
                const std::lock_guard lock(mutex);
                ++encoding;
                encodes.push_back({i, s, std::move(picture)});
                changed.notify_all();
            }
        }
        const ReportFile &f = found.Files[size_t(i)];
        go = ask(i + 1, JoinPath(f.Folder, f.File));
    }
    {
        const std::lock_guard lock(mutex);
        painted = true;
        changed.notify_all();
    }
    if (go)
        go = waitFor(total, [&] { return encoding == 0; });
    {
        const std::lock_guard lock(mutex);
        stop = true;
        changed.notify_all();
    }
    for (std::thread &t : workers)
        t.join();
    report.Cancelled = !go;
    if (!go)
        return report;
    for (int i = 0; i < total; ++i) {
        Slot &slot = pending[size_t(i)];
        const ReportFile &f = found.Files[size_t(i)];
        if (!slot.read)
            report.Skipped.push_back({f.Folder, f.File, slot.read.Message()});
        else
            report.Layouts.push_back(std::move(slot.layout));
    }
    return report;
}

ReportRunResult WriteJuryReport(const std::vector<std::string> &folders, const std::string &outDir,
                                const SpectrumPainter &painter, const ReportProgress &progress)
{
    ReportRunResult r;
    const QDir out(Q(outDir));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        r.Error = UnableToWriteMessage(S(QDir::toNativeSeparators(out.path())));
        return r;
    }
    const QString csvPath = out.filePath(QString::fromLatin1(ReportCsvName));
    const QString xlsxPath = out.filePath(QString::fromLatin1(ReportXlsxName));
    const QString htmlPath = out.filePath(QString::fromLatin1(ReportHtmlName));
    const JuryReport report = BuildJuryReport(folders, painter, progress, {S(csvPath), S(xlsxPath), S(htmlPath)});
    if (report.Cancelled) {
        r.Cancelled = true;
        r.Error = "A jelentés megszakítva, nem készült el.";
        return r;
    }
    r.Layouts = int(report.Layouts.size());
    r.Skipped = int(report.Skipped.size());
    for (const ReportLayout &l : report.Layouts)
        r.Warnings += l.Warnings.empty() ? 0 : 1;
    // The spreadsheet is written on a thread of its own while the page is made and saved.
    auto xlsx = std::async(std::launch::async,
                           [&] { return WriteJuryReportXlsx(report, S(QDir::toNativeSeparators(xlsxPath))); });
    for (const auto &[path, bytes] : {std::pair{csvPath, JuryReportCsv(report)}, std::pair{htmlPath, JuryReportHtml(report)}}) {
        if (Status saved = SaveFileAtomically(S(QDir::toNativeSeparators(path)), bytes); !saved) {
            r.Error = saved.Message();
            xlsx.wait();
            return r;
        }
    }
    if (Status written = xlsx.get(); !written)
        r.XlsxNote = written.Message();
    r.HtmlPath = S(QDir::toNativeSeparators(QFileInfo(htmlPath).absoluteFilePath()));
    r.Written = true;
    return r;
}

Status ParseReportOptions(const std::vector<std::string> &args, ReportOptions &opt)
{
    bool optionsEnd = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (!optionsEnd && a == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && (a == "-h" || a == "--help")) {
            opt.Help = true;
        } else if (!optionsEnd && a == "--version") {
            opt.Version = true;
        } else if (!optionsEnd && (a == "--out" || a == "-o")) {
            if (i + 1 >= args.size() || args[i + 1].empty())
                return Status::Failure("a(z) " + a + " után meg kell adni a jelentés mappáját");
            opt.OutDir = args[++i];
        } else if (!optionsEnd && a.rfind("--out=", 0) == 0) {
            opt.OutDir = a.substr(6);
            if (opt.OutDir.empty())
                return Status::Failure("a(z) --out után meg kell adni a jelentés mappáját");
        } else if (!optionsEnd && a.size() > 1 && a[0] == '-') {
            return Status::Failure("ismeretlen kapcsoló: " + a);
        } else {
            if (!QFileInfo(Q(a)).isDir())
                return Status::Failure("nem mappa: " + a);
            opt.Folders.push_back(a);
        }
    }
    if (!opt.Help && !opt.Version && opt.Folders.empty())
        return Status::Failure("nincs megadva mappa");
    return {};
}

std::string ReportUsage()
{
    return "használat: ionveto-report [--out MAPPA] MAPPA...\n"
           "Beolvas minden elrendezésfájlt (a program mentette *.ini fájlt) a megadott\n"
           "mappákban és közvetlen almappáikban, és megírja az osszesito.csv, osszesito.xlsx\n"
           "és osszesito.html fájlt a jelentés mappájába (alapból az aktuális mappába).\n"
           "Minden kihagyott fájl az okával együtt a jelentés végére kerül.\n"
           "  -o, --out MAPPA   a jelentés mappája (létrehozza, ha nincs)\n"
           "  -h, --help        ez a szöveg\n"
           "      --version     a program változata\n"
           "Kilépési kód: 0, ha a jelentés elkészült (kihagyott fájlokkal is),\n"
           "1, ha nem írható, 2 hibás kapcsolónál.\n";
}
