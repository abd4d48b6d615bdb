#include "Model.h"

#include "Raster.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

void InitModel(TModel &m)
{
    m.ApparatusBitmap = NewPicture(PictureSize::Width, PictureSize::Height);
    m.TraceBitmap = NewPicture(PictureSize::Width, PictureSize::Height);
    m.DetectorBitmap = NewPicture(PictureSize::DetectorWidth, PictureSize::DetectorHeight);
    m.Drift1 = TDrift{};
    m.Drift2 = TDrift{};
    m.Drift3 = TDrift{};
    m.Esa = TESA{};
    m.Magnet = TMAG{};
    ClearDetector(m);

    m.Isotopes = {{{23.985042, 0.7899}, {24.985837, 0.1}, {25.982593, 0.1101}, {0, 0}, {0, 0}, {0, 0}}};
    // Running sum of the abundances; a zero abundance ends the table (its
    // entry and the ones after it read as zero).
    double acc = 0.0;
    for (size_t i = 0; i < m.Isotopes.size(); ++i) {
        m.IsotopeCumulative[i].Mass = m.Isotopes[i].Mass;
        if (m.Isotopes[i].Abundance != 0.0)
            acc += m.Isotopes[i].Abundance;
        else
            acc = 0.0;
        m.IsotopeCumulative[i].Abundance = acc;
    }
}

void BuildLayout(TModel &m)
{
    using namespace LayoutConst;
    m.Map = TPixelMap{PixelSize, OriginX, OriginY};
    m.Params.TimeStep = 1e-7;
    m.FocusFactor = FocusFactor;
    m.AxisPoints = {};

    const double theta2 = EsaAngle + MagnetAngle;
    TPoint p{0.0, 0.0};
    m.AxisPoints[0] = {p.x, p.y - EsaRadius};
    m.Esa.Setup(Colors::Analyser, p, 0.0, EsaRadius, EsaAngle, m.Params.EsaPotential, EsaGap);

    p = {p.x + std::sin(EsaAngle) * EsaRadius, p.y - std::cos(EsaAngle) * EsaRadius};
    m.AxisPoints[1] = p;
    m.Drift1.Setup(Colors::Drift, p, EsaAngle, Drift1Length, EsaGap, Drift1EndWidth);

    p = {p.x + Drift1Length * std::cos(EsaAngle), p.y + Drift1Length * std::sin(EsaAngle)};
    m.AxisPoints[2] = p;
    const TPoint c{p.x - std::sin(EsaAngle) * MagnetRadius, p.y + std::cos(EsaAngle) * MagnetRadius};
    m.Magnet.Setup(Colors::Magnet, c, EsaAngle, MagnetRadius, MagnetAngle, m.Params.Induction,
                   Drift1EndWidth);

    p = {c.x + std::sin(theta2) * MagnetRadius, c.y - std::cos(theta2) * MagnetRadius};
    m.AxisPoints[3] = p;
    m.Drift2.Setup(Colors::Drift, p, theta2, Drift2Length, Drift1EndWidth, Drift2EndWidth);

    p = {p.x + Drift2Length * std::cos(theta2), p.y + Drift2Length * std::sin(theta2)};
    m.AxisPoints[4] = p;
    m.Drift3.Setup(Colors::Drift, p, theta2, Drift3Length, Drift2EndWidth, Drift2EndWidth);

    p = {p.x + Drift3Length * std::cos(theta2), p.y + Drift3Length * std::sin(theta2)};
    m.AxisPoints[5] = p;
}

// ---- apparatus picture ----

TEndWall EndWallPoints(const TModel &m)
{
    const double s = m.Map.PixelSize;
    const int ox = m.Map.OriginX, oy = m.Map.OriginY;
    const double t = m.Drift3.Direction, w = m.Drift3.EndWidth;
    const TPoint p = m.AxisPoints[5];
    return {{RoundEven((p.x - std::sin(t) * w / 2) / s) + ox, RoundEven((std::cos(t) * w / 2 + p.y) / s) + oy},
            {RoundEven((std::sin(t) * w / 2 + p.x) / s) + ox, RoundEven((p.y - std::cos(t) * w / 2) / s) + oy}};
}

TExitAperture ExitAperturePoints(const TModel &m)
{
    const double s = m.Map.PixelSize;
    const int ox = m.Map.OriginX, oy = m.Map.OriginY;
    const double a = m.Esa.StartAngle + m.Esa.Angle;
    const double c = std::cos(a), n = std::sin(a);
    const TPoint p = m.AxisPoints[1];
    const double g = m.Esa.Gap, b = m.Params.Blende3, o = m.Params.Blende3Offset;
    const TPixel d{RoundEven(8 * c), RoundEven(8 * n)};
    const TPixel e{RoundEven(c), RoundEven(n)};
    auto minus = [](TPixel u, TPixel v) { return TPixel{u.x - v.x, u.y - v.y}; };
    auto plus = [](TPixel u, TPixel v) { return TPixel{u.x + v.x, u.y + v.y}; };

    TExitAperture ap;
    const TPixel j1{ox + RoundEven((n * g / 2 + p.x) / s), oy + RoundEven((p.y - c * g / 2) / s)};
    const TPixel j2{ox + RoundEven((n * (b / 2 + o) + p.x) / s), oy + RoundEven((p.y - c * (b / 2 + o)) / s)};
    ap.Outer = {j1, j2, minus(j2, d), minus(j1, d)};
    const TPixel k1{ox + RoundEven((p.x - n * g / 2) / s), oy + RoundEven((c * g / 2 + p.y) / s)};
    const TPixel k2{ox + RoundEven((p.x - n * (b / 2 - o)) / s), oy + RoundEven((c * (b / 2 - o) + p.y) / s)};
    ap.Inner = {k1, k2, minus(k2, d), minus(k1, d)};
    ap.Opening = {plus(j1, e), plus(k1, e), minus(ap.Inner[3], e), minus(ap.Outer[3], e)};
    return ap;
}

