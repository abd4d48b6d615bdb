// The page "Grafikonok" driven offscreen through its real widgets: start-up
// state, the Y scale and "Auto", the cursor by mouse and keys, the channel zoom
// with its undo, clearing with confirmation, the ROI group and its strip, the
// pop-up menu and the merging of redraws.
#include "Main/charts/ChartsPage.h"
#include "dialogs/Mymsg.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <qcustomplot.h>

#include <cmath>
#include <memory>

namespace {

const QColor White(255, 255, 255);
const QColor PaleYellow(255, 255, 170);
const QColor Grey(128, 128, 128);

// Lets the queued redraws (and the redraws they queue) run.
void Flush()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

// The page as the main window has it after creation and identification.
struct Fixture {
    Spectra spectra;
    std::array<RoiData, 2> roi{};
    std::unique_ptr<TChartsPage> page;

    explicit Fixture(int animationMs = 0)
    {
        page = std::make_unique<TChartsPage>(spectra, roi);
        page->SetZoomAnimationMs(animationMs);
        page->SetupAtCreation();
        page->show();
        page->activateWindow();
        if (!QTest::qWaitForWindowExposed(page.get()))
            qWarning("page not exposed");
        if (!QTest::qWaitForWindowActive(page.get()))
            qWarning("page not active");
        page->PlaceCursor(2);
        page->PlaceCursor(1);
        page->SetRoiX1FromCursor(1);
        page->SetRoiX1FromCursor(2);
        Flush();
    }

    QCustomPlot *chart(int s) const { return page->Chart(s); }

    // The column of channel c on chart s, as the axis maps it.
    double Column(int s, double c) const
    {
        const QRect plot = page->PlotRect(s);
        return plot.left() + (c - page->XMin(s)) * plot.width() / (page->XMax(s) - page->XMin(s));
    }
    int MidRow(int s) const { return page->PlotRect(s).center().y(); }

    void Click(int s, int x, int y = -1)
    {
        QTest::mouseClick(chart(s), Qt::LeftButton, Qt::NoModifier,
                          QPoint(x, y < 0 ? MidRow(s) : y));
        Flush();
    }

    // An Alt+left drag from `from` to `to` on chart s, moving in a few steps.
    void AltDrag(int s, QPoint from, QPoint to, Qt::KeyboardModifiers moveMods = Qt::AltModifier)
    {
        QTest::mousePress(chart(s), Qt::LeftButton, Qt::AltModifier, from);
        for (int i = 1; i <= 4; ++i)
            Move(s, from + (to - from) * i / 4, moveMods);
        QTest::mouseRelease(chart(s), Qt::LeftButton, Qt::AltModifier, to);
        Flush();
    }

    void Move(int s, QPoint to, Qt::KeyboardModifiers mods)
    {
        QWidget *w = chart(s);
        QMouseEvent e(QEvent::MouseMove, QPointF(to), QPointF(w->mapToGlobal(to)), Qt::NoButton,
                      Qt::LeftButton, mods);
        QApplication::sendEvent(w, &e);
    }

    // Where the cursor line of chart s stands for channel c.
    int CursorColumn(int s, double c) const
    {
        const QRect plot = page->PlotRect(s);
        return plot.left() + int(std::nearbyint((c - page->XMin(s)) * plot.width() /
                                                (page->XMax(s) - page->XMin(s))));
    }

    // Zooms chart s by an Alt+drag from the column of channel lo to that of hi and
    // returns the range the zoom must give: both ends rounded, at least 10 channels.
    std::pair<double, double> Zoom(int s, double lo, double hi)
    {
        const QRect plot = page->PlotRect(s);
        const int x0 = int(std::lround(Column(s, lo)));
        const int x1 = int(std::lround(Column(s, hi)));
        const double a = std::nearbyint(chart(s)->xAxis->pixelToCoord(x0));
        double b = std::nearbyint(chart(s)->xAxis->pixelToCoord(x1));
        if (b - a < 10)
            b = a + 10;
        AltDrag(s, QPoint(x0, plot.top() + 10), QPoint(x1, plot.top() + 80));
        return {a, b};
    }

    // Puts the cursor of chart s on channel c: a click near it, then Alt+arrows.
    void SetCursor(int s, int c)
    {
        Click(s, int(std::lround(Column(s, c))));
        for (int guard = 0; guard < 50; ++guard) {
            const int now = page->CursorXBox(s)->text().toInt();
            if (now == c)
                break;
            page->HandleAltKey(now < c ? Qt::Key_Right : Qt::Key_Left);
        }
        QCOMPARE(page->CursorXBox(s)->text(), QString::number(c));
    }

    void Add(int s, int c, int n)
    {
        for (int i = 0; i < n; ++i)
            spectra.AddCount(s, c);
    }
};

// Answers the next modal message box with one of its buttons. The title and the
// lines it showed are kept for the test; an unexpected window is closed.
struct BoxAnswer {
    QString title;
    QStringList lines;
    bool seen = false;
};

void AnswerBox(int button, BoxAnswer *answer)
{
    QTimer::singleShot(0, [button, answer] {
        QWidget *w = QApplication::activeModalWidget();
        auto *box = qobject_cast<TSMsg *>(w);
        if (!box) {
            if (w)
                w->close();
            return;
        }
        answer->seen = true;
        answer->title = box->windowTitle();
        answer->lines = box->Lines();
        box->Button(button)->click();
    });
}

QColor PixelOf(QWidget *w, QPoint p)
{
    return w->grab().toImage().pixelColor(p);
}

} // namespace

class TestChartsPage : public QObject
{
    Q_OBJECT
private slots:
    void startUpState();
    void controlsAndTags();
    void autoRuleAtHundred();
    void autoSwitchFreezesAndFollows();
    void yMaxBoxRefusesAndAccepts();
    void altArrowsStopAtTheEnds();
    void altArrowsOnlyOnShowingPage();
    void clicksBesideThePlot();
    void smallDragDoesNothing();
    void zoomNarrowerThanTenChannels();
    void zoomAtTheRightEnd();
    void zoomKeepsTheYRange();
    void undoReturnsToBeforeFirstZoom();
    void chartOneZoomIsAnimated();
    void clearAsksAndClearsOnlyItsSpectrum();
    void roiExamples();
    void roiReversedBoundsOnBothPanels();
    void focusAfterEvaluate();
    void setEmptiesResults();
    void roiBoundOutsideChannels();
    void markNeverCoversAControl();
    void markPlacementAfterZoomAndUndo();
    void markKeptAcrossClearAndRun();
    void loadingSteps();
    void popupMenuNamesItsPanel();
    void redrawsMerge();
    void pageDestroyedBeforeSpectra();
};

