// The region of interest: gross count, centroid, their boxes and the strip.
#include "Main/core/Roi.h"

#include <QtTest>

namespace {

SpectrumCounts Counts(std::initializer_list<std::pair<int, double>> points)
{
    SpectrumCounts c;
    c.fill(0.0);
    for (auto [channel, count] : points)
        c[static_cast<size_t>(channel)] = count;
    return c;
}

RoiData Region(int32_t x1, int32_t x2)
{
    RoiData r;
    r.X1 = x1;
    r.X2 = x2;
    return r;
}

} // namespace

class TestRoi : public QObject {
    Q_OBJECT

private slots:
    void roundingGoesToTheEvenNeighbour()
    {
        QCOMPARE(RoundHalfEven(0.5), 0.0);
        QCOMPARE(RoundHalfEven(1.5), 2.0);
        QCOMPARE(RoundHalfEven(2.5), 2.0);
        QCOMPARE(RoundHalfEven(-2.5), -2.0);
        QCOMPARE(RoundHalfEven(-1.5), -2.0);
        QCOMPARE(RoundHalfEven(2.4999999), 2.0);
        QCOMPARE(RoundHalfEven(2.5000001), 3.0);
        QCOMPARE(RoundHalfEven(-0.7), -1.0);
        QCOMPARE(RoundHalfEven(62.5), 62.0);
    }

    void aSingleChannelRegion()
    {
        RoiData roi = Region(500, 500);
        QVERIFY(EvaluateRoi(roi, Counts({{500, 7}, {499, 100}, {501, 100}})));
        QCOMPARE(roi.Brutto, 7);
        QCOMPARE(roi.Kozep, 500.0);
        QCOMPARE(FormatBrutto(roi.Brutto), std::string("7"));
        QCOMPARE(FormatKozep(roi.Kozep), std::string("  500.0000"));
    }

    void boundsInEitherOrder()
    {
        const SpectrumCounts c = Counts({{400, 1}, {450, 5}, {600, 2}, {601, 50}, {399, 50}});
        RoiData up = Region(400, 600);
        RoiData down = Region(600, 400);
        QVERIFY(EvaluateRoi(up, c));
        QVERIFY(EvaluateRoi(down, c));
        QCOMPARE(up.Brutto, 8);
        QCOMPARE(down.Brutto, up.Brutto);
        QCOMPARE(down.Kozep, up.Kozep);
        QCOMPARE(up.Kozep, (400.0 + 5 * 450.0 + 2 * 600.0) / 8.0);
        QCOMPARE(down.X1, 600); // the bounds stay as set
    }

    void theCountWeightedMean()
    {
        RoiData roi = Region(10, 20);
        QVERIFY(EvaluateRoi(roi, Counts({{10, 1}, {20, 3}})));
        QCOMPARE(roi.Brutto, 4);
        QCOMPARE(roi.Kozep, 17.5);
        QCOMPARE(FormatKozep(roi.Kozep), std::string("   17.5000"));
    }

    void aRegionWithoutCountsGivesTheMidpoint()
    {
        RoiData roi = Region(11, 10);
        roi.Brutto = 99;
        roi.Kozep = 3.0;
        QVERIFY(EvaluateRoi(roi, Counts({{9, 4}, {12, 4}})));
        QCOMPARE(roi.Brutto, 0);
        QCOMPARE(roi.Kozep, 10.5);
        QCOMPARE(FormatKozep(roi.Kozep), std::string("   10.5000"));
        QCOMPARE(FormatBrutto(roi.Brutto), std::string("0"));
        // Counts below one half round to nothing.
        RoiData small = Region(0, 1000);
        QVERIFY(EvaluateRoi(small, Counts({{3, 0.5}, {4, 0.4}})));
        QCOMPARE(small.Brutto, 0);
        QCOMPARE(small.Kozep, 500.0);
    }

    void countsAreRoundedBeforeSumming()
    {
        RoiData roi = Region(0, 1000);
        QVERIFY(EvaluateRoi(roi, Counts({{100, 2.5}, {200, 3.5}, {300, 0.6}})));
        QCOMPARE(roi.Brutto, 2 + 4 + 1);
        QCOMPARE(roi.Kozep, (100.0 * 2 + 200.0 * 4 + 300.0 * 1) / 7.0);
    }

    void boundsOutsideTheChannelsAreRefused()
    {
        const SpectrumCounts c = Counts({{0, 1}, {1000, 1}});
        for (auto [x1, x2] : {std::pair{-1, 10}, {10, 1001}, {1001, 1001}, {-5, -1}}) {
            RoiData roi = Region(x1, x2);
            roi.Brutto = 42;
            roi.Kozep = 4.25;
            QVERIFY(!EvaluateRoi(roi, c));
            QCOMPARE(roi.Brutto, 42);
            QCOMPARE(roi.Kozep, 4.25);
        }
        RoiData whole = Region(1000, 0);
        QVERIFY(EvaluateRoi(whole, c));
        QCOMPARE(whole.Brutto, 2);
        QCOMPARE(whole.Kozep, 500.0);
    }

