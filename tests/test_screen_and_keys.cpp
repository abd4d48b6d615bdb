// The window on every screen and under every hand: the fit rule on work areas
// smaller and larger than the window, the main window and the help viewer on a
// small screen, the keyboard paths (arrow fields, the note's Tab, Enter on a
// button, the help viewer's keys, the graphs page's focus order) and the locale
// rule (interface in the system's locale, numbers with the point).
#ifndef Q_MOC_RUN
#include "FormDriver.h"
#include "Main/charts/ChartsPage.h"
#include "Main/device/PictureView.h"
#include "Main/window/Desktop.h"
#include "dialogs/HelpPages.h"
#include "dialogs/ScreenFit.h"
#include "dialogs/SugoD.h"
#endif

#include <QCheckBox>
#include <qcustomplot.h>
#include <QLocale>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>

#include <clocale>

class TestScreenAndKeys : public QObject
{
    Q_OBJECT
private slots:
    void fitRule_data();
    void fitRule();
    void mainWindowOnASmallScreen();
    void helpViewerOnASmallScreen();
    void arrowFieldsStepByKeys();
    void noteTabLeavesAndEnterPresses();
    void helpViewerScrollsByKeys();
    void graphsPageFocusOrder();
    void interfaceLocaleFollowsTheSystem();
};

void TestScreenAndKeys::fitRule_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<bool>("shrunk");
    QTest::addColumn<QPoint>("frameTopLeft");
    // A frame of a 30-pixel title bar and 4-pixel borders around the 1060 x 867 window:
    // 1068 x 901 outside.
    QTest::newRow("1920x1080, taskbar 40") << QRect(0, 0, 1920, 1040) << QSize(1060, 867) << false
                                             << QPoint(426, 69);
    QTest::newRow("exactly enough") << QRect(0, 0, 1068, 901) << QSize(1060, 867) << false << QPoint(0, 0);
    QTest::newRow("one row short") << QRect(0, 0, 1068, 900) << QSize(1060, 866) << true << QPoint(0, 0);
    QTest::newRow("1366x768, taskbar 40") << QRect(0, 0, 1366, 728) << QSize(1060, 694) << true
                                            << QPoint(149, 0);
    QTest::newRow("1920x1080 at 125 %") << QRect(0, 0, 1536, 824) << QSize(1060, 790) << true << QPoint(234, 0);
    QTest::newRow("1920x1080 at 150 %") << QRect(0, 0, 1280, 680) << QSize(1060, 646) << true << QPoint(106, 0);
    QTest::newRow("1280x720, taskbar at the top") << QRect(0, 32, 1280, 688) << QSize(1060, 654) << true
                                                    << QPoint(106, 32);
    QTest::newRow("taskbar at the left") << QRect(60, 0, 1306, 768) << QSize(1060, 734) << true
                                           << QPoint(179, 0);
    QTest::newRow("narrower and lower") << QRect(0, 0, 1000, 700) << QSize(992, 666) << true << QPoint(0, 0);
    QTest::newRow("second screen, larger") << QRect(1920, 0, 2560, 1400) << QSize(1060, 867) << false
                                             << QPoint(1920 + 746, 249);
    QTest::newRow("absurdly small") << QRect(0, 0, 200, 100) << QSize(320, 240) << true << QPoint(0, 0);
}

void TestScreenAndKeys::fitRule()
{
    QFETCH(QRect, available);
    QFETCH(QSize, client);
    QFETCH(bool, shrunk);
    QFETCH(QPoint, frameTopLeft);
    const QMargins frame(4, 30, 4, 4);
    const WindowFit fit = FitWindow(available, frame, TForm1::DrawnSize);
    QCOMPARE(fit.Client, client);
    QCOMPARE(fit.Shrunk, shrunk);
    QCOMPARE(fit.FrameTopLeft, frameTopLeft);
    // Whenever the area can hold the smallest window, the framed window lies inside it.
    if (available.width() >= 328 && available.height() >= 274)
        QVERIFY(available.contains(QRect(fit.FrameTopLeft, fit.Client.grownBy(frame))));
}