void TestChartsPage::startUpState()
{
    Fixture f;
    for (int s = 1; s <= 2; ++s) {
        QCPGraph *g = f.chart(s)->graph(0);
        QCOMPARE(g->dataCount(), 1001);
        for (int i = 0; i <= 1000; i += 100) {
            QCOMPARE((g->data()->begin() + i)->key, double(i));
            QCOMPARE((g->data()->begin() + i)->value, 0.0);
        }
        QCOMPARE(f.page->XMin(s), 0.0);
        QCOMPARE(f.page->XMax(s), 1000.0);
        QCOMPARE(f.page->YMin(s), 0.0);
        QCOMPARE(f.page->YMax(s), 100.0);
        QCOMPARE(f.page->YMaxBox(s)->text(), QString("100"));
        QVERIFY(f.page->AutoBox(s)->isChecked());
        QCOMPARE(f.page->CursorXBox(s)->text(), QString("0"));
        QCOMPARE(f.page->CursorYBox(s)->text(), QString("0"));
        // The cursor line stands on channel 0: the plot's left edge, over the plot.
        const QRect plot = f.page->PlotRect(s);
        QCOMPARE(f.page->CursorLine(s)->geometry(), QRect(plot.left(), plot.top(), 2, plot.height()));
        QVERIFY(f.page->CursorLine(s)->isVisible());
        // Identification pressed the first "Set": region [0, 0], no results, button shown.
        QCOMPARE(f.page->RoiBox(s, 0)->text(), QString("0"));
        QCOMPARE(f.page->RoiBox(s, 1)->text(), QString("0"));
        QCOMPARE(f.page->RoiBox(s, 2)->text(), QString());
        QCOMPARE(f.page->RoiBox(s, 3)->text(), QString());
        QVERIFY(f.page->RoiEvalButton(s)->isVisible());
        QVERIFY(!f.page->RoiMark(s)->isVisible());
        QCOMPARE(f.page->RoiMark(s)->width(), 0);
    }
    QCOMPARE(f.page->SelectedChart(), 1);
    QCOMPARE(f.page->ChartBackground(1), PaleYellow);
    QCOMPARE(f.page->ChartBackground(2), White);
    // What is drawn, not only the setting: a point inside each plot.
    const QPoint inside1 = f.page->PlotRect(1).center() + QPoint(0, -40);
    const QPoint inside2 = f.page->PlotRect(2).center() + QPoint(0, -40);
    QCOMPARE(PixelOf(f.chart(1), inside1), PaleYellow);
    QCOMPARE(PixelOf(f.chart(2), inside2), White);
    // The red line is drawn at channel 0.
    const QRect line = f.page->CursorLine(1)->geometry();
    QCOMPARE(PixelOf(f.page->Panel(1), f.chart(1)->mapTo(f.page->Panel(1), line.center())),
             QColor(255, 0, 0));
}

void TestChartsPage::controlsAndTags()
{
    Fixture f;
    // The window's green shows between and around the panels.
    const QImage page = f.page->grab().toImage();
    for (QPoint at : {QPoint(3, 3), QPoint(500, 375), QPoint(1015, 745)})
        QCOMPARE(page.pixelColor(at), QColor(192, 220, 192));
    // Every text field is named by its label (Y-Max by its group's title).
    for (int s = 1; s <= 2; ++s) {
        const std::pair<const char *, QLineEdit *> named[] = {
            {"X:", f.page->CursorXBox(s)},  {"Y:", f.page->CursorYBox(s)},
            {"X1:", f.page->RoiBox(s, 0)},  {"X2:", f.page->RoiBox(s, 1)},
            {"Bruttó:", f.page->RoiBox(s, 2)}, {"Közép:", f.page->RoiBox(s, 3)}};
        for (const auto &[text, box] : named) {
            QLabel *label = nullptr;
            for (QLabel *l : f.page->Panel(s)->findChildren<QLabel *>())
                if (l->text() == QString::fromUtf8(text))
                    label = l;
            QVERIFY2(label && label->buddy() == box, text);
            QCOMPARE(box->accessibleName(), QString::fromUtf8(text));
        }
        QCOMPARE(f.page->YMaxBox(s)->accessibleName(), QString("Y-Max"));
        for (QLineEdit *box : f.page->Panel(s)->findChildren<QLineEdit *>())
            QVERIFY2(!box->accessibleName().isEmpty(), qPrintable(box->objectName()));
    }
    QCOMPARE(f.page->Panel(1)->geometry(), QRect(8, 16, 997, 349));
    QCOMPARE(f.page->Panel(2)->geometry(), QRect(11, 386, 995, 351));
    const char *names1[] = {"Panel7", "Chart1", "Edit17", "CheckBox7", "Edit19", "Edit20",
                            "Shape1", "Button4", "GroupBox6", "Edit23", "Edit24", "Edit25",
                            "Edit26", "Button7", "Button8", "Button9", "Shape3"};
    const char *names2[] = {"Panel8", "Chart2", "Edit18", "CheckBox8", "Edit21", "Edit22",
                            "Shape2", "Button6", "GroupBox7", "Edit27", "Edit28", "Edit29",
                            "Edit30", "Button10", "Button11", "Button12", "Shape4"};
    for (int i = 0; i < 17; ++i) {
        for (int s = 1; s <= 2; ++s) {
            const char *n = s == 1 ? names1[i] : names2[i];
            QObject *o = f.page->findChild<QObject *>(QString::fromLatin1(n));
            QVERIFY2(o, n);
            QCOMPARE(o->property("Tag").toInt(), s);
        }
    }
    for (int s = 1; s <= 2; ++s) {
        QCustomPlot *c = f.chart(s);
        auto *title = qobject_cast<QCPTextElement *>(c->plotLayout()->element(0, 0));
        QVERIFY(title);
        QCOMPARE(title->text(), QString("Beérkezett részecskék a detektorra"));
        QCOMPARE(c->yAxis->label(), QString("Részecskeszám"));
        QVERIFY(!c->legend->visible());
        QCOMPARE(c->toolTip(), QString("Az Alt / Nyilak gombokkal lehet mozgatni a kurzort"));
        QCOMPARE(c->graphCount(), 1);
        QCOMPARE(c->graph(0)->pen().color(), QColor(128, 0, 128));
        // Round markers: a 5-pixel dot with its corners left out.
        QCOMPARE(c->graph(0)->scatterStyle().shape(), QCPScatterStyle::ssPixmap);
        const QImage marker = c->graph(0)->scatterStyle().pixmap().toImage();
        QCOMPARE(marker.size(), QSize(5, 5));
        QCOMPARE(marker.pixelColor(2, 2), QColor(128, 0, 128));
        QCOMPARE(marker.pixelColor(0, 2), QColor(128, 0, 128));
        QCOMPARE(marker.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(marker.pixelColor(4, 4).alpha(), 0);
        QVERIFY(c->interactions() == QCP::Interactions());
        QCOMPARE(f.page->CursorLine(s)->width(), 2);
        QVERIFY(f.page->CursorLine(s)->parent() == c);
        QVERIFY(f.page->RoiMark(s)->parent() == f.page->Panel(s));
        QVERIFY(f.page->YMaxBox(s)->parentWidget()->inherits("QGroupBox"));
        QCOMPARE(qobject_cast<QGroupBox *>(f.page->YMaxBox(s)->parentWidget())->title(), QString("Y-Max"));
        QCOMPARE(qobject_cast<QGroupBox *>(f.page->CursorXBox(s)->parentWidget())->title(), QString("Cursor"));
        QCOMPARE(f.page->RoiGroup(s)->title(), QString("ROI"));
        QCOMPARE(f.page->ClearButton(s)->text(), QString("Törlés"));
        QCOMPARE(f.page->AutoBox(s)->text(), QString("Auto"));
        QCOMPARE(f.page->RoiSetButton(s, 1)->text(), QString("Set"));
        QCOMPARE(f.page->RoiSetButton(s, 2)->text(), QString("Set"));
        QCOMPARE(f.page->RoiEvalButton(s)->text(), QString("Számíts!"));
        QVERIFY(f.page->CursorXBox(s)->isReadOnly());
        QVERIFY(f.page->CursorYBox(s)->isReadOnly());
        QVERIFY(!f.page->YMaxBox(s)->isReadOnly());
        for (int i = 0; i < 4; ++i)
            QVERIFY(f.page->RoiBox(s, i)->isReadOnly());
        // Chart on the right, the groups and "Törlés" on the left of it.
        const int chartLeft = f.page->ChartFrame(s)->x();
        for (QWidget *w : {static_cast<QWidget *>(f.page->RoiGroup(s)),
                           static_cast<QWidget *>(f.page->ClearButton(s)),
                           f.page->YMaxBox(s)->parentWidget(), f.page->CursorXBox(s)->parentWidget()})
            QVERIFY(w->geometry().right() < chartLeft);
    }
}

void TestChartsPage::autoRuleAtHundred()
{
    for (int s = 1; s <= 2; ++s) {
        Fixture f;
        const int other = 3 - s;
        f.Add(s, 500, 100);
        Flush();
        QCOMPARE(f.page->YMax(s), 100.0);
        QVERIFY(!f.page->AutoMaximum(s));
        QCOMPARE(f.page->YMaxBox(s)->text(), QString("100"));
        f.Add(s, 500, 1);
        Flush();
        QCOMPARE(f.page->YMax(s), 101.0);
        QCOMPARE(f.page->YMin(s), 0.0);
        QVERIFY(f.page->AutoMaximum(s));
        QCOMPARE(f.page->YMaxBox(s)->text(), QString("101"));
        f.Add(s, 300, 150);
        Flush();
        QCOMPARE(f.page->YMax(s), 150.0);
        QCOMPARE(f.page->YMaxBox(s)->text(), QString("150"));
        // The graph shows the counts.
        QCOMPARE((f.chart(s)->graph(0)->data()->begin() + 500)->value, 101.0);
        QCOMPARE((f.chart(s)->graph(0)->data()->begin() + 300)->value, 150.0);
        // The other chart did not move.
        QCOMPARE(f.page->YMax(other), 100.0);
        QCOMPARE((f.chart(other)->graph(0)->data()->begin() + 500)->value, 0.0);
    }
}

void TestChartsPage::autoSwitchFreezesAndFollows()
{
    for (int s = 1; s <= 2; ++s) {
        Fixture f;
        f.Add(s, 10, 120);
        Flush();
        QCOMPARE(f.page->YMax(s), 120.0);
        // Unticking freezes the top where it is.
        QTest::mouseClick(f.page->AutoBox(s), Qt::LeftButton);
        QVERIFY(!f.page->AutoBox(s)->isChecked());
        QVERIFY(!f.page->AutoMaximum(s));
        f.Add(s, 10, 80);
        Flush();
        QCOMPARE(f.page->YMax(s), 120.0);
        QCOMPARE(f.page->YMaxBox(s)->text(), QString("120"));
        // Ticking again follows the largest count at once.
        QTest::mouseClick(f.page->AutoBox(s), Qt::LeftButton);
        QVERIFY(f.page->AutoBox(s)->isChecked());
        QVERIFY(f.page->AutoMaximum(s));
        QCOMPARE(f.page->YMax(s), 200.0);
        Flush();
        QCOMPARE(f.page->YMaxBox(s)->text(), QString("200"));
        QCOMPARE(f.page->YMax(3 - s), 100.0);
    }
}

void TestChartsPage::yMaxBoxRefusesAndAccepts()
{
    for (int s = 1; s <= 2; ++s) {
        Fixture f;
        QLineEdit *box = f.page->YMaxBox(s);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, "99");
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(box->hasFocus());
        QCOMPARE(box->text(), QString("99"));
        QCOMPARE(box->selectedText(), QString("99"));
        QCOMPARE(f.page->YMax(s), 100.0);
        QVERIFY(f.page->AutoBox(s)->isChecked());

        // Leaving the box with a wrong text brings the focus back to it.
        box->selectAll();
        QTest::keyClicks(box, "1e3");
        f.page->ClearButton(s)->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(box->selectedText(), QString("1e3"));
        QVERIFY(box->hasFocus());
        QCOMPARE(f.page->YMax(s), 100.0);

        box->selectAll();
        QTest::keyClicks(box, "150");
        QTest::keyClick(box, Qt::Key_Enter);
        QCOMPARE(f.page->YMin(s), 0.0);
        QCOMPARE(f.page->YMax(s), 150.0);
        QVERIFY(!f.page->AutoBox(s)->isChecked());
        QVERIFY(!f.page->AutoMaximum(s));
        // Counts above the fixed top do not move it any more.
        f.Add(s, 20, 300);
        Flush();
        QCOMPARE(f.page->YMax(s), 150.0);
        QCOMPARE(box->text(), QString("150"));
        // The other panel is untouched.
        QVERIFY(f.page->AutoBox(3 - s)->isChecked());
        QCOMPARE(f.page->YMax(3 - s), 100.0);

        // A leading blank and a sign are fine, leaving by Tab works like Enter.
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, " +400");
        f.page->ClearButton(s)->setFocus(Qt::TabFocusReason);
        Flush();
        QCOMPARE(f.page->YMax(s), 400.0);
        QVERIFY(!box->hasFocus());
    }
}

