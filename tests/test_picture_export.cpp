// The picture commands of the main window (a chart panel, the device page, both
// pages stacked) and the "Súgó" menu: each picture is copied from the window
// before the save dialog opens, written as a baseline colour JPEG at quality 90,
// and a file that cannot be created is reported without leaving anything behind.
// Driven offscreen through the real menus and pop-up menus.
// moc needs only the test class below, not the model's headers.
#ifndef Q_MOC_RUN
#include "FormDriver.h"
#include "Main/charts/ChartsPage.h"
#include "dialogs/About.h"
#include "dialogs/SugoD.h"
#endif

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTabWidget>

#include <cstdlib>

#include "helpers/JpegDecode.h"

namespace {

using Decoded = DecodedJpeg;

Decoded DecodeFile(const QString &path)
{
    return DecodeJpegFile(path);
}

// The library's luminance table at quality 90 (scale 20 %), natural order.
bool IsQuality90Luma(const int *q)
{
    static const int standard[DCTSIZE2] = {
        16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55,
        14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29, 51, 87, 80, 62,
        18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92,
        49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
    for (int i = 0; i < DCTSIZE2; ++i) {
        const int expected = qBound(1, (standard[i] * 20 + 50) / 100, 255);
        if (q[i] != expected)
            return false;
    }
    return true;
}

// Mean absolute difference per channel of two pictures of one size (JPEG at
// quality 90 stays within a few levels of the original).
double MeanDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 1e9;
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int r = 0; r < x.height(); ++r) {
        const uchar *p = x.constScanLine(r);
        const uchar *q = y.constScanLine(r);
        for (int c = 0; c < x.width() * 3; ++c)
            sum += std::abs(int(p[c]) - int(q[c]));
    }
    return sum / (double(x.width()) * x.height() * 3);
}

QImage Shot(QWidget *w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB888);
}

QStringList FilesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
}

// What the save dialog was asked and what the window looked like meanwhile.
struct AskRecord {
    int Calls = 0;
    QString Filter, DefaultExt, InitialDir;
    int PageDuringDialog = -1;
};

} // namespace

class TestPictureExport : public QObject
{
    Q_OBJECT
private slots:
    void chartPanelsFromTheirPopupMenu();
    void chartPictureIsTakenBeforeTheDialog();
    void popupOfNoPanelDoesNothing();
    void devicePictureIsTheClientArea();
    void bothPagesStackedAndFrontPageRestored();
    void cancelWritesNothing();
    void fileThatCannotBeCreated();
    void helpMenuOpensTheRightPage();
    void aboutBoxFromTheMenu();

private:
    // An identified jury session, the window shown, the save dialog answered by `answer`.
    struct Session {
        ProgramUnderTest Prog;
        ModalDriver Driver;
        AskRecord Ask;
        QString Answer;                               // path the "user" picks; empty cancels
        std::function<void()> DuringDialog;           // runs while the dialog is "open"
        TForm1 &F() { return Prog.F(); }
    };
    static bool Start(Session &s);
    static QString ChartPictureItemText() { return QString::fromUtf8("Kép mentése más néven"); }
    static void SaveChartPicture(Session &s, int panel);
};

bool TestPictureExport::Start(Session &s)
{
    s.Driver.Password(QStringLiteral("Vezer7146"));
    if (!s.Prog.Identify(s.Driver))
        return false;
    s.F().SaveDialog1.Asker = [&s](QWidget *, const TFileDialog &d) {
        ++s.Ask.Calls;
        s.Ask.Filter = d.Filter;
        s.Ask.DefaultExt = d.DefaultExt;
        s.Ask.InitialDir = d.InitialDir;
        s.Ask.PageDuringDialog = s.F().PageControl1->currentIndex();
        if (s.DuringDialog)
            s.DuringDialog();
        return s.Answer;
    };
    QCoreApplication::processEvents();
    return true;
}

