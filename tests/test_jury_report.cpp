// The jury's summary over a folder of generated layouts: the table parses back
// with the right rows and flags, the page has one part per contestant with its
// pictures, the files left out carry the loader's reason; the command line's exit
// status; and "Összesítő jelentés…" is there for the jury only.
#include "FormDriver.h"

#include "Data/Detector.h"
#include "Main/charts/ReportCharts.h"
#include "Main/files/ReportCommand.h"
#include "Main/core/ChartText.h"
#include "Main/core/Identification.h"
#include "Main/core/LayoutFile.h"
#include "Main/core/NumberText.h"
#include "Main/core/ProfileFile.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProgressDialog>
#include <QRegularExpression>

#include <functional>
#include <sstream>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Accented, with ";" and quotes, and starting like a spreadsheet formula.
const std::vector<std::string> Note = {"=2+3; Mérés: ő, ű \"idézet\"", "Tömeg = 120, Közép árnyékolva"};

// A saved layout: a peak around `centre` on chart 1, its ROI computed the way
// "Számíts!" does, then `bruttoDelta` added to the saved gross count.
std::string LayoutBytes(const std::string &user, bool detector, int centre, int bruttoDelta, bool unknown)
{
    Spectra counts;
    for (int c = centre - 20; c <= centre + 20; ++c)
        counts.SetCount(1, c, 100 - (c - centre) * (c - centre) / 5);
    counts.SetCount(2, 700, 9);
    RoiData roi{centre - 30, centre + 30, 0, 0};
    EvaluateRoi(roi, counts.Counts(1));
    LayoutRecord s;
    s.UserId = user;
    s.Note = Note;
    s.UnknownMode = unknown;
    s.Fields = {"0.85", "120", "120", "0.02", "0.02", "0.008", "0", "500", "500"};
    s.DetectorAccepted = detector;
    s.DetectorPoints = {TPixel{236, 460}, TPixel{237, 483}, TPixel{238, 506}};
    s.Spectra[0] = LayoutSpectrum{counts.Counts(1),
                                  {std::to_string(roi.X1), std::to_string(roi.X2), FormatBrutto(roi.Brutto + bruttoDelta),
                                   std::string(TrimControl(FormatKozep(roi.Kozep)))},
                                  {}};
    s.Spectra[1] = LayoutSpectrum{counts.Counts(2), {"690", "710", "9", "700.0000"}, {}};
    ProfileFile f;
    (void)WriteLayout(f, s);
    return f.ToBytes();
}

void Put(const QString &path, const std::string &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), qint64(bytes.size()));
}

// Two contestants, one of them with a hand-edited ROI result, a damaged layout
// and a picture that is no layout.
void MakeFolder(const QString &root)
{
    Put(root + "/104/elso.ini", LayoutBytes("104", true, 400, 0, false));
    Put(root + "/104/masodik.ini", LayoutBytes("104", true, 420, 17, false));
    Put(root + "/12/meres.ini", LayoutBytes("12", false, 300, 0, true));
    std::string damaged = LayoutBytes("12", false, 300, 0, false);
    damaged.replace(damaged.find("Spektrum=1"), 10, "Spektrum=1,0");   // a spectrum no one can read
    Put(root + "/12/hibas.ini", damaged);
    Put(root + "/kep.jpg", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 10));
}

// Rows of a ";" table with quoted fields.
std::vector<std::vector<QString>> ParseCsv(const QString &text)
{
    std::vector<std::vector<QString>> rows(1);
    QString field;
    bool quoted = false, pending = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += c, ++i;
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = pending = true;
        } else if (c == ';') {
            rows.back().push_back(field), field.clear(), pending = true;
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            if (pending || !field.isEmpty())
                rows.back().push_back(field);
            field.clear(), pending = false, ++i;
            rows.emplace_back();
        } else {
            field += c, pending = true;
        }
    }
    if (rows.back().empty())
        rows.pop_back();
    return rows;
}