    void theWeightedSumNeeds64Bits()
    {
        SpectrumCounts c;
        c.fill(2000000.0); // 1001 * 2e6 fits 32 bits; the weighted sum 1.001e12 does not
        RoiData roi = Region(0, 1000);
        QVERIFY(EvaluateRoi(roi, c));
        QCOMPARE(roi.Brutto, 2002000000);
        QCOMPARE(roi.Kozep, 500.0);
    }

    void aGrossCountBeyond32BitsIsRefused()
    {
        RoiData roi = Region(0, 1000);
        roi.Brutto = 5;
        QVERIFY(!EvaluateRoi(roi, Counts({{1, 2e9}, {2, 2e9}})));
        QVERIFY(!EvaluateRoi(roi, Counts({{1, 1e300}})));
        QCOMPARE(roi.Brutto, 5);
        // Negative counts from a hand-made file still give a finite result.
        QVERIFY(EvaluateRoi(roi, Counts({{1, -3}, {3, 5}})));
        QCOMPARE(roi.Brutto, 2);
        QCOMPARE(roi.Kozep, (-3.0 + 15.0) / 2.0);
    }

    void resultBoxTexts()
    {
        QCOMPARE(FormatKozep(5.5), std::string("    5.5000"));
        QCOMPARE(FormatKozep(123456.789), std::string("123456.7890")); // not cut
        QCOMPARE(FormatKozep(0.00005), std::string("    0.0001"));    // 5e-5 is just above the half
        QCOMPARE(FormatBrutto(-12), std::string("-12"));
        QCOMPARE(FormatBrutto(INT32_MAX), std::string("2147483647"));
    }

    void theStripSpansTheRegion()
    {
        // Whole range 0 .. 1000 on 500 pixels: k = 0.5; chart at 10, plot at 40, plus 4.
        RoiMarkGeometry m = ComputeRoiMark(100, 300, 0, 1000, 500, 10, 40);
        QCOMPARE(m.Left, 50 + 54);
        QCOMPARE(m.Width, 100);
        RoiMarkGeometry r = ComputeRoiMark(300, 100, 0, 1000, 500, 10, 40);
        QCOMPARE(r.Left, m.Left);
        QCOMPARE(r.Width, m.Width);
        // Halves go to the even pixel: 0.5 -> 0, 1.5 -> 2, 2.5 -> 2.
        QCOMPARE(ComputeRoiMark(1, 3, 0, 1000, 500, 0, 0).Left, 4);
        QCOMPARE(ComputeRoiMark(1, 3, 0, 1000, 500, 0, 0).Width, 2);
        QCOMPARE(ComputeRoiMark(5, 5, 0, 1000, 500, 0, 0).Left, 6);
        // Equal bounds hide the strip.
        QCOMPARE(ComputeRoiMark(700, 700, 0, 1000, 500, 10, 40).Width, 0);
    }

    void aZoomedRangeClipsTheStripToThePlot()
    {
        // Range 400 .. 600 on 500 pixels, plot at 30 (+4): k = 2.5, the plot spans 34 .. 534.
        const struct {
            int32_t b1, b2;
            int left, width;
        } cases[] = {
            {450, 550, 125 + 34, 250}, // inside: unchanged
            {399, 650, 34, 500},       // over both ends: the plot's width
            {350, 500, 34, 250},       // the left part cut
            {700, 800, 534, 0},        // right of the view: hidden
            {100, 300, 34, 0},         // left of the view: hidden
        };
        for (const auto &c : cases) {
            const RoiMarkGeometry m = ComputeRoiMark(c.b1, c.b2, 400, 600, 500, 0, 30);
            QCOMPARE(m.Left, c.left);
            QCOMPARE(m.Width, c.width);
        }
    }

    void aDegenerateRangeGivesNoStrip()
    {
        QCOMPARE(ComputeRoiMark(10, 20, 500, 500, 500, 10, 40).Width, 0);
        QCOMPARE(ComputeRoiMark(10, 20, 600, 500, 500, 10, 40).Width, 0);
        QCOMPARE(ComputeRoiMark(10, 20, 0, qQNaN(), 500, 10, 40).Width, 0);
        // A range of a billionth of a channel: the strip covers the plot, no more.
        const RoiMarkGeometry m = ComputeRoiMark(0, 1000, 500, 500 + 1e-9, 500, 0, 0);
        QCOMPARE(m.Left, 4);
        QCOMPARE(m.Width, 500);
    }
};

QTEST_APPLESS_MAIN(TestRoi)
#include "test_roi.moc"
