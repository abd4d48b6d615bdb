// Measuring headless: the run engine's emission rules, the detector's curve,
// ends and hit mapping, and spectra collected through the same code the window uses.
#include "Data/Raster.h"
#include "Main/core/Roi.h"
#include "Main/core/RunEngine.h"
#include "helpers/ModelFixture.h"

#include <QtTest>

namespace {

int RunToEnd(ModelFixture &f, RunState &run, int limit = 1000000)
{
    int ticks = 0;
    while (run.Running && ticks < limit) {
        Tick(f.m, f.spectra, run);
        ++ticks;
    }
    return ticks;
}

void PlaceDetector(ModelFixture &f, TPixel a, TPixel b, TPixel c)
{
    f.m.Detector.Points = {a, b, c};
}

double Sum(const SpectrumCounts &c, int lo, int hi)
{
    double s = 0;
    for (int i = lo; i <= hi; ++i)
        s += c[i];
    return s;
}

} // namespace

class MeasurementTest : public QObject {
    Q_OBJECT

private slots:
    void presetAndContinuousRules()
    {
        {   // Preset 5, continuous: exactly five ions, one emission per tick at most.
            ModelFixture f;
            RunState run;
            run.PresetCount = 5;
            StartRun(f.m, run);
            int emissions = 0, ticks = 0;
            while (run.Running) {
                const int before = f.m.LaunchCount;
                Tick(f.m, f.spectra, run);
                QVERIFY(f.m.LaunchCount - before <= 1);
                emissions += f.m.LaunchCount - before;
                ++ticks;
            }
            QCOMPARE(f.m.LaunchCount, 5);
            QCOMPARE(emissions, 4);   // slot 0 was the first
            QVERIFY(!AnyParticleActive(f.m));
        }
        for (int preset : {1, 7, -3}) {   // not continuous: only the ion of slot 0
            ModelFixture f;
            RunState run;
            run.PresetCount = preset;
            run.Continuous = false;
            StartRun(f.m, run);
            RunToEnd(f, run);
            QCOMPARE(f.m.LaunchCount, 1);
        }
        for (int preset : {1, -3}) {      // preset 1, or a negative one: nothing beyond slot 0
            ModelFixture f;
            RunState run;
            run.PresetCount = preset;
            StartRun(f.m, run);
            RunToEnd(f, run);
            QCOMPARE(f.m.LaunchCount, 1);
        }
    }

    void presetZeroRunsUntilStopThenDrains()
    {
        ModelFixture f;
        RunState run;
        run.PresetCount = 0;
        StartRun(f.m, run);
        for (int i = 0; i < 500; ++i)
            Tick(f.m, f.spectra, run);
        QVERIFY(run.Running);
        // One emission per tick while a slot is free; with all 101 in flight it waits.
        QVERIFY(f.m.LaunchCount > 250 && f.m.LaunchCount <= 501);
        StopRun(run);
        const int atStop = f.m.LaunchCount;
        int drainTicks = 0;
        while (run.Running) {
            Tick(f.m, f.spectra, run);
            ++drainTicks;
            QCOMPARE(f.m.LaunchCount, atStop);
        }
        QVERIFY(drainTicks > 10);   // the ions in flight finished first
        QVERIFY(!AnyParticleActive(f.m));
    }

    void emissionGoesIntoTheLowestSlotFreeAtTheStart()
    {
        ModelFixture f;
        RunState run;
        StartRun(f.m, run);
        // Slot 0 stands on a wall: it stops in this tick but is not refilled in it.
        f.m.Particles[0].PixelX = 84;
        f.m.Particles[0].PixelY = 464;
        const TickResult r = Tick(f.m, f.spectra, run);
        QVERIFY(r.Launched);
        QVERIFY(!f.m.Particles[0].Active);
        QVERIFY(f.m.Particles[1].Active);
        QCOMPARE(f.m.Particles[1].Steps, 0);   // emitted, not advanced in the same tick
        QVERIFY(!r.Finished);
        Tick(f.m, f.spectra, run);
        QVERIFY(f.m.Particles[0].Active);      // now the lowest free slot
        QCOMPARE(f.m.LaunchCount, 3);
    }

    void placementOnlyInsideDriftTwoAndThree()
    {
        ModelFixture f;
        QVERIFY(PlaceablePoint(f.m, {350, 497}));    // drift 2
        QVERIFY(PlaceablePoint(f.m, {150, 470}));    // drift 3
        QVERIFY(!PlaceablePoint(f.m, {634, 374}));   // drift 1
        QVERIFY(!PlaceablePoint(f.m, {714, 154}));   // analyser
        QVERIFY(!PlaceablePoint(f.m, {30, 30}));
        for (const TPixel &corner : f.m.Drift2.Corners)
            QVERIFY(!PlaceablePoint(f.m, corner));
        // A pixel on drift 3's wall line.
        const TPixel a = f.m.Drift3.Corners[0], b = f.m.Drift3.Corners[2];
        if ((b.x - a.x) % 2 == 0 && (b.y - a.y) % 2 == 0)
            QVERIFY(!f.m.Drift3.Contains({(a.x + b.x) / 2, (a.y + b.y) / 2}));
    }

