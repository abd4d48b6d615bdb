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
#include <QRegularExpression>

#include <sstream>

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
    LayoutSnapshot s;
    s.UserId = user;
    s.Note = Note;
    s.UnknownMode = unknown;
    s.Fields = {"0.85", "120", "120", "0.02", "0.02", "0.008", "0", "500", "500"};
    s.DetectorAccepted = detector;
    s.DetectorPoints = {TPixel{236, 460}, TPixel{237, 483}, TPixel{238, 506}};
    s.Counts = &counts;
    s.RoiBoxes[0] = {std::to_string(roi.X1), std::to_string(roi.X2), FormatBrutto(roi.Brutto + bruttoDelta),
                     std::string(TrimControl(FormatKozep(roi.Kozep)))};
    s.RoiBoxes[1] = {"690", "710", "9", "700.0000"};
    ProfileFile f;
    WriteLayout(f, s);
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
    damaged.replace(damaged.find("B_terero=0.85"), 13, "B_terero=0,85");
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
        QCOMPARE(header.size(), size_t(36));
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
        QVERIFY(rows[7][2].startsWith(QString::fromUtf8("nem elrendezésfájl")));
        const auto &damaged = rows[8];
        QVERIFY(damaged[0].endsWith(QStringLiteral("12")));
        QCOMPARE(damaged[1], QStringLiteral("hibas.ini"));
        QCOMPARE(damaged[2], QString::fromUtf8("„0,85” nem érvényes szám."));

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
        QVERIFY(html.indexOf(QString::fromUtf8("„0,85” nem érvényes szám."), skipped) > 0);
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
        QVERIFY(err.str().find("usage: ionveto-report") != std::string::npos);
    }

    void menuItemForJuryOnly()
    {
        for (const QString &code : {QStringLiteral("104"), QString::fromLatin1(JuryCode.data(), int(JuryCode.size()))}) {
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
};

QTEST_MAIN(TestJuryReport)
#include "test_jury_report.moc"
