#include "Detector.h"

#include "Model.h"
#include "Raster.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

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

const char *const UnusableDetectorText = "Hibás a detektort definiáló 3 pont!";

Status AcceptDetector(TModel &m)
{
    if (!DetectorDefined(m.Detector) || !BuildDetector(m))
        return Status::Failure(UnusableDetectorText);
    m.Detector.Accepted = true;
    DrawApparatus(m);
    return {};
}