// The offscreen screen is 800 x 800, narrower and lower than the window; the
// Windows tests' display is the competition PCs' 1366 x 768, lower only.
void TestScreenAndKeys::mainWindowOnASmallScreen()
{
    ScreenFit::SetEnabled(true);
    const auto off = qScopeGuard([] { ScreenFit::SetEnabled(false); });
    ProgramUnderTest prog;
    TForm1 &f = prog.F();
    ModalDriver driver;
    driver.Password(QStringLiteral("Vezer7146"));
    QVERIFY(prog.Identify(driver));
    const QRect area = f.screen()->availableGeometry();
    QVERIFY(area.width() < TForm1::DrawnSize.width() || area.height() < TForm1::DrawnSize.height());

    // The framed window inside the area, the tabs at the foot of the page control in view.
    QVERIFY(f.PagesScroll());
    QVERIFY(area.contains(f.frameGeometry()));
    const QRect tabs(f.PageControl1->tabBar()->mapTo(&f, QPoint(0, 0)), f.PageControl1->tabBar()->size());
    QVERIFY2(f.rect().contains(tabs), qPrintable(QStringLiteral("tabs at y %1..%2").arg(tabs.top()).arg(tabs.bottom())));
    QCOMPARE(f.CurrentPage(), f.TabSheet1);
    // The pages keep their drawn layout.
    QCOMPARE(f.Image1->parentWidget(), f.TabSheet1);
    QCOMPARE(f.Image1->geometry(), QRect(15, 2, 1000, 745));

    // Tab reaches every control of the device page and scrolls each into view.
    auto *area1 = qobject_cast<QScrollArea *>(f.PageControl1->widget(0));
    QVERIFY(area1);
    f.Edit2->setFocus(Qt::TabFocusReason);
    QSet<QWidget *> seen;
    for (int i = 0; i < 40; ++i) {
        QWidget *w = QApplication::focusWidget();
        QVERIFY(w);
        if (f.TabSheet1->isAncestorOf(w)) {
            seen.insert(w);
            const QRect shown(w->mapTo(area1->viewport(), QPoint(0, 0)), w->size());
            QVERIFY2(area1->viewport()->rect().contains(shown), qPrintable(w->objectName()));
        }
        QTest::keyClick(w, Qt::Key_Tab);
    }
    for (QWidget *w : {static_cast<QWidget *>(f.Edit9), static_cast<QWidget *>(f.Button1),
                       static_cast<QWidget *>(f.Edit11), static_cast<QWidget *>(f.CheckBox1)})
        QVERIFY2(seen.contains(w), qPrintable(w->objectName()));

    // The graphs page scrolls too, and Alt+arrows still know it is showing.
    f.PageControl1->setCurrentIndex(1);
    QCOMPARE(f.CurrentPage(), f.TabSheet2);
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : &f, Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(f.Charts->CursorXBox(1)->text(), QStringLiteral("1"));
}

// The offscreen screen is 800 x 800: lower than the help window.
void TestScreenAndKeys::helpViewerOnASmallScreen()
{
    ScreenFit::SetEnabled(true);
    const auto off = qScopeGuard([] { ScreenFit::SetEnabled(false); });
    THelpDlg help;
    help.ShowHelpPage(0);
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    const QRect area = help.screen()->availableGeometry();
    QTRY_VERIFY(area.contains(help.frameGeometry()));
    QVERIFY(help.ViewRows() < THelpDlg::ViewHeight);
    // "OK" inside the window, the scroll range longer by the rows the view lost.
    QVERIFY(help.rect().contains(help.OkButton()->geometry()));
    QCOMPARE(help.ScrollMaximum(), HelpPageImage(0).height() - help.ViewRows() - 1);
    // At the end the view shows the page's rows up to the last but one, as with the full view.
    help.ScrollBar1()->setValue(help.ScrollMaximum());
    const int last = help.ViewRows() - 1;
    QCOMPARE(help.ViewImage().copy(0, last, THelpDlg::ViewWidth, 1),
             HelpPageImage(0).convertToFormat(QImage::Format_RGB32)
                 .copy(0, HelpPageImage(0).height() - 2, THelpDlg::ViewWidth, 1));
    help.hide();
}

