// The layout of the instrument and its apparatus picture: the figures the
// flight depends on, and a collision map whose fills stay inside their elements.
#include "Data/Flight.h"
#include "Data/Raster.h"
#include "helpers/ModelFixture.h"

#include <QtTest>
#include <cmath>
#include <map>
#include <set>

namespace {

QString Px(TPixel p)
{
    return QString("(%1, %2)").arg(p.x).arg(p.y);
}

std::map<TColor, int> CountColours(const QImage &img)
{
    std::map<TColor, int> counts;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            ++counts[ReadColor(img, x, y)];
    return counts;
}

} // namespace

class ModelTest : public QObject {
    Q_OBJECT

private slots:
    void constantsAreTheStoredDoubles()
    {
        QCOMPARE(LayoutConst::EsaAngle, M_PI / std::sqrt(2.0));
        QCOMPARE(LayoutConst::EsaAngle, 2.221441469079183);
        QVERIFY(LayoutConst::EsaAngle != 127.0 * M_PI / 180.0);
        // One unit in the last place above the nearest double to pi/3.
        QCOMPARE(LayoutConst::MagnetAngle, std::nextafter(M_PI / 3.0, 2.0));
        QVERIFY(LayoutConst::MagnetAngle != M_PI / 3.0);
        QCOMPARE(RoundEven(2.5), 2);
        QCOMPARE(RoundEven(3.5), 4);
        QCOMPARE(RoundEven(-2.5), -2);
        QCOMPARE(Trunc(-2.7), -2);
    }

    void axisPointsAndMagnetCentre()
    {
        ModelFixture f;
        const TPixel expected[6] = {{600, 83}, {701, 287}, {568, 462}, {451, 511}, {232, 483}, {84, 464}};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(Px(f.m.Map.ToPixel(f.m.AxisPoints[i])), Px(expected[i]));
        QCOMPARE(Px(f.m.Map.ToPixel(f.m.Magnet.Center)), Px({467, 385}));
        QCOMPARE(f.m.Drift3.Direction, LayoutConst::EsaAngle + LayoutConst::MagnetAngle);
    }

    void isotopeTables()
    {
        ModelFixture f;
        QCOMPARE(f.m.IsotopeCumulative[0].Abundance, 0.7899);
        QCOMPARE(f.m.IsotopeCumulative[1].Abundance, 0.7899 + 0.1);
        QCOMPARE(f.m.IsotopeCumulative[2].Abundance, 1.0);
        for (int i = 3; i < 6; ++i) {
            QCOMPARE(f.m.IsotopeCumulative[i].Mass, 0.0);
            QCOMPARE(f.m.IsotopeCumulative[i].Abundance, 0.0);
        }
        QCOMPARE(f.m.IsotopeCumulative[1].Mass, 24.985837);
        // A draw of exactly the first cumulative value still selects the first isotope.
        QCOMPARE(SelectIsotope(f.m.IsotopeCumulative, 0.7899), size_t(0));
        QCOMPARE(SelectIsotope(f.m.IsotopeCumulative, std::nextafter(0.7899, 1.0)), size_t(1));
        QCOMPARE(SelectIsotope(f.m.IsotopeCumulative, 0.0), size_t(0));
        QCOMPARE(SelectIsotope(f.m.IsotopeCumulative, 0.9999999), size_t(2));
    }

    void analyserArcsFacesAndSeed()
    {
        ModelFixture f;
        const TESA &e = f.m.Esa;
        const auto outer = SectorArcPoints(f.m.Map, e.Center, e.Radius + e.Gap / 2, e.Angle, e.StartAngle);
        const auto inner = SectorArcPoints(f.m.Map, e.Center, e.Radius - e.Gap / 2, e.Angle, e.StartAngle);
        QCOMPARE(Px(outer.BoxTopLeft), Px({436, 46}));
        QCOMPARE(Px(outer.BoxBottomRight), Px({764, 374}));
        QCOMPARE(Px(inner.BoxTopLeft), Px({510, 120}));
        QCOMPARE(Px(inner.BoxBottomRight), Px({690, 300}));
        QCOMPARE(Px(outer.Start), Px({600, 46}));
        QCOMPARE(Px(outer.End), Px({731, 310}));
        QCOMPARE(Px(inner.Start), Px({600, 120}));
        QCOMPARE(Px(inner.End), Px({671, 264}));
        QCOMPARE(Px(e.FillSeed(f.m.Map)), Px({714, 154}));
    }

    void driftCornersSeedAndEndWall()
    {
        ModelFixture f;
        const auto &c = f.m.Drift1.Corners;
        QCOMPARE(Px(c[0]), Px({671, 264}));   // wall 1 start
        QCOMPARE(Px(c[2]), Px({528, 432}));   // wall 1 end
        QCOMPARE(Px(c[3]), Px({608, 492}));   // wall 2 end
        QCOMPARE(Px(c[1]), Px({731, 310}));   // wall 2 start
        QCOMPARE(Px(f.m.Drift1.FillSeed(f.m.Map)), Px({634, 374}));
        const TEndWall w = EndWallPoints(f.m);
        QCOMPARE(Px(w.From), Px({93, 390}));
        QCOMPARE(Px(w.To), Px({74, 539}));
    }

