// The layout-and-measurement file without the window: what is written in which
// order, how a load walks the entries, its defaults, its stops, and a re-run
// of a saved layout by the headless tool.
#include "Main/core/LayoutFile.h"
#include "Main/core/ChartText.h"
#include "Main/core/TextExport.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The state a contestant saves: note, unknown mode, detector, chart 1 with a ROI result.
LayoutRecord ContestantState(const Spectra &counts)
{
    LayoutRecord s;
    s.UserId = "7";
    s.Note = std::vector<std::string>{"1. mérés: őszi minta", "Blende=0.02", "árvíztűrő tükörfúrógép"};
    s.UnknownMode = true;
    s.Fields = {"0.85", "120", "25", "0.005", "0.006", "0.02", "0", "5000", "5000"};
    s.DetectorAccepted = true;
    s.DetectorPoints = {TPixel{228, 474}, TPixel{229, 483}, TPixel{230, 492}};
    s.Spectra[0] = LayoutSpectrum{counts.Counts(1), RoiBoxTexts{"500", "590", "4781", "  546.1383"}, {}};
    s.Spectra[1] = LayoutSpectrum{counts.Counts(2), RoiBoxTexts{"0", "0", "", ""}, {}};
    return s;
}

LayoutRecord Read(const std::string &bytes, Status *loaded = nullptr)
{
    LayoutRead r = ReadLayout(ProfileFile::FromBytes(bytes));
    if (loaded)
        *loaded = r.Loaded;
    return r.Record;
}

std::string Bytes(const ProfileFile &f)
{
    return f.ToBytes();
}

} // namespace

class LayoutFileTest : public QObject {
    Q_OBJECT

private slots:
    void entriesInTheirOrder()
    {
        Spectra counts;
        counts.SetCount(1, 17, 42);
        const LayoutRecord s = ContestantState(counts);
        ProfileFile f;
        QVERIFY(WriteLayout(f, s));
        QCOMPARE(f.SectionNames(), (std::vector<std::string>{"User", "Config", "Spectrum1", "Spectrum2"}));
        const std::vector<std::string> expected = {"REM0", "REM1", "REM2", "Type", "B_terero", "Mm", "Mközép",
                                                   "Blende_1", "Blende_2", "Blende_3", "Helyzet", "Preset",
                                                   "Összes", "Detector", "DetPoint1_X", "DetPoint1_Y",
                                                   "DetPoint2_X", "DetPoint2_Y", "DetPoint3_X", "DetPoint3_Y"};
        QCOMPARE(f.SectionKeys("Config"), expected);
        // A note line holding ":" or "=" is stored whole.
        QCOMPARE(f.ReadString("Config", "REM0", ""), std::string("1. mérés: őszi minta"));
        QCOMPARE(f.ReadString("Config", "REM1", ""), std::string("Blende=0.02"));
        QCOMPARE(f.ReadString("Config", "Type", ""), std::string("Ismeretlen"));
        QCOMPARE(f.ReadString("Config", "DetPoint2_Y", ""), std::string("483"));
        QCOMPARE(f.ReadString("Spectrum1", "Ch17", ""), std::string("42"));
        QCOMPARE(f.ReadString("Spectrum1", "ROI_Közép", ""), std::string("546.1383"));
        // Spectrum 2 is empty: five entries.
        QCOMPARE(f.SectionKeys("Spectrum2").size(), size_t(5));
        QVERIFY(Bytes(f).find("[User]\r\nName=7\r\n[Config]\r\nREM0=") == 0);
    }

    void noNoteAndNoDetectorWriteNeither()
    {
        Spectra counts;
        LayoutRecord s = ContestantState(counts);
        s.Note.reset();
        s.DetectorAccepted = false;
        ProfileFile f;
        QVERIFY(WriteLayout(f, s));
        for (const std::string &key : f.SectionKeys("Config")) {
            QVERIFY(key.find("REM") == std::string::npos);
            QVERIFY(key.find("DetPoint") == std::string::npos);
        }
        QCOMPARE(f.ReadString("Config", "Detector", ""), std::string("Inactive"));
    }