void TestChartsPage::altArrowsStopAtTheEnds()
{
    Fixture f;
    f.spectra.SetCount(1, 0, 5);
    f.spectra.SetCount(1, 1, 17);
    f.spectra.SetCount(1, 1000, 9);
    f.spectra.SetCount(1, 999, 4);
    Flush();
    // At XMin: Alt+Left does nothing, the Y read-out is not refreshed.
    QVERIFY(f.page->HandleAltKey(Qt::Key_Left));
    QCOMPARE(f.page->CursorXBox(1)->text(), QString("0"));
    QCOMPARE(f.page->CursorYBox(1)->text(), QString("0"));
    QVERIFY(f.page->HandleKey(Qt::Key_Right, Qt::AltModifier));
    QCOMPARE(f.page->CursorXBox(1)->text(), QString("1"));
    QCOMPARE(f.page->CursorYBox(1)->text(), QString("17"));
    const QRect plot = f.page->PlotRect(1);
    QCOMPARE(f.page->CursorLine(1)->x(), plot.left() + int(std::lround(plot.width() / 1000.0)));

    // A click right of the plot goes to XMax; the Y box keeps its text there.
    f.Click(1, plot.right() + 8);
    QCOMPARE(f.page->CursorXBox(1)->text(), QString("1000"));
    QCOMPARE(f.page->CursorYBox(1)->text(), QString("17"));
    f.page->HandleAltKey(Qt::Key_Right);
    QCOMPARE(f.page->CursorXBox(1)->text(), QString("1000"));
    QCOMPARE(f.page->CursorYBox(1)->text(), QString("17"));
    QCOMPARE(f.page->CursorLine(1)->x(), plot.left() + plot.width());
    f.page->HandleAltKey(Qt::Key_Left);
    QCOMPARE(f.page->CursorXBox(1)->text(), QString("999"));
    QCOMPARE(f.page->CursorYBox(1)->text(), QString("4"));
    // Chart 2 was not touched.
    QCOMPARE(f.page->CursorXBox(2)->text(), QString("0"));

    // The keys follow the selected chart.
    f.Click(2, f.page->PlotRect(2).left() + 100);
    QCOMPARE(f.page->SelectedChart(), 2);
    const QString x2 = f.page->CursorXBox(2)->text();
    f.page->HandleAltKey(Qt::Key_Right);
    QCOMPARE(f.page->CursorXBox(2)->text(), QString::number(x2.toInt() + 1));
    QCOMPARE(f.page->CursorXBox(1)->text(), QString("999"));
    // Other keys and other modifiers are not ours.
    QVERIFY(!f.page->HandleAltKey(Qt::Key_Up));
    QVERIFY(!f.page->HandleKey(Qt::Key_Right, Qt::NoModifier));
    QVERIFY(!f.page->HandleKey(Qt::Key_Right, Qt::AltModifier | Qt::ControlModifier));
    QCOMPARE(f.page->CursorXBox(2)->text(), QString::number(x2.toInt() + 1));
}

