// The headless simulator as scripts use it: options checked like the fields,
// exit status 2 with a message naming the option, a summary line, a picture.
#include "Main/core/ProfileFile.h"
#include "tools/SimOptions.h"
#include "helpers/FailingWrite.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#ifndef Q_OS_WIN
#include <sys/resource.h>
#endif

namespace {

struct Result {
    int exitCode;
    QString out, err;
};

// `sizeLimit` > 0: the run's writes fail, as WhileWritesFail makes them fail,
// here by a file-size limit for the child only, as `ulimit -f` sets it.
Result RunSim(const QStringList &args, qint64 sizeLimit = 0)
{
    QProcess p;
#ifndef Q_OS_WIN
    if (sizeLimit > 0)
        p.setChildProcessModifier([sizeLimit] {
            rlimit r{};
            getrlimit(RLIMIT_FSIZE, &r);
            r.rlim_cur = static_cast<rlim_t>(sizeLimit);
            setrlimit(RLIMIT_FSIZE, &r);
        });
#else
    Q_UNUSED(sizeLimit);
#endif
    p.start(IONVETO_SIM_PATH, args);
    p.waitForFinished(120000);
    // A run ended by a signal reads as -1, never as a status the tool could give.
    return {p.exitStatus() == QProcess::CrashExit ? -1 : p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

class SimToolTest : public QObject {
    Q_OBJECT

private slots:
    void badValuesAreRefusedNamingTheOption_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("mass too big") << QStringList{"--mass", "1001"} << "--mass must be a number from 1 to 1000";
        QTest::newRow("mean mass text") << QStringList{"--mean-mass", "abc"} << "--mean-mass";
        QTest::newRow("comma") << QStringList{"--blende1", "0,02"} << "--blende1 must be a number from 0.005 to 0.1";
        QTest::newRow("induction") << QStringList{"--induction", "2.01"} << "from 0.1 to 2";
        QTest::newRow("offset") << QStringList{"--offset=-0.06"} << "--offset must be a number from -0.05 to 0.05";
        QTest::newRow("on/off") << QStringList{"--mono", "yes"} << "--mono must be on or off";
        QTest::newRow("negative ions") << QStringList{"--ions", "-1"} << "--ions";
        QTest::newRow("missing value") << QStringList{"--seed"} << "--seed needs a value";
        QTest::newRow("unknown") << QStringList{"--frobnicate", "1"} << "unknown option";
        QTest::newRow("mode") << QStringList{"--mode", "fast"} << "--mode must be test or unknown";
        QTest::newRow("detector count") << QStringList{"--detector", "1,2,3"} << "--detector takes 6 whole numbers";
    }
    void badValuesAreRefusedNamingTheOption()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, mentions);
        const Result r = RunSim(args);
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(mentions), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }

    void optionsReachTheFields()
    {
        SimOptions o;
        const Status r = ParseSimOptions({"--mass", "119", "--blende3=0.01", "--point-source", "off", "--ions", "0",
                                          "--seed", "9", "--mode", "unknown"},
                                         o);
        QVERIFY(r.Ok());
        QCOMPARE(o.Fields.Mass, 119.0);
        QCOMPARE(o.Fields.Blende3, 0.01);
        QVERIFY(!o.Fields.PointSource);
        QVERIFY(o.Fields.UnknownMode);
        QCOMPARE(o.Ions, int64_t(0));
        QVERIFY(o.SeedGiven);
        QCOMPARE(o.Seed, uint64_t(9));
    }