// Opens the panels' pop-up menu on `panel` as a right click would, and picks the picture item.
void TestPictureExport::SaveChartPicture(Session &s, int panel)
{
    TChartsPage *charts = s.F().Charts;
    QWidget *p = charts->Panel(panel);
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(3, 3), p->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(p, &click);
    QMenu *menu = charts->PopupMenu();
    QAction *item = nullptr;
    for (QAction *a : menu->actions())
        if (a->text() == ChartPictureItemText())
            item = a;
    QVERIFY(item);
    menu->hide();
    item->trigger();
}

void TestPictureExport::chartPanelsFromTheirPopupMenu()
{
    Session s;
    QVERIFY(Start(s));
    TForm1 &f = s.F();
    f.PageControl1->setCurrentWidget(f.TabSheet2);
    QCoreApplication::processEvents();
    // The dialog's own filter of the previous command comes back afterwards.
    f.SaveDialog1.Filter = QStringLiteral("Előző (*.ini)|*.ini");

    const QSize sizes[] = {QSize(997, 349), QSize(995, 351)};
    for (int panel = 1; panel <= 2; ++panel) {
        QWidget *p = f.Charts->Panel(panel);
        QCOMPARE(p->size(), sizes[panel - 1]);
        // Where the panel sits in the window's client area.
        QCOMPARE(p->parentWidget(), f.TabSheet2);
        QCOMPARE(p->pos(), panel == 1 ? QPoint(8, 16) : QPoint(11, 386));

        const QImage expected = Shot(p);
        const QString path = QDir(s.Prog.Folder.path()).filePath(QStringLiteral("chart%1.jpg").arg(panel));
        s.Answer = path;
        s.Ask = AskRecord{};
        SaveChartPicture(s, panel);
        QCOMPARE(f.Charts->PopupPanel(), panel);
        QCOMPARE(s.Ask.Calls, 1);
        QCOMPARE(s.Ask.Filter, QString::fromUtf8("Képfájlok (*.jpg)|*.jpg|Minden fájl (*.*)|*.*"));
        QCOMPARE(s.Ask.DefaultExt, QStringLiteral(".jpg"));
        if (panel == 1)
            QCOMPARE(s.Ask.InitialDir, f.WorkFolder);
        QCOMPARE(f.SaveDialog1.Filter, QStringLiteral("Előző (*.ini)|*.ini"));
        QVERIFY(s.Driver.Messages.isEmpty());

        const Decoded d = DecodeFile(path);
        QVERIFY(d.Ok);
        QCOMPARE(d.Image.size(), sizes[panel - 1]);
        QCOMPARE(d.Components, 3);
        QCOMPARE(d.FileColour, JCS_YCbCr);
        QVERIFY(!d.Progressive);
        QVERIFY(IsQuality90Luma(d.LumaQuant));
        // The panel itself, not another part of the window.
        const double same = MeanDifference(d.Image, expected);
        QVERIFY2(same < 3.0, qPrintable(QString::number(same)));
    }
    // Nothing else was written.
    QCOMPARE(FilesIn(s.Prog.Folder.path()), (QStringList{QStringLiteral("chart1.jpg"), QStringLiteral("chart2.jpg")}));
}

void TestPictureExport::chartPictureIsTakenBeforeTheDialog()
{
    Session s;
    QVERIFY(Start(s));
    TForm1 &f = s.F();
    f.PageControl1->setCurrentWidget(f.TabSheet2);
    QCoreApplication::processEvents();
    QWidget *panel = f.Charts->Panel(2);
    QWidget *chart = f.Charts->findChild<QWidget *>(QStringLiteral("Chart2Frame"));
    QVERIFY(chart && panel->isAncestorOf(chart));
    const QImage before = Shot(panel);
    // While the dialog is open the chart gives way to a red panel; the picture must not know.
    s.DuringDialog = [panel, chart] {
        chart->hide();
        QPalette red = panel->palette();
        red.setColor(QPalette::Window, Qt::red);
        panel->setPalette(red);
        panel->setAutoFillBackground(true);
    };
    s.Answer = QDir(s.Prog.Folder.path()).filePath(QStringLiteral("before.jpg"));
    SaveChartPicture(s, 2);
    const QImage after = Shot(panel);
    const Decoded d = DecodeFile(s.Answer);
    QVERIFY(d.Ok);
    QVERIFY(MeanDifference(before, after) > 30.0);   // the change is plain to see
    QVERIFY(MeanDifference(d.Image, before) < 3.0);
}