void TestChartsPage::altArrowsOnlyOnShowingPage()
{
    Fixture f;
    f.page->hide();
    QVERIFY(!f.page->HandleAltKey(Qt::Key_Right));
    QCOMPARE(f.page->CursorXBox(1)->text(), QString("0"));
}

void TestChartsPage::clicksBesideThePlot()
{
    Fixture f;
    const QRect plot = f.page->PlotRect(1);
    f.Click(1, plot.left() - 30);
    QCOMPARE(f.page->CursorXBox(1)->text(), QString("0"));
    f.Click(1, plot.right() + 10);
    QCOMPARE(f.page->CursorXBox(1)->text(), QString("1000"));
    // Inside: round((x - left) * span / width + XMin), half to even.
    const int x = plot.left() + 333;
    f.Click(1, x);
    const double expect = std::nearbyint(333.0 * 1000.0 / plot.width());
    QCOMPARE(f.page->CursorXBox(1)->text(), QString::number(int(expect)));
    QCOMPARE(f.page->CursorLine(1)->x(),
             plot.left() + int(std::nearbyint(expect * plot.width() / 1000.0)));

    // In a zoomed view the ends are the rounded XMin and XMax.
    f.AltDrag(1, QPoint(int(f.Column(1, 200)), plot.top() + 10),
              QPoint(int(f.Column(1, 300)), plot.top() + 100));
    const double lo = f.page->XMin(1), hi = f.page->XMax(1);
    QVERIFY(hi - lo >= 10);
    f.Click(1, plot.left() - 30);
    QCOMPARE(f.page->CursorXBox(1)->text(), QString::number(int(lo)));
    f.Click(1, plot.right() + 10);
    QCOMPARE(f.page->CursorXBox(1)->text(), QString::number(int(hi)));

    // Clicking chart 2 selects it; the cursor Y box is not touched by a click.
    f.page->CursorYBox(2)->setText("7");
    f.Click(2, f.page->PlotRect(2).left() + 50);
    QCOMPARE(f.page->SelectedChart(), 2);
    QCOMPARE(f.page->ChartBackground(1), White);
    QCOMPARE(f.page->ChartBackground(2), PaleYellow);
    QCOMPARE(f.page->CursorYBox(2)->text(), QString("7"));
}

void TestChartsPage::smallDragDoesNothing()
{
    Fixture f;
    const QRect plot = f.page->PlotRect(1);
    const QPoint start(plot.left() + 200, plot.top() + 20);
    f.SetCursor(1, 40);
    const QRect line = f.page->CursorLine(1)->geometry();
    const std::pair<QPoint, QPoint> drags[] = {
        {start, start + QPoint(16, 80)}, {start, start + QPoint(80, 16)},
        {start, start + QPoint(-16, -80)}, {start, start + QPoint(-80, 16)},
        {start, start + QPoint(16, 16)}};
    for (const auto &d : drags) {
        // During the drag the chart turns grey.
        QTest::mousePress(f.chart(1), Qt::LeftButton, Qt::AltModifier, d.first);
        QVERIFY(f.page->AltDragging());
        f.Move(1, d.second, Qt::AltModifier);
        QVERIFY(f.page->ZoomDragged(1));
        QCOMPARE(f.page->ChartBackground(1), Grey);
        Flush();
        QCOMPARE(PixelOf(f.chart(1), plot.center() + QPoint(0, -40)), Grey);
        QTest::mouseRelease(f.chart(1), Qt::LeftButton, Qt::AltModifier, d.second);
        Flush();
        QVERIFY(!f.page->AltDragging());
        QVERIFY(!f.page->ZoomDragged(1));
        QCOMPARE(f.page->ChartBackground(1), PaleYellow);
        QCOMPARE(f.page->XMin(1), 0.0);
        QCOMPARE(f.page->XMax(1), 1000.0);
        QVERIFY(!f.page->Zoomed(1));
        QCOMPARE(f.page->CursorXBox(1)->text(), QString("40"));
        QCOMPARE(f.page->CursorLine(1)->geometry(), line);
    }
    // 17 pixels both ways is enough.
    f.AltDrag(1, start, start + QPoint(17, 17));
    QVERIFY(f.page->Zoomed(1));
    QVERIFY(f.page->XMax(1) < 1000.0);
    QCOMPARE(f.page->CursorXBox(1)->text(), QString("40"));
}

void TestChartsPage::zoomNarrowerThanTenChannels()
{
    for (int s = 1; s <= 2; ++s) {
        Fixture f;
        const QRect plot = f.page->PlotRect(s);
        const int top = plot.top() + 10, bottom = plot.top() + 60;
        // 400..500 first, then a drag of 20 pixels: about 2.7 channels.
        const auto first = f.Zoom(s, 400, 500);
        QCOMPARE(f.page->XMin(s), first.first);
        QCOMPARE(f.page->XMax(s), first.second);
        const int from = int(std::ceil(f.Column(s, 431.2)));
        const double lo = f.chart(s)->xAxis->pixelToCoord(from);
        f.AltDrag(s, QPoint(from, top), QPoint(from + 20, bottom));
        QCOMPARE(f.page->XMin(s), std::nearbyint(lo));
        QCOMPARE(f.page->XMax(s), std::nearbyint(lo) + 10);

        // Deeper: from a 10-channel view a drag that starts just above a whole
        // channel and stays below its half rounds both ends to the same channel,
        // the top below the unrounded bottom. The result is still 10 channels.
        const double base = f.page->XMin(s);
        const int from2 = int(std::ceil(f.Column(s, base + 3.05)));
        const double lo2 = f.chart(s)->xAxis->pixelToCoord(from2);
        const double hi2 = f.chart(s)->xAxis->pixelToCoord(from2 + 20);
        QVERIFY(lo2 > base + 3 && hi2 < base + 3.5); // the awkward case is really met
        f.AltDrag(s, QPoint(from2, top), QPoint(from2 + 20, bottom));
        QCOMPARE(f.page->XMin(s), base + 3);
        QCOMPARE(f.page->XMax(s), base + 13);
        QCOMPARE(f.page->YMax(s), 100.0);
    }
}

void TestChartsPage::zoomAtTheRightEnd()
{
    Fixture f;
    const QRect plot = f.page->PlotRect(2);
    f.AltDrag(2, QPoint(int(f.Column(2, 950)), plot.top() + 5),
              QPoint(plot.right() + 60, plot.bottom() - 5));
    QVERIFY(f.page->XMax(2) > 1000.0);
    QCOMPARE(f.page->XMax(2), std::nearbyint(f.page->XMax(2)));
    QCOMPARE(f.page->XMin(2), std::nearbyint(f.page->XMin(2)));
    QVERIFY(std::abs(f.page->XMin(2) - 950) <= 1);
    // Chart 1 keeps its view.
    QCOMPARE(f.page->XMax(1), 1000.0);
}

