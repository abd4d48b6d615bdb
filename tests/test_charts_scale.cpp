// Drawing and the Y scale of the page "Grafikonok": the automatic top past 100,
// the "Auto" switch, the "Y-Max" box refusing and accepting, and the redraws of
// one tick merged into one.
#include "helpers/ChartsPageFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace ChartsPageTest;

class TestChartsScale : public QObject
{
    Q_OBJECT
private slots:
    void autoRuleAtHundred();
    void autoSwitchFreezesAndFollows();
    void yMaxBoxRefusesAndAccepts();
    void redrawsMerge();
};

void TestChartsScale::autoRuleAtHundred()
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

void TestChartsScale::autoSwitchFreezesAndFollows()
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

void TestChartsScale::yMaxBoxRefusesAndAccepts()
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

void TestChartsScale::redrawsMerge()
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

QTEST_MAIN(TestChartsScale)
#include "test_charts_scale.moc"