    void exitAperturePoints()
    {
        ModelFixture f;
        const TExitAperture a = ExitAperturePoints(f.m);
        const TPixel j[4] = {{731, 310}, {703, 288}, {708, 282}, {736, 304}};
        const TPixel k[4] = {{671, 264}, {699, 286}, {704, 280}, {676, 258}};
        const TPixel q[4] = {{730, 311}, {670, 265}, {677, 257}, {737, 303}};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(Px(a.Outer[i]), Px(j[i]));
            QCOMPARE(Px(a.Inner[i]), Px(k[i]));
            QCOMPARE(Px(a.Opening[i]), Px(q[i]));
        }
    }

    void containsIsStrict()
    {
        ModelFixture f;
        const TDrift &d = f.m.Drift1;
        QVERIFY(d.Contains({634, 374}));
        for (const TPixel &corner : d.Corners)
            QVERIFY(!d.Contains(corner));
        // A pixel on the straight edge between wall 1 start and wall 1 end.
        QVERIFY(!d.Contains({671 - 143, 264 + 168}));
        QVERIFY(!d.Contains({10, 10}));
        // Drift 2 and drift 3 share the row of pixels at their joint: both call it outside.
        const TPixel joint = f.m.Drift3.Corners[0];
        QVERIFY(!f.m.Drift2.Contains(joint) && !f.m.Drift3.Contains(joint));
    }

    void pictureHoldsOnlyThePalette()
    {
        ModelFixture f;
        const std::set<TColor> palette = {Colors::White, Colors::Black, Colors::Silver, Colors::Blue,
                                          Colors::Analyser, Colors::Drift, Colors::Magnet};
        for (const QImage *img : {&f.m.ApparatusBitmap, &f.m.TraceBitmap}) {
            for (const auto &[colour, n] : CountColours(*img))
                QVERIFY2(palette.count(colour), qPrintable(QString("stray colour %1 (%2 pixels)")
                                                               .arg(colour, 6, 16, QChar('0')).arg(n)));
        }
        QCOMPARE(f.m.ApparatusBitmap.size(), QSize(1000, 745));
        QCOMPARE(f.m.DetectorBitmap.size(), QSize(390, 310));
    }

    void eachFillStaysInsideItsElement()
    {
        ModelFixture f;
        const QImage &img = f.m.ApparatusBitmap;
        const double s = f.m.Map.PixelSize;
        int analyser = 0, magnet = 0, drift = 0, strayDrift = 0, strayAnalyser = 0, strayMagnet = 0;
        auto inSector = [&](int x, int y, TPoint c, double r, double gap, double a0, double a1) {
            const double wx = (x - f.m.Map.OriginX) * s - c.x, wy = (y - f.m.Map.OriginY) * s - c.y;
            const double rr = std::hypot(wx, wy);
            double ang = std::atan2(wx, -wy);   // angle 0 straight above, clockwise growing
            if (ang < a0 - 0.5)
                ang += 2 * M_PI;
            const double tol = 3 * s;
            return rr > r - gap / 2 - tol && rr < r + gap / 2 + tol && ang > a0 - 0.03 && ang < a1 + 0.03;
        };
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                const TColor c = ReadColor(img, x, y);
                if (c == Colors::Analyser) {
                    ++analyser;
                    const TESA &e = f.m.Esa;
                    strayAnalyser += !inSector(x, y, e.Center, e.Radius, e.Gap, e.StartAngle, e.StartAngle + e.Angle);
                } else if (c == Colors::Magnet) {
                    ++magnet;
                    const TMAG &g = f.m.Magnet;
                    strayMagnet += !inSector(x, y, g.Center, g.Radius, g.Gap, g.StartAngle, g.StartAngle + g.Angle);
                } else if (c == Colors::Drift) {
                    ++drift;
                    const TPixel p{x, y};
                    // Pixels on the drifts' own edges count as outside Contains.
                    bool near = false;
                    for (int dy = -1; dy <= 1 && !near; ++dy)
                        for (int dx = -1; dx <= 1 && !near; ++dx) {
                            const TPixel q{x + dx, y + dy};
                            near = f.m.Drift1.Contains(q) || f.m.Drift2.Contains(q) || f.m.Drift3.Contains(q);
                        }
                    strayDrift += !near && !f.m.Drift1.Contains(p);
                }
            }
        }
        // Areas of the annular sectors and the quadrilaterals, in pixels, less the walls.
        const double annulusEsa = f.m.Esa.Angle / 2 * (std::pow(0.329, 2) - std::pow(0.179, 2)) / (s * s);
        const double annulusMag = f.m.Magnet.Angle / 2 * (std::pow(0.354, 2) - std::pow(0.154, 2)) / (s * s);
        QVERIFY2(analyser > 0.85 * annulusEsa && analyser < 1.02 * annulusEsa, qPrintable(QString::number(analyser)));
        QVERIFY2(magnet > 0.85 * annulusMag && magnet < 1.02 * annulusMag, qPrintable(QString::number(magnet)));
        const double drifts = (0.44 * (0.15 + 0.2) / 2 + 0.44 * (0.2 + 0.3) / 2 + 0.3 * 0.3) / (s * s);
        QVERIFY2(drift > 0.85 * drifts && drift < 1.02 * drifts, qPrintable(QString::number(drift)));
        QCOMPARE(strayAnalyser, 0);
        QCOMPARE(strayMagnet, 0);
        QCOMPARE(strayDrift, 0);
    }

    void seedsLieInTheirOwnFills()
    {
        // Each seed must land in its own still-white region: drawn without fills,
        // the seed pixel is white and is enclosed (the fill does not reach the frame).
        ModelFixture f;
        QImage img = NewPicture(1000, 745);
        const TPixel seeds[] = {f.m.Esa.FillSeed(f.m.Map), f.m.Drift1.FillSeed(f.m.Map),
                                f.m.Magnet.FillSeed(f.m.Map), f.m.Drift2.FillSeed(f.m.Map),
                                f.m.Drift3.FillSeed(f.m.Map)};
        for (const TPixel &seed : seeds)
            QCOMPARE(ReadColor(f.m.ApparatusBitmap, seed.x, seed.y) == Colors::White, false);
        QCOMPARE(ReadColor(f.m.ApparatusBitmap, seeds[0].x, seeds[0].y), Colors::Analyser);
        QCOMPARE(ReadColor(f.m.ApparatusBitmap, seeds[2].x, seeds[2].y), Colors::Magnet);
        for (int i : {1, 3, 4})
            QCOMPARE(ReadColor(f.m.ApparatusBitmap, seeds[i].x, seeds[i].y), Colors::Drift);
        // The flood fill itself: four-connected, stops at one-pixel lines, refuses a non-white seed.
        DrawThinLine(img, {10, 0}, {10, 20}, Colors::Black);
        DrawThinLine(img, {0, 20}, {10, 20}, Colors::Black);
        QCOMPARE(FloodFillWhite(img, {5, 5}, Colors::Magnet), 10 * 20);
        QCOMPARE(FloodFillWhite(img, {5, 5}, Colors::Drift), 0);
        // A diagonal line is not a wall for an eight-connected fill but is for this one.
        QImage diag = NewPicture(20, 20);
        for (int i = 0; i < 20; ++i)
            WritePixel(diag, i, 19 - i, Colors::Black);
        QCOMPARE(FloodFillWhite(diag, {0, 0}, Colors::Silver), 19 * 20 / 2);
    }

    void transparentCopyIsClippedToThePicture()
    {
        QImage dst = NewPicture(20, 10);
        QImage src = NewPicture(6, 6, Colors::Magnet);
        WritePixel(src, 0, 0, Colors::White);   // transparent
        for (const TPixel at : {TPixel{-3, -3}, TPixel{17, 7}, TPixel{-10, 0}, TPixel{25, 2}}) {
            QImage d = dst.copy();
            CopyTransparent(d, src, at);
            int magenta = 0;
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 20; ++x)
                    magenta += ReadColor(d, x, y) == Colors::Magnet;
            const int w = std::max(0, std::min(20, at.x + 6) - std::max(0, at.x));
            const int h = std::max(0, std::min(10, at.y + 6) - std::max(0, at.y));
            const bool cornerInside = at.x >= 0 && at.y >= 0 && at.x < 20 && at.y < 10;
            QCOMPARE(magenta, w * h - (cornerInside ? 1 : 0));
        }
    }

    void apertureAndFramePixels()
    {
        ModelFixture f;
        const QImage &img = f.m.ApparatusBitmap;
        // The opening is silver across the beam axis; the jaws are black.
        QCOMPARE(ReadColor(img, 701, 287), Colors::Silver);
        QCOMPARE(ReadColor(img, 725, 303), Colors::Black);
        QCOMPARE(ReadColor(img, 680, 268), Colors::Black);
        QCOMPARE(ReadColor(img, 1, 1), Colors::Blue);
        QCOMPARE(ReadColor(img, 500, 742), Colors::Blue);
        QCOMPARE(ReadColor(img, 5, 5), Colors::White);
        // The end wall covers drift 3's end face.
        QCOMPARE(ReadColor(img, 84, 464), Colors::Black);
        // Identical trace and apparatus after clearing the trajectories.
        QCOMPARE(f.m.TraceBitmap, f.m.ApparatusBitmap);
    }
};

QTEST_APPLESS_MAIN(ModelTest)
#include "test_model.moc"
