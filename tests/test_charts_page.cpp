// The page "Grafikonok" itself: its start-up state, the two panels' controls,
// names and panel numbers, "Törlés" with its confirmation, the pop-up menu, and
// a page destroyed before the spectra it draws.
#include "helpers/ChartsPageFixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>

using namespace ChartsPageTest;

class TestChartsPage : public QObject
{
    Q_OBJECT
private slots:
    void startUpState();
    void controlsAndTags();
    void clearAsksAndClearsOnlyItsSpectrum();
    void popupMenuNamesItsPanel();
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
    // Both panels lie on the page, panel 1 above panel 2, apart, each holding its chart.
    const QRect one = f.page->Panel(1)->geometry(), two = f.page->Panel(2)->geometry();
    QVERIFY(f.page->rect().contains(one) && f.page->rect().contains(two));
    QVERIFY(one.bottom() < two.top());
    for (int s = 1; s <= 2; ++s)
        QVERIFY(f.page->Panel(s)->rect().contains(f.page->ChartFrame(s)->geometry()));
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
