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

// Records what a load hands over, as the window would show it.
struct Recorder {
    std::vector<std::string> calls;
    std::string userId;
    std::vector<std::string> note;
    bool unknownMode = false;
    int induction = -1;
    std::string mass, meanMass, preset, launched;
    int apertures[4] = {-1, -1, -1, -1};
    bool accepted = false;
    std::array<TPixel, 3> points{};
    std::array<RoiBoxTexts, 2> boxes;
    std::optional<std::string> applyError;   // the conversion failure ApplyParameters gives

    LayoutTarget Target()
    {
        LayoutTarget t;
        t.SetUserId = [this](const std::string &id) { userId = id; calls.push_back("user"); };
        t.ShowNote = [this](const std::vector<std::string> &l) { note = l; calls.push_back("note"); };
        t.SetWarningLatches = [this] { calls.push_back("latches"); };
        t.SelectMode = [this](bool u) { unknownMode = u; calls.push_back("mode"); };
        t.SetInductionPosition = [this](int p) { induction = p; calls.push_back("induction"); };
        t.SetMassTexts = [this](const std::string &a, const std::string &b) { mass = a; meanMass = b; calls.push_back("masses"); };
        t.SetAperturePosition = [this](int w, int p) { apertures[w] = p; calls.push_back("aperture" + std::to_string(w)); };
        t.SetCountTexts = [this](const std::string &a, const std::string &b) { preset = a; launched = b; calls.push_back("counts"); };
        t.SetDetector = [this](bool a, const std::array<TPixel, 3> &p) { accepted = a; points = p; calls.push_back("detector"); };
        t.ApplyParameters = [this] { calls.push_back("apply"); return applyError ? Status::Failure(*applyError) : Status(); };
        t.ShowRoiBoxes = [this](int s, const RoiBoxTexts &b) { boxes[s - 1] = b; calls.push_back("boxes" + std::to_string(s)); };
        t.CountsReplaced = [this](int s) { calls.push_back("counts" + std::to_string(s)); };
        t.RoiRestored = [this](int s) { calls.push_back("roi" + std::to_string(s)); };
        t.TickAuto = [this](int p) { calls.push_back("auto" + std::to_string(p)); };
        return t;
    }

    LayoutSnapshot Snapshot(const Spectra &counts) const
    {
        LayoutSnapshot s;
        s.UserId = userId;
        s.UnknownMode = unknownMode;
        s.Fields = {std::to_string(induction / 100) + "." + (induction % 100 < 10 ? "0" : "") + std::to_string(induction % 100),
                    mass, meanMass, "", "", "", "", preset, launched};
        s.DetectorAccepted = accepted;
        s.DetectorPoints = points;
        s.Counts = &counts;
        s.RoiBoxes = boxes;
        return s;
    }
};