void TestChartsPage::zoomKeepsTheYRange()
{
    Fixture f;
    // Fixed top.
    QLineEdit *box = f.page->YMaxBox(1);
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, "250");
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(f.page->YMax(1), 250.0);
    const QRect plot = f.page->PlotRect(1);
    // A rectangle in the upper half, one in the lower half: Y stays 0..250.
    f.AltDrag(1, QPoint(plot.left() + 100, plot.top() + 5), QPoint(plot.left() + 400, plot.top() + 60));
    QCOMPARE(f.page->YMin(1), 0.0);
    QCOMPARE(f.page->YMax(1), 250.0);
    f.AltDrag(1, QPoint(plot.left() + 50, plot.bottom() - 60), QPoint(plot.left() + 300, plot.bottom() - 2));
    QCOMPARE(f.page->YMin(1), 0.0);
    QCOMPARE(f.page->YMax(1), 250.0);
    // A half-typed Y-Max text (the chart takes no focus, so the box is not left)
    // that is no number: the zoom keeps the top it has instead of failing.
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, "2x");
    f.AltDrag(1, QPoint(plot.left() + 60, plot.top() + 5), QPoint(plot.left() + 200, plot.top() + 60));
    QVERIFY(box->hasFocus());
    QVERIFY(f.page->Zoomed(1));
    QCOMPARE(f.page->YMin(1), 0.0);
    QCOMPARE(f.page->YMax(1), 250.0);

    // "Auto" with counts above 100: the top stays the largest count.
    f.Add(2, 600, 340);
    Flush();
    QCOMPARE(f.page->YMax(2), 340.0);
    const QRect plot2 = f.page->PlotRect(2);
    f.AltDrag(2, QPoint(plot2.left() + 300, plot2.top() + 30), QPoint(plot2.left() + 600, plot2.top() + 90));
    QCOMPARE(f.page->YMin(2), 0.0);
    QCOMPARE(f.page->YMax(2), 340.0);
    f.Add(2, 600, 10);
    Flush();
    QCOMPARE(f.page->YMax(2), 350.0); // the Auto rule applies again at the next drawing
    QVERIFY(f.page->AutoMaximum(2));
}

void TestChartsPage::undoReturnsToBeforeFirstZoom()
{
    Fixture f;
    const QRect plot = f.page->PlotRect(1);
    f.SetCursor(1, 250);
    f.AltDrag(1, QPoint(int(f.Column(1, 200)), plot.top() + 10), QPoint(int(f.Column(1, 600)), plot.top() + 80));
    const double lo1 = f.page->XMin(1), hi1 = f.page->XMax(1);
    QVERIFY(lo1 >= 199 && hi1 <= 601);
    f.AltDrag(1, QPoint(int(f.Column(1, 240)), plot.top() + 10), QPoint(int(f.Column(1, 300)), plot.top() + 80));
    QVERIFY(f.page->XMax(1) < hi1);
    // The cursor line follows the zoom.
    QCOMPARE(f.page->CursorLine(1)->x(), f.CursorColumn(1, 250));
    // Undo by dragging up and to the left (or any other direction): back to 0..1000.
    f.AltDrag(1, QPoint(plot.left() + 400, plot.top() + 100), QPoint(plot.left() + 300, plot.top() + 20));
    QCOMPARE(f.page->XMin(1), 0.0);
    QCOMPARE(f.page->XMax(1), 1000.0);
    QCOMPARE(f.page->YMax(1), 100.0);
    QVERIFY(!f.page->Zoomed(1));
    QCOMPARE(f.page->CursorXBox(1)->text(), QString("250"));
    QCOMPARE(f.page->CursorLine(1)->x(), f.CursorColumn(1, 250));
    // Down-left is an undo too (and undoing an unzoomed chart changes nothing).
    f.AltDrag(1, QPoint(plot.left() + 400, plot.top() + 20), QPoint(plot.left() + 300, plot.top() + 100));
    QCOMPARE(f.page->XMax(1), 1000.0);
    // A plain drag never zooms.
    QTest::mousePress(f.chart(1), Qt::LeftButton, Qt::NoModifier, QPoint(plot.left() + 100, plot.top() + 10));
    f.Move(1, QPoint(plot.left() + 400, plot.top() + 100), Qt::NoModifier);
    QTest::mouseRelease(f.chart(1), Qt::LeftButton, Qt::NoModifier, QPoint(plot.left() + 400, plot.top() + 100));
    Flush();
    QCOMPARE(f.page->XMax(1), 1000.0);
    QVERIFY(!f.page->Zoomed(1));
}

void TestChartsPage::chartOneZoomIsAnimated()
{
    Fixture f(150);
    const QRect plot = f.page->PlotRect(1);
    const auto one = f.Zoom(1, 100, 300);
    QVERIFY(f.page->IsZoomAnimating());
    QVERIFY(f.page->XMax(1) > one.second); // not there yet
    QTRY_VERIFY_WITH_TIMEOUT(!f.page->IsZoomAnimating(), 3000);
    QCOMPARE(f.page->XMin(1), one.first);
    QCOMPARE(f.page->XMax(1), one.second);
    QCOMPARE(f.page->CursorLine(1)->x(), f.CursorColumn(1, 0));
    // Chart 2 changes at once.
    const auto two = f.Zoom(2, 100, 300);
    QVERIFY(!f.page->IsZoomAnimating());
    QCOMPARE(f.page->XMin(2), two.first);
    QCOMPARE(f.page->XMax(2), two.second);
    // A new press ends a running animation at its final range.
    const auto three = f.Zoom(1, 150, 250);
    QVERIFY(f.page->IsZoomAnimating());
    QTest::mouseClick(f.chart(1), Qt::LeftButton, Qt::AltModifier, plot.center());
    QVERIFY(!f.page->IsZoomAnimating());
    QCOMPARE(f.page->XMin(1), three.first);
    QCOMPARE(f.page->XMax(1), three.second);
}

void TestChartsPage::clearAsksAndClearsOnlyItsSpectrum()
{
    Fixture f;
    f.Add(1, 100, 30);
    f.Add(1, 120, 150);
    f.Add(2, 100, 44);
    Flush();
    f.SetCursor(2, 77);
    f.SetCursor(1, 100);
    f.page->RoiSetButton(1, 1)->click();
    f.SetCursor(1, 130);
    f.page->RoiSetButton(1, 2)->click();
    f.page->RoiEvalButton(1)->click();
    QCOMPARE(f.page->RoiBox(1, 2)->text(), QString("180"));
    f.page->HandleAltKey(Qt::Key_Left);
    f.page->HandleAltKey(Qt::Key_Right); // the Y read-out now shows a count
    const QRect mark = f.page->RoiMark(1)->geometry();
    QVERIFY(mark.width() > 0);
    const RoiData roi2 = f.roi[1];

    // "Nem" keeps everything.
    BoxAnswer no;
    AnswerBox(MbNo, &no);
    QTest::mouseClick(f.page->ClearButton(1), Qt::LeftButton);
    QVERIFY(no.seen);
    QCOMPARE(no.title, QString("*** MEGERŐSÍTÉS ***"));
    QCOMPARE(no.lines.join("\n"), QString("Biztosan törölhetők a spektrum adatai?"));
    QCOMPARE(f.spectra.Count(1, 120), 150.0);
    QCOMPARE(f.roi[0].Brutto, 180);

    BoxAnswer yes;
    AnswerBox(MbYes, &yes);
    QTest::mouseClick(f.page->ClearButton(1), Qt::LeftButton);
    QVERIFY(yes.seen);
    Flush();
    QCOMPARE(f.spectra.MaxCount(1), 0.0);
    QCOMPARE((f.chart(1)->graph(0)->data()->begin() + 120)->value, 0.0);
    QCOMPARE(f.page->YMin(1), 0.0);
    QCOMPARE(f.page->YMax(1), 100.0);
    QCOMPARE(f.page->YMaxBox(1)->text(), QString("100"));
    QCOMPARE(f.page->CursorYBox(1)->text(), QString("0"));
    QCOMPARE(f.page->RoiBox(1, 2)->text(), QString("0"));
    QCOMPARE(f.page->RoiBox(1, 3)->text(), QString("0"));
    QCOMPARE(f.roi[0].Brutto, 0);
    QCOMPARE(f.roi[0].Kozep, 0.0);
    // Left alone: the bounds, their boxes, the mark, the cursors, the hidden button.
    QCOMPARE(f.roi[0].X1, 100);
    QCOMPARE(f.roi[0].X2, 130);
    QCOMPARE(f.page->RoiBox(1, 0)->text(), QString("100"));
    QCOMPARE(f.page->RoiBox(1, 1)->text(), QString("130"));
    QCOMPARE(f.page->RoiMark(1)->geometry(), mark);
    QVERIFY(!f.page->RoiEvalButton(1)->isVisible());
    QCOMPARE(f.page->CursorXBox(1)->text(), QString("130"));
    QCOMPARE(f.page->CursorXBox(2)->text(), QString("77"));
    // Spectrum 2 is untouched.
    QCOMPARE(f.spectra.Count(2, 100), 44.0);
    QCOMPARE(f.roi[1].X1, roi2.X1);
    QCOMPARE(f.roi[1].Brutto, roi2.Brutto);
}

