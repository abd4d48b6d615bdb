// The layout-and-measurement file driven through the main window: "Mentés másként
// (elrendezés és mérési adatok)" with the note dialog and the shared save dialog,
// and the jury's "Betöltés (elrendezés és mérési adatok)".
#include "FormDriver.h"

#include "Data/Raster.h"

#include "Main/charts/ChartsPage.h"
#include "Main/device/UpDown.h"
#include "Main/core/HeadlessLayout.h"
#include "Main/core/NumberText.h"
#include "Main/core/ProfileFile.h"
#include "helpers/FailingWrite.h"
#include "Main/core/TextExport.h"
#include "dialogs/Megjegyzes.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QRadioButton>


namespace {

const QString LayoutFilter = QStringLiteral("Ionlátó konfigurációs fájlok (*.ini)|*.ini|Minden fájl (*.*)|*.*");

// A running program with the layout commands of the "Fájl" menu.
struct LayoutSession : Session {
    using Session::Session;
    void Save(const QString &path, bool noteOk = true, std::optional<QStringList> note = std::nullopt)
    {
        Note(noteOk, note);
        Answer(F().SaveDialog1, path);
        F().Mentsmskntelrendezssmrsiadatok1Click();
    }
    // Loads `path` as a jury user would; the note dialog, when it comes, is answered with OK.
    void Load(const QString &path, bool expectNote = false, QStringList *seen = nullptr)
    {
        if (expectNote)
            Note(true, std::nullopt, seen);
        Answer(F().OpenDialog1, path);
        F().Betltselrendezssmrsiadatok1Click();
    }
};

ProfileFile Read(const QString &path)
{
    ProfileFile f;
    if (!f.Load(path.toStdString()))
        qWarning("cannot read %s", qPrintable(path));
    return f;
}

QByteArray Bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteText(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QString Caption(const QString &user)
{
    return QStringLiteral("Ionvető      Felhasználó: ") + user;
}

std::vector<std::string> Keys(const ProfileFile &f, const char *section)
{
    return f.SectionKeys(section);
}

} // namespace

class TestLayoutCommands : public QObject
{
    Q_OBJECT
private slots:
    void saveWritesNoteSettingsAndSpectraInOrder();
    void cancelledNoteStillSavesAndKeepsTheMemo();
    void cancelledSaveDialogWritesNothing();
    void failedWriteReportsAndKeepsEarlierFile();
    void loadIsForTheJuryOnly();
    void missingFileLoadsDefaults();
    void loadRoundsAndKeepsArrowsInRange();
    void loadModeFromType();
    void loadSpectrumSectionsBySpektrumEntry();
    void loadNotesReplaceOrKeep();
    void loadDetectorOnlyWhenActive();
    void loadedDetectorCountsWhateverMutatSays();
    void loadStopsAtUnreadableNumber();
    void textExportLoadsAsLayout();
    void juryRoundTripGivesSameStateAndBytes();
    void refusedFieldTextIsNeverSaved();
    void headlessAndWindowLoadGiveOneInstrument();
    void loadDuringRunKeepsThePageLocked();
};

void TestLayoutCommands::saveWritesNoteSettingsAndSpectraInOrder()
{
    LayoutSession s(QStringLiteral("104"));
    TForm1 &f = s.F();
    const QString path = s.Path(QStringLiteral("104/elso"));
    s.Save(path, true, QStringList{QStringLiteral("első sor"), QStringLiteral("Minta: A=1"), QString()});
    QVERIFY(s.Settled());
    QCOMPARE(s.AskCount, 1);
    QCOMPARE(s.Asked.Filter, LayoutFilter);
    QCOMPARE(s.Asked.DefaultExt, QStringLiteral(".ini"));
    QCOMPARE(s.Asked.InitialDir, f.WorkFolder);
    QVERIFY(s.Asked.OverwritePrompt());
    // The previous filter comes back; the name chosen is offered next time.
    QCOMPARE(f.SaveDialog1.Filter, QString());
    QCOMPARE(f.SaveDialog1.FileName, path + QStringLiteral(".ini"));

    const ProfileFile file = Read(path + QStringLiteral(".ini"));
    QCOMPARE(file.SectionNames(), (std::vector<std::string>{"User", "Config", "Spectrum1", "Spectrum2"}));
    QCOMPARE(file.ReadString("User", "Name", "?"), std::string("104"));
    const std::vector<std::string> config = {"REM0",     "REM1",     "REM2",     "Type",    "B_terero",
                                             "Mm",       "Mközép",   "Blende_1", "Blende_2", "Blende_3",
                                             "Helyzet",  "Preset",   "Összes",   "Detector"};
    QCOMPARE(Keys(file, "Config"), config);
    QCOMPARE(file.ReadString("Config", "REM0", "?"), std::string("első sor"));
    QCOMPARE(file.ReadString("Config", "REM1", "?"), std::string("Minta: A=1"));   // stored whole
    QCOMPARE(file.ReadString("Config", "REM2", "?"), std::string());
    QCOMPARE(file.ReadString("Config", "Type", "?"), std::string("Teszt"));
    QCOMPARE(file.ReadString("Config", "B_terero", "?"), f.Edit9->text().toStdString());
    QCOMPARE(file.ReadString("Config", "Mm", "?"), std::string("120"));
    QCOMPARE(file.ReadString("Config", "Blende_3", "?"), f.Edit3->text().toStdString());
    // No detector accepted: no points.
    QCOMPARE(file.ReadString("Config", "Detector", "?"), std::string("Inactive"));
    // Empty spectra: the five entries only.
    const std::vector<std::string> five = {"Spektrum", "ROI_Minimum", "ROI_Maximum", "ROI_Brutto", "ROI_Közép"};
    QCOMPARE(Keys(file, "Spectrum1"), five);
    QCOMPARE(Keys(file, "Spectrum2"), five);
    QCOMPARE(file.ReadString("Spectrum2", "Spektrum", "?"), std::string("2"));
    // The accented key names are Windows-1250 bytes on disk.
    const QByteArray bytes = Bytes(path + QStringLiteral(".ini"));
    QVERIFY(bytes.contains("M\x6b\xf6z\xe9p="));
    QVERIFY(bytes.contains("\r\n"));
}

void TestLayoutCommands::cancelledNoteStillSavesAndKeepsTheMemo()
{
    LayoutSession s(QStringLiteral("104"));
    s.F().MegjDlg->SetLines({QStringLiteral("régi megjegyzés")});
    const QString path = s.Path(QStringLiteral("cancel.ini"));
    s.Save(path, false);
    QVERIFY(s.Settled());
    const ProfileFile file = Read(path);
    QVERIFY(QFile::exists(path));
    for (const std::string &key : Keys(file, "Config"))
        QVERIFY2(key.find("REM") == std::string::npos, key.c_str());
    QCOMPARE(Keys(file, "Config").front(), std::string("Type"));
    // Cancel leaves the memo as it was; the next use shows it again.
    QCOMPARE(s.F().MegjDlg->Lines(), QStringList{QStringLiteral("régi megjegyzés")});
}

void TestLayoutCommands::cancelledSaveDialogWritesNothing()
{
    LayoutSession s(QStringLiteral("104"));
    s.F().SaveDialog1.Filter = QStringLiteral("Kép (*.jpg)|*.jpg");
    s.Answer(s.F().SaveDialog1, QString());
    s.F().Mentsmskntelrendezssmrsiadatok1Click();   // no note dialog is expected: none must open
    QVERIFY(s.Settled());
    QCOMPARE(s.AskCount, 1);
    QCOMPARE(s.F().SaveDialog1.Filter, QStringLiteral("Kép (*.jpg)|*.jpg"));
    QVERIFY(QDir(s.F().WorkFolder).entryList(QDir::Files).isEmpty());
}

void TestLayoutCommands::failedWriteReportsAndKeepsEarlierFile()
{
    LayoutSession s(QStringLiteral("104"));
    // A folder that does not exist: the write fails and says which file.
    const QString nowhere = s.Path(QStringLiteral("nincs/ilyen/mappa.ini"));
    s.Save(nowhere);
    QVERIFY(s.Settled());
    QCOMPARE(s.PlatformMessages(), QStringList{QStringLiteral("Unable to write to ") + nowhere});

    // An entry that cannot be stored (a value holding a line break) stops the
    // save: the earlier file of that name stays as it was.
    const QString path = s.Path(QStringLiteral("korabbi.ini"));
    WriteText(path, "[User]\r\nName=korábbi\r\n");
    const QByteArray before = Bytes(path);
    s.F().UserId = "sor\rtörés";
    s.Save(path);
    QVERIFY(s.Settled());
    QCOMPARE(s.PlatformMessages().size(), 2);
    QCOMPARE(s.PlatformMessages().back(), QStringLiteral("Unable to write to ") + path);
    QCOMPARE(Bytes(path), before);

    // A write-protected file is refused, not replaced; a file-size limit fails the
    // write part-way without ending the program. Neither leaves a temporary file.
    s.F().UserId = "104";
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
    s.Save(path);
    QVERIFY(s.Settled());
    QCOMPARE(s.PlatformMessages().size(), 3);
    QCOMPARE(s.PlatformMessages().back(), QStringLiteral("Unable to write to ") + path);
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    const bool settled = !WhileWritesFail(path, 64, [&] {
        s.Save(path);
        return !s.Settled();
    });
    QVERIFY(settled);
    QCOMPARE(s.PlatformMessages().size(), 4);
    QCOMPARE(s.PlatformMessages().back(), QStringLiteral("Unable to write to ") + path);
    QCOMPARE(Bytes(path), before);
    QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestLayoutCommands::loadIsForTheJuryOnly()
{
    LayoutSession s(QStringLiteral("104"));
    QVERIFY(!s.F().Betltselrendezssmrsiadatok1->isVisible());
    s.Answer(s.F().OpenDialog1, s.Path(QStringLiteral("x.ini")));
    s.F().Betltselrendezssmrsiadatok1Click();
    QCOMPARE(s.AskCount, 0);
    QCOMPARE(s.F().windowTitle(), Caption(QStringLiteral("104")));

    LayoutSession j(QStringLiteral("Vezer7146"));
    QVERIFY(j.F().Betltselrendezssmrsiadatok1->isVisible());
    j.Load(j.Path(QStringLiteral("nincs.ini")));
    QVERIFY(j.Settled());
    QCOMPARE(j.AskCount, 1);
    QCOMPARE(j.Asked.Filter, LayoutFilter);
    QCOMPARE(j.Asked.DefaultExt, QStringLiteral(".ini"));
    QCOMPARE(j.Asked.InitialDir, j.F().WorkFolder);
    QVERIFY(!j.Asked.OverwritePrompt());
}

void TestLayoutCommands::missingFileLoadsDefaults()
{
    LayoutSession j(QStringLiteral("Vezer7146"));
    TForm1 &f = j.F();
    j.I().Counts.SetCount(1, 5, 9);
    f.RadioButton7->setChecked(true);
    f.Charts->SetAutoChecked(1, false);
    f.Charts->SetAutoChecked(2, false);
    f.MegjDlg->SetLines({QStringLiteral("marad")});
    QVERIFY(j.Settled());
    j.Driver.Messages.clear();
    j.Load(j.Path(QStringLiteral("nincs.ini")));
    QVERIFY(j.Settled());
    QVERIFY(j.PlatformMessages().isEmpty());
    QCOMPARE(f.windowTitle(), Caption(QStringLiteral("None")));
    QCOMPARE(f.UserId, std::string("None"));
    QVERIFY(f.RadioButton6->isChecked());
    QCOMPARE(f.UpDown5->Position(), f.UpDown5->Min());
    QCOMPARE(f.Edit9->text(), QStringLiteral("0.1"));
    QCOMPARE(f.Edit1->text(), QStringLiteral("1"));
    QCOMPARE(f.Edit2->text(), QStringLiteral("1"));
    for (QLineEdit *e : {f.Edit6, f.Edit7, f.Edit3})
        QCOMPARE(e->text(), QStringLiteral("0.005"));
    QCOMPARE(f.UpDown2->Position(), 0);
    QCOMPARE(ParseFloat(f.Edit4->text().toStdString()), std::optional<double>(0.0));
    QCOMPARE(f.Edit11->text(), QStringLiteral("0"));
    QCOMPARE(f.Edit10->text(), QStringLiteral("0"));
    QVERIFY(!j.I().Model.Detector.Accepted);
    // Both sections ignored: the spectra stay; only the "Auto" switches are ticked.
    QCOMPARE(j.I().Counts.Count(1, 5), 9.0);
    QVERIFY(f.Charts->AutoBox(1)->isChecked());
    QVERIFY(f.Charts->AutoBox(2)->isChecked());
    QCOMPARE(f.MegjDlg->Lines(), QStringList{QStringLiteral("marad")});
    // The settings were applied; the warning latches kept every box away.
    QCOMPARE(j.I().Model.Params.Induction, 0.1);
    QCOMPARE(j.Driver.Messages.size(), 0);
}

void TestLayoutCommands::loadRoundsAndKeepsArrowsInRange()
{
    LayoutSession j(QStringLiteral("Vezer7146"));
    TForm1 &f = j.F();
    const QString path = j.Path(QStringLiteral("kerekit.ini"));
    WriteText(path, "[Config]\r\nType=Teszt\r\nB_terero=0.85\r\nMm=40\r\nMk\xf6z\xe9p=40\r\n"
                    "Blende_1=0.0625\r\nBlende_2=0.0635\r\nBlende_3=7\r\nHelyzet=-1\r\n");
    j.Load(path);
    QVERIFY(j.Settled());
    QCOMPARE(f.UpDown5->Position(), 85);
    QCOMPARE(f.Edit9->text(), QStringLiteral("0.85"));
    QCOMPARE(f.UpDown3->Position(), 62);   // 62.5 goes to the even neighbour
    QCOMPARE(f.Edit6->text(), QStringLiteral("0.062"));
    QCOMPARE(f.UpDown4->Position(), 64);   // 63.5 likewise
    QCOMPARE(f.UpDown1->Position(), f.UpDown1->Max());
    QCOMPARE(f.UpDown2->Position(), f.UpDown2->Min());
    QCOMPARE(f.Edit1->text(), QStringLiteral("40"));
    QCOMPARE(f.Edit2->text(), QStringLiteral("40"));
    // Applied once everything was set.
    QCOMPARE(j.I().Model.Params.Induction, 0.85);
    QCOMPARE(j.I().Model.Params.Blende1, 0.062);
    QCOMPARE(j.I().Model.Params.MeanMass, 40.0);
    QCOMPARE(j.Driver.Messages.size(), 0);   // the latches keep the warnings away

    WriteText(path, "[Config]\r\nB_terero=5\r\n");
    j.Load(path);
    QVERIFY(j.Settled());
    QCOMPARE(f.UpDown5->Position(), f.UpDown5->Max());
}

void TestLayoutCommands::loadModeFromType()
{
    LayoutSession j(QStringLiteral("Vezer7146"));
    TForm1 &f = j.F();
    const QString path = j.Path(QStringLiteral("mod.ini"));
    const char *const unknown[] = {"teszt", "Ismeretlen", "TESZT", ""};
    for (const char *type : unknown) {
        f.RadioButton6->setChecked(true);
        WriteText(path, QByteArray("[Config]\r\nType=") + type + "\r\n");
        j.Load(path);
        QVERIFY(j.Settled());
        QVERIFY2(f.RadioButton7->isChecked(), type);
        QVERIFY(j.I().Model.Params.UnknownMode);
    }
    WriteText(path, "[config]\r\ntype= Teszt \r\n");
    j.Load(path);
    QVERIFY(j.Settled());
    QVERIFY(f.RadioButton6->isChecked());
    QVERIFY(!j.I().Model.Params.UnknownMode);
}

void TestLayoutCommands::loadSpectrumSectionsBySpektrumEntry()
{
    LayoutSession j(QStringLiteral("Vezer7146"));
    TForm1 &f = j.F();
    j.I().Counts.SetCount(1, 3, 11);
    const QString path = j.Path(QStringLiteral("spektrum.ini"));
    WriteText(path, "[Spectrum1]\r\nSpektrum=2\r\nROI_Minimum=1\r\nCh7=70\r\n"
                    "[Spectrum2]\r\nSpektrum=2\r\nROI_Minimum= 10 \r\nROI_Maximum=30\r\nROI_Brutto=\r\n"
                    "ROI_K\xf6z\xe9p=  20.5000\r\nCh17=42\r\nch18=5\r\nCh2000=9\r\nCh-1=9\r\nCh19=3.6\r\n");
    f.Charts->RoiEvalButton(2)->show();
    j.Load(path);
    QVERIFY(j.Settled());
    QVERIFY(j.PlatformMessages().isEmpty());
    // Chart 1 keeps what it had; chart 2 ends with the second section.
    QCOMPARE(j.I().Counts.Count(1, 3), 11.0);
    QCOMPARE(j.I().Counts.Count(2, 7), 0.0);
    QCOMPARE(j.I().Counts.Count(2, 17), 42.0);
    QCOMPARE(j.I().Counts.Count(2, 18), 0.0);   // "ch" is no channel key
    QCOMPARE(j.I().Counts.Count(2, 19), 3.6);
    QCOMPARE(j.I().Counts.Count(2, 0), 0.0);
    QCOMPARE(j.I().Counts.Count(2, 1000), 0.0);
    // The boxes as stored, trimmed, an empty one as "0"; RoiData from them.
    QCOMPARE(f.Charts->RoiBox(2, 0)->text(), QStringLiteral("10"));
    QCOMPARE(f.Charts->RoiBox(2, 1)->text(), QStringLiteral("30"));
    QCOMPARE(f.Charts->RoiBox(2, 2)->text(), QStringLiteral("0"));
    QCOMPARE(f.Charts->RoiBox(2, 3)->text(), QStringLiteral("20.5000"));
    QCOMPARE(j.I().Roi[1].X1, 10);
    QCOMPARE(j.I().Roi[1].X2, 30);
    QCOMPARE(j.I().Roi[1].Kozep, 20.5);
    QVERIFY(f.Charts->RoiEvalButton(2)->isHidden());
    QVERIFY(f.Charts->AutoMaximum(2));
    QCOMPARE(f.Charts->YMin(2), 0.0);
    QVERIFY(f.Charts->YMax(2) >= 100.0);

    // The section on its own, and an all-zero section clearing its chart.
    WriteText(path, "[Spectrum1]\r\nSpektrum=1\r\nROI_Minimum=0\r\nROI_Maximum=0\r\nROI_Brutto=0\r\nROI_K\xf6z\xe9p=0\r\n");
    QVERIFY(f.LoadSpectrumSection(Read(path), "Spectrum1").Ok());
    QCOMPARE(j.I().Counts.MaxCount(1), 0.0);
}

void TestLayoutCommands::loadNotesReplaceOrKeep()
{
    LayoutSession j(QStringLiteral("Vezer7146"));
    TForm1 &f = j.F();
    f.MegjDlg->SetLines({QStringLiteral("a zsűri jegyzete")});
    const QString path = j.Path(QStringLiteral("jegyzet.ini"));
    // Only keys holding the capital "REM" count, in file order; values as stored.
    WriteText(path, "[Config]\r\nREM1=m\xe1sodik\r\nREM0=els\xf5\r\nrem5=nem\r\nXREMY=harmadik: 3\r\n");
    QStringList seen;
    j.Load(path, true, &seen);
    QVERIFY(j.Settled());
    const QStringList note{QStringLiteral("második"), QStringLiteral("első"), QStringLiteral("harmadik: 3")};
    QCOMPARE(seen, note);
    QCOMPARE(f.MegjDlg->Lines(), note);

    // A file without notes keeps the memo, and the next save shows it again.
    WriteText(path, "[Config]\r\nType=Teszt\r\n");
    j.Load(path);
    QVERIFY(j.Settled());
    QCOMPARE(f.MegjDlg->Lines(), note);
    QStringList shown;
    j.Note(true, std::nullopt, &shown);
    j.Answer(f.SaveDialog1, j.Path(QStringLiteral("ujra.ini")));
    f.Mentsmskntelrendezssmrsiadatok1Click();
    QVERIFY(j.Settled());
    QCOMPARE(shown, note);
    QCOMPARE(Read(j.Path(QStringLiteral("ujra.ini"))).ReadString("Config", "REM2", "?"), std::string("harmadik: 3"));
}

void TestLayoutCommands::loadDetectorOnlyWhenActive()
{
    LayoutSession j(QStringLiteral("Vezer7146"));
    TForm1 &f = j.F();
    TDetector &d = j.I().Model.Detector;
    const std::array<TPixel, 3> previous{TPixel{11, 12}, TPixel{13, 14}, TPixel{15, 16}};
    d.Points = previous;
    const QString path = j.Path(QStringLiteral("det.ini"));

    WriteText(path, "[Config]\r\nDetector=active\r\nDetPoint1_X=1\r\nDetPoint1_Y=2\r\n");
    j.Load(path);
    QVERIFY(j.Settled());
    QVERIFY(!d.Accepted);
    QCOMPARE(d.Points, previous);

    WriteText(path, "[Config]\r\nDetector=Active\r\nDetPoint1_X=120\r\nDetPoint1_Y=60\r\nDetPoint2_X=150\r\n"
                    "DetPoint2_Y=110\r\nDetPoint3_X=170\r\nDetPoint3_Y=170\r\n");
    j.Load(path);
    QVERIFY(j.Settled());
    QVERIFY(d.Accepted);
    QCOMPARE(d.Points, (std::array<TPixel, 3>{TPixel{120, 60}, TPixel{150, 110}, TPixel{170, 170}}));

    // Saved again: the points follow "Detector" in order.
    j.Save(j.Path(QStringLiteral("det2.ini")), false);
    QVERIFY(j.Settled());
    const ProfileFile saved = Read(j.Path(QStringLiteral("det2.ini")));
    const std::vector<std::string> keys = Keys(saved, "Config");
    const auto at = std::find(keys.begin(), keys.end(), "Detector");
    QVERIFY(at != keys.end());
    QCOMPARE(std::vector<std::string>(at, keys.end()),
             (std::vector<std::string>{"Detector", "DetPoint1_X", "DetPoint1_Y", "DetPoint2_X", "DetPoint2_Y",
                                       "DetPoint3_X", "DetPoint3_Y"}));
    QCOMPARE(saved.ReadString("Config", "DetPoint2_Y", "?"), std::string("110"));
    Q_UNUSED(f);
}

void TestLayoutCommands::loadedDetectorCountsWhateverMutatSays()
{
    // "Mutat" unticked only hides the detector: loaded as accepted, it is part of
    // the apparatus and counts the ions that reach it.
    LayoutSession j(QStringLiteral("Vezer7146"));
    TForm1 &f = j.F();
    TModel &m = j.I().Model;
    f.CheckBox2->setChecked(false);
    const QString path = j.Path(QStringLiteral("det.ini"));
    WriteText(path, "[Config]\r\nB_terero=1\r\nMm=120\r\nMk\xf6z\xe9p=120\r\nDetector=Active\r\n"
                    "DetPoint1_X=236\r\nDetPoint1_Y=460\r\nDetPoint2_X=237\r\nDetPoint2_Y=483\r\n"
                    "DetPoint3_X=238\r\nDetPoint3_Y=506\r\n");
    j.Load(path);
    QVERIFY(j.Settled());
    QVERIFY(m.Detector.Accepted);
    QVERIFY(!f.CheckBox2->isChecked());
    QCOMPARE(ReadColor(m.ApparatusBitmap, 237, 483), Colors::Detector);
    QVERIFY(ReadColor(f.Image1Picture, 237, 483) != Colors::Detector);

    RunState &run = j.I().Run;
    run.PresetCount = 200;
    run.Spectrum = 1;
    StartRun(m, run);
    while (run.Running)
        Tick(m, j.I().Counts, run);
    QVERIFY(j.I().Counts.MaxCount(1) > 0);
}

void TestLayoutCommands::loadStopsAtUnreadableNumber()
{
    LayoutSession j(QStringLiteral("Vezer7146"));
    TForm1 &f = j.F();
    const QString path = j.Path(QStringLiteral("hibas.ini"));
    auto ownMessages = [&j] {
        QStringList out;
        for (const ShownMessage &m : j.Driver.Messages)
            if (m.Kind == QStringLiteral("SMsg"))
                out << m.Text;
        return out;
    };

    // A setting the instrument cannot take is named in one message; the field
    // keeps its text and everything else, the spectra included, is restored.
    WriteText(path, "[User]\r\nName=Kiss\r\n[Config]\r\nB_terero=0.5\r\nMm=7\r\nBlende_1=0,005\r\nPreset=99\r\n"
                    "[Spectrum1]\r\nSpektrum=1\r\nCh40=40\r\n");
    const QString blendeBefore = f.Edit6->text();
    f.Charts->SetAutoChecked(1, false);
    j.Load(path);
    QVERIFY(j.Settled());
    QVERIFY(j.PlatformMessages().isEmpty());
    QCOMPARE(ownMessages().size(), 1);
    QVERIFY(ownMessages()[0].endsWith(QString::fromUtf8("\rBlende_1: „0,005” nem érvényes szám.")));
    QCOMPARE(f.windowTitle(), Caption(QStringLiteral("Kiss")));
    QCOMPARE(f.UpDown5->Position(), 50);
    QCOMPARE(f.Edit1->text(), QStringLiteral("7"));
    QCOMPARE(f.Edit6->text(), blendeBefore);
    QCOMPARE(f.Edit11->text(), QStringLiteral("99"));
    QCOMPARE(j.I().Counts.Count(1, 40), 40.0);
    QVERIFY(f.Charts->AutoBox(1)->isChecked());

    // A mass out of range: the nearest limit, named.
    j.Driver.Messages.clear();
    WriteText(path, "[Config]\r\nMm=1001\r\n");
    j.Load(path);
    QVERIFY(j.Settled());
    QCOMPARE(ownMessages().size(), 1);
    QVERIFY(ownMessages()[0].endsWith(QString::fromUtf8("\rMm: „1001” a megengedett tartományon kívül esik (1 … 1000).")));
    QCOMPARE(f.Edit1->text(), QStringLiteral("1000"));

    // An empty "Spektrum" and a bare "Ch" key stop the load at their section,
    // which changes nothing.
    j.Driver.Messages.clear();
    WriteText(path, "[Config]\r\nMm=20\r\nMk\xf6z\xe9p=20\r\n[Spectrum1]\r\nSpektrum=\r\n");
    j.Load(path);
    QVERIFY(j.Settled());
    QCOMPARE(j.PlatformMessages(), QStringList{QStringLiteral("„” nem érvényes szám.")});
    j.Driver.Messages.clear();
    j.I().Counts.SetCount(1, 4, 4);
    WriteText(path, "[Config]\r\nMm=20\r\nMk\xf6z\xe9p=20\r\n[Spectrum1]\r\nSpektrum=1\r\nCh3=1\r\nCh=5\r\n");
    j.Load(path);
    QVERIFY(j.Settled());
    QCOMPARE(j.PlatformMessages(), QStringList{QStringLiteral("„” nem érvényes szám.")});
    QCOMPARE(j.I().Counts.Count(1, 4), 4.0);
    QCOMPARE(j.I().Counts.Count(1, 3), 0.0);
}

void TestLayoutCommands::textExportLoadsAsLayout()
{
    LayoutSession j(QStringLiteral("Vezer7146"));
    TForm1 &f = j.F();
    j.I().Counts.SetCount(2, 17, 42);
    j.I().Counts.SetCount(1, 9, 1);
    const QString path = j.Path(QStringLiteral("export.txt"));
    // The main-menu export of both spectra, with a note line.
    j.Note(true, QStringList{QStringLiteral("Mérés 1")});
    j.Answer(f.SaveDialog1, path);
    f.Mentsmskntmrsiadatokszvegfjlbe1Click();
    QVERIFY(j.Settled());
    j.I().Counts.ClearCounts(2);
    j.I().Counts.SetCount(1, 9, 5);
    f.RadioButton7->setChecked(true);

    j.Load(path);
    QVERIFY(j.Settled());
    QVERIFY(j.PlatformMessages().isEmpty());
    QCOMPARE(j.I().Counts.Count(2, 17), 42.0);
    QCOMPARE(j.I().Counts.Count(1, 9), 1.0);
    QCOMPARE(f.windowTitle(), Caption(QStringLiteral("None")));
    QVERIFY(f.RadioButton6->isChecked());
    QCOMPARE(f.Edit1->text(), QStringLiteral("1"));
    QCOMPARE(f.UpDown5->Position(), f.UpDown5->Min());
}

void TestLayoutCommands::juryRoundTripGivesSameStateAndBytes()
{
    const QStringList note{QStringLiteral("Árvíztűrő tükörfúrógép"), QStringLiteral("ő ű Ő Ű: mérés=1"),
                           QStringLiteral("[nem szakasz]")};
    QByteArray first;
    QString firstPath;
    QTemporaryDir keep;
    struct State {
        QStringList fields;
        bool unknown;
        std::array<TPixel, 3> points;
        bool accepted;
        SpectrumCounts c1, c2;
        QStringList roi;
    };
    auto capture = [](Session &s) {
        TForm1 &f = s.F();
        State st;
        for (QLineEdit *e : {f.Edit9, f.Edit1, f.Edit2, f.Edit6, f.Edit7, f.Edit3, f.Edit4, f.Edit11, f.Edit10})
            st.fields << e->text();
        st.unknown = f.RadioButton7->isChecked();
        st.points = s.I().Model.Detector.Points;
        st.accepted = s.I().Model.Detector.Accepted;
        st.c1 = s.I().Counts.Counts(1);
        st.c2 = s.I().Counts.Counts(2);
        for (int p = 1; p <= 2; ++p)
            for (int i = 0; i < 4; ++i)
                st.roi << f.Charts->RoiBox(p, i)->text().trimmed();
        return st;
    };
    State contestant;
    {
        LayoutSession s(QStringLiteral("104"));
        TForm1 &f = s.F();
        f.RadioButton7->setChecked(true);
        f.UpDown5->StepDown();
        f.UpDown3->StepUp();
        f.UpDown4->StepDown();
        f.UpDown1->StepUp();
        f.Edit2->setText(QStringLiteral("25"));
        QTest::keyClick(f.Edit2, Qt::Key_Return);
        f.Edit11->setText(QStringLiteral("500"));
        f.Edit10->setText(QStringLiteral("321"));
        TDetector &d = s.I().Model.Detector;
        d.Points = {TPixel{120, 60}, TPixel{150, 110}, TPixel{170, 170}};
        d.Accepted = true;
        for (int c = 100; c < 140; ++c)
            s.I().Counts.SetCount(1, c, c - 99);
        s.I().Counts.SetCount(2, 0, 7);
        s.I().Counts.SetCount(2, 1000, 12345);
        const char *boxes[2][4] = {{"100", "139", "820", "  126.0000"}, {"0", "1000", "12352", "  998.8655"}};
        for (int p = 1; p <= 2; ++p)
            for (int i = 0; i < 4; ++i)
                f.Charts->RoiBox(p, i)->setText(QString::fromLatin1(boxes[p - 1][i]));
        QVERIFY(s.Settled());
        s.Driver.Messages.clear();
        firstPath = keep.filePath(QStringLiteral("verseny.ini"));
        s.Save(firstPath, true, note);
        QVERIFY(s.Settled());
        QVERIFY(s.PlatformMessages().isEmpty());
        first = Bytes(firstPath);
        QVERIFY(!first.isEmpty());
        contestant = capture(s);
    }
    LayoutSession j(QStringLiteral("Vezer7146"));
    j.F().MegjDlg->SetLines({QStringLiteral("zsűri")});
    QStringList seen;
    j.Load(firstPath, true, &seen);
    QVERIFY(j.Settled());
    QVERIFY(j.PlatformMessages().isEmpty());
    QCOMPARE(seen, note);
    QCOMPARE(j.F().windowTitle(), Caption(QStringLiteral("104")));
    QCOMPARE(j.F().UserId, std::string("104"));
    const State jury = capture(j);
    QCOMPARE(jury.fields, contestant.fields);
    QCOMPARE(jury.unknown, true);
    QCOMPARE(jury.accepted, true);
    QCOMPARE(jury.points, contestant.points);
    QVERIFY(jury.c1 == contestant.c1);
    QVERIFY(jury.c2 == contestant.c2);
    QCOMPARE(jury.roi, contestant.roi);
    QCOMPARE(j.I().Roi[0].Brutto, 820);
    QCOMPARE(j.I().Roi[1].Kozep, 998.8655);
    QVERIFY(j.F().Charts->AutoBox(1)->isChecked() && j.F().Charts->AutoBox(2)->isChecked());

    const QString second = j.Path(QStringLiteral("zsuri.ini"));
    j.Save(second, true);
    QVERIFY(j.Settled());
    QCOMPARE(Bytes(second), first);
}

// A contestant measures 40 ions with mass number 40, then types 1001 into
// "Tömegszám": the field refuses it with a beep and keeps the text. The save
// writes the 40 the ions were measured with and tells the contestant so; the
// jury's load then restores everything without a warning.
void TestLayoutCommands::refusedFieldTextIsNeverSaved()
{
    LayoutSession s(QStringLiteral("5"));
    TForm1 &f = s.F();
    f.Edit1->setFocus();
    f.Edit1->selectAll();
    QTest::keyClicks(f.Edit1, QStringLiteral("40"));
    QTest::keyClick(f.Edit1, Qt::Key_Return);
    QCOMPARE(s.I().Model.Params.Mass, 40.0);
    s.I().Counts.SetCount(1, 546, 40);
    f.Edit1->selectAll();
    QTest::keyClicks(f.Edit1, QStringLiteral("1001"));
    QTest::keyClick(f.Edit1, Qt::Key_Return);
    QCOMPARE(f.Edit1->text(), QStringLiteral("1001"));   // refused, and still shown
    QCOMPARE(s.I().Model.Params.Mass, 40.0);

    const QString path = s.Path(QStringLiteral("5/meres.ini"));
    QVERIFY(s.Settled());
    s.Driver.Messages.clear();   // the mass warning of the first change of mass
    s.Save(path);
    QVERIFY(s.Settled());
    const ProfileFile file = Read(path);
    QCOMPARE(file.ReadString("Config", "Mm", "?"), std::string("40"));
    QCOMPARE(file.ReadString("Spectrum1", "Ch546", "?"), std::string("40"));
    QCOMPARE(s.Driver.Messages.size(), 1);
    QCOMPARE(s.Driver.Messages[0].Kind, QStringLiteral("SMsg"));
    QVERIFY(s.Driver.Messages[0].Text.endsWith(QString::fromUtf8("\rTömegszám: „1001” helyett 40")));
    QCOMPARE(f.Edit1->text(), QStringLiteral("1001"));   // the field itself is left to the contestant

    const LayoutRead read = ReadLayout(file);
    QVERIFY(read.Loaded.Ok() && read.Record.Warnings.empty());
    QCOMPARE(read.Record.Spectra[0]->Counts[546], 40.0);

    // A save with nothing refused says nothing.
    s.Driver.Messages.clear();
    f.Edit1->setText(QStringLiteral("40"));
    s.Save(path);
    QVERIFY(s.Settled());
    QVERIFY(s.Driver.Messages.isEmpty());
}

// One file, loaded by the headless tools and by the jury's window, gives the
// same instrument: settings, derived voltages, detector, spectra and ROI.
void TestLayoutCommands::headlessAndWindowLoadGiveOneInstrument()
{
    LayoutSession j(QStringLiteral("Vezer7146"));
    const QString path = j.Path(QStringLiteral("ketfele.ini"));
    const char *files[] = {
        "[User]\r\nName=7\r\n[Config]\r\nREM0=a\r\nType=Teszt\r\nB_terero=0.85\r\nMm=25\r\nMk\xf6z\xe9p=25\r\n"
        "Blende_1=0.0625\r\nBlende_2=0.006\r\nBlende_3=0.02\r\nHelyzet=-0.01\r\nPreset=50\r\nDetector=Active\r\n"
        "DetPoint1_X=236\r\nDetPoint1_Y=460\r\nDetPoint2_X=237\r\nDetPoint2_Y=483\r\nDetPoint3_X=238\r\n"
        "DetPoint3_Y=506\r\n[Spectrum1]\r\nSpektrum=1\r\nROI_Minimum=500\r\nROI_Maximum=590\r\nROI_Brutto=40\r\n"
        "ROI_K\xf6z\xe9p=546.5\r\nCh546=40\r\n[Spectrum2]\r\nSpektrum=2\r\nCh7=3\r\n",
        "[Config]\r\nType=Ismeretlen\r\nB_terero=5\r\nMk\xf6z\xe9p=1001\r\nBlende_3=x\r\n[Spectrum2]\r\nSpektrum=1\r\n"
        "Ch9=9\r\n",
        "[Config]\r\nMm=1001\r\nDetector=Active\r\nDetPoint1_X=-4\r\n[Spectrum1]\r\nSpektrum=2\r\nCh1=1\r\n",
    };
    for (const char *bytes : files) {
        WriteText(path, bytes);
        TInstrument headless = j.I();   // the instrument as the window has it before the load
        headless.Counts.Changed = nullptr;
        const TParams &p = headless.Model.Params;
        DeviceFields shown{p.Mass, p.MeanMass, p.Blende1, p.Blende2, p.Blende3, p.Blende3Offset,
                           p.Induction, p.PointSource, p.MonoEnergetic, p.Parallel, p.UnknownMode};
        const HeadlessLoad h = LoadLayoutHeadless(Read(path), headless, shown, {});
        QVERIFY(h.Loaded.Ok());
        j.Load(path, std::string(bytes).find("REM0") != std::string::npos);
        QVERIFY(j.Settled());

        const TInstrument &w = j.I();
        const TParams &a = headless.Model.Params, &b = w.Model.Params;
        QCOMPARE(a.UnknownMode, b.UnknownMode);
        if (!a.UnknownMode)
            QCOMPARE(a.Mass, b.Mass);
        QCOMPARE(std::tie(a.MeanMass, a.Induction, a.Blende1, a.Blende2, a.Blende3, a.Blende3Offset),
                 std::tie(b.MeanMass, b.Induction, b.Blende1, b.Blende2, b.Blende3, b.Blende3Offset));
        QCOMPARE(std::tie(a.AccVoltage, a.EsaPotential), std::tie(b.AccVoltage, b.EsaPotential));
        QCOMPARE(headless.Model.Detector.Accepted, w.Model.Detector.Accepted);
        QCOMPARE(headless.Model.Detector.Points, w.Model.Detector.Points);
        for (int n = 1; n <= 2; ++n) {
            QCOMPARE(headless.Counts.Counts(n), w.Counts.Counts(n));
            const RoiData &x = headless.Roi[size_t(n - 1)], &y = w.Roi[size_t(n - 1)];
            QCOMPARE(std::tie(x.X1, x.X2, x.Brutto, x.Kozep), std::tie(y.X1, y.X2, y.Brutto, y.Kozep));
        }
        QCOMPARE(h.UserId, j.F().UserId);
        QCOMPARE(h.MassText, j.F().Edit1->text().toStdString());
    }
}

// A load while ions fly changes the mode and the settings, but the page stays
// locked: the source options cannot change the running source.
void TestLayoutCommands::loadDuringRunKeepsThePageLocked()
{
    LayoutSession j(QStringLiteral("Vezer7146"));
    TForm1 &f = j.F();
    f.RadioButton7->setChecked(true);   // "Ismeretlen tömeg"
    f.Edit11->setText(QStringLiteral("0"));
    f.Button1Click();
    QVERIFY(j.I().Run.Running);
    const QString path = j.Path(QStringLiteral("futas.ini"));
    WriteText(path, "[Config]\r\nType=Teszt\r\nMm=30\r\n");
    j.Load(path);
    QVERIFY(j.Settled());
    QVERIFY(f.RadioButton6->isChecked());
    QCOMPARE(f.Label1->text(), QStringLiteral("FUT"));
    for (QWidget *w : std::initializer_list<QWidget *>{f.CheckBox3, f.CheckBox4, f.CheckBox5, f.Edit1, f.RadioButton7})
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(f.Button1->isEnabled());
    f.Button1Click();   // Stop: the ions in flight land, then the page unlocks
    for (int tick = 0; tick < 20000 && j.I().Run.Running; ++tick)
        f.Timer1Timer();
    QVERIFY(!j.I().Run.Running);
    QVERIFY(f.CheckBox3->isEnabled());
}

QTEST_MAIN(TestLayoutCommands)
#include "test_layout_commands.moc"