    void readGivesTheRecordTheWriterTook()
    {
        Spectra counts;
        counts.SetCount(1, 17, 42);
        counts.SetCount(1, 18, 3);
        ProfileFile f;
        QVERIFY(WriteLayout(f, ContestantState(counts)));
        const LayoutRead read = ReadLayout(f);
        QVERIFY(read.Loaded.Ok());
        const LayoutRecord &r = read.Record;
        QCOMPARE(r.UserId, std::string("7"));
        QCOMPARE(r.Note->size(), size_t(3));
        QCOMPARE((*r.Note)[2], std::string("árvíztűrő tükörfúrógép"));
        QVERIFY(r.UnknownMode);
        // Arrow fields as the arrows show them; typed fields as written.
        const LayoutFieldTexts expected{"0.85", "120", "25", "0.005", "0.006", "0.02", "0", "5000", "5000"};
        QCOMPARE(std::tie(r.Fields.Induction, r.Fields.Mass, r.Fields.MeanMass, r.Fields.Blende1, r.Fields.Blende2,
                          r.Fields.Blende3, r.Fields.Offset, r.Fields.Preset, r.Fields.Launched),
                 std::tie(expected.Induction, expected.Mass, expected.MeanMass, expected.Blende1, expected.Blende2,
                          expected.Blende3, expected.Offset, expected.Preset, expected.Launched));
        QVERIFY(r.DetectorAccepted);
        QCOMPARE(r.DetectorPoints[1], (TPixel{229, 483}));
        QCOMPARE(r.SectionCharts, (std::array<int, 2>{1, 2}));
        QCOMPARE(r.Spectra[0]->Counts, counts.Counts(1));
        QCOMPARE(r.Spectra[1]->Counts, counts.Counts(2));
        QCOMPARE(r.Spectra[0]->Roi.X1, 500);
        QCOMPARE(r.Spectra[0]->Roi.X2, 590);
        QCOMPARE(r.Spectra[0]->Roi.Brutto, 4781);
        QCOMPARE(r.Spectra[0]->Roi.Kozep, 546.1383);
        // Empty result boxes come back as "0".
        QCOMPARE(r.Spectra[1]->Boxes.Brutto, std::string("0"));
        QCOMPARE(r.Spectra[0]->Boxes.Kozep, std::string("546.1383"));
        QVERIFY(r.Warnings.empty());
    }

    void arrowPositionsRoundHalfEvenWithinTheirRanges()
    {
        QCOMPARE(ArrowPosition(0.85, 100, 0.1, 2), 85);
        QCOMPARE(ArrowPosition(0.0625, 1000, 0.005, 0.1), 62);
        QCOMPARE(ArrowPosition(0.0635, 1000, 0.005, 0.1), 64);
        QCOMPARE(ArrowPosition(5, 100, 0.1, 2), 200);
        QCOMPARE(ArrowPosition(0, 100, 0.1, 2), 10);
        QCOMPARE(ArrowPosition(-1, 1000, -0.05, 0.05), -50);
        QCOMPARE(ArrowPosition(1e300, 1000, 0.005, 0.1), 100);
    }

    void typeOtherThanTesztSelectsTheUnknownMode()
    {
        for (const auto &[type, unknown] : std::vector<std::pair<std::string, bool>>{
                 {"Teszt", false}, {"teszt", true}, {"Ismeretlen", true}, {"TESZT", true}}) {
            ProfileFile f;
            f.WriteString("Config", "Type", type);
            QCOMPARE(ReadLayout(f).Record.UnknownMode, unknown);
        }
    }

    void missingFileLoadsTheDefaults()
    {
        ProfileFile f;
        QVERIFY(f.Load("/nonexistent/none.ini"));
        const LayoutRead read = ReadLayout(f);
        QVERIFY(read.Loaded.Ok());
        const LayoutRecord &r = read.Record;
        QCOMPARE(r.UserId, std::string("None"));
        QVERIFY(!r.UnknownMode);
        QCOMPARE(r.Fields.Induction, std::string("0.1"));
        QCOMPARE(r.Fields.Mass, std::string("1"));
        QCOMPARE(r.Fields.MeanMass, std::string("1"));
        QCOMPARE(r.Fields.Blende1, std::string("0.005"));
        QCOMPARE(r.Fields.Offset, std::string("0"));
        QCOMPARE(r.Fields.Preset, std::string("0"));
        QVERIFY(!r.DetectorAccepted && !r.Note);
        // Both sections ignored: no chart is replaced, both Auto switches are ticked.
        QVERIFY(!r.Spectra[0] && !r.Spectra[1]);
        QCOMPARE(r.SectionCharts, (std::array<int, 2>{0, 0}));
    }

