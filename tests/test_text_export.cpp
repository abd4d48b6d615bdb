// The text exports through the main window: "Mentés másként (mérési adatok
// szövegfájlba)", the chart panels' pop-up items "Adatok listája" and "Adatok
// mentése szövegfáljba", and "Mentés fájlba" of the data list dialog.
#include "FormDriver.h"

#include "Main/charts/ChartsPage.h"
#include "Main/core/ProfileFile.h"
#include "dialogs/ListDlg.h"
#include "dialogs/Megjegyzes.h"

#include <QAction>
#include <QFile>
#include <QMenu>

namespace {

const QString TextFilter = QStringLiteral("Szöveg fájlok (*.txt)|*.txt|Minden fájl (*.*)|*.*");

// A running program with the chart 2 of the worked example: 42 counts in
// channel 17, 3 in 18, ROI bounds 10 and 30, no ROI result.
struct ExportSession : Session {
    explicit ExportSession(const QString &code = QStringLiteral("104")) : Session(code)
    {
        I().Counts.SetCount(2, 17, 42);
        I().Counts.SetCount(2, 18, 3);
        const char *boxes[4] = {"10", "30", "", ""};
        for (int i = 0; i < 4; ++i)
            F().Charts->RoiBox(2, i)->setText(QString::fromLatin1(boxes[i]));
    }
    using Session::Answer;
    void Answer(const QString &path) { Session::Answer(F().SaveDialog1, path); }
    // A right click on panel `panel` and the pop-up item `text`.
    void Popup(int panel, const QString &text)
    {
        QWidget *p = F().Charts->Panel(panel);
        emit p->customContextMenuRequested(QPoint(5, 5));
        QMenu *menu = F().Charts->PopupMenu();
        QCOMPARE(F().Charts->PopupPanel(), panel);
        menu->hide();
        for (QAction *a : menu->actions())
            if (a->text() == text) {
                a->trigger();
                return;
            }
        QFAIL("no such pop-up item");
    }
};

using Entries = std::vector<std::pair<std::string, std::string>>;

Entries EntriesOf(const QString &path, const char *section)
{
    ProfileFile f;
    if (!f.Load(path.toStdString()))
        qWarning("cannot read %s", qPrintable(path));
    Entries out;
    for (const std::string &key : f.SectionKeys(section))
        out.emplace_back(key, f.ReadString(section, key, "?"));
    return out;
}

std::vector<std::string> SectionsOf(const QString &path)
{
    ProfileFile f;
    if (!f.Load(path.toStdString()))
        qWarning("cannot read %s", qPrintable(path));
    return f.SectionNames();
}

} // namespace

class TestTextExport : public QObject
{
    Q_OBJECT
private slots:
    void popupSaveWritesTheExampleSection();
    void noteLineFormsInTheThreeExports();
    void mainMenuExportWritesBothSpectra();
    void cancelledSaveDialogWritesNothing();
    void failedWriteIsReported();
    void dataListShowsTheChartAndSavesTheEditedMemo();
    void dataListWithoutNote();
};

void TestTextExport::popupSaveWritesTheExampleSection()
{
    ExportSession s;
    const QString path = s.Path(QStringLiteral("minta"));
    s.Note(true, QStringList{QStringLiteral("Minta A")});
    s.Answer(path);
    s.F().SaveDialog1.Filter = QStringLiteral("Előző (*.ini)|*.ini");
    s.Popup(2, QStringLiteral("Adatok mentése szövegfáljba"));
    QVERIFY(s.Settled());
    QCOMPARE(s.AskCount, 1);
    QCOMPARE(s.Asked.Filter, TextFilter);
    QCOMPARE(s.Asked.DefaultExt, QStringLiteral(".txt"));
    QCOMPARE(s.Asked.InitialDir, s.F().WorkFolder);
    QCOMPARE(s.F().SaveDialog1.Filter, QStringLiteral("Előző (*.ini)|*.ini"));
    const QString file = path + QStringLiteral(".txt");
    QCOMPARE(SectionsOf(file), std::vector<std::string>{"Spectrum2"});
    const Entries expected = {{"REM0", "#Minta A"}, {"Spektrum", "2"},   {"ROI_Minimum", "10"},
                              {"ROI_Maximum", "30"}, {"ROI_Brutto", ""}, {"ROI_Közép", ""},
                              {"Ch17", "42"},        {"Ch18", "3"}};
    QCOMPARE(EntriesOf(file, "Spectrum2"), expected);
    QVERIFY(s.PlatformMessages().isEmpty());
}