void TestPictureExport::popupOfNoPanelDoesNothing()
{
    Session s;
    QVERIFY(Start(s));
    s.Answer = QDir(s.Prog.Folder.path()).filePath(QStringLiteral("none.jpg"));
    s.F().Kpmentsemsnven1Click(0);
    s.F().Kpmentsemsnven1Click(3);
    QCOMPARE(s.Ask.Calls, 0);
    QVERIFY(FilesIn(s.Prog.Folder.path()).isEmpty());
    QVERIFY(s.Driver.Messages.isEmpty());
}

void TestPictureExport::devicePictureIsTheClientArea()
{
    Session s;
    QVERIFY(Start(s));
    TForm1 &f = s.F();
    QCOMPARE(f.PageControl1->currentWidget(), f.TabSheet1);
    QWidget *client = f.centralWidget();
    // The client area is the window less its menu bar.
    QCOMPARE(client->size(), QSize(1060, 867 - f.menuBar()->height()));
    const QImage expected = Shot(client);
    // Switching the page while the dialog is open must not reach the picture.
    s.DuringDialog = [&f] { f.PageControl1->setCurrentIndex(1); };
    s.Answer = QDir(s.Prog.Folder.path()).filePath(QStringLiteral("device"));   // no extension typed
    QCOMPARE(f.Kpmentsemsnven2->text(), ChartPictureItemText());
    f.Kpmentsemsnven2->trigger();
    QCOMPARE(s.Ask.Calls, 1);
    QCOMPARE(s.Ask.Filter, QString::fromUtf8("Képfájlok (*.jpg)|*.jpg|Minden fájl (*.*)|*.*"));
    QCOMPARE(s.Ask.PageDuringDialog, 0);
    const QImage graphs = Shot(client);
    const Decoded d = DecodeFile(s.Answer + QStringLiteral(".jpg"));
    QVERIFY(d.Ok);
    QCOMPARE(d.Image.size(), client->size());
    QVERIFY(!d.Progressive);
    QCOMPARE(d.Components, 3);
    const double same = MeanDifference(d.Image, expected);
    QVERIFY2(same < 3.0, qPrintable(QString::number(same)));
    QVERIFY(MeanDifference(d.Image, graphs) > same + 5.0);
    // The run-control panel sits on the device page and so is in the picture.
    const QRect run(f.Panel6->mapTo(client, QPoint(0, 0)), f.Panel6->size());
    const QImage runPanel = Shot(f.Panel6);
    QCOMPARE(expected.copy(run), runPanel);
    const double runSame = MeanDifference(d.Image.copy(run), runPanel);
    QVERIFY2(runSame < 6.0, qPrintable(QString::number(runSame)));
    QVERIFY(MeanDifference(graphs.copy(run), runPanel) > runSame + 10.0);
}