void TestChartsPage::roiExamples()
{
    Fixture f;
    // X1 = X2 = 500 with 7 counts there.
    f.Add(1, 500, 7);
    f.Add(1, 501, 3);
    f.SetCursor(1, 500);
    f.page->RoiSetButton(1, 1)->click();
    f.page->RoiSetButton(1, 2)->click();
    QVERIFY(f.page->RoiEvalButton(1)->isVisible());
    QTest::mouseClick(f.page->RoiEvalButton(1), Qt::LeftButton);
    QCOMPARE(f.page->RoiBox(1, 2)->text(), QString("7"));
    QCOMPARE(f.page->RoiBox(1, 3)->text(), QString("  500.0000"));
    QVERIFY(!f.page->RoiEvalButton(1)->isVisible());
    QCOMPARE(f.roi[0].Brutto, 7);
    QCOMPARE(f.roi[0].Kozep, 500.0);
    QVERIFY(!f.page->RoiMark(1)->isVisible()); // equal bounds: width 0

    // 1 count in channel 10 and 3 in channel 20: 4 counts, centroid 17.5.
    f.Add(2, 10, 1);
    f.Add(2, 20, 3);
    f.SetCursor(2, 10);
    f.page->RoiSetButton(2, 1)->click();
    f.SetCursor(2, 20);
    f.page->RoiSetButton(2, 2)->click();
    f.page->RoiEvalButton(2)->click();
    QCOMPARE(f.page->RoiBox(2, 2)->text(), QString("4"));
    QCOMPARE(f.page->RoiBox(2, 3)->text(), QString("   17.5000"));

    // An empty region 10..11 on panel 1: no counts, the midpoint.
    f.SetCursor(1, 11);
    f.page->RoiSetButton(1, 2)->click();
    f.SetCursor(1, 10);
    f.page->RoiSetButton(1, 1)->click();
    f.page->RoiEvalButton(1)->click();
    QCOMPARE(f.page->RoiBox(1, 2)->text(), QString("0"));
    QCOMPARE(f.page->RoiBox(1, 3)->text(), QString("   10.5000"));
    QCOMPARE(f.roi[0].Kozep, 10.5);
    // Panel 2 kept its results.
    QCOMPARE(f.page->RoiBox(2, 2)->text(), QString("4"));
}

void TestChartsPage::roiReversedBoundsOnBothPanels()
{
    Fixture f;
    for (int s = 1; s <= 2; ++s)
        for (int c = 380; c <= 620; c += 7)
            f.Add(s, c, (c % 13) + s);
    QString results[2][2];
    for (int s = 1; s <= 2; ++s) {
        for (int order = 0; order < 2; ++order) {
            f.SetCursor(s, order == 0 ? 600 : 400);
            f.page->RoiSetButton(s, 1)->click();
            f.SetCursor(s, order == 0 ? 400 : 600);
            f.page->RoiSetButton(s, 2)->click();
            f.page->RoiEvalButton(s)->click();
            results[order][0] = f.page->RoiBox(s, 2)->text();
            results[order][1] = f.page->RoiBox(s, 3)->text();
            if (order == 0) {
                QCOMPARE(f.roi[size_t(s - 1)].X1, 600);
                QCOMPARE(f.roi[size_t(s - 1)].X2, 400);
            }
        }
        QCOMPARE(results[0][0], results[1][0]);
        QCOMPARE(results[0][1], results[1][1]);
        QVERIFY(results[0][0].toInt() > 0);
        // The strip is the same for both orders: it spans 400..600.
        const QRect plot = f.page->PlotRect(s);
        const int left0 = f.page->ChartFrame(s)->x() + plot.left() + 4;
        QCOMPARE(f.page->RoiMark(s)->x(), left0 + int(std::nearbyint(plot.width() * 0.4)));
        QCOMPARE(f.page->RoiMark(s)->x() + f.page->RoiMark(s)->width(),
                 left0 + int(std::nearbyint(plot.width() * 0.6)));
    }
}

// "Számíts!" pressed from the keyboard hides itself: the focus moves on to
// "Törlés", not into the read-only result box.
void TestChartsPage::focusAfterEvaluate()
{
    Fixture f;
    for (int s = 1; s <= 2; ++s) {
        f.Add(s, 5, 2);
        QPushButton *evaluate = f.page->RoiEvalButton(s);
        evaluate->setFocus(Qt::TabFocusReason);
        QVERIFY(evaluate->hasFocus());
        QTest::keyClick(evaluate, Qt::Key_Space);
        QVERIFY(!evaluate->isVisible());
        QCOMPARE(QApplication::focusWidget(), f.page->ClearButton(s));
        QVERIFY(!f.page->RoiBox(s, 2)->hasSelectedText());
    }
}

void TestChartsPage::setEmptiesResults()
{
    Fixture f;
    f.Add(1, 5, 2);
    f.SetCursor(1, 0);
    f.page->RoiSetButton(1, 1)->click();
    f.SetCursor(1, 9);
    f.page->RoiSetButton(1, 2)->click();
    f.page->RoiEvalButton(1)->click();
    QCOMPARE(f.page->RoiBox(1, 2)->text(), QString("2"));
    QVERIFY(!f.page->RoiEvalButton(1)->isVisible());
    const QRect mark = f.page->RoiMark(1)->geometry();
    // The same bound again: results emptied, button back, the record unchanged.
    QTest::mouseClick(f.page->RoiSetButton(1, 2), Qt::LeftButton);
    QCOMPARE(f.page->RoiBox(1, 2)->text(), QString());
    QCOMPARE(f.page->RoiBox(1, 3)->text(), QString());
    QVERIFY(f.page->RoiEvalButton(1)->isVisible());
    QCOMPARE(f.roi[0].Brutto, 2);
    QCOMPARE(f.roi[0].Kozep, 5.0);
    QCOMPARE(f.page->RoiMark(1)->geometry(), mark);
    // So does the first "Set".
    f.page->RoiEvalButton(1)->click();
    QVERIFY(!f.page->RoiEvalButton(1)->isVisible());
    f.SetCursor(1, 0);
    f.page->SetRoiX1FromCursor(1);
    QCOMPARE(f.page->RoiBox(1, 2)->text(), QString());
    QCOMPARE(f.page->RoiBox(1, 3)->text(), QString());
    QVERIFY(f.page->RoiEvalButton(1)->isVisible());
    // Clearing after an evaluation writes "0" but does not bring the button back.
    f.page->RoiEvalButton(1)->click();
    f.page->ClearSpectrum(1);
    QCOMPARE(f.page->RoiBox(1, 2)->text(), QString("0"));
    QCOMPARE(f.page->RoiBox(1, 3)->text(), QString("0"));
    QVERIFY(!f.page->RoiEvalButton(1)->isVisible());
}

