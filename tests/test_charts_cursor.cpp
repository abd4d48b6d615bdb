// Cursor and zoom on the page "Grafikonok": the cursor by mouse and by Alt+arrows,
// clicks beside the plot, the channel zoom by an Alt+drag, its limits, its undo
// and chart 1's animation.
#include "helpers/ChartsPageFixture.h"

#include <QLineEdit>

using namespace ChartsPageTest;

class TestChartsCursor : public QObject
{
    Q_OBJECT
private slots:
    void altArrowsStopAtTheEnds();
    void altArrowsOnlyOnShowingPage();
    void clicksBesideThePlot();
    void smallDragDoesNothing();
    void zoomNarrowerThanTenChannels();
    void zoomAtTheRightEnd();
    void zoomKeepsTheYRange();
    void undoReturnsToBeforeFirstZoom();
    void chartOneZoomIsAnimated();
};

void TestChartsCursor::altArrowsStopAtTheEnds()
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

void TestChartsCursor::altArrowsOnlyOnShowingPage()
{
    Fixture f;
    f.page->hide();
    QVERIFY(!f.page->HandleAltKey(Qt::Key_Right));
    QCOMPARE(f.page->CursorXBox(1)->text(), QString("0"));
}

void TestChartsCursor::clicksBesideThePlot()
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

void TestChartsCursor::smallDragDoesNothing()
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

void TestChartsCursor::zoomNarrowerThanTenChannels()
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

void TestChartsCursor::zoomAtTheRightEnd()
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

void TestChartsCursor::zoomKeepsTheYRange()
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

void TestChartsCursor::undoReturnsToBeforeFirstZoom()
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

void TestChartsCursor::chartOneZoomIsAnimated()
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

QTEST_MAIN(TestChartsCursor)
#include "test_charts_cursor.moc"