void TestPictureExport::bothPagesStackedAndFrontPageRestored()
{
    for (int front = 0; front <= 1; ++front) {
        Session s;
        QVERIFY(Start(s));
        TForm1 &f = s.F();
        QWidget *client = f.centralWidget();
        const int w = client->width();
        const int h = client->height();
        f.PageControl1->setCurrentIndex(0);
        QCoreApplication::processEvents();
        const QImage device = Shot(client);
        f.PageControl1->setCurrentIndex(1);
        QCoreApplication::processEvents();
        const QImage graphs = Shot(client);
        QVERIFY(MeanDifference(device, graphs) > 10.0);

        f.PageControl1->setCurrentIndex(front);
        QCoreApplication::processEvents();
        s.Answer = QDir(s.Prog.Folder.path()).filePath(QStringLiteral("both.jpg"));
        QCOMPARE(f.Mentskpknt1->text(), QString::fromUtf8("Mentés képként"));
        f.Mentskpknt1->trigger();
        QCOMPARE(s.Ask.Calls, 1);
        QCOMPARE(s.Ask.DefaultExt, QStringLiteral(".jpg"));
        // The graphs page is in front while the dialog is open, the old page afterwards.
        QCOMPARE(s.Ask.PageDuringDialog, 1);
        QCOMPARE(f.PageControl1->currentIndex(), front);

        const Decoded d = DecodeFile(s.Answer);
        QVERIFY(d.Ok);
        QCOMPARE(d.Image.size(), QSize(w, 2 * h));
        QVERIFY(!d.Progressive);
        QVERIFY(IsQuality90Luma(d.LumaQuant));
        const QImage top = d.Image.copy(0, 0, w, h);
        const QImage bottom = d.Image.copy(0, h, w, h);
        const double topSame = MeanDifference(top, device);
        const double bottomSame = MeanDifference(bottom, graphs);
        QVERIFY2(topSame < 3.0, qPrintable(QString::number(topSame)));
        QVERIFY2(bottomSame < 3.0, qPrintable(QString::number(bottomSame)));
        QVERIFY(MeanDifference(top, graphs) > topSame + 5.0);
        QVERIFY(MeanDifference(bottom, device) > bottomSame + 5.0);
    }
}

void TestPictureExport::cancelWritesNothing()
{
    Session s;
    QVERIFY(Start(s));
    TForm1 &f = s.F();
    f.PageControl1->setCurrentIndex(0);
    s.Answer.clear();
    f.Mentskpknt1->trigger();
    f.Kpmentsemsnven2->trigger();
    f.Kpmentsemsnven1Click(1);
    QCOMPARE(s.Ask.Calls, 3);
    QCOMPARE(f.PageControl1->currentIndex(), 0);
    QVERIFY(FilesIn(s.Prog.Folder.path()).isEmpty());
    QVERIFY(s.Driver.Messages.isEmpty());
}

