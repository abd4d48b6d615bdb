// The region of interest on the page "Grafikonok": "Set" and "Számíts!", reversed
// and out-of-range bounds, the lime strip under the chart, and restoring the ROI
// boxes from a loaded file.
#include "helpers/ChartsPageFixture.h"

#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>

using namespace ChartsPageTest;

namespace {

// Where the plot area of chart s begins in its panel's coordinates: the column of
// the first channel on the strip's scale.
int PlotLeftInPanel(const Fixture &f, int s)
{
    return f.chart(s)->mapTo(f.page->Panel(s), f.page->PlotRect(s).topLeft()).x();
}

} // namespace

class TestChartsRoi : public QObject
{
    Q_OBJECT
private slots:
    void roiExamples();
    void roiReversedBoundsOnBothPanels();
    void focusAfterEvaluate();
    void setEmptiesResults();
    void roiBoundOutsideChannels();
    void markNeverCoversAControl();
    void markPlacementAfterZoomAndUndo();
    void markKeptAcrossClearAndRun();
    void loadingSteps();
};

void TestChartsRoi::roiExamples()
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

void TestChartsRoi::roiReversedBoundsOnBothPanels()
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
        const int left0 = PlotLeftInPanel(f, s);
        QCOMPARE(f.page->RoiMark(s)->x(), left0 + int(std::nearbyint(plot.width() * 0.4)));
        QCOMPARE(f.page->RoiMark(s)->x() + f.page->RoiMark(s)->width(),
                 left0 + int(std::nearbyint(plot.width() * 0.6)));
    }
}

// "Számíts!" pressed from the keyboard hides itself: the focus moves on to
// "Törlés", not into the read-only result box.
void TestChartsRoi::focusAfterEvaluate()
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

void TestChartsRoi::setEmptiesResults()
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

void TestChartsRoi::roiBoundOutsideChannels()
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
void TestChartsRoi::markNeverCoversAControl()
{
    Fixture f;
    f.SetCursor(1, 450);
    f.page->RoiSetButton(1, 1)->click();
    f.SetCursor(1, 550);
    f.page->RoiSetButton(1, 2)->click();
    f.Zoom(1, 480, 520);
    QVERIFY(f.page->XMin(1) > 450 && f.page->XMax(1) < 550);
    QFrame *mark = f.page->RoiMark(1);
    const int plotLeft = PlotLeftInPanel(f, 1);
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

void TestChartsRoi::markPlacementAfterZoomAndUndo()
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
    // The columns of channels 400 and 600 in the current view; the strip keeps the
    // height and the row it got first.
    QRect first;
    const auto expected = [&] {
        const double lo = f.page->XMin(s), hi = f.page->XMax(s);
        const double k = plot.width() / (hi - lo);
        const int base = PlotLeftInPanel(f, s);
        const int left = int(std::nearbyint(k * (400 - lo))) + base;
        const int right = int(std::nearbyint(k * (600 - lo))) + base;
        return QRect(left, first.y(), right - left, first.height());
    };
    first = mark->geometry();
    QCOMPARE(mark->geometry(), expected());
    QVERIFY(mark->isVisible());
    // It straddles the chart's lower edge: its top under the chart, its bottom in
    // the panel below it.
    const int chartBottom = chartFrame->geometry().bottom();
    QVERIFY(mark->geometry().top() < chartBottom && mark->geometry().bottom() > chartBottom);
    QVERIFY(mark->geometry().bottom() < f.page->Panel(s)->height());
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

void TestChartsRoi::markKeptAcrossClearAndRun()
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

void TestChartsRoi::loadingSteps()
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

QTEST_MAIN(TestChartsRoi)
#include "test_charts_roi.moc"