    void aRunFinishesAndDrawsTheBeam()
    {
        QTemporaryDir dir;
        const QString png = dir.filePath("trace.png");
        const Result r = RunSim({"--ions", "2000", "--seed", "3", "--picture-out", png});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.startsWith("ions 2000, ticks "), qPrintable(r.out));
        QVERIFY(r.out.contains("steps/s"));
        QImage img(png);
        QCOMPARE(img.size(), QSize(1000, 745));
        // Trajectory pixels in the analyser, in drift 1 and at the end of drift 3.
        auto traced = [&](int x0, int y0) {
            for (int y = y0 - 6; y <= y0 + 6; ++y)
                for (int x = x0 - 6; x <= x0 + 6; ++x) {
                    const QRgb c = img.pixel(x, y) & 0xFFFFFF;
                    if (c == 0xFF0000 || c == 0xCFCF00)
                        return true;
                }
            return false;
        };
        QVERIFY(traced(714, 154));
        QVERIFY(traced(634, 374));
        QVERIFY(traced(120, 470));
        // Same seed, same picture.
        const QString again = dir.filePath("again.png");
        QCOMPARE(RunSim({"--ions", "2000", "--seed", "3", "--picture-out", again}).exitCode, 0);
        QCOMPARE(QImage(again), img);
    }

    void zeroIonsOnlyWritesTheOutputs()
    {
        QTemporaryDir dir;
        const QString png = dir.filePath("bare.png");
        const Result r = RunSim({"--ions", "0", "--picture-out", png});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.startsWith("ions 0, ticks 0, steps 0"), qPrintable(r.out));
        QImage img(png);
        QCOMPARE(img.pixel(714, 154) & 0xFFFFFF, 0xFFFFD0u);   // bare analyser, no trace
    }

    void detectorRunWritesBothSpectra()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath("spectra.txt");
        const Result r = RunSim({"--ions", "400", "--seed", "4", "--detector", "236,460,237,483,238,506",
                                 "--spectrum", "2", "--roi", "0,1000", "--spectrum-out", out});
        QCOMPARE(r.exitCode, 0);
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith("ROI 0..1000 of spectrum 2: Bruttó: "), qPrintable(lines[0]));
        const int hits = lines[1].section("hits ", 1).section(',', 0, 0).toInt();
        QVERIFY(hits > 50);
        QVERIFY(lines[0].contains(QString("Bruttó: %1  Közép: ").arg(hits)));
        ProfileFile file;
        QVERIFY(file.Load(out.toStdString()));
        QCOMPARE(file.ReadString("Spectrum1", "Spektrum", "?"), std::string("1"));
        QCOMPARE(file.ReadString("Spectrum2", "Spektrum", "?"), std::string("2"));
        QCOMPARE(file.ReadString("Spectrum2", "ROI_Brutto", "?"), std::to_string(hits));
        QCOMPARE(file.ReadString("Spectrum2", "ROI_Maximum", "?"), std::string("1000"));
        QCOMPARE(file.ReadString("Spectrum1", "ROI_Brutto", "?"), std::string(""));
        // Spectrum 1 received nothing: its five entries only.
        QCOMPARE(file.SectionKeys("Spectrum1").size(), size_t(5));
        int counted = 0;
        for (const std::string &key : file.SectionKeys("Spectrum2"))
            if (key.rfind("Ch", 0) == 0)
                counted += std::stoi(file.ReadString("Spectrum2", key, "0"));
        QCOMPARE(counted, hits);
        // The ROI key of the centroid is stored in Windows-1250.
        QFile raw(out);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QVERIFY(raw.readAll().contains("ROI_K\xF6z\xE9p="));
    }

    void badDetectorsAndBoundsAreRefused()
    {
        Result r = RunSim({"--detector", "634,374,237,483,238,506"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("point 1 (634,374) is not inside drift 2 or drift 3"));
        r = RunSim({"--detector", "236,470,246,470,238,506"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("Hibás a detektort definiáló 3 pont!"));
        r = RunSim({"--roi", "0,1001"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("--roi"));
        QCOMPARE(RunSim({"--spectrum", "3"}).exitCode, 2);
        // A spectrum file that cannot be written is reported by name.
        r = RunSim({"--ions", "0", "--spectrum-out", "/nonexistent-folder/x.txt"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains("Unable to write to /nonexistent-folder/x.txt"));
    }

    // A write that fails ends the run with status 1 and the message, never by a
    // signal, and the earlier file stays as it was.
    void failedWritesAreReportedAndKeepTheEarlierFile_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("sizeLimit");
        QTest::newRow("spectrum, write-protected") << "--spectrum-out" << true << 0;
        QTest::newRow("spectrum, size limit or held open") << "--spectrum-out" << false << 64;
        QTest::newRow("picture, write-protected") << "--picture-out" << true << 0;
        QTest::newRow("picture, size limit or held open") << "--picture-out" << false << 4096;
    }
    void failedWritesAreReportedAndKeepTheEarlierFile()
    {
        QFETCH(QString, option);
        QFETCH(bool, readOnly);
        QFETCH(int, sizeLimit);
        QTemporaryDir dir;
        const QString path = dir.filePath("earlier");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("korábbi");
        }
        if (readOnly)
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        Result r{};
#ifdef Q_OS_WIN
        // Windows has no file-size limit: the file is held open by another program instead.
        if (sizeLimit > 0) {
            const HeldOpen held(path);
            QVERIFY(held.IsHeld());
            r = RunSim({"--ions", "10", "--seed", "1", option, path});
        } else
#endif
            r = RunSim({"--ions", "10", "--seed", "1", option, path}, sizeLimit);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("Unable to write to " + path), qPrintable(r.err));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("korábbi"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void layoutInAndOut()
    {
        QTemporaryDir dir;
        // A path typed wrong, or a file that cannot be read, fails loudly.
        for (const QString &bad : {dir.filePath("nincs.ini"), dir.path()}) {
            const Result r = RunSim({"--layout", bad, "--ions", "0"});
            QCOMPARE(r.exitCode, 1);
            QVERIFY2(r.err.contains("Unable to read " + bad), qPrintable(r.err));
        }
        // A layout too large to be one is refused with the reason.
        const QString huge = dir.filePath("nagy.ini");
        {
            QFile f(huge);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(17LL * 1024 * 1024));
        }
        const Result big = RunSim({"--layout", huge, "--ions", "0"});
        QCOMPARE(big.exitCode, 1);
        QVERIFY2(big.err.contains(QString::fromUtf8("túl nagy")), qPrintable(big.err));

        // Loaded and saved again headless, a file comes back as the window's save writes it.
        const QByteArray saved = "[User]\r\nName=7\r\n[Config]\r\nREM0=els\xf5 m\xe9r\xe9s\r\nType=Teszt\r\nB_terero=0.85\r\n"
                                 "Mm=25\r\nMk\xf6z\xe9p=25\r\nBlende_1=0.02\r\nBlende_2=0.006\r\nBlende_3=0.008\r\n"
                                 "Helyzet=0\r\nPreset=40\r\n\xd6sszes=40\r\nDetector=Inactive\r\n[Spectrum1]\r\nSpektrum=1\r\n"
                                 "ROI_Minimum=500\r\nROI_Maximum=590\r\nROI_Brutto=40\r\nROI_K\xf6z\xe9p=546.0000\r\nCh546=40\r\n"
                                 "[Spectrum2]\r\nSpektrum=2\r\nROI_Minimum=0\r\nROI_Maximum=0\r\nROI_Brutto=\r\nROI_K\xf6z\xe9p=\r\n";
        const QString in = dir.filePath("be.ini"), out = dir.filePath("ki.ini");
        {
            QFile f(in);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(saved);
        }
        const Result again = RunSim({"--layout", in, "--ions", "0", "--save-layout", out});
        QCOMPARE(again.exitCode, 0);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        // The empty result boxes of chart 2 are read as "0", as the window shows them.
        QByteArray expected = saved;
        expected.replace("ROI_Brutto=\r\nROI_K\xf6z\xe9p=\r\n", "ROI_Brutto=0\r\nROI_K\xf6z\xe9p=0\r\n");
        QCOMPARE(f.readAll(), expected);
        f.close();   // Windows cannot replace a file another handle holds open

        // A simulated state: the run's preset and emitted count, the mode and the detector.
        const Result sim = RunSim({"--ions", "20", "--seed", "1", "--detector", "236,460,237,483,238,506",
                                   "--save-layout", out});
        QCOMPARE(sim.exitCode, 0);
        ProfileFile written;
        QVERIFY(written.Load(out.toStdString()));
        QCOMPARE(written.ReadString("Config", "Preset", ""), std::string("20"));
        QCOMPARE(written.ReadString("Config", "Összes", ""), std::string("20"));
        QCOMPARE(written.ReadString("Config", "Detector", ""), std::string("Active"));
        QCOMPARE(written.ReadString("Config", "DetPoint2_Y", ""), std::string("483"));
        QCOMPARE(written.ReadString("Config", "Mközép", ""), std::string("120"));
    }

    void warningsGoToStandardError()
    {
        const Result r = RunSim({"--ions", "1", "--induction", "1.98"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.err.contains("A szükséges feszültség kívül esik a megengedett tartományon!"));
        QVERIFY(r.out.startsWith("ions 1,"));
        const Result m = RunSim({"--ions", "1", "--mass", "200", "--mean-mass", "100"});
        QVERIFY(m.err.contains("Túl nagy az eltérés a közepes tömeg és a mérendő tömeg között"));
    }
};

QTEST_GUILESS_MAIN(SimToolTest)
#include "test_sim_tool.moc"