void TestChartsPage::roiBoundOutsideChannels()
{
    Fixture f;
    f.Add(2, 990, 5);
    const QRect plot = f.page->PlotRect(2);
    f.AltDrag(2, QPoint(int(f.Column(2, 980)), plot.top() + 5), QPoint(plot.right() + 80, plot.bottom() - 5));
    QVERIFY(f.page->XMax(2) > 1000);
    f.SetCursor(2, 985);
    f.page->RoiSetButton(2, 1)->click();
    f.Click(2, plot.right() + 10);
    const int beyond = f.page->CursorXBox(2)->text().toInt();
    QVERIFY(beyond > 1000);
    f.page->RoiSetButton(2, 2)->click();
    const RoiData before = f.roi[1];
    f.page->RoiEvalButton(2)->click();
    QCOMPARE(f.page->RoiBox(2, 2)->text(), QString());
    QCOMPARE(f.page->RoiBox(2, 3)->text(), QString());
    QVERIFY(!f.page->RoiEvalButton(2)->isVisible());
    QCOMPARE(f.roi[1].Brutto, before.Brutto);
    QCOMPARE(f.roi[1].Kozep, before.Kozep);
    QCOMPARE(f.roi[1].X2, beyond);
    // Back to the whole range and into its left half: the region lies right of the
    // view, and the strip, clipped to the plot, is hidden.
    f.AltDrag(2, QPoint(plot.left() + 300, plot.top() + 100), QPoint(plot.left() + 200, plot.top() + 10));
    QCOMPARE(f.page->XMax(2), 1000.0);
    f.Zoom(2, 0, 500);
    QVERIFY(f.page->XMax(2) < 985);
    QCOMPARE(f.page->RoiMark(2)->width(), 0);
    QVERIFY(!f.page->RoiMark(2)->isVisible());
}

