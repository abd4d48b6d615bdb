// The note, data list and about dialogs: their layout, and the memo text living
// on through OK and Cancel; the work folders' place; and the toolkit's own
// texts in Hungarian.
#include "Main/files/SaveDialog.h"
#include "Main/window/Translations.h"
#include "Main/core/ProgramFolder.h"
#include "dialogs/About.h"
#include "dialogs/ListDlg.h"
#include "dialogs/Megjegyzes.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestSmallDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void toolkitSpeaksHungarian();
    void noteLayout();
    void noteSurvivesOkAndCancel();
    void noteLines();
    void listLayout();
    void listKeepsTextAndTag();
    void listSaveItem();
    void aboutBox();
};

void TestSmallDialogs::initTestCase()
{
#ifdef Q_OS_WIN
    // Windows shows its own file dialog, in the system's language; the
    // toolkit's dialog is the one whose texts are read here.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
#endif
    // As the program does at start, before any widget exists.
    const QString loaded = InstallTranslators(*qApp);
    QVERIFY2(!loaded.isEmpty(), "qtbase_hu.qm not found: install qt6-translations-l10n");
}

// The toolkit's texts a user meets: the program's save dialog and a text field's menu.
void TestSmallDialogs::toolkitSpeaksHungarian()
{
    const auto plain = [](QString t) { return t.remove(QChar(u'&')).section(QChar(u'\t'), 0, 0); };
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto *dlg = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        seen << dlg->windowTitle();
        for (QLabel *l : dlg->findChildren<QLabel *>())
            seen << plain(l->text());
        for (QAbstractButton *b : dlg->findChild<QDialogButtonBox *>()->buttons())
            seen << plain(b->text());
        for (QHeaderView *h : dlg->findChildren<QHeaderView *>())
            for (int i = 0; i < h->count(); ++i)
                seen << h->model()->headerData(i, Qt::Horizontal).toString();
        dlg->reject();
    });
    TFileDialog save(TFileDialog::Kind::Save);
    QVERIFY(save.Ask(nullptr, QStringLiteral("Ini (*.ini)|*.ini"), QStringLiteral(".ini"),
                     QDir::tempPath()).isEmpty());

    QLineEdit field;
    std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    for (QAction *a : menu->actions())
        seen << plain(a->text());

    for (const char *text : {"Mentés másként", "Keresés itt:", "Fájl neve:", "Mentés", "Mégse",
                             "Név", "Méret", "Visszavonás", "Kivágás", "Másolás", "Beillesztés",
                             "Összes kijelölése"})
        QVERIFY2(seen.contains(QString::fromUtf8(text)), text);
    for (const char *english : {"Save As", "Look in:", "Cancel", "Undo", "Cut", "Select All"})
        QVERIFY2(!seen.contains(QLatin1String(english)), english);
}