void TestScreenAndKeys::arrowFieldsStepByKeys()
{
    ProgramUnderTest prog;
    TForm1 &f = prog.F();
    struct Step {
        QLineEdit *field;
        int key;
        const char *text;
    };
    // Up/Down one arrow step, Page Up/Down ten, stopping at the ends of the range.
    const Step steps[] = {
        {f.Edit6, Qt::Key_Up, "0.021"},       {f.Edit6, Qt::Key_Down, "0.02"},
        {f.Edit6, Qt::Key_PageUp, "0.03"},    {f.Edit6, Qt::Key_PageDown, "0.02"},
        {f.Edit6, Qt::Key_PageDown, "0.01"},  {f.Edit6, Qt::Key_PageDown, "0.005"},
        {f.Edit7, Qt::Key_Up, "0.021"},       {f.Edit3, Qt::Key_Down, "0.007"},
        {f.Edit9, Qt::Key_Up, "1.01"},        {f.Edit9, Qt::Key_PageDown, "0.91"},
    };
    for (const Step &s : steps) {
        s.field->setFocus();
        QTest::keyClick(s.field, Qt::Key(s.key));
        QCOMPARE(s.field->text(), QString::fromLatin1(s.text));
    }
    // Applied at once, as an arrow click is.
    QCOMPARE(prog.P().Blende1, 0.005);
    QCOMPARE(prog.P().Blende2, 0.021);
    QCOMPARE(prog.P().Blende3, 0.007);
    QCOMPARE(prog.P().Induction, 0.91);
    // A typed field keeps its keys: Up in the mass number changes nothing.
    f.Edit1->setFocus();
    QTest::keyClick(f.Edit1, Qt::Key_Up);
    QCOMPARE(f.Edit1->text(), QStringLiteral("120"));
}