int CountColour(const QImage &img, QRgb colour)
{
    int n = 0;
    const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            n += (rgb.pixel(x, y) & 0xFFFFFFu) == (colour & 0xFFFFFFu);
    return n;
}

QImage FromPng(const std::string &png)
{
    return QImage::fromData(reinterpret_cast<const uchar *>(png.data()), int(png.size()), "PNG");
}

// A layout whose first spectrum has counts but was never evaluated ("Bruttó:" and "Közép:" empty).
std::string UnevaluatedBytes(const std::string &user)
{
    QString text = QString::fromLatin1(LayoutBytes(user, true, 400, 0, false));
    text.replace(QRegularExpression(QStringLiteral("ROI_Brutto=\\d+")), QStringLiteral("ROI_Brutto="));
    text.replace(QRegularExpression(QString::fromLatin1("ROI_K\xF6z\xE9p=[0-9.]+")), QString::fromLatin1("ROI_K\xF6z\xE9p="));
    return text.toLatin1().toStdString();
}

// A layout with a formula in every text field a contestant can fill.
std::string FormulaBytes()
{
    std::string b = LayoutBytes("=1+1", false, 300, 0, true);
    b.replace(b.find("Mm=120"), 6, "Mm==HYPERLINK(\"http://x\";\"y\")");
    b.replace(b.find("REM0=") + 5, 0, "@SUM(1) ");
    return b;
}

#ifdef Q_OS_UNIX
bool Symlink(const QString &target, const QString &link)
{
    return QFile::link(target, link);
}
#endif

} // namespace