void TestTextExport::noteLineFormsInTheThreeExports()
{
    ExportSession s;
    const QStringList note{QStringLiteral("Minta: A"), QString(), QStringLiteral(":csak érték"),
                           QStringLiteral("Spektrum: 9")};
    // Pop-up: "#" in front of each note line.
    s.Note(true, note);
    s.Answer(s.Path(QStringLiteral("popup.txt")));
    s.Popup(1, QStringLiteral("Adatok mentése szövegfáljba"));
    QVERIFY(s.Settled());
    const Entries popup = EntriesOf(s.Path(QStringLiteral("popup.txt")), "Spectrum1");
    QCOMPARE(popup.size(), size_t(9));
    QCOMPARE(popup[0], (std::pair<std::string, std::string>{"#Minta", "A"}));
    QCOMPARE(popup[1], (std::pair<std::string, std::string>{"REM0", "#"}));
    QCOMPARE(popup[2], (std::pair<std::string, std::string>{"#", "csak érték"}));
    QCOMPARE(popup[3], (std::pair<std::string, std::string>{"#Spektrum", "9"}));
    QCOMPARE(popup[4], (std::pair<std::string, std::string>{"Spektrum", "1"}));

    // Main menu: the lines unchanged; the note's "Spektrum" is overwritten in place,
    // an empty line and a line with nothing before ":" become REM entries.
    s.Note(true);
    s.Answer(s.Path(QStringLiteral("menu.txt")));
    s.F().Mentsmskntmrsiadatokszvegfjlbe1Click();
    QVERIFY(s.Settled());
    const Entries menu = EntriesOf(s.Path(QStringLiteral("menu.txt")), "Spectrum1");
    const Entries expected = {{"Minta", "A"},          {"REM0", ""},           {"REM1", ":csak érték"},
                              {"Spektrum", "1"},       {"ROI_Minimum", s.F().Charts->RoiBox(1, 0)->text().toStdString()},
                              {"ROI_Maximum", s.F().Charts->RoiBox(1, 1)->text().toStdString()},
                              {"ROI_Brutto", s.F().Charts->RoiBox(1, 2)->text().toStdString()},
                              {"ROI_Közép", s.F().Charts->RoiBox(1, 3)->text().trimmed().toStdString()}};
    QCOMPARE(menu, expected);

    // The layout file stores the note line whole.
    s.Note(true);
    s.F().SaveDialog1.Asker = [&](QWidget *, const TFileDialog &) { return s.Path(QStringLiteral("l.ini")); };
    s.F().Mentsmskntelrendezssmrsiadatok1Click();
    QVERIFY(s.Settled());
    ProfileFile layout;
    QVERIFY(layout.Load(s.Path(QStringLiteral("l.ini")).toStdString()));
    QCOMPARE(layout.ReadString("Config", "REM0", "?"), std::string("Minta: A"));
    QCOMPARE(layout.ReadString("Config", "REM3", "?"), std::string("Spektrum: 9"));
}