void TestScreenAndKeys::noteTabLeavesAndEnterPresses()
{
    ProgramUnderTest prog;
    prog.F().Timer2->stop();   // no identification here
    TMegjDlg &note = *prog.F().MegjDlg;
    note.SetLines({QStringLiteral("a")});
    note.show();
    QVERIFY(QTest::qWaitForWindowExposed(&note));
    note.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&note));
    note.Memo1()->setFocus();
    note.Memo1()->moveCursor(QTextCursor::Start);
    note.Memo1()->moveCursor(QTextCursor::EndOfLine);
    // Ctrl+Tab types the tab; Tab leaves: to "Megjegyzés törlése", then "OK".
    QTest::keyClick(note.Memo1(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(note.Lines(), QStringList{QStringLiteral("a\t")});
    QTest::keyClick(note.Memo1(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), note.Button1());
    QTest::keyClick(note.Button1(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), note.OKBtn());
    QTest::keyClick(note.OKBtn(), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), note.Button1());
    // Enter presses the focused button, not the default one: the note is emptied
    // and the dialog stays open.
    QTest::keyClick(note.Button1(), Qt::Key_Return);
    QVERIFY(note.Lines().isEmpty());
    QVERIFY(note.isVisible());
    note.OKBtn()->setFocus();
    QTest::keyClick(note.OKBtn(), Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(!note.isVisible());
    QCOMPARE(note.result(), int(QDialog::Accepted));
    // On the main window too: Enter on "Pályák törlése" presses it.
    TForm1 &f = prog.F();
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    bool pressed = false;
    QObject::connect(f.Button2, &QPushButton::clicked, &f, [&pressed] { pressed = true; });
    f.Button2->setFocus();
    QTest::keyClick(f.Button2, Qt::Key_Return);
    QVERIFY(pressed);
}

void TestScreenAndKeys::helpViewerScrollsByKeys()
{
    THelpDlg help;
    help.ShowHelpPage(1);
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    help.OkButton()->setFocus();
    const int page = THelpDlg::ViewHeight - THelpDlg::KeyStep;
    const struct {
        int key;
        int position;
    } steps[] = {{Qt::Key_Down, 40},           {Qt::Key_Down, 80},           {Qt::Key_Up, 40},
                 {Qt::Key_PageDown, 40 + page}, {Qt::Key_PageUp, 40},        {Qt::Key_PageUp, 0},
                 {Qt::Key_Up, 0},               {Qt::Key_End, help.ScrollMaximum()}, {Qt::Key_Down, help.ScrollMaximum()},
                 {Qt::Key_Home, 0}};
    for (const auto &s : steps) {
        QTest::keyClick(help.OkButton(), Qt::Key(s.key));
        QCOMPARE(help.ScrollPosition(), s.position);
    }
    // Enter still presses "OK".
    QTest::keyClick(help.OkButton(), Qt::Key_Return);
    QVERIFY(!help.isVisible());
}

void TestScreenAndKeys::graphsPageFocusOrder()
{
    ProgramUnderTest prog;
    TForm1 &f = prog.F();
    ModalDriver driver;
    driver.Password(QStringLiteral("7"));
    QVERIFY(prog.Identify(driver));
    f.PageControl1->setCurrentIndex(1);
    TChartsPage &c = *f.Charts;
    for (int s : {1, 2}) {
        // Top to bottom as on the panel: "Y-Max", "Auto", then the cursor's boxes.
        c.YMaxBox(s)->setFocus(Qt::TabFocusReason);
        const QList<QWidget *> expected{c.AutoBox(s), c.CursorXBox(s), c.CursorYBox(s)};
        for (QWidget *next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        // Passing through "Y-Max" without typing keeps the automatic scale.
        QVERIFY(c.AutoBox(s)->isChecked());
        QCOMPARE(c.YMaxBox(s)->text(), QStringLiteral("100"));
    }
}

void TestScreenAndKeys::interfaceLocaleFollowsTheSystem()
{
    // The C library's conversions keep the point even where the system's numbers use a comma.
    if (std::setlocale(LC_NUMERIC, "hu_HU.UTF-8"))
        QCOMPARE(QString::fromLatin1(std::localeconv()->decimal_point), QStringLiteral(","));
    UseSystemLocale();
    QCOMPARE(QLocale(), QLocale::system());
    QCOMPARE(QString::fromLatin1(std::localeconv()->decimal_point), QStringLiteral("."));

    // A Hungarian interface: the toolkit's texts, sizes and dates in Hungarian, the
    // program's numbers still with the point, in the fields and on the chart axes.
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    {
        ProgramUnderTest prog;
        TForm1 &f = prog.F();
        QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
        QCOMPARE(QLocale().toString(1.5), QStringLiteral("1,5"));
        QCOMPARE(f.Edit3->text(), QStringLiteral("0.008"));
        QCOMPARE(f.Edit5->text(), QStringLiteral("  25.93686"));
        QCOMPARE(f.Charts->Chart(1)->locale().decimalPoint(), QStringLiteral("."));
        QCOMPARE(f.Charts->Chart(1)->locale().toString(1000.5), QStringLiteral("1000.5"));
        // Typed numbers are read with the point; a comma is refused in place.
        TypeAndEnter(f.Edit2, QStringLiteral("120.5"));
        QCOMPARE(prog.P().MeanMass, 120.5);
        TypeAndEnter(f.Edit2, QStringLiteral("121,5"));
        QCOMPARE(prog.P().MeanMass, 120.5);
    }
    QLocale::setDefault(QLocale::c());
}

QTEST_MAIN(TestScreenAndKeys)
#include "test_screen_and_keys.moc"