    void onlyASpectrumSectionStopsTheLoad()
    {
        // A spectrum section that cannot be read stops there; what came before is kept.
        const struct {
            const char *file;
            const char *message;
            std::array<int, 2> sections;
        } cases[] = {
            {"[Spectrum1]\r\nSpektrum=\r\n", "„” nem érvényes szám.", {-1, -1}},
            {"[Spectrum1]\r\nSpektrum=1\r\nCh3=1\r\nCh=5\r\n", "„” nem érvényes szám.", {-1, -1}},
            {"[Spectrum1]\r\nSpektrum=1\r\nCh3=1\r\n[Spectrum2]\r\nSpektrum=2\r\nCh4=x\r\n", "„x” nem érvényes szám.",
             {1, -1}},
            {"[Spectrum2]\r\nSpektrum=2\r\nROI_Brutto=1.5\r\n", "„1.5” nem érvényes szám.", {0, -1}},
        };
        for (const auto &c : cases) {
            Status loaded;
            const LayoutRecord r = Read(c.file, &loaded);
            QCOMPARE(loaded.Message(), std::string(c.message));
            QCOMPARE(r.SectionCharts, c.sections);
            QCOMPARE(r.Spectra[0].has_value(), c.sections[0] == 1);
            QVERIFY(!r.Spectra[1]);
        }
    }