// A region wider than the zoomed view: the strip covers the plot's width only and
// lies under every control, so "Törlés" still answers a click.
void TestChartsPage::markNeverCoversAControl()
{
    Fixture f;
    f.SetCursor(1, 450);
    f.page->RoiSetButton(1, 1)->click();
    f.SetCursor(1, 550);
    f.page->RoiSetButton(1, 2)->click();
    f.Zoom(1, 480, 520);
    QVERIFY(f.page->XMin(1) > 450 && f.page->XMax(1) < 550);
    QFrame *mark = f.page->RoiMark(1);
    const int plotLeft = f.page->ChartFrame(1)->x() + f.page->PlotRect(1).left() + 4;
    QCOMPARE(mark->x(), plotLeft);
    QCOMPARE(mark->width(), f.page->PlotRect(1).width());
    QVERIFY(mark->isVisible());

    QWidget *panel = f.page->Panel(1);
    QCOMPARE(panel->children().indexOf(mark), 0);
    for (QWidget *control : panel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (control != mark && control->isVisible())
            QVERIFY2(panel->childAt(control->geometry().center()) != mark,
                     qPrintable(control->objectName()));
    BoxAnswer answer;
    AnswerBox(MbNo, &answer);
    // Clicked through the window, so whatever lies on top takes the click.
    QPushButton *clear = f.page->ClearButton(1);
    QTest::mouseClick(f.page->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      clear->mapTo(f.page.get(), QPoint(clear->width() / 2, clear->height() - 4)));
    QVERIFY(answer.seen);
}

void TestChartsPage::markPlacementAfterZoomAndUndo()
{
    Fixture f;
    const int s = 1;
    f.SetCursor(s, 400);
    const int cursorInPanel = f.page->CursorLine(s)->mapTo(f.page->Panel(s), QPoint(0, 0)).x();
    f.page->RoiSetButton(s, 1)->click();
    f.SetCursor(s, 600);
    f.page->RoiSetButton(s, 2)->click();
    QFrame *mark = f.page->RoiMark(s);
    QFrame *chartFrame = f.page->ChartFrame(s);
    const QRect plot = f.page->PlotRect(s);
    const auto expected = [&] {
        const double lo = f.page->XMin(s), hi = f.page->XMax(s);
        const double k = plot.width() / (hi - lo);
        const int base = chartFrame->x() + plot.left() + 4;
        const int left = int(std::nearbyint(k * (400 - lo))) + base;
        const int right = int(std::nearbyint(k * (600 - lo))) + base;
        return QRect(left, chartFrame->y() + chartFrame->height() - 12, right - left, 33);
    };
    QCOMPARE(mark->geometry(), expected());
    QVERIFY(mark->isVisible());
    // Lined up with the cursor line at the same channel.
    QCOMPARE(mark->x(), cursorInPanel);
    // Below the chart in z-order, showing as a lime strip under it.
    const QObjectList kids = f.page->Panel(s)->children();
    QVERIFY(kids.indexOf(mark) < kids.indexOf(chartFrame));
    const QImage panel = f.page->Panel(s)->grab().toImage();
    const int belowChart = chartFrame->y() + chartFrame->height() + 3;
    QCOMPARE(panel.pixelColor(mark->x() + mark->width() / 2, belowChart), QColor(0, 255, 0));
    QVERIFY(panel.pixelColor(mark->x() + mark->width() / 2, chartFrame->y() + chartFrame->height() - 6) !=
            QColor(0, 255, 0));
    QVERIFY(panel.pixelColor(mark->x() - 3, belowChart) != QColor(0, 255, 0));

    // Zooming places the mark again.
    const QRect full = mark->geometry();
    const auto range = f.Zoom(s, 300, 700);
    QCOMPARE(f.page->XMin(s), range.first);
    QCOMPARE(f.page->XMax(s), range.second);
    const QRect zoomed = expected();
    QVERIFY(zoomed.width() > 2 * full.width()); // 200 of 400 channels instead of 200 of 1000
    QCOMPARE(mark->geometry(), zoomed);
    // Undoing does not: the mark keeps its zoomed place.
    f.AltDrag(s, QPoint(plot.left() + 300, plot.top() + 100), QPoint(plot.left() + 200, plot.top() + 10));
    QCOMPARE(f.page->XMax(s), 1000.0);
    QCOMPARE(mark->geometry(), zoomed);
    // Until the next "Set".
    f.page->RoiSetButton(s, 2)->click();
    QCOMPARE(mark->geometry(), expected());
    QVERIFY(mark->geometry() != zoomed);
}

void TestChartsPage::markKeptAcrossClearAndRun()
{
    Fixture f;
    f.SetCursor(2, 100);
    f.page->RoiSetButton(2, 1)->click();
    f.SetCursor(2, 220);
    f.page->RoiSetButton(2, 2)->click();
    const QRect mark = f.page->RoiMark(2)->geometry();
    f.page->ClearSpectrum(2);
    Flush();
    QCOMPARE(f.page->RoiMark(2)->geometry(), mark);
    for (int i = 0; i < 500; ++i)
        f.spectra.AddCount(2, 100 + i % 200);
    Flush();
    QCOMPARE(f.page->RoiMark(2)->geometry(), mark);
    QCOMPARE(f.roi[1].X1, 100);
    QCOMPARE(f.roi[1].X2, 220);
    // Changes of the other panel leave it too.
    f.SetCursor(1, 50);
    f.page->RoiSetButton(1, 2)->click();
    f.page->ClearSpectrum(1);
    QCOMPARE(f.page->RoiMark(2)->geometry(), mark);
}

void TestChartsPage::loadingSteps()
{
    Fixture f;
    // A loaded spectrum with at most 50 counts: the automatic top, at least 100.
    f.spectra.ClearCounts(1);
    f.spectra.SetCount(1, 40, 50);
    f.page->AfterSpectrumReplaced(1);
    QVERIFY(f.page->AutoMaximum(1));
    QCOMPARE(f.page->YMin(1), 0.0);
    QCOMPARE(f.page->YMax(1), 100.0);
    RoiBoxTexts texts{" 10 ", "30", "", "523.4567"};
    QVERIFY(f.page->RestoreRoiFromLoad(1, texts).Ok());
    QCOMPARE(f.page->RoiBox(1, 0)->text(), QString("10"));
    QCOMPARE(f.page->RoiBox(1, 1)->text(), QString("30"));
    QCOMPARE(f.page->RoiBox(1, 2)->text(), QString("0"));
    QCOMPARE(f.page->RoiBox(1, 3)->text(), QString("523.4567"));
    QVERIFY(!f.page->RoiEvalButton(1)->isVisible());
    QCOMPARE(f.roi[0].X1, 10);
    QCOMPARE(f.roi[0].X2, 30);
    QCOMPARE(f.roi[0].Brutto, 0);
    QCOMPARE(f.roi[0].Kozep, 523.4567);
    QVERIFY(f.page->RoiMark(1)->width() > 0);
    const RoiBoxTexts back = f.page->RoiBoxTextsOf(1);
    QCOMPARE(QString::fromStdString(back.X1), QString("10"));
    QCOMPARE(QString::fromStdString(back.Kozep), QString("523.4567"));
    // "Auto" already ticked: ticking changes nothing; the next drawing's Auto rule
    // brings the top to 100 with the automatic maximum off.
    f.page->SetAutoChecked(1, true);
    Flush();
    QCOMPARE(f.page->YMax(1), 100.0);
    QVERIFY(!f.page->AutoMaximum(1));

    // With "Auto" unticked, ticking runs the click handling.
    f.page->SetAutoChecked(2, false);
    QVERIFY(!f.page->AutoBox(2)->isChecked());
    f.spectra.ClearCounts(2);
    f.spectra.SetCount(2, 7, 420);
    f.page->AfterSpectrumReplaced(2);
    QCOMPARE(f.page->YMax(2), 420.0);
    f.page->SetAutoChecked(2, true);
    QVERIFY(f.page->AutoBox(2)->isChecked());
    QVERIFY(f.page->AutoMaximum(2));
    Flush();
    QCOMPARE(f.page->YMaxBox(2)->text(), QString("420"));

    // A box that is no number stops the restore with the conversion message.
    const QRect mark = f.page->RoiMark(2)->geometry();
    const Status failure = f.page->RestoreRoiFromLoad(2, {"5", "x7", "1", "2"});
    QVERIFY(!failure);
    QCOMPARE(QString::fromStdString(failure.Message()), QString("„x7” nem érvényes szám."));
    QCOMPARE(f.page->RoiBox(2, 1)->text(), QString("x7"));
    QCOMPARE(f.roi[1].X1, 5);
    QCOMPARE(f.page->RoiMark(2)->geometry(), mark);
}

void TestChartsPage::popupMenuNamesItsPanel()
{
    Fixture f;
    QSignalSpy list(f.page.get(), &TChartsPage::ListRequested);
    QSignalSpy text(f.page.get(), &TChartsPage::TextSaveRequested);
    QSignalSpy picture(f.page.get(), &TChartsPage::PictureSaveRequested);
    QMenu *menu = f.page->PopupMenu();
    QCOMPARE(menu->actions().size(), 3);
    QCOMPARE(menu->actions()[0]->text(), QString("Adatok listája"));
    QCOMPARE(menu->actions()[1]->text(), QString("Adatok mentése szövegfáljba"));
    QCOMPARE(menu->actions()[2]->text(), QString("Kép mentése más néven"));

    // A right click on panel 2 (beside the chart), then on the chart of panel 1.
    QContextMenuEvent onPanel(QContextMenuEvent::Mouse, QPoint(3, 340),
                              f.page->Panel(2)->mapToGlobal(QPoint(3, 340)));
    QApplication::sendEvent(f.page->Panel(2), &onPanel);
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(f.page->PopupPanel(), 2);
    menu->actions()[0]->trigger();
    menu->hide();
    QContextMenuEvent onChart(QContextMenuEvent::Mouse, QPoint(200, 100),
                              f.chart(1)->mapToGlobal(QPoint(200, 100)));
    QApplication::sendEvent(f.chart(1), &onChart);
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(f.page->PopupPanel(), 1);
    menu->actions()[1]->trigger();
    menu->actions()[2]->trigger();
    menu->hide();
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0][0].toInt(), 2);
    QCOMPARE(text.size(), 1);
    QCOMPARE(text[0][0].toInt(), 1);
    QCOMPARE(picture.size(), 1);
    QCOMPARE(picture[0][0].toInt(), 1);
}

void TestChartsPage::redrawsMerge()
{
    Fixture f;
    f.Add(1, 300, 200); // past the Auto threshold, so the top follows the counts
    Flush();
    const int before1 = f.page->ReplotCount(1);
    const int before2 = f.page->ReplotCount(2);
    // One tick: 101 counts, spread over the channels.
    for (int i = 0; i < 101; ++i)
        f.spectra.AddCount(1, 250 + i);
    QCOMPARE(f.page->ReplotCount(1), before1); // nothing drawn inside the tick
    Flush();
    QCOMPARE(f.page->ReplotCount(1), before1 + 1);
    QCOMPARE(f.page->ReplotCount(2), before2);
    QCOMPARE((f.chart(1)->graph(0)->data()->begin() + 300)->value, 201.0);
    QCOMPARE((f.chart(1)->graph(0)->data()->begin() + 350)->value, 1.0);
    // Clearing: 1001 values in one drawing.
    f.page->ClearSpectrum(1);
    Flush();
    QCOMPARE(f.page->ReplotCount(1), before1 + 2);
}

void TestChartsPage::pageDestroyedBeforeSpectra()
{
    Spectra spectra;
    std::array<RoiData, 2> roi{};
    int seen = 0;
    spectra.Changed = [&seen](int) { ++seen; };
    {
        TChartsPage page(spectra, roi);
        page.SetupAtCreation();
        spectra.AddCount(1, 3);
        QVERIFY(seen > 0);
    }
    const int before = seen;
    spectra.AddCount(2, 4); // the earlier subscriber still hears it, the page is gone
    QCOMPARE(seen, before + 1);
    Flush();
}

QTEST_MAIN(TestChartsPage)
#include "test_charts_page.moc"