LayoutSnapshot ContestantState(const Spectra &counts)
{
    LayoutSnapshot s;
    s.UserId = "7";
    s.Note = std::vector<std::string>{"1. mérés: őszi minta", "Blende=0.02", "árvíztűrő tükörfúrógép"};
    s.UnknownMode = true;
    s.Fields = {"0.85", "120", "25", "0.005", "0.006", "0.02", "0", "5000", "5000"};
    s.DetectorAccepted = true;
    s.DetectorPoints = {TPixel{228, 474}, TPixel{229, 483}, TPixel{230, 492}};
    s.Counts = &counts;
    s.RoiBoxes = {RoiBoxTexts{"500", "590", "4781", "  546.1383"}, RoiBoxTexts{"0", "0", "", ""}};
    return s;
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
        const LayoutSnapshot s = ContestantState(counts);
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
        LayoutSnapshot s = ContestantState(counts);
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

    void loadWalksTheEntriesInOrder()
    {
        Spectra counts;
        counts.SetCount(1, 17, 42);
        counts.SetCount(1, 18, 3);
        ProfileFile f;
        QVERIFY(WriteLayout(f, ContestantState(counts)));
        Spectra loaded;
        loaded.SetCount(2, 5, 9);   // replaced by the empty spectrum 2 of the file
        std::array<RoiData, 2> roi{};
        Recorder r;
        QVERIFY(LoadLayout(f, loaded, roi, r.Target()).Ok());
        const std::vector<std::string> order = {"user", "note", "latches", "mode", "induction", "masses",
                                                "aperture0", "aperture1", "aperture2", "aperture3", "counts",
                                                "detector", "apply", "boxes1", "counts1", "roi1", "auto1",
                                                "boxes2", "counts2", "roi2", "auto2"};
        QCOMPARE(r.calls, order);
        QCOMPARE(r.userId, std::string("7"));
        QCOMPARE(r.note.size(), size_t(3));
        QCOMPARE(r.note[2], std::string("árvíztűrő tükörfúrógép"));
        QVERIFY(r.unknownMode);
        QCOMPARE(r.induction, 85);
        QCOMPARE(r.apertures[0], 5);
        QCOMPARE(r.apertures[1], 6);
        QCOMPARE(r.apertures[2], 20);
        QCOMPARE(r.apertures[3], 0);
        QCOMPARE(r.mass, std::string("120"));
        QCOMPARE(r.meanMass, std::string("25"));
        QVERIFY(r.accepted);
        QCOMPARE(r.points[1], (TPixel{229, 483}));
        QCOMPARE(loaded.Counts(1), counts.Counts(1));
        QCOMPARE(loaded.MaxCount(2), 0.0);
        QCOMPARE(roi[0].X1, 500);
        QCOMPARE(roi[0].X2, 590);
        QCOMPARE(roi[0].Brutto, 4781);
        QCOMPARE(roi[0].Kozep, 546.1383);
        // Empty result boxes come back as "0".
        QCOMPARE(r.boxes[1].Brutto, std::string("0"));
        QCOMPARE(r.boxes[0].Kozep, std::string("546.1383"));
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
            Spectra c;
            std::array<RoiData, 2> roi{};
            Recorder r;
            QVERIFY(LoadLayout(f, c, roi, r.Target()).Ok());
            QCOMPARE(r.unknownMode, unknown);
        }
    }

    void missingFileLoadsTheDefaults()
    {
        ProfileFile f;
        QVERIFY(f.Load("/nonexistent/none.ini"));
        Spectra c;
        c.SetCount(1, 3, 4);
        std::array<RoiData, 2> roi{};
        roi[0].X1 = 77;
        Recorder r;
        QVERIFY(LoadLayout(f, c, roi, r.Target()).Ok());
        QCOMPARE(r.userId, std::string("None"));
        QVERIFY(!r.unknownMode);
        QCOMPARE(r.induction, 10);
        QCOMPARE(r.mass, std::string("1"));
        QCOMPARE(r.meanMass, std::string("1"));
        QCOMPARE(r.apertures[0], 5);
        QCOMPARE(r.apertures[3], 0);
        QCOMPARE(r.preset, std::string("0"));
        QVERIFY(!r.accepted);
        // Both sections ignored: the spectra and ROI stay, only the Auto switches are ticked.
        QCOMPARE(c.Count(1, 3), 4.0);
        QCOMPARE(roi[0].X1, 77);
        QVERIFY(std::find(r.calls.begin(), r.calls.end(), "note") == r.calls.end());
        QCOMPARE(r.calls.back(), std::string("auto2"));
        QCOMPARE(r.calls[r.calls.size() - 2], std::string("auto1"));
    }

    void aValueThatIsNoNumberStopsTheLoadThere()
    {
        ProfileFile f;
        f.WriteString("Config", "B_terero", "1.2");
        f.WriteString("Config", "Blende_1", "0.01");
        f.WriteString("Config", "Blende_2", "0,005");
        f.WriteString("Spectrum1", "Spektrum", "1");
        f.WriteString("Spectrum1", "Ch3", "5");
        Spectra c;
        std::array<RoiData, 2> roi{};
        Recorder r;
        const Status error = LoadLayout(f, c, roi, r.Target());
        QVERIFY(!error);
        QCOMPARE(error.Message(), std::string("„0,005” nem érvényes szám."));
        QCOMPARE(r.induction, 120);
        QCOMPARE(r.apertures[0], 10);
        QCOMPARE(r.apertures[1], -1);
        QCOMPARE(c.MaxCount(1), 0.0);
        // A detector point that is no whole number, and an empty "Spektrum".
        ProfileFile g;
        g.WriteString("Config", "Detector", "Active");
        g.WriteString("Config", "DetPoint1_X", "12.5");
        Recorder r2;
        QCOMPARE(LoadLayout(g, c, roi, r2.Target()).Message(), std::string("„12.5” nem érvényes szám."));
        ProfileFile h;
        h.WriteString("Spectrum1", "Spektrum", "");
        Recorder r3;
        QCOMPARE(LoadLayout(h, c, roi, r3.Target()).Message(), std::string("„” nem érvényes szám."));
        // The parameters' own conversion failure stops before the spectra.
        Recorder r4;
        r4.applyError = "„x” nem érvényes szám.";
        QVERIFY(!LoadLayout(f.FromBytes("[Spectrum1]\r\nSpektrum=1\r\nCh1=4\r\n"), c, roi, r4.Target()));
        QCOMPARE(c.MaxCount(1), 0.0);
    }

    void loadedValuesTheirFieldsWouldRefuseStopTheLoad()
    {
        // Each file stops at the entry with one message naming key, text and range;
        // nothing after it is handed over (no mass texts, detector or application).
        struct Case {
            const char *config;
            const char *message;   // empty: the load goes through
            const char *lastCall;
        };
        const Case cases[] = {
            {"Mk\xf6z\xe9p=0", "Mközép: „0” a megengedett tartományon kívül esik (1 … 1000).", "induction"},
            {"Mm =0", "Mm: „0” a megengedett tartományon kívül esik (1 … 1000).", "induction"},
            {"Mm =-120", "Mm: „-120” a megengedett tartományon kívül esik (1 … 1000).", "induction"},
            {"Mm=1000.5", "Mm: „1000.5” a megengedett tartományon kívül esik (1 … 1000).", "induction"},
            {"Mk\xf6z\xe9p=inf", "Mközép: „inf” a megengedett tartományon kívül esik (1 … 1000).", "induction"},
            {"Mk\xf6z\xe9p=-NaN", "Mközép: „-NaN” a megengedett tartományon kívül esik (1 … 1000).", "induction"},
            {"Mk\xf6z\xe9p=1e999", "Mközép: „1e999” a megengedett tartományon kívül esik (1 … 1000).", "induction"},
            {"Mk\xf6z\xe9p=abc", "„abc” nem érvényes szám.", "induction"},
            {"Mm=1\r\nMk\xf6z\xe9p=1000", "", "auto2"},
            {"Type=Ismeretlen\r\nMm=5000", "", "auto2"},   // the unknown-mass mode does not use it
            {"Detector=Active\r\nDetPoint1_X=20000000",
             "DetPoint1_X: „20000000” a megengedett tartományon kívül esik (0 … 999).", "counts"},
            {"Detector=Active\r\nDetPoint2_X=-1", "DetPoint2_X: „-1” a megengedett tartományon kívül esik (0 … 999).", "counts"},
            {"Detector=Active\r\nDetPoint3_Y=745", "DetPoint3_Y: „745” a megengedett tartományon kívül esik (0 … 744).",
             "counts"},
            {"Detector=Active\r\nDetPoint3_X=999\r\nDetPoint3_Y=744", "", "auto2"},
        };
        for (const Case &c : cases) {
            Spectra counts;
            std::array<RoiData, 2> roi{};
            Recorder r;
            const Status loaded = LoadLayout(ProfileFile::FromBytes(std::string("[Config]\r\n") + c.config), counts,
                                             roi, r.Target());
            QVERIFY2(loaded.Message() == c.message && loaded.Ok() == !*c.message, c.config);
            QVERIFY2(r.calls.back() == c.lastCall, c.config);
        }

        // The headless tool says the same and fails.
        QTemporaryDir dir;
        const QString path = dir.filePath("range.ini");
        QVERIFY(ProfileFile::FromBytes("[Config]\r\nMk\xf6z\xe9p=0\r\n").Save(path.toStdString()));
        QProcess p;
        p.start(IONVETO_SIM_PATH, {"--layout", path});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
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
        Spectra c;
        c.SetCount(1, 7, 7);
        std::array<RoiData, 2> roi{};
        Recorder r;
        QVERIFY(LoadLayout(f, c, roi, r.Target()).Ok());
        QCOMPARE(c.Count(1, 7), 7.0);   // chart 1 keeps what it had
        QCOMPARE(c.Count(2, 10), 0.0);  // chart 2 ends with the second section
        QCOMPARE(c.Count(2, 20), 3.0);
        double total = 0;
        for (double v : c.Counts(2))
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
        Spectra c;
        std::array<RoiData, 2> roi{};
        Recorder r;
        QVERIFY(LoadLayout(f, c, roi, r.Target()).Ok());
        QCOMPARE(c.Counts(1), counts.Counts(1));
        QCOMPARE(c.Counts(2), counts.Counts(2));
        QCOMPARE(roi[0].Brutto, 12);
        QCOMPARE(r.userId, std::string("None"));
        QCOMPARE(r.induction, 10);
    }

    void savedAgainTheSameBytes()
    {
        Spectra counts;
        for (int i = 0; i <= 1000; i += 7)
            counts.SetCount(i % 2 + 1, i, i % 13 + 1);
        LayoutSnapshot first = ContestantState(counts);
        first.Fields.Induction = "0.85";
        ProfileFile f;
        QVERIFY(WriteLayout(f, first));
        const std::string bytes = Bytes(ProfileFile::FromBytes(Bytes(f)));
        QCOMPARE(bytes, Bytes(f));

        Spectra c;
        std::array<RoiData, 2> roi{};
        Recorder r;
        QVERIFY(LoadLayout(ProfileFile::FromBytes(bytes), c, roi, r.Target()).Ok());
        LayoutSnapshot again = r.Snapshot(c);
        again.Note = r.note;
        again.Fields.Blende1 = first.Fields.Blende1;   // shown by the arrows as "0.005" and so on
        again.Fields.Blende2 = first.Fields.Blende2;
        again.Fields.Blende3 = first.Fields.Blende3;
        again.Fields.Offset = first.Fields.Offset;
        again.RoiBoxes[1] = first.RoiBoxes[1];          // a loaded empty box shows "0"
        again.RoiBoxes[0].Kozep = "  546.1383";
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
            Spectra c;
            std::array<RoiData, 2> roi{};
            Recorder r;
            (void)LoadLayout(ProfileFile::FromBytes(text), c, roi, r.Target());
            for (int s = 1; s <= 2; ++s)
                for (double v : c.Counts(s))
                    QVERIFY(std::isfinite(v) || std::isinf(v));
        }
    }

    void headlessToolReRunsASavedLayout()
    {
        QTemporaryDir dir;
        Spectra counts;
        counts.SetCount(1, 546, 40);
        counts.SetCount(2, 630, 5);
        LayoutSnapshot s = ContestantState(counts);
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
        bad.WriteString("Config", "Blende_2", "0,005");
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