    void failedFitDrawsNothing()
    {
        ModelFixture f;
        f.m.Detector.Accepted = true;
        PlaceDetector(f, {240, 470}, {250, 470}, {245, 490});
        QVERIFY(DetectorDefined(f.m.Detector));
        QVERIFY(!BuildDetector(f.m));
        QCOMPARE(f.m.Detector.CurveX0, FailedFit);
        QVERIFY(!f.m.Detector.Accepted);
        QCOMPARE(f.m.DetectorBitmap, NewPicture(390, 310));
        QVERIFY(!AcceptDetector(f.m));
        // A coordinate 0 leaves the detector undefined.
        PlaceDetector(f, {240, 470}, {0, 480}, {245, 490});
        QVERIFY(!DetectorDefined(f.m.Detector));
    }

    void verticalColumnGivesAStraightDetectorAcrossTheDrift()
    {
        ModelFixture f;
        PlaceDetector(f, {240, 470}, {240, 480}, {240, 495});
        QVERIFY(BuildDetector(f.m));
        QCOMPARE(f.m.Detector.CurveB, 0.0);
        QCOMPARE(f.m.Detector.CurveC, 0.0);
        const TDetectorEnd &e1 = f.m.Detector.End1, &e2 = f.m.Detector.End2;
        // Sampled 1001 steps of a 500th of the 25-row span each way from the top point.
        QCOMPARE(e1.Pixel, (TPixel{240, 520}));
        QCOMPARE(e2.Pixel, (TPixel{240, 420}));
        // Taller than the drift, the same column is cut at its walls.
        PlaceDetector(f, {240, 430}, {240, 480}, {240, 530});
        QVERIFY(BuildDetector(f.m));
        QVERIFY(PlaceablePoint(f.m, e1.Pixel) && PlaceablePoint(f.m, e2.Pixel));
        QVERIFY(!PlaceablePoint(f.m, {240, e1.Pixel.y + 3}) && !PlaceablePoint(f.m, {240, e2.Pixel.y - 3}));
        QCOMPARE(e1.World.x, (240 - 600) * 0.002);
        int purple = 0, stray = 0;
        for (int y = 0; y < 310; ++y)
            for (int x = 0; x < 390; ++x) {
                const TColor c = ReadColor(f.m.DetectorBitmap, x, y);
                if (c == Colors::Detector) {
                    ++purple;
                    stray += std::abs(x - 170) > 4;
                } else if (c != Colors::White) {
                    ++stray;
                }
            }
        QVERIFY(purple > 8 * (e1.Pixel.y - e2.Pixel.y) * 0.9);
        QCOMPARE(stray, 0);
    }

    void rebuildingForTheSamePointsReusesTheDrawing()
    {
        ModelFixture f;
        PlaceDetector(f, {240, 470}, {245, 480}, {242, 495});
        QVERIFY(BuildDetector(f.m));
        const QImage first = f.m.DetectorBitmap.copy();
        const TDetectorEnd end1 = f.m.Detector.End1;
        QVERIFY(BuildDetector(f.m));
        QCOMPARE(f.m.DetectorBitmap, first);
        QCOMPARE(f.m.Detector.End1.Pixel, end1.Pixel);
        // A moved point draws anew.
        f.m.Detector.Points[1] = {250, 480};
        QVERIFY(BuildDetector(f.m));
        QVERIFY(f.m.DetectorBitmap != first);
        // A failed fit stays failed, and keeps clearing the accepted flag.
        f.m.Detector.Points[1] = {250, 470};
        QVERIFY(!BuildDetector(f.m));
        f.m.Detector.Accepted = true;
        QVERIFY(!BuildDetector(f.m));
        QVERIFY(!f.m.Detector.Accepted);
        // Clearing forgets the drawing.
        ClearDetector(f.m);
        f.m.Detector.Points = {TPixel{240, 470}, TPixel{245, 480}, TPixel{242, 495}};
        QVERIFY(BuildDetector(f.m));
        QCOMPARE(f.m.DetectorBitmap, first);
    }

    void composedPictureIsTheTraceWithTheOverlay()
    {
        ModelFixture f;
        PlaceDetector(f, {240, 470}, {245, 480}, {242, 495});
        QVERIFY(BuildDetector(f.m));
        QImage shown;
        ComposeDevicePicture(shown, f.m, false);
        QCOMPARE(shown, f.m.TraceBitmap);
        ComposeDevicePicture(shown, f.m, true);
        QCOMPARE(ReadColor(shown, 245, 480), Colors::Detector);
        QCOMPARE(ReadColor(shown, 30, 30), Colors::White);
        QCOMPARE(ReadColor(shown, 634, 374), Colors::Drift);
        QCOMPARE(ReadColor(f.m.TraceBitmap, 245, 480), Colors::Drift);
    }