void TestTextExport::mainMenuExportWritesBothSpectra()
{
    ExportSession s;
    s.I().Counts.SetCount(1, 0, 1);
    s.I().Counts.SetCount(1, 1000, 2.5);
    const QString path = s.Path(QStringLiteral("mind.txt"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("[Spectrum9]\r\nx=1\r\n");
    old.close();
    s.Note(false, QStringList{QStringLiteral("elvetve")});
    s.Answer(path);
    s.F().Mentsmskntmrsiadatokszvegfjlbe1Click();
    QVERIFY(s.Settled());
    // Written from scratch; a cancelled note adds nothing.
    QCOMPARE(SectionsOf(path), (std::vector<std::string>{"Spectrum1", "Spectrum2"}));
    const Entries one = EntriesOf(path, "Spectrum1");
    QCOMPARE(one.front().first, std::string("Spektrum"));
    QCOMPARE(one[5], (std::pair<std::string, std::string>{"Ch0", "1"}));
    QCOMPARE(one[6], (std::pair<std::string, std::string>{"Ch1000", "2"}));   // %8.0f: 2.5 to the even 2
    const Entries two = EntriesOf(path, "Spectrum2");
    QCOMPARE(two.size(), size_t(7));
    QCOMPARE(two[0], (std::pair<std::string, std::string>{"Spektrum", "2"}));
}

void TestTextExport::cancelledSaveDialogWritesNothing()
{
    ExportSession s;
    s.Note(true, QStringList{QStringLiteral("megmarad")});
    s.Answer(QString());
    s.F().Mentsmskntmrsiadatokszvegfjlbe1Click();
    QVERIFY(s.Settled());
    s.Note(true);
    s.Popup(2, QStringLiteral("Adatok mentése szövegfáljba"));
    QVERIFY(s.Settled());
    QCOMPARE(s.AskCount, 2);
    QVERIFY(QDir(s.F().WorkFolder).entryList(QDir::Files).isEmpty());
    QCOMPARE(s.F().MegjDlg->Lines(), QStringList{QStringLiteral("megmarad")});
}

void TestTextExport::failedWriteIsReported()
{
    ExportSession s;
    const QString bad = s.Path(QStringLiteral("nincs/mappa/ki.txt"));
    s.Note(true);
    s.Answer(bad);
    s.F().Mentsmskntmrsiadatokszvegfjlbe1Click();
    QVERIFY(s.Settled());
    s.Note(false);
    s.Popup(1, QStringLiteral("Adatok mentése szövegfáljba"));
    QVERIFY(s.Settled());
    const QString message = QStringLiteral("Unable to write to ") + bad;
    QCOMPARE(s.PlatformMessages(), (QStringList{message, message}));
}

void TestTextExport::dataListShowsTheChartAndSavesTheEditedMemo()
{
    ExportSession s;
    TListaDlg *list = s.F().ListaDlg;
    QStringList shown;
    int listTag = 0;
    ListSaveDialogSettings settings;
    const QString path = s.Path(QStringLiteral("lista.txt"));
    list->SetFileNameAsker([&](QWidget *, const ListSaveDialogSettings &d) {
        settings = d;
        return path;
    });
    s.Note(true, QStringList{QStringLiteral("Minta A")});
    s.Driver.Then([](QWidget *w) { return qobject_cast<TListaDlg *>(w) != nullptr; },
                  [&](QWidget *w) {
                      auto *d = static_cast<TListaDlg *>(w);
                      shown = d->Lines();
                      listTag = d->ListTag;
                      QStringList edited = d->Lines();
                      edited[0] = QStringLiteral("# átírt megjegyzés");
                      edited << QStringLiteral("kézzel írt sor") << QStringLiteral("Ch20: 5");
                      d->SetLines(edited);
                      d->Mentsfjlba1()->trigger();
                      QTest::mouseClick(d->CancelBtn(), Qt::LeftButton);
                  });
    s.Popup(2, QStringLiteral("Adatok listája"));
    QVERIFY(s.Settled());
    QCOMPARE(listTag, 2);
    const QStringList expected{QStringLiteral("#Minta A"),     QStringLiteral("Spektrum:\t2"),
                               QStringLiteral("ROI_Minimum:\t10"), QStringLiteral("ROI_Maximum:\t30"),
                               QStringLiteral("ROI_Brutto:\t"),  QStringLiteral("ROI_Közép:\t"),
                               QStringLiteral("Ch17:       42"), QStringLiteral("Ch18:        3")};
    QCOMPARE(shown, expected);
    // The dialog's own save dialog, starting in the program's folder.
    QCOMPARE(settings.initialFolder, s.F().ProgramFolder);
    QCOMPARE(settings.filter, QStringLiteral("Szövegfájlok (*.txt);;Minden fájl  (*.*)"));
    QVERIFY(settings.confirmOverwrite);
    const Entries written = EntriesOf(path, "Spectrum2");
    const Entries want = {{"REM0", "# átírt megjegyzés"}, {"Spektrum", "2"},   {"ROI_Minimum", "10"},
                          {"ROI_Maximum", "30"},          {"ROI_Brutto", ""}, {"ROI_Közép", ""},
                          {"Ch17", "42"},                 {"Ch18", "3"},      {"REM1", "kézzel írt sor"},
                          {"Ch20", "5"}};
    QCOMPARE(written, want);
    QVERIFY(s.PlatformMessages().isEmpty());
    // The memo keeps the list until the next "Adatok listája".
    QCOMPARE(list->Lines().size(), 10);
}

void TestTextExport::dataListWithoutNote()
{
    ExportSession s;
    QStringList shown;
    s.Note(false, QStringList{QStringLiteral("nem kerül bele")});
    s.Driver.Then([](QWidget *w) { return qobject_cast<TListaDlg *>(w) != nullptr; },
                  [&](QWidget *w) {
                      shown = static_cast<TListaDlg *>(w)->Lines();
                      QTest::mouseClick(static_cast<TListaDlg *>(w)->OKBtn(), Qt::LeftButton);
                  });
    s.Popup(1, QStringLiteral("Adatok listája"));
    QVERIFY(s.Settled());
    // Chart 1 has no counts: exactly the five lines.
    QCOMPARE(shown.size(), 5);
    QCOMPARE(shown[0], QStringLiteral("Spektrum:\t1"));
    QCOMPARE(s.F().ListaDlg->ListTag, 1);
    QVERIFY(QDir(s.F().ProgramFolder).entryList({QStringLiteral("*.txt")}, QDir::Files).isEmpty());
}

QTEST_MAIN(TestTextExport)
#include "test_text_export.moc"