static void DrawAperture(QImage &img, const TExitAperture &ap);

void DrawApparatus(TModel &m)
{
    QImage &img = m.ApparatusBitmap;
    const int w = img.width(), h = img.height();
    img.fill(0xFF000000u | Colors::White);
    const TPixel frame[5] = {{1, 1}, {w - 3, 1}, {w - 3, h - 3}, {1, h - 3}, {1, 1}};
    for (int i = 0; i < 4; ++i)
        DrawWideLine(img, frame[i], frame[i + 1], Colors::Blue, 3);

    m.Esa.Draw(img, m.Map);
    m.Drift1.Draw(img, m.Map);
    m.Magnet.Draw(img, m.Map);
    m.Drift2.Draw(img, m.Map);
    m.Drift3.Draw(img, m.Map);

    const TEndWall wall = EndWallPoints(m);
    DrawWideLine(img, wall.From, wall.To, Colors::Black, 8);

    // An accepted detector belongs to the apparatus whether or not it is shown.
    if (m.Detector.Accepted && BuildDetector(m))
        CopyTransparent(img, m.DetectorBitmap, {PictureSize::DetectorOriginX, PictureSize::DetectorOriginY});
    DrawAperture(img, ExitAperturePoints(m));
}

static void DrawAperture(QImage &img, const TExitAperture &ap)
{
    auto vec = [](const std::array<TPixel, 4> &a) { return std::vector<TPixel>(a.begin(), a.end()); };
    FillPolygon(img, vec(ap.Opening), Colors::Silver, Colors::Silver);
    FillPolygon(img, vec(ap.Outer), Colors::Black, Colors::Black);
    FillPolygon(img, vec(ap.Inner), Colors::Black, Colors::Black);
}

void DrawExitAperture(TModel &m)
{
    const TExitAperture ap = ExitAperturePoints(m);
    DrawAperture(m.TraceBitmap, ap);
    DrawAperture(m.ApparatusBitmap, ap);
}

void ClearTraces(TModel &m)
{
    m.TraceBitmap = m.ApparatusBitmap.copy();
}

// ---- detector overlay ----

bool InsideDrift(TPixel p, const TDrift &drift)
{
    return drift.Contains(p);
}

bool PlaceablePoint(const TModel &m, TPixel p)
{
    return InsideDrift(p, m.Drift2) || InsideDrift(p, m.Drift3);
}

void ClearDetector(TModel &m)
{
    m.Detector.Points = {};
    m.Detector.BuiltValid = false;
    if (m.DetectorBitmap.isNull())
        m.DetectorBitmap = NewPicture(PictureSize::DetectorWidth, PictureSize::DetectorHeight);
    m.DetectorBitmap.fill(0xFF000000u | Colors::White);
}

namespace {

// One sampling pass along the curve: the samples inside drift 2 or 3 form one
// polyline; the last of them is the pass's end of the detector.
void SamplePass(const TModel &m, const TDetector &d, double ymin, double step, int direction,
                QPolygon &polyline, TDetectorEnd &end)
{
    const int ox = PictureSize::DetectorOriginX, oy = PictureSize::DetectorOriginY;
    for (int k = 0; k <= 1001; ++k) {
        const double y = ymin + direction * k * step;
        const double x = DetectorCurveX(d, y);
        const int rx = RoundEven(x), ry = RoundEven(y);
        const TPixel q{rx + ox, ry + oy};
        if (!PlaceablePoint(m, q))
            continue;
        const QPoint pt(rx, ry);
        if (polyline.isEmpty() || polyline.last() != pt)
            polyline << pt;
        end.Pixel = q;
    }
}

} // namespace

static bool DrawDetectorCurve(TModel &m);

bool BuildDetector(TModel &m)
{
    TDetector &d = m.Detector;
    if (d.BuiltValid && d.BuiltFor == d.Points) {
        if (!d.BuiltResult)
            d.Accepted = false;
        return d.BuiltResult;
    }
    d.BuiltFor = d.Points;
    d.BuiltValid = true;
    d.BuiltResult = DrawDetectorCurve(m);
    return d.BuiltResult;
}

static bool DrawDetectorCurve(TModel &m)
{
    TDetector &d = m.Detector;
    m.DetectorBitmap.fill(0xFF000000u | Colors::White);
    if (!FitDetectorCurve(d))
        return false;
    const double oy = PictureSize::DetectorOriginY;
    const double y1 = d.Points[0].y - oy, y2 = d.Points[1].y - oy, y3 = d.Points[2].y - oy;
    const double ymin = std::min({y1, y2, y3});
    const double ymax = std::max({y1, y2, y3});
    const double step = (ymax - ymin) / 500.0;

    QPolygon down, up;
    SamplePass(m, d, ymin, step, +1, down, d.End1);
    SamplePass(m, d, ymin, step, -1, up, d.End2);

    {
        QPainter p(&m.DetectorBitmap);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(ToQColor(Colors::Detector), 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        for (const QPolygon *line : {&down, &up}) {
            if (line->size() == 1)
                p.drawPoint(line->first());
            else if (line->size() > 1)
                p.drawPolyline(*line);
        }
    }
    d.End1.World = m.Map.ToWorld(d.End1.Pixel);
    d.End2.World = m.Map.ToWorld(d.End2.Pixel);
    return true;
}