    void hitsMapAlongTheChord()
    {
        ModelFixture f;
        PlaceDetector(f, {240, 470}, {245, 480}, {242, 495});
        QVERIFY(BuildDetector(f.m));
        const TDetector &d = f.m.Detector;
        const TPoint e1 = d.End1.World, e2 = d.End2.World;
        QCOMPARE(DetectorChannel(d, e1.x, e1.y).value(), 1000);   // lower end
        QCOMPARE(DetectorChannel(d, e2.x, e2.y).value(), 0);      // upper end
        QCOMPARE(DetectorChannel(d, (e1.x + e2.x) / 2, (e1.y + e2.y) / 2).value(), 500);
        // Beyond the lower end by a tenth of the chord: dropped.
        QVERIFY(!DetectorChannel(d, e1.x + 0.1 * (e1.x - e2.x), e1.y + 0.1 * (e1.y - e2.y)));
        QCOMPARE(ChannelOf(1000.5).value(), 1000);
        QVERIFY(!ChannelOf(1000.6));
        QCOMPARE(ChannelOf(500.5).value(), 500);
        QCOMPARE(ChannelOf(501.5).value(), 502);
        QCOMPARE(ChannelOf(-0.5).value(), 0);
        QVERIFY(!ChannelOf(-0.6));
        QVERIFY(!ChannelOf(std::nan("")));
        // Coinciding ends count nothing.
        TDetector same = d;
        same.End2 = same.End1;
        QVERIFY(!ChordPosition(same, 0, 0));
        f.spectra.AddCount(2, DetectorChannel(f.m.Detector, e1.x, e1.y).value());
        QCOMPARE(f.spectra.Count(2, 1000), 1.0);
        QCOMPARE(f.spectra.MaxCount(1), 0.0);
    }

    void acceptedDetectorStopsAndCountsIons()
    {
        ModelFixture f;
        PlaceDetector(f, {236, 460}, {237, 483}, {238, 506});
        QVERIFY(AcceptDetector(f.m));
        QVERIFY(f.m.Detector.Accepted);
        QCOMPARE(ReadColor(f.m.ApparatusBitmap, 237, 483), Colors::Detector);
        ClearTraces(f.m);
        RunState run;
        run.PresetCount = 300;
        run.Spectrum = 2;
        StartRun(f.m, run);
        RunToEnd(f, run);
        // Every ion through the exit aperture reaches the detector: one count each, all in spectrum 2.
        QCOMPARE(f.spectra.MaxCount(1), 0.0);
        const double total = Sum(f.spectra.Counts(2), 0, 1000);
        QVERIFY2(total > 60 && total <= 300, qPrintable(QString::number(total)));
        // A peak: the counts gather in a few channels around the beam axis.
        RoiData roi{0, 1000};
        QVERIFY(EvaluateRoi(roi, f.spectra.Counts(2)));
        QCOMPARE(double(roi.Brutto), total);
        const int centre = RoundEven(roi.Kozep);
        QVERIFY(std::abs(centre - 500) < 100);
        QVERIFY(Sum(f.spectra.Counts(2), centre - 60, centre + 60) > 0.95 * total);
        // The detector's purple never reaches the trace picture.
        QVERIFY(ReadColor(f.m.TraceBitmap, 237, 483) != Colors::Detector);
    }

    void unknownSampleShowsThreePeaksWithTheAbundances()
    {
        ModelFixture f(2);
        f.fields.UnknownMode = true;
        f.fields.MeanMass = 25;
        f.fields.Induction = 0.9;
        f.fields.Blende1 = f.fields.Blende2 = 0.005;
        f.fields.Blende3 = 0.02;   // wide enough to pass every isotope alike
        f.Apply();
        PlaceDetector(f, {228, 474}, {229, 483}, {230, 492});
        QVERIFY(AcceptDetector(f.m));
        ClearTraces(f.m);
        RunState run;
        run.PresetCount = 6000;
        StartRun(f.m, run);
        RunToEnd(f, run);
        const SpectrumCounts &c = f.spectra.Counts(1);
        const double total = Sum(c, 0, 1000);
        QVERIFY(total > 5900);
        // Find the three peaks as runs of counts separated by empty channels.
        std::vector<std::pair<int, int>> peaks;
        int start = -1;
        for (int i = 0; i <= 1001; ++i) {
            const bool has = i <= 1000 && Sum(c, std::max(0, i - 3), std::min(1000, i + 3)) > 3;
            if (has && start < 0)
                start = i;
            if (!has && start >= 0) {
                peaks.push_back({start, i - 1});
                start = -1;
            }
        }
        QCOMPARE(peaks.size(), size_t(3));
        const double abundance[3] = {0.7899, 0.1, 0.1101};
        for (int k = 0; k < 3; ++k) {
            const double share = Sum(c, peaks[k].first, peaks[k].second) / total;
            QVERIFY2(std::abs(share - abundance[k]) < 0.02,
                     qPrintable(QString("peak %1: %2").arg(k).arg(share)));
        }
    }
};

QTEST_APPLESS_MAIN(MeasurementTest)
#include "test_measurement.moc"
