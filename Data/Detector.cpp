#include "Data/Detector.h"

#include "Data/Model.h"
#include "Data/Raster.h"
#include "Main/core/Counts.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

bool DetectorDefined(const TDetector &d)
{
    for (const TPixel &p : d.Points)
        if (p.x == 0 || p.y == 0)
            return false;
    return true;
}

bool InsideDrift(TPixel p, const TDrift &drift)
{
    return drift.Contains(p);
}

bool PlaceablePoint(const TModel &m, TPixel p)
{
    return InsideDrift(p, m.Drift2) || InsideDrift(p, m.Drift3);
}

void ComposeDevicePicture(QImage &out, const TModel &m, bool withDetector)
{
    // White is transparent, and the picture starts white: the trace picture
    // can simply be copied in.
    if (out.size() != m.TraceBitmap.size() || out.format() != m.TraceBitmap.format())
        out = m.TraceBitmap.copy();
    else
        std::memcpy(out.bits(), m.TraceBitmap.constBits(), static_cast<size_t>(out.sizeInBytes()));
    if (withDetector)
        CopyTransparent(out, m.DetectorBitmap, {PictureSize::DetectorOriginX, PictureSize::DetectorOriginY});
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
void SamplePass(const TModel &m, const TDetector &d, double y1, double y2, double ymin, double step,
                int direction, QPolygon &polyline, TDetectorEnd &end)
{
    const int ox = PictureSize::DetectorOriginX, oy = PictureSize::DetectorOriginY;
    for (int k = 0; k <= 1001; ++k) {
        const double y = ymin + direction * k * step;
        const double x = d.CurveX0 + (y - y1) * d.CurveB + (y - y1) * (y - y2) * d.CurveC;
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
    const double ox = PictureSize::DetectorOriginX, oy = PictureSize::DetectorOriginY;
    const double x1 = d.Points[0].x - ox, y1 = d.Points[0].y - oy;
    const double x2 = d.Points[1].x - ox, y2 = d.Points[1].y - oy;
    const double x3 = d.Points[2].x - ox, y3 = d.Points[2].y - oy;

    m.DetectorBitmap.fill(0xFF000000u | Colors::White);
    if (y1 == y2 || y3 == y1 || y3 == y2) {
        d.CurveX0 = FailedFit;
        d.CurveB = 0.0;
        d.CurveC = 0.0;
        d.Accepted = false;
        return false;
    }
    d.CurveX0 = x1;
    d.CurveB = (x2 - x1) / (y2 - y1);
    d.CurveC = ((x3 - x1) - (y3 - y1) * d.CurveB) / ((y3 - y1) * (y3 - y2));

    const double ymin = std::min({y1, y2, y3});
    const double ymax = std::max({y1, y2, y3});
    const double step = (ymax - ymin) / 500.0;

    QPolygon down, up;
    SamplePass(m, d, y1, y2, ymin, step, +1, down, d.End1);
    SamplePass(m, d, y1, y2, ymin, step, -1, up, d.End2);

    {
        QPainter p(&m.DetectorBitmap);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(QColor(128, 0, 128), 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
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

bool AcceptDetector(TModel &m)
{
    if (!DetectorDefined(m.Detector) || !BuildDetector(m))
        return false;
    m.Detector.Accepted = true;
    DrawApparatus(m, true);
    DrawExitAperture(m);
    return true;
}

std::optional<double> ChordPosition(const TDetector &d, double x, double y)
{
    const TPoint e1 = d.End1.World, e2 = d.End2.World;
    const double l2 = (e2.x - e1.x) * (e2.x - e1.x) + (e2.y - e1.y) * (e2.y - e1.y);
    if (l2 == 0.0)
        return std::nullopt;
    return (((x - e2.x) * (x - e2.x) + (y - e2.y) * (y - e2.y) - (x - e1.x) * (x - e1.x)
             - (y - e1.y) * (y - e1.y)) / l2 + 1.0) * 500.0;
}

std::optional<int> ChannelOf(double v)
{
    if (!(v > -1.0 && v < 1001.0))   // also keeps NaN and huge values away from the integer cast
        return std::nullopt;
    const int c = RoundEven(v);
    if (c < 0 || c > 1000)
        return std::nullopt;
    return c;
}

std::optional<int> DetectorChannel(const TDetector &d, double x, double y)
{
    const auto v = ChordPosition(d, x, y);
    return v ? ChannelOf(*v) : std::nullopt;
}

void DetectorHit(const TModel &m, double x, double y, Spectra &spectra, int spectrum)
{
    if (const auto c = DetectorChannel(m.Detector, x, y))
        spectra.AddCount(spectrum, *c);
}
