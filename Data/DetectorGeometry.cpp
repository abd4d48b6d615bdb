#include "DetectorGeometry.h"

#include "Constants.h"

bool DetectorDefined(const TDetector &d)
{
    for (const TPixel &p : d.Points)
        if (p.x == 0 || p.y == 0)
            return false;
    return true;
}

bool FitDetectorCurve(TDetector &d)
{
    const double ox = PictureSize::DetectorOriginX, oy = PictureSize::DetectorOriginY;
    const double x1 = d.Points[0].x - ox, y1 = d.Points[0].y - oy;
    const double x2 = d.Points[1].x - ox, y2 = d.Points[1].y - oy;
    const double x3 = d.Points[2].x - ox, y3 = d.Points[2].y - oy;
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
    return true;
}

double DetectorCurveX(const TDetector &d, double y)
{
    const double y1 = d.Points[0].y - PictureSize::DetectorOriginY;
    const double y2 = d.Points[1].y - PictureSize::DetectorOriginY;
    return d.CurveX0 + (y - y1) * d.CurveB + (y - y1) * (y - y2) * d.CurveC;
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