    void settingsTheInstrumentCannotTakeAreWarningsNotStops()
    {
        // Each file has a spectrum: whatever its settings, the spectrum, ROI and note
        // come through; each refused setting is named once, and the field keeps its
        // text (empty) or gets the nearest limit.
        struct Case {
            const char *config;
            const char *warning;   // empty: none
            const char *mass, *meanMass;
            bool detector;
        };
        const Case cases[] = {
            {"Mm=1001", "Mm: „1001” a megengedett tartományon kívül esik (1 … 1000).", "1000", "1", false},
            {"Mk\xf6z\xe9p=0", "Mközép: „0” a megengedett tartományon kívül esik (1 … 1000).", "1", "1", false},
            {"Mm =-120", "Mm: „-120” a megengedett tartományon kívül esik (1 … 1000).", "1", "1", false},
            {"Mk\xf6z\xe9p=inf", "Mközép: „inf” a megengedett tartományon kívül esik (1 … 1000).", "1", "", false},
            {"Mk\xf6z\xe9p=1e999", "Mközép: „1e999” a megengedett tartományon kívül esik (1 … 1000).", "1", "", false},
            {"Mk\xf6z\xe9p=abc", "Mközép: „abc” nem érvényes szám.", "1", "", false},
            {"Mm=abc", "Mm: „abc” nem érvényes szám.", "", "1", false},
            {"Blende_2=0,005", "Blende_2: „0,005” nem érvényes szám.", "1", "1", false},
            {"Type=Ismeretlen\r\nMm=5000", "", "5000", "1", false},   // the unknown-mass mode does not use it
            {"Detector=Active\r\nDetPoint1_X=20000000",
             "DetPoint1_X: „20000000” a megengedett tartományon kívül esik (0 … 999).", "1", "1", false},
            {"Detector=Active\r\nDetPoint1_X=12.5", "DetPoint1_X: „12.5” nem érvényes szám.", "1", "1", false},
            {"Detector=Active\r\nDetPoint3_Y=745", "DetPoint3_Y: „745” a megengedett tartományon kívül esik (0 … 744).",
             "1", "1", false},
            {"Detector=Active\r\nDetPoint3_X=999\r\nDetPoint3_Y=744", "", "1", "1", true},
            {"B_terero=5", "", "1", "1", false},   // arrows keep to their range, as always
        };
        for (const Case &c : cases) {
            Status loaded;
            const LayoutRecord r = Read(std::string("[Config]\r\nREM0=40 ion\r\n") + c.config
                                            + "\r\n[Spectrum1]\r\nSpektrum=1\r\nROI_Minimum=30\r\nCh40=40\r\n",
                                        &loaded);
            QVERIFY2(loaded.Ok(), c.config);
            QCOMPARE(r.Warnings, *c.warning ? std::vector<std::string>{c.warning} : std::vector<std::string>{});
            QCOMPARE(r.Fields.Mass, std::string(c.mass));
            QCOMPARE(r.Fields.MeanMass, std::string(c.meanMass));
            QCOMPARE(r.DetectorAccepted, c.detector);
            QVERIFY2(r.Spectra[0] && r.Spectra[0]->Counts[40] == 40 && r.Spectra[0]->Roi.X1 == 30, c.config);
            QCOMPARE(r.Note, std::optional<std::vector<std::string>>(std::vector<std::string>{"40 ion"}));
        }
        // Several at once make one message, each setting on a line of its own.
        const LayoutRecord r = Read("[Config]\r\nMm=1001\r\nBlende_1=x\r\n");
        QCOMPARE(r.Warnings.size(), size_t(2));
        const std::string text = LayoutWarningText(r.Warnings);
        QVERIFY(text.find("\rMm: „1001”") != std::string::npos && text.find("\rBlende_1: „x”") != std::string::npos);
        QCOMPARE(LayoutWarningText({}), std::string());

        // The headless tool warns and goes on.
        QTemporaryDir dir;
        const QString path = dir.filePath("range.ini");
        QVERIFY(ProfileFile::FromBytes("[Config]\r\nMk\xf6z\xe9p=0\r\n").Save(path.toStdString()));
        QProcess p;
        p.start(IONVETO_SIM_PATH, {"--layout", path, "--ions", "0"});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains("Mközép: „0” a megengedett tartományon kívül esik (1 … 1000)."));
    }

    void sectionsFillTheChartTheyName()
    {
        ProfileFile f;
        f.WriteString("Spectrum1", "Spektrum", "2");
        f.WriteString("Spectrum1", "Ch10", "1");
        f.WriteString("Spectrum2", "Spektrum", "2");
        f.WriteString("Spectrum2", "Ch20", "3");
        f.WriteString("Spectrum2", "Ch1001", "3");
        f.WriteString("Spectrum2", "Ch-1", "3");
        const LayoutRead read = ReadLayout(f);
        QVERIFY(read.Loaded.Ok());
        const LayoutRecord &r = read.Record;
        QVERIFY(!r.Spectra[0]);                 // chart 1 keeps what it had
        QCOMPARE(r.SectionCharts, (std::array<int, 2>{2, 2}));
        QCOMPARE(r.Spectra[1]->Counts[10], 0.0);  // chart 2 ends with the second section
        QCOMPARE(r.Spectra[1]->Counts[20], 3.0);
        double total = 0;
        for (double v : r.Spectra[1]->Counts)
            total += v;
        QCOMPARE(total, 3.0);
    }

    void aTextExportLoadsAsALayout()
    {
        Spectra counts;
        counts.SetCount(1, 100, 12);
        counts.SetCount(2, 900, 4);
        ProfileFile f;
        QVERIFY(WriteBothSpectra(f, {"Minta A"}, counts,
                                 {RoiBoxTexts{"90", "110", "12", "  100.0000"}, RoiBoxTexts{"0", "0", "", ""}}));
        const LayoutRead read = ReadLayout(f);
        QVERIFY(read.Loaded.Ok());
        const LayoutRecord &r = read.Record;
        QCOMPARE(r.Spectra[0]->Counts, counts.Counts(1));
        QCOMPARE(r.Spectra[1]->Counts, counts.Counts(2));
        QCOMPARE(r.Spectra[0]->Roi.Brutto, 12);
        QCOMPARE(r.UserId, std::string("None"));
        QCOMPARE(r.Fields.Induction, std::string("0.1"));
    }

    void savedAgainTheSameBytes()
    {
        Spectra counts;
        for (int i = 0; i <= 1000; i += 7)
            counts.SetCount(i % 2 + 1, i, i % 13 + 1);
        LayoutRecord first = ContestantState(counts);
        first.Fields.Induction = "0.85";
        ProfileFile f;
        QVERIFY(WriteLayout(f, first));
        const std::string bytes = Bytes(ProfileFile::FromBytes(Bytes(f)));
        QCOMPARE(bytes, Bytes(f));

        const LayoutRead read = ReadLayout(ProfileFile::FromBytes(bytes));
        QVERIFY(read.Loaded.Ok());
        LayoutRecord again = read.Record;
        again.Spectra[1]->Boxes = first.Spectra[1]->Boxes;   // a loaded empty box shows "0"
        ProfileFile g;
        QVERIFY(WriteLayout(g, again));
        QCOMPARE(Bytes(g), bytes);
    }

    void malformedFilesNeverCrashTheLoader()
    {
        QRandomGenerator rng(1234);
        const char *pieces[] = {"[Config]", "[Spectrum1]", "[Spectrum2]", "[User", "Spektrum=1", "Spektrum=2",
                                "Spektrum=x", "Ch5=3", "Ch-3=1", "Ch1001=5", "Ch99999999999=1", "Ch=4",
                                "Chx=1", "Ch7=abc", "Ch8=1e308", "Ch9=-4", "Type=Teszt", "B_terero=abc",
                                "Blende_1=1e400", "Detector=Active", "DetPoint1_X=5", "REM0=x", "=", "[]",
                                "ROI_Minimum=-5", "ROI_Brutto=99999999999", "\x01\x02", "Mm=0"};
        for (int round = 0; round < 500; ++round) {
            std::string text;
            const int lines = rng.bounded(1, 40);
            for (int i = 0; i < lines; ++i) {
                if (rng.bounded(5) == 0) {
                    for (int k = rng.bounded(60); k > 0; --k)
                        text += char(rng.bounded(256));
                } else {
                    text += pieces[rng.bounded(int(std::size(pieces)))];
                }
                text += rng.bounded(3) ? "\r\n" : "\n";
            }
            const LayoutRecord r = Read(text);
            for (const auto &chart : r.Spectra)
                if (chart)
                    for (double v : chart->Counts)
                        QVERIFY(std::isfinite(v) || std::isinf(v));
            for (const std::string &w : r.Warnings)
                QVERIFY(!w.empty());
        }
    }

    void headlessToolReRunsASavedLayout()
    {
        QTemporaryDir dir;
        Spectra counts;
        counts.SetCount(1, 546, 40);
        counts.SetCount(2, 630, 5);
        LayoutRecord s = ContestantState(counts);
        s.UnknownMode = false;
        s.Fields.Induction = "1";
        s.Fields.MeanMass = "120";
        ProfileFile f;
        QVERIFY(WriteLayout(f, s));
        const QString layout = dir.filePath("layout.ini");
        QVERIFY(f.Save(layout.toStdString()));

        // --ions 0: only loads, and the written spectra are the file's.
        const QString out = dir.filePath("out.txt");
        QProcess p;
        p.start(IONVETO_SIM_PATH, {"--layout", layout, "--ions", "0", "--spectrum-out", out});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        ProfileFile written;
        QVERIFY(written.Load(out.toStdString()));
        Spectra reread;
        for (int n = 1; n <= 2; ++n) {
            const SpectrumSectionText t = ReadSpectrumSection(written, "Spectrum" + std::to_string(n));
            QVERIFY(ApplyChannels(t, n, reread).Ok());
            QCOMPARE(reread.Counts(n), counts.Counts(n));
        }
        QCOMPARE(written.ReadString("Spectrum1", "ROI_Brutto", ""), std::string("4781"));

        // A run on top: the loaded detector counts the new ions into spectrum 1.
        p.start(IONVETO_SIM_PATH, {"--layout", layout, "--ions", "200", "--seed", "1", "--spectrum-out", out});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        const QString summary = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(!summary.contains("hits 0,"), qPrintable(summary));

        // A file that stops the load is reported with the conversion message.
        ProfileFile bad;
        bad.WriteString("Spectrum1", "Spektrum", "0,005");
        const QString badPath = dir.filePath("bad.ini");
        QVERIFY(bad.Save(badPath.toStdString()));
        p.start(IONVETO_SIM_PATH, {"--layout", badPath});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains("„0,005” nem érvényes szám."));
    }
};

QTEST_GUILESS_MAIN(LayoutFileTest)
#include "test_layout_file.moc"