class TestJuryReport : public QObject
{
    Q_OBJECT
private slots:
    void reportOfGeneratedFolder()
    {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/Zsűri jelentés ő-XXXXXX"));   // ő, ű, blanks
        MakeFolder(dir.path() + "/verseny");
        const QString out = dir.path() + "/jelentes";
        std::ostringstream sout, serr;
        QCOMPARE(RunReportTool({"--out", out.toStdString(), (dir.path() + "/verseny").toStdString()}, sout, serr), 0);

        QFile csvFile(out + "/osszesito.csv");
        QVERIFY(csvFile.open(QIODevice::ReadOnly));
        const QByteArray csvBytes = csvFile.readAll();
        QVERIFY(csvBytes.startsWith("\xEF\xBB\xBF"));
        const auto rows = ParseCsv(QString::fromUtf8(csvBytes.mid(3)));
        const std::vector<QString> &header = rows.at(0);
        QCOMPARE(header.size(), size_t(37));
        const auto col = [&](const char *name) {
            const auto it = std::find(header.begin(), header.end(), QString::fromUtf8(name));
            return int(it - header.begin());
        };
        // Layout rows in folder order ("12" before "104"), then a blank line and the skipped files.
        struct Expect {
            const char *file, *user, *mode, *detector, *agree1;
        } expected[] = {{"meres.ini", "12", "Ismeretlen tömeg", "nem", "igen"},
                        {"elso.ini", "104", "Tesztelés, beállítás", "igen", "igen"},
                        {"masodik.ini", "104", "Tesztelés, beállítás", "igen", "NEM"}};
        // header, 3 layouts, a blank line, the title and header of the skipped files, 2 skipped files
        QCOMPARE(rows.size(), size_t(9));
        for (int i = 0; i < 3; ++i) {
            const auto &r = rows[size_t(i + 1)];
            QCOMPARE(r.size(), header.size());
            QCOMPARE(r[size_t(col("fájl"))], QString::fromUtf8(expected[i].file));
            QCOMPARE(r[size_t(col("versenyző"))], QString::fromUtf8(expected[i].user));
            QCOMPARE(r[size_t(col("mód"))], QString::fromUtf8(expected[i].mode));
            QCOMPARE(r[size_t(col("detektor elfogadva"))], QString::fromUtf8(expected[i].detector));
            QCOMPARE(r[size_t(col("S1 egyezik"))], QString::fromUtf8(expected[i].agree1));
            QCOMPARE(r[size_t(col("S2 egyezik"))], QStringLiteral("igen"));
            QCOMPARE(r[size_t(col("Mappa"))].endsWith(QString::fromUtf8(expected[i].user)), true);
            QCOMPARE(r[size_t(col("Figyelmeztetés"))].isEmpty(), QByteArray(expected[i].agree1) == "igen");
            QCOMPARE(r[size_t(col("indukció (T)"))], QStringLiteral("0.85"));
            // The note is one field, kept as text by the apostrophe.
            QCOMPARE(r[size_t(col("megjegyzés"))], QString::fromUtf8(("'" + Note[0] + " | " + Note[1]).c_str()));
        }
        // The hand-edited result: saved 17 more than its counts give.
        const auto &edited = rows[3];
        QCOMPARE(edited[size_t(col("S1 Bruttó (mentett)"))].toInt() - edited[size_t(col("S1 Bruttó (számolt)"))].toInt(), 17);
        QCOMPARE(edited[size_t(col("S1 Közép (mentett)"))], edited[size_t(col("S1 Közép (számolt)"))]);
        QVERIFY(rows[4].empty());
        QCOMPARE(rows[5], (std::vector<QString>{QString::fromUtf8("kihagyott fájlok")}));
        QCOMPARE(rows[6].size(), size_t(3));
        QCOMPARE(rows[7][1], QStringLiteral("kep.jpg"));   // the folder's own files come first
        QCOMPARE(rows[7][2], QString::fromUtf8("nem .ini fájl"));
        const auto &damaged = rows[8];
        QVERIFY(damaged[0].endsWith(QStringLiteral("12")));
        QCOMPARE(damaged[1], QStringLiteral("hibas.ini"));
        QCOMPARE(damaged[2], QString::fromUtf8("„1,0” nem érvényes szám."));

        QFile htmlFile(out + "/osszesito.html");
        QVERIFY(htmlFile.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(htmlFile.readAll());
        QCOMPARE(html.count(QStringLiteral("<section class=\"contestant\"")), 2);
        QVERIFY(html.contains(QStringLiteral(".contestant, .skipped { break-before: page;")));
        QCOMPARE(html.count(QStringLiteral("<tr class=\"mismatch\"><td>1.</td>")), 1);
        QCOMPARE(html.count(QStringLiteral("src=\"data:image/png;base64,")), 9);
        QVERIFY(!html.contains(QStringLiteral("src=\"http")) && !html.contains(QStringLiteral("src=\"file")));
        QVERIFY(html.contains(QStringLiteral("=2+3; Mérés: ő, ű &quot;idézet&quot;\nTömeg = 120")));
        const int skipped = html.indexOf(QStringLiteral("<section class=\"skipped\">"));
        QVERIFY(skipped > html.lastIndexOf(QStringLiteral("<article class=\"layout\">")));
        QVERIFY(html.indexOf(QString::fromUtf8("„1,0” nem érvényes szám."), skipped) > 0);
    }

    void aSettingOutOfRangeIsARowWithItsWarning()
    {
        // The contestant's 1001 beside 40 measured ions: a row, never a skipped file.
        QTemporaryDir dir;
        std::string bytes = LayoutBytes("5", false, 300, 0, false);
        bytes.replace(bytes.find("Mm=120"), 6, "Mm=1001");
        Put(dir.filePath("5/tomeg.ini"), bytes);
        const JuryReport report = BuildJuryReport({dir.path().toStdString()}, {});
        QCOMPARE(report.Layouts.size(), size_t(1));
        const ReportLayout &row = report.Layouts[0];
        const std::string warning = "Mm: „1001” a megengedett tartományon kívül esik (1 … 1000).";
        QCOMPARE(row.LoadWarnings, std::vector<std::string>{warning});
        QVERIFY(std::find(row.Warnings.begin(), row.Warnings.end(), warning) != row.Warnings.end());
        QCOMPARE(row.Mass, std::string("1000"));
        QVERIFY(row.Spectra[0].Agrees);
        QVERIFY(report.Skipped.empty());
    }

    // Hostile folders, one case a row: what is taken, what is listed with which
    // reason, and what the row warns about. Every case also holds one good layout.
    void hostileFolders_data()
    {
        using Setup = std::function<QStringList(const QString &root)>;   // gives the folders to report on
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<int>("layouts");
        QTest::addColumn<QString>("skipped");    // "file|reason part"; empty: nothing skipped
        QTest::addColumn<QString>("warning");    // a part of some row's warning; empty: none
        const auto one = [](const QString &root) { return QStringList{root}; };
        QTest::newRow("plain") << Setup(one) << 1 << QString() << QString();
#ifdef Q_OS_UNIX
        QTest::newRow("link to /dev/zero") << Setup([&](const QString &r) {
            Symlink(QStringLiteral("/dev/zero"), r + "/104/zero.ini");
            return one(r);
        }) << 1 << QString::fromUtf8("zero.ini|eszközfájl") << QString();
        QTest::newRow("FIFO and a link to it") << Setup([&](const QString &r) {
            mkfifo(QFile::encodeName(r + "/cso.ini").constData(), 0600);
            Symlink(r + "/cso.ini", r + "/104/cso.ini");
            return one(r);
        }) << 1 << QString::fromUtf8("cso.ini|FIFO") << QString();
        QTest::newRow("looping links") << Setup([&](const QString &r) {
            Symlink(r + "/104/b.ini", r + "/104/a.ini");
            Symlink(r + "/104/a.ini", r + "/104/b.ini");
            return one(r);
        }) << 1 << QString::fromUtf8("a.ini|körbe mutató link") << QString();
        QTest::newRow("broken link") << Setup([&](const QString &r) {
            Symlink(r + "/nincs.ini", r + "/104/tort.ini");
            return one(r);
        }) << 1 << QString::fromUtf8("tort.ini|hibás link") << QString();
        QTest::newRow("link to the folder itself") << Setup([&](const QString &r) {
            Symlink(QStringLiteral("."), r + "/itt");
            return one(r);
        }) << 1 << QString::fromUtf8("itt|ugyanaz a mappa") << QString();
        QTest::newRow("link to a layout") << Setup([&](const QString &r) {
            QDir().mkpath(r + "/105");
            Symlink(r + "/104/jo.ini", r + "/105/masolat.ini");
            return one(r);
        }) << 1 << QString::fromUtf8("masolat.ini|ugyanaz a fájl") << QString();
        QTest::newRow("CP1250 name") << Setup([&](const QString &r) {
            const QByteArray name = QFile::encodeName(r) + "/104/m\xE9r\xE9s\xF5.ini";
            const std::string bytes = LayoutBytes("104", true, 400, 0, false);
            FILE *f = fopen(name.constData(), "wb");
            fwrite(bytes.data(), 1, bytes.size(), f);
            fclose(f);
            return one(r);
        }) << 2 << QString() << QString::fromUtf8("régi kódlap");
        // Root reads anything, so these two only mean something for another user.
        if (geteuid() != 0) {
            QTest::newRow("unreadable folder") << Setup([&](const QString &r) {
                Put(r + "/105/x.ini", LayoutBytes("105", true, 400, 0, false));
                chmod(QFile::encodeName(r + "/105").constData(), 0);
                return one(r);
            }) << 1 << QString::fromUtf8("|a mappa nem olvasható") << QString();
            QTest::newRow("unreadable file") << Setup([&](const QString &r) {
                Put(r + "/104/titok.ini", LayoutBytes("104", true, 400, 0, false));
                chmod(QFile::encodeName(r + "/104/titok.ini").constData(), 0);
                return one(r);
            }) << 1 << QString::fromUtf8("titok.ini|nem olvasható") << QString();
        }
#endif
        QTest::newRow("hidden layout taken, hidden junk listed") << Setup([&](const QString &r) {
            Put(r + "/104/.rejtett.ini", LayoutBytes("104", true, 400, 0, false));
            Put(r + "/104/.DS_Store", "x");
            return one(r);
        }) << 2 << QString::fromUtf8(".DS_Store|nem .ini fájl") << QString();
        QTest::newRow("same folder twice") << Setup([](const QString &r) { return QStringList{r, r + "/"}; })
                                           << 1 << QString::fromUtf8("|ugyanaz a mappa") << QString();
        QTest::newRow("folder and its subfolder") << Setup([](const QString &r) { return QStringList{r, r + "/104"}; })
                                                  << 1 << QString::fromUtf8("|ugyanaz a mappa") << QString();
        QTest::newRow("not .ini, any case of .INI") << Setup([&](const QString &r) {
            Put(r + "/104/jegyzet.txt", "[Config]\r\nType=Teszt\r\n");
            Put(r + "/104/NAGY.INI", LayoutBytes("104", true, 400, 0, false));
            return one(r);
        }) << 2 << QString::fromUtf8("jegyzet.txt|nem .ini fájl") << QString();
        QTest::newRow("program binary") << Setup([&](const QString &r) {
            // The start of this test program: its texts hold "[Config]" and "Name=".
            QFile self(QCoreApplication::applicationFilePath());
            self.open(QIODevice::ReadOnly);
            const QByteArray head = self.read(4 * 1024 * 1024);
            Put(r + "/104/ionveto", head.toStdString());
            Put(r + "/104/program.ini", head.toStdString());
            return one(r);
        }) << 1 << QString::fromUtf8("program.ini|bináris") << QString();
        QTest::newRow("too large") << Setup([&](const QString &r) {
            QFile f(r + "/104/nagy.ini");
            f.open(QIODevice::WriteOnly);
            f.resize(40 * 1024 * 1024);   // sparse: costs no disk
            return one(r);
        }) << 1 << QString::fromUtf8("nagy.ini|túl nagy") << QString();
        QTest::newRow("saved by another contestant") << Setup([&](const QString &r) {
            Put(r + "/106/x.ini", LayoutBytes("3", true, 400, 0, false));
            return one(r);
        }) << 2 << QString() << QString::fromUtf8("más mentette: a mappa 106, a fájlban „3”");
        QTest::newRow("ROI never evaluated") << Setup([&](const QString &r) {
            Put(r + "/104/nincs.ini", UnevaluatedBytes("104"));
            return one(r);
        }) << 2 << QString() << QString::fromUtf8("1. spektrum: a ROI nincs kiértékelve");
        QTest::newRow("formulas in every text field") << Setup([&](const QString &r) {
            Put(r + "/@mappa/=fajl.ini", FormulaBytes());
            return one(r);
        }) << 2 << QString() << QString();
    }
    void hostileFolders()
    {
        using Setup = std::function<QStringList(const QString &root)>;
        QFETCH(Setup, setup);
        QFETCH(int, layouts);
        QFETCH(QString, skipped);
        QFETCH(QString, warning);
        QTemporaryDir dir;
        const QString root = dir.path() + "/verseny";
        Put(root + "/104/jo.ini", LayoutBytes("104", true, 400, 0, false));
        std::vector<std::string> folders;
        for (const QString &f : setup(root))
            folders.push_back(f.toStdString());
        const JuryReport report = BuildJuryReport(folders, {});
#ifdef Q_OS_UNIX
        chmod(QFile::encodeName(root + "/105").constData(), 0700);   // so the folder can be removed
#endif
        QCOMPARE(int(report.Layouts.size()), layouts);
        QStringList listed;
        for (const ReportSkipped &s : report.Skipped)
            listed << QString::fromStdString(s.File + "|" + s.Reason);
        if (skipped.isEmpty()) {
            QVERIFY2(listed.isEmpty(), qPrintable(listed.join('\n')));
        } else {
            const QString file = skipped.section('|', 0, 0), reason = skipped.section('|', 1);
            QVERIFY2(std::any_of(listed.begin(), listed.end(), [&](const QString &l) {
                         return l.section('|', 0, 0) == file && l.section('|', 1).contains(reason);
                     }), qPrintable(listed.join('\n')));
        }
        QStringList warnings;
        for (const ReportLayout &l : report.Layouts)
            for (const std::string &w : l.Warnings)
                warnings << QString::fromStdString(w);
        if (warning.isEmpty())
            QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
        else
            QVERIFY2(warnings.join('\n').contains(warning), qPrintable(warnings.join('\n')));
        for (const ReportLayout &l : report.Layouts)
            QVERIFY(!QString::fromStdString(l.File).contains(QChar::ReplacementCharacter));

        // No cell of the table starts like a formula unless it is a number; never
        // evaluated is not a disagreement.
        const auto rows = ParseCsv(QString::fromUtf8(QByteArray::fromStdString(JuryReportCsv(report)).mid(3)));
        for (const auto &row : rows)
            for (const QString &cell : row) {
                const QString t = cell.trimmed();
                QVERIFY2(t.isEmpty() || !QStringLiteral("=+-@").contains(t[0]) || ParseFloat(t.toStdString()),
                         qPrintable(cell));
            }
        const std::string html = JuryReportHtml(report);
        QCOMPARE(html.find("class=\"mismatch\"") == std::string::npos, true);
        QCOMPARE(html.find("HYPERLINK") != std::string::npos, QTest::currentDataTag() == QByteArray("formulas in every text field"));
    }

    void picturesShowDetectorAndRoi()
    {
        QTemporaryDir dir;
        MakeFolder(dir.path());
        TReportCharts charts;
        for (const auto &[file, detector] : {std::pair{"/104/elso.ini", true}, std::pair{"/12/meres.ini", false}}) {
            ReportLayout l;
            QVERIFY(ReadReportLayout((dir.path() + file).toStdString(), l, charts.Painter()).Ok());
            const QImage apparatus = FromPng(l.ApparatusPng);
            QCOMPARE(apparatus.size(), QSize(1000, 745));
            QCOMPARE(CountColour(apparatus, Colors::Detector) > 20, detector);
            // The lime ROI strip lies under each chart.
            for (const std::string &png : l.SpectrumPng)
                QVERIFY(CountColour(FromPng(png), qRgb(0, 255, 0)) > 100);
        }
    }

    // The threads reuse one instrument and the charts one page from file to file:
    // nothing of a file may show in the pictures of the next.
    void picturesDoNotCarryOverToTheNextFile()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 12; ++i)
            Put(dir.path() + QStringLiteral("/7/m%1.ini").arg(i, 2, 10, QLatin1Char('0')),
                LayoutBytes("7", i % 2 == 0, 200 + 50 * i, 0, i % 3 == 0));
        TReportCharts charts;
        const JuryReport report = BuildJuryReport({dir.path().toStdString()}, charts.Painter());
        QCOMPARE(report.Layouts.size(), size_t(12));
        for (const ReportLayout &l : report.Layouts) {
            ReportLayout alone;
            QVERIFY(ReadReportLayout(l.Path, alone, charts.Painter()).Ok());
            QVERIFY2(l.ApparatusPng == alone.ApparatusPng, l.File.c_str());
            QVERIFY2(l.SpectrumPng == alone.SpectrumPng, l.File.c_str());
        }
    }

    void badOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("unknown option") << QStringList{"--bogus", "."};
        QTest::newRow("no folder") << QStringList{"--out", "x"};
        QTest::newRow("out without value") << QStringList{".", "--out"};
        QTest::newRow("missing folder") << QStringList{"/nincs/ilyen/mappa"};
    }
    void badOptions()
    {
        QFETCH(QStringList, args);
        std::vector<std::string> a;
        for (const QString &s : args)
            a.push_back(s.toStdString());
        std::ostringstream out, err;
        QCOMPARE(RunReportTool(a, out, err), 2);
        QVERIFY(err.str().find("használat: ionveto-report") != std::string::npos);
    }

    void menuItemForJuryOnly()
    {
        for (const QString &code : {QStringLiteral("104"), QStringLiteral(IONVETO_TEST_JURY_CODE)}) {
            ModalDriver driver;
            driver.Password(code);
            ProgramUnderTest prog;
            QVERIFY(prog.Identify(driver));
            QAction *item = nullptr;
            for (QAction *a : prog.F().Fjl1->actions())
                if (a->objectName() == QStringLiteral("Osszesitojelentes1"))
                    item = a;
            QVERIFY(item);
            QCOMPARE(item->text(), QString::fromUtf8("Összesítő jelentés…"));
            const bool jury = prog.F().IsJury;
            QCOMPARE(item->isVisible(), jury);
            if (!jury)
                continue;
            // The jury picks the folder (the dialog starts at the program's folder) and where the report goes.
            auto *command = prog.F().findChild<TReportCommand *>();
            QVERIFY(command);
            MakeFolder(prog.Folder.path() + "/verseny");
            QStringList starts;
            command->AskFolder = [&](const QString &, const QString &start) {
                starts << start;
                return starts.size() == 1 ? prog.Folder.path() + "/verseny" : prog.Folder.path() + "/jelentes";
            };
            QUrl opened;
            command->OpenPage = [&](const QUrl &page) { opened = page; return true; };
            item->trigger();
            QCOMPARE(starts.value(0), prog.F().ProgramFolder);
            QCOMPARE(QDir::cleanPath(starts.value(1)), QDir::cleanPath(prog.Folder.path()));
            QCOMPARE(opened, QUrl::fromLocalFile(prog.Folder.path() + "/jelentes/osszesito.html"));
            QVERIFY(QFile::exists(opened.toLocalFile()));
            QCOMPARE(command->LastResult().Layouts, 3);
        }
    }

    // In the window: the progress dialog cancels (nothing written, no browser),
    // and a report that no browser opens is announced with its place.
    void windowCancelsAndSaysWhereTheReportIs()
    {
        ModalDriver driver;
        driver.Password(QStringLiteral(IONVETO_TEST_JURY_CODE));
        ProgramUnderTest prog;
        QVERIFY(prog.Identify(driver));
        auto *command = prog.F().findChild<TReportCommand *>();
        QVERIFY(command);
        const QString folder = prog.Folder.path() + "/verseny", out = prog.Folder.path() + "/jelentes";
        for (int i = 0; i < 40; ++i)
            Put(folder + QStringLiteral("/104/m%1.ini").arg(i), LayoutBytes("104", true, 400, 0, false));
        int asked = 0;
        command->AskFolder = [&](const QString &, const QString &) { return ++asked % 2 ? folder : out; };
        int browser = 0;
        command->OpenPage = [&](const QUrl &) { ++browser; return false; };
        command->ProgressShowMs = 0;

        driver.Then([](QWidget *w) { return qobject_cast<QProgressDialog *>(w) != nullptr; },
                    [](QWidget *w) { static_cast<QProgressDialog *>(w)->cancel(); });
        command->Action->trigger();
        QVERIFY(driver.Settle());
        QVERIFY(command->LastResult().Cancelled);
        QVERIFY(!QFile::exists(out + "/osszesito.html"));
        QCOMPARE(browser, 0);

        command->Action->trigger();
        QVERIFY(command->LastResult().Written);
        QCOMPARE(command->LastResult().Layouts, 40);
        QCOMPARE(browser, 1);
        const QString where = QDir::toNativeSeparators(QFileInfo(out + "/osszesito.html").absoluteFilePath());
        QVERIFY2(driver.PlatformMessages().join('\n').contains(where), qPrintable(driver.PlatformMessages().join('\n')));
        QVERIFY(command->Action->isEnabled());
    }
};

QTEST_MAIN(TestJuryReport)
#include "test_jury_report.moc"