void TestSmallDialogs::noteLayout()
{
    TMegjDlg dlg;
    QCOMPARE(dlg.windowTitle(), QString::fromUtf8("Megjegyzés"));
    QCOMPARE(dlg.size(), QSize(384, 179));
    QCOMPARE(dlg.palette().color(QPalette::Window), QColor(0, 128, 128));
    QCOMPARE(dlg.palette().color(QPalette::WindowText), QColor(Qt::white));
    QCOMPARE(dlg.font().pixelSize(), 13);
    QVERIFY(dlg.font().bold());
    QCOMPARE(dlg.Bevel1()->geometry(), QRect(8, 8, 281, 161));
    QCOMPARE(dlg.Label1()->text(), QString::fromUtf8("Megjegyzés beírható: "));
    QCOMPARE(dlg.Label1()->pos(), QPoint(24, 18));
    QCOMPARE(dlg.Label1()->buddy(), dlg.Memo1());
    QCOMPARE(dlg.Memo1()->objectName(), QString("Memo1"));
    QCOMPARE(dlg.Memo1()->geometry(), QRect(28, 41, 241, 89));
    QCOMPARE(dlg.Memo1()->font().pixelSize(), 13);
    QVERIFY(dlg.Memo1()->font().bold());
    QCOMPARE(dlg.Memo1()->palette().color(QPalette::Text), QColor(Qt::black));
    QCOMPARE(dlg.Memo1()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(dlg.Memo1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(dlg.Button1()->text(), QString::fromUtf8("Megjegyzés törlése"));
    QCOMPARE(dlg.Button1()->geometry(), QRect(83, 138, 150, 25));
    QCOMPARE(dlg.OKBtn()->text(), QString("OK"));
    QCOMPARE(dlg.OKBtn()->geometry(), QRect(300, 8, 75, 25));
    QVERIFY(dlg.OKBtn()->isDefault());
    QCOMPARE(dlg.CancelBtn()->text(), QString("Cancel"));
    QCOMPARE(dlg.CancelBtn()->geometry(), QRect(300, 38, 75, 25));
}

void TestSmallDialogs::noteSurvivesOkAndCancel()
{
    TMegjDlg dlg;
    dlg.SetLines({"1. mérés", "Minta: A"});

    QTimer::singleShot(0, [&] {
        QTest::keyClicks(dlg.Memo1(), "x");
        QTest::mouseClick(dlg.OKBtn(), Qt::LeftButton);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    const QStringList afterOk = dlg.Lines();
    QCOMPARE(afterOk.size(), 2);
    QVERIFY(afterOk.join('|').contains('x')); // typed text kept

    QTimer::singleShot(0, [&] { QTest::mouseClick(dlg.CancelBtn(), Qt::LeftButton); });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QCOMPARE(dlg.Lines(), afterOk);

    QTimer::singleShot(0, [&] { QTest::keyClick(dlg.Memo1(), Qt::Key_Escape); });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QCOMPARE(dlg.Lines(), afterOk);

    // "Megjegyzés törlése" empties the memo and leaves the dialog open.
    bool open = false;
    QTimer::singleShot(0, [&] {
        QTest::mouseClick(dlg.Button1(), Qt::LeftButton);
        open = dlg.isVisible();
        dlg.accept();
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QVERIFY(open);
    QCOMPARE(dlg.Lines(), QStringList());
}

void TestSmallDialogs::noteLines()
{
    TMegjDlg dlg;
    QCOMPARE(dlg.Lines(), QStringList()); // empty memo: no lines
    const QStringList withEmpty = {"a", "", "c", ""};
    dlg.SetLines(withEmpty);
    QCOMPARE(dlg.Lines(), withEmpty);
    dlg.Memo1()->setPlainText("a\nb\n");
    QCOMPARE(dlg.Lines(), QStringList({"a", "b"})); // a final line break adds no line
    dlg.Memo1()->setPlainText("a\nb");
    QCOMPARE(dlg.Lines(), QStringList({"a", "b"}));
    dlg.Clear();
    QCOMPARE(dlg.Lines(), QStringList());
}

void TestSmallDialogs::listLayout()
{
    TListaDlg dlg("/prog/");
    QCOMPARE(dlg.windowTitle(), QString::fromUtf8("Adatok listája"));
    QCOMPARE(dlg.size(), QSize(384, 575));
    QCOMPARE(dlg.palette().color(QPalette::Window), QColor(0, 128, 128));
    QCOMPARE(dlg.Bevel1()->geometry(), QRect(8, 8, 281, 537));
    QCOMPARE(dlg.Memo1()->geometry(), QRect(16, 32, 265, 505));
    QCOMPARE(dlg.Memo1()->font().pixelSize(), 12);
    QVERIFY(dlg.Memo1()->font().bold());
    QVERIFY(!dlg.Memo1()->isReadOnly());
    QCOMPARE(dlg.Memo1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(dlg.OKBtn()->geometry(), QRect(300, 8, 75, 25));
    QVERIFY(dlg.OKBtn()->isDefault());
    QCOMPARE(dlg.CancelBtn()->geometry(), QRect(300, 38, 75, 25));
    QCOMPARE(dlg.PopupMenu1()->actions().size(), 1);
    QCOMPARE(dlg.Mentsfjlba1()->text(), QString::fromUtf8("Mentés fájlba"));
    QCOMPARE(dlg.Mentsfjlba1()->objectName(), QString("Mentsfjlba1"));
    QCOMPARE(dlg.Memo1()->contextMenuPolicy(), Qt::CustomContextMenu);

    const ListSaveDialogSettings &s = dlg.SaveDialogSettings();
    QCOMPARE(s.filter, QString::fromUtf8("Szövegfájlok (*.txt);;Minden fájl  (*.*)"));
    QCOMPARE(s.defaultSuffix, QString("txt"));
    QVERIFY(s.confirmOverwrite);
    QCOMPARE(s.initialFolder, QString("/prog/"));
    dlg.SetProgramFolder("/other/");
    QCOMPARE(dlg.SaveDialogSettings().initialFolder, QString("/other/"));
}

void TestSmallDialogs::listKeepsTextAndTag()
{
    TListaDlg dlg;
    dlg.ListTag = 2;
    const QStringList lines = {"#Minta A", "Spektrum:\t2", "ROI_Minimum:\t10", "Ch17:       42"};
    dlg.SetLines(lines);
    QCOMPARE(dlg.Lines(), lines);

    QTimer::singleShot(0, [&] { QTest::mouseClick(dlg.OKBtn(), Qt::LeftButton); });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(dlg.Lines(), lines);
    QTimer::singleShot(0, [&] { QTest::mouseClick(dlg.CancelBtn(), Qt::LeftButton); });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QCOMPARE(dlg.Lines(), lines);
    QCOMPARE(dlg.ListTag, 2);

    // Edits typed into the list stay in it.
    QTimer::singleShot(0, [&] {
        dlg.Memo1()->moveCursor(QTextCursor::End);
        QTest::keyClicks(dlg.Memo1(), "uj sor");
        QTest::keyClick(&dlg, Qt::Key_Escape);
    });
    dlg.exec();
    QCOMPARE(dlg.Lines().size(), 5);
    QCOMPARE(dlg.Lines().last(), QString("uj sor"));
}

void TestSmallDialogs::listSaveItem()
{
    TListaDlg dlg("/prog/");
    int requests = 0;
    dlg.Mentsfjlba1()->trigger(); // nobody listening yet: nothing happens
    dlg.SaveRequested = [&] { ++requests; };
    dlg.Mentsfjlba1()->trigger();
    QCOMPARE(requests, 1);

    // The file name comes from the replaceable asker, which sees the settings.
    QString folderSeen, lastSeen;
    dlg.SetFileNameAsker([&](QWidget *parent, const ListSaveDialogSettings &s) {
        folderSeen = s.initialFolder;
        lastSeen = s.lastFileName;
        return parent == &dlg ? QString("/prog/lista.txt") : QString();
    });
    QCOMPARE(dlg.AskSaveFileName(), QString("/prog/lista.txt"));
    QCOMPARE(folderSeen, QString("/prog/"));
    QCOMPARE(lastSeen, QString());
    QCOMPARE(dlg.AskSaveFileName(), QString("/prog/lista.txt"));
    QCOMPARE(lastSeen, QString("/prog/lista.txt")); // the last name is offered again

    // Cancelled: empty, and the last name offered stays.
    dlg.SetFileNameAsker([](QWidget *, const ListSaveDialogSettings &) { return QString(); });
    QCOMPARE(dlg.AskSaveFileName(), QString());
    QCOMPARE(dlg.SaveDialogSettings().lastFileName, QString("/prog/lista.txt"));

    // The real save dialog, answered with Escape: no name.
    dlg.SetFileNameAsker(nullptr);
    QTimer::singleShot(0, [] {
        QWidget *w = QApplication::activeModalWidget();
        QVERIFY(w);
        QTest::keyClick(w, Qt::Key_Escape);
    });
    QCOMPARE(dlg.AskSaveFileName(), QString());
}

void TestSmallDialogs::aboutBox()
{
    TAboutBox box;
    QCOMPARE(box.windowTitle(), QString::fromUtf8("Névjegy"));
    QCOMPARE(box.ProductName()->text(), QString::fromUtf8("Ionvető"));
    QCOMPARE(box.OKButton()->text(), QString("OK"));

    // The icon is drawn: teal ground with the purple arc on it.
    const QImage icon = ProgramIcon(32).toImage();
    QCOMPARE(icon.size(), QSize(32, 32));
    int teal = 0, purplish = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QColor c = icon.pixelColor(x, y);
            teal += c == QColor(0, 128, 128);
            purplish += c.red() > 100 && c.blue() > 100 && c.green() < 90;
        }
    QVERIFY(teal > 400);
    QVERIFY(purplish > 20);
    QVERIFY(!box.ProgramIconLabel()->pixmap().isNull());

    // The work folders stay beside a writable program; for a program whose
    // folder is not writable (here: not there at all) the user's data folder is
    // chosen, and made only when asked to. The box says which.
    QTemporaryDir dir;
    const QString perUser = dir.filePath(QStringLiteral("adat/Ionveto"));
    const ProgramFolderChoice portable = ChooseProgramFolder(dir.path(), perUser);
    QCOMPARE(portable.Folder, dir.path() + QLatin1Char('/'));
    QVERIFY(portable.BesideProgram);
    const ProgramFolderChoice installed = ChooseProgramFolder(dir.filePath(QStringLiteral("nincs")), perUser);
    QCOMPARE(installed.Folder, perUser + QLatin1Char('/'));
    QVERIFY(!installed.BesideProgram && !QFileInfo::exists(perUser));
    QVERIFY(CreateProgramFolder(installed) && QFileInfo(perUser).isDir());
    // A writable folder inside an install tree (an administrator running the
    // installed program) still uses the user's data folder.
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("pfx/bin")) && QDir(dir.path()).mkpath(QStringLiteral("pfx/share/metainfo")));
    QFile meta(dir.filePath(QStringLiteral("pfx/share/metainfo/hu.ionveto.Ionveto.metainfo.xml")));
    QVERIFY(meta.open(QIODevice::WriteOnly));
    meta.close();
    QVERIFY(!ChooseProgramFolder(dir.filePath(QStringLiteral("pfx/bin")), perUser).BesideProgram);
    // So does a folder the Windows installer filled (its uninstaller beside the
    // program), with blanks and ő in its name as "Program Files\Ionvető" has.
    const QString windowsInstall = dir.filePath(QStringLiteral("Program Files/Ionvető"));
    QVERIFY(QDir().mkpath(windowsInstall));
    QVERIFY(ChooseProgramFolder(windowsInstall, perUser).BesideProgram);
    QFile uninstaller(windowsInstall + QStringLiteral("/uninstall.exe"));
    QVERIFY(uninstaller.open(QIODevice::WriteOnly));
    uninstaller.close();
    QCOMPARE(ChooseProgramFolder(windowsInstall, perUser).Folder, perUser + QLatin1Char('/'));
    box.SetProgramFolder(portable.Folder, true);
    QVERIFY(box.FolderLine()->text().contains(QStringLiteral("a program mappája")));
    box.SetProgramFolder(installed.Folder, false);
    QVERIFY(box.FolderLine()->text().contains(QStringLiteral("felhasználói adatmappa")));

    QTimer::singleShot(0, [&] { QTest::keyClick(&box, Qt::Key_Return); });
    QCOMPARE(box.exec(), int(QDialog::Accepted));
}

QTEST_MAIN(TestSmallDialogs)
#include "test_small_dialogs.moc"