void TestPictureExport::fileThatCannotBeCreated()
{
    Session s;
    QVERIFY(Start(s));
    TForm1 &f = s.F();
    const QString root = s.Prog.Folder.path();
    // A file standing where a folder should be, and a name already taken by a folder.
    QFile plain(QDir(root).filePath(QStringLiteral("notes.txt")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write("x");
    plain.close();
    QVERIFY(QDir(root).mkdir(QStringLiteral("taken.jpg")));

    const QString paths[] = {
        QDir(root).filePath(QStringLiteral("missing/pic.jpg")),
        QDir(root).filePath(QStringLiteral("notes.txt/pic.jpg")),
        QDir(root).filePath(QStringLiteral("taken.jpg")),
    };
    int expectedMessages = 0;
    for (const QString &path : paths) {
        for (int command = 0; command < 3; ++command) {
            s.Answer = path;
            f.PageControl1->setCurrentIndex(command == 0 ? 1 : 0);
            if (command == 0)
                SaveChartPicture(s, 1);
            else if (command == 1)
                f.Kpmentsemsnven2->trigger();
            else
                f.Mentskpknt1->trigger();
            ++expectedMessages;
            QCOMPARE(s.Driver.Messages.size(), expectedMessages);
            const ShownMessage &m = s.Driver.Messages.last();
            QCOMPARE(m.Kind, QStringLiteral("Platform"));
            QCOMPARE(m.Text, QStringLiteral("Cannot create file ") + path);
        }
    }
    // Nothing written anywhere: no picture, no temporary file, the folder still a folder.
    QCOMPARE(FilesIn(root), (QStringList{QStringLiteral("notes.txt"), QStringLiteral("taken.jpg")}));
    QVERIFY(QFileInfo(QDir(root).filePath(QStringLiteral("taken.jpg"))).isDir());
    QVERIFY(FilesIn(QDir(root).filePath(QStringLiteral("taken.jpg"))).isEmpty());
    QCOMPARE(QFileInfo(plain.fileName()).size(), qint64(1));
    QVERIFY(!QDir(QDir(root).filePath(QStringLiteral("missing"))).exists());
    // The page in front before the stacked picture is in front again after its failure.
    QCOMPARE(f.PageControl1->currentIndex(), 0);
}

void TestPictureExport::helpMenuOpensTheRightPage()
{
    Session s;
    QVERIFY(Start(s));
    TForm1 &f = s.F();
    THelpDlg *help = f.HelpDlg;
    QVERIFY(help);
    QVERIFY(!help->isVisible());
    QCOMPARE(f.Elmletfeladatok1->text(), QString::fromUtf8("Elmélet+feladatok"));
    QCOMPARE(f.Aprogramhasznlata1->text(), QString::fromUtf8("A program használata"));

    f.Aprogramhasznlata1->trigger();
    QVERIFY(help->isVisible());
    QVERIFY(!help->isModal());
    QCOMPARE(help->HelpPage(), 1);
    QCOMPARE(help->PageImage().size(), QSize(688, 5838));
    QCOMPARE(help->ScrollMaximum(), 5012);
    QCOMPARE(help->windowTitle(), QString::fromUtf8("Súgó (A program használata)"));
    help->ScrollBar1()->setValue(800);

    f.Elmletfeladatok1->trigger();
    QVERIFY(help->isVisible());
    QCOMPARE(help->HelpPage(), 0);
    QCOMPARE(help->PageImage().size(), QSize(688, 2336));
    QCOMPARE(help->ScrollMaximum(), 1510);
    QCOMPARE(help->ScrollPosition(), 0);
    QCOMPARE(help->windowTitle(), QString::fromUtf8("Súgó (Elmélet + feladatok)"));

    // The main window stays usable meanwhile: the help is not modal.
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QTest::mouseClick(help->OkButton(), Qt::LeftButton);
    QVERIFY(!help->isVisible());
    f.Aprogramhasznlata1->trigger();
    QVERIFY(help->isVisible());
    QCOMPARE(help->HelpPage(), 1);
    QCOMPARE(help->ScrollPosition(), 0);
    help->hide();
}

void TestPictureExport::aboutBoxFromTheMenu()
{
    Session s;
    QVERIFY(Start(s));
    TForm1 &f = s.F();
    QCOMPARE(f.Nvjegy1->text(), QString::fromUtf8("Névjegy"));
    bool seen = false;
    s.Driver.Then([](QWidget *w) { return qobject_cast<TAboutBox *>(w) != nullptr; },
                  [&seen](QWidget *w) {
                      auto *box = static_cast<TAboutBox *>(w);
                      seen = box->ProductName()->text() == QString::fromUtf8("Ionvető")
                             && !box->ProgramIconLabel()->pixmap().isNull()
                             && box->OKButton()->text() == QStringLiteral("OK")
                             && box->OKButton()->isVisible();
                      QTest::mouseClick(box->OKButton(), Qt::LeftButton);
                  });
    f.Nvjegy1->trigger();   // modal: returns after "OK"
    QVERIFY(s.Driver.Finished());
    QVERIFY(seen);
    QVERIFY(!f.AboutBox->isVisible());
    QVERIFY(s.Driver.Messages.isEmpty());
}

QTEST_MAIN(TestPictureExport)
#include "test_picture_export.moc"
