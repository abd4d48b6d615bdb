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
#include "Main/core/TextExport.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QList>

#include <algorithm>
#include <memory>

namespace {

// A layout file is some tens of kilobytes; anything far larger is not read.
constexpr qint64 LargestLayoutFile = 16 * 1024 * 1024;

QString Q(const std::string &s)
{
    return QString::fromStdString(s);
}

std::string S(const QString &s)
{
    return s.toStdString();
}

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

QFileInfoList SortedEntries(const QDir &dir, QDir::Filters filters)
{
    QFileInfoList list = dir.entryInfoList(filters | QDir::NoDotAndDotDot);
    std::sort(list.begin(), list.end(),
              [](const QFileInfo &x, const QFileInfo &y) { return NaturalLess(x.fileName(), y.fileName()); });
    return list;
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

bool SameFile(const QString &a, const QString &b)
{
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

} // namespace

namespace {

// The picture with a palette of its own colours, or a null picture when it has
// more than 256 of them. Neighbouring pixels mostly share their colour, so the
// palette is searched only when the colour changes.
QImage ExactPalette(const QImage &rgb)
{
    QImage out(rgb.size(), QImage::Format_Indexed8);
    QList<QRgb> palette;
    QRgb last = 0;
    int lastIndex = -1;
    const int width = rgb.width(), height = rgb.height();
    for (int y = 0; y < height; ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uchar *row = out.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const QRgb c = in[x] | 0xFF000000u;
            if (lastIndex < 0 || c != last) {
                lastIndex = int(palette.indexOf(c));
                if (lastIndex < 0) {
                    if (palette.size() == 256)
                        return {};
                    lastIndex = int(palette.size());
                    palette.push_back(c);
                }
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

Status ReadReportLayout(const std::string &path, ReportLayout &out,
                                            const SpectrumPainter &painter, bool withPictures)
{
    const QFileInfo info(Q(path));
    out.Path = path;
    out.File = S(info.fileName());
    out.FileTime = S(info.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    if (info.size() > LargestLayoutFile)
        return Status::Failure("túl nagy fájl (" + std::to_string(info.size()) + " bájt), nem elrendezés");

    ProfileFile file;
    // The window's "Betöltés" reports an unreadable file in the same words.
    if (Status loaded = file.Load(path); !loaded)
        return loaded;
    if (!LooksLikeLayout(file))
        return Status::Failure("nem elrendezésfájl: nincs benne User/Name kulcs és Config szakasz");

    auto ins = std::make_unique<TInstrument>();
    // The device as the window has it right after the identification.
    StartInstrument(*ins);
    TModel &m = ins->Model;
    // Read as the simulator reads a layout: the same target of the one loader.
    const RoiBoxTexts unsaved{"0", "0", "0", "0"};
    const HeadlessLoad r = LoadLayoutHeadless(file, *ins, DeviceFields{}, {unsaved, unsaved});
    if (!r.Loaded)
        return r.Loaded;
    out.UserId = r.UserId;
    out.Note = r.Note;
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
    for (int s = 1; s <= 2; ++s)
        out.Spectra[size_t(s - 1)].Saved = r.RoiBoxes[size_t(s - 1)];

    for (int s = 1; s <= 2; ++s)
        CheckSpectrum(out.Spectra[size_t(s - 1)], ins->Counts.Counts(s), ins->Roi[size_t(s - 1)]);

    if (withPictures) {
        ClearTraces(m);
        QImage shown;
        ComposeDevicePicture(shown, m, m.Detector.Accepted);
        out.ApparatusPng = ReportPng(shown);
        if (painter)
            for (int s = 1; s <= 2; ++s)
                out.SpectrumPng[size_t(s - 1)] = painter(*ins, s, out.Spectra[size_t(s - 1)].Saved);
    }
    return {};
}

JuryReport BuildJuryReport(const std::vector<std::string> &folders, const SpectrumPainter &painter,
                           const ReportProgress &progress, const std::vector<std::string> &exclude)
{
    struct Candidate {
        QString folder, file, path;
    };
    std::vector<Candidate> candidates;
    auto addFiles = [&](const QString &folder) {
        for (const QFileInfo &f : SortedEntries(QDir(folder), QDir::Files)) {
            const bool excluded = std::any_of(exclude.begin(), exclude.end(), [&](const std::string &e) {
                return SameFile(f.filePath(), Q(e));
            });
            if (!excluded)
                candidates.push_back({QDir::toNativeSeparators(folder), f.fileName(), f.filePath()});
        }
    };
    for (const std::string &top : folders) {
        const QString folder = QDir::cleanPath(Q(top));
        addFiles(folder);
        for (const QFileInfo &sub : SortedEntries(QDir(folder), QDir::Dirs))
            addFiles(QDir::cleanPath(folder + QLatin1Char('/') + sub.fileName()));
    }

    JuryReport report;
    const int total = int(candidates.size());
    for (int i = 0; i < total; ++i) {
        const Candidate &c = candidates[size_t(i)];
        if (progress)
            progress(i, total, S(QDir::toNativeSeparators(c.path)));
        ReportLayout layout;
        if (Status read = ReadReportLayout(S(c.path), layout, painter); !read) {
            report.Skipped.push_back({S(c.folder), S(c.file), read.Message()});
            continue;
        }
        layout.Folder = S(c.folder);
        layout.Path = S(QDir::toNativeSeparators(c.path));
        report.Layouts.push_back(std::move(layout));
    }
    if (progress)
        progress(total, total, {});
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
    const QString htmlPath = out.filePath(QString::fromLatin1(ReportHtmlName));
    const JuryReport report = BuildJuryReport(folders, painter, progress, {S(csvPath), S(htmlPath)});
    r.Layouts = int(report.Layouts.size());
    r.Skipped = int(report.Skipped.size());
    for (const auto &[path, bytes] : {std::pair{csvPath, JuryReportCsv(report)}, std::pair{htmlPath, JuryReportHtml(report)}}) {
        if (Status saved = SaveFileAtomically(S(QDir::toNativeSeparators(path)), bytes); !saved) {
            r.Error = saved.Message();
            return r;
        }
    }
    r.HtmlPath = S(QFileInfo(htmlPath).absoluteFilePath());
    r.Written = true;
    return r;
}

bool ParseReportOptions(const std::vector<std::string> &args, ReportOptions &opt, std::string &error)
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
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = a + " needs a folder";
                return false;
            }
            opt.OutDir = args[++i];
        } else if (!optionsEnd && a.rfind("--out=", 0) == 0) {
            opt.OutDir = a.substr(6);
            if (opt.OutDir.empty()) {
                error = "--out needs a folder";
                return false;
            }
        } else if (!optionsEnd && a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else {
            if (!QFileInfo(Q(a)).isDir()) {
                error = "not a folder: " + a;
                return false;
            }
            opt.Folders.push_back(a);
        }
    }
    if (opt.Help || opt.Version)
        return true;
    if (opt.Folders.empty()) {
        error = "no FOLDER given";
        return false;
    }
    return true;
}

std::string ReportUsage()
{
    return "usage: ionveto-report [--out DIR] FOLDER...\n"
           "Reads every layout file (any file with \"User\"/\"Name\" or a \"Config\" section,\n"
           "as the program saves them) in each FOLDER and in its direct subfolders, and\n"
           "writes osszesito.csv and osszesito.html into DIR (default: the current folder).\n"
           "Other files are listed at the end of both with the reason they were left out.\n"
           "  -o, --out DIR   the folder of the report (created when missing)\n"
           "  -h, --help      this text\n"
           "      --version   the version of the program\n"
           "Exit status: 0 when the report was written (even with skipped files),\n"
           "1 when it could not be written, 2 on bad options.\n";
}
