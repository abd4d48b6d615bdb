#include "Elements.h"

#include "Raster.h"

#include <cmath>

TSectorArcPoints SectorArcPoints(const TPixelMap &map, TPoint c, double r, double sweep, double start)
{
    const double s = map.PixelSize;
    const double rp = r / s;
    TSectorArcPoints a;
    a.Centre = {RoundEven(c.x / s) + map.OriginX, RoundEven(c.y / s) + map.OriginY};
    const int cx = a.Centre.x, cy = a.Centre.y;
    a.Start = {cx + RoundEven(std::sin(start) * rp), cy - RoundEven(std::cos(start) * rp)};
    a.End = {cx + RoundEven(std::sin(start + sweep) * rp), cy - RoundEven(std::cos(start + sweep) * rp)};
    a.BoxTopLeft = {RoundEven(cx - rp), RoundEven(cy - rp)};
    a.BoxBottomRight = {RoundEven(cx + rp), RoundEven(cy + rp)};
    return a;
}

void DrawSectorArc(QImage &picture, const TPixelMap &map, TPoint c, int penWidth, double r,
                   double sweep, double start)
{
    const TSectorArcPoints a = SectorArcPoints(map, c, r, sweep, start);
    // Counter-clockwise on the picture from the end ray back to the start ray.
    DrawArc(picture, a.BoxTopLeft, a.BoxBottomRight, a.Centre, a.End, a.Start, Colors::Black, penWidth);
    DrawThinLine(picture, a.Centre, a.End, Colors::Silver);
    DrawThinLine(picture, a.Centre, a.Start, Colors::Silver);
}

// Both plates (or pole edges) with their faces, then the fill of the gap between them.
static void DrawSectorElement(QImage &picture, const TPixelMap &map, TPoint centre, double radius, double gap,
                              double angle, double startAngle, TPixel seed, TColor colour)
{
    DrawSectorArc(picture, map, centre, 4, radius + gap / 2.0, angle, startAngle);
    DrawSectorArc(picture, map, centre, 4, radius - gap / 2.0, angle, startAngle);
    FloodFillWhite(picture, seed, colour);
}

// ---- analyser ----

void TESA::Setup(TColor colour, TPoint centre, double startAngle, double radius, double angle,
                 double voltage, double gap)
{
    Color = colour;
    Center = centre;
    StartAngle = startAngle;
    Radius = radius;
    Angle = angle;
    Voltage = voltage;
    Gap = gap;
}

TPixel TESA::FillSeed(const TPixelMap &map) const
{
    // Taken around the world origin, where the layout puts the analyser's centre.
    const double s = map.PixelSize;
    const double b = StartAngle + Angle / 2.0;
    return {RoundEven(std::sin(b) * (Radius / s) + 0.0 / s) + map.OriginX,
            RoundEven(0.0 / s - std::cos(b) * (Radius / s)) + map.OriginY};
}

void TESA::Draw(QImage &picture, const TPixelMap &map) const
{
    DrawSectorElement(picture, map, Center, Radius, Gap, Angle, StartAngle, FillSeed(map), Color);
}

// ---- magnet ----

void TMAG::Setup(TColor colour, TPoint centre, double startAngle, double radius, double angle,
                 double induction, double gap)
{
    Color = colour;
    Center = centre;
    StartAngle = startAngle;
    Radius = radius;
    Angle = angle;
    Induction = induction;
    Gap = gap;
}

TPixel TMAG::FillSeed(const TPixelMap &map) const
{
    const double s = map.PixelSize;
    const double b = StartAngle + Angle / 2.0;
    return {RoundEven(std::sin(b) * (Radius / s) + Center.x / s) + map.OriginX,
            RoundEven(Center.y / s - std::cos(b) * (Radius / s)) + map.OriginY};
}

void TMAG::Draw(QImage &picture, const TPixelMap &map) const
{
    DrawSectorElement(picture, map, Center, Radius, Gap, Angle, StartAngle, FillSeed(map), Color);
}

// ---- drift ----

void TDrift::Setup(TColor colour, TPoint start, double direction, double length, double startWidth,
                   double endWidth)
{
    Color = colour;
    Start = start;
    Direction = direction;
    Length = length;
    StartWidth = startWidth;
    EndWidth = endWidth;
}

std::array<TPixel, 4> TDrift::CornerPixels(const TPixelMap &map) const
{
    const double s = map.PixelSize;
    const double sn = std::sin(Direction), cs = std::cos(Direction);
    const TPoint S = Start;
    const double L = Length, w0 = StartWidth, w1 = EndWidth;
    const int ox = map.OriginX, oy = map.OriginY;
    const TPixel wall1Start{RoundEven(S.x / s - sn * w0 / (2 * s)) + ox,
                            RoundEven(S.y / s + cs * w0 / (2 * s)) + oy};
    const TPixel wall1End{RoundEven(S.x / s - sn * w1 / (2 * s) + cs * L / s) + ox,
                          RoundEven(S.y / s + cs * w1 / (2 * s) + sn * L / s) + oy};
    const TPixel wall2Start{RoundEven(S.x / s + sn * w0 / (2 * s)) + ox,
                            RoundEven(S.y / s - cs * w0 / (2 * s)) + oy};
    const TPixel wall2End{RoundEven(S.x / s + sn * w1 / (2 * s) + cs * L / s) + ox,
                          RoundEven(S.y / s - cs * w1 / (2 * s) + sn * L / s) + oy};
    return {wall1Start, wall2Start, wall1End, wall2End};
}

TPixel TDrift::FillSeed(const TPixelMap &map) const
{
    const double s = map.PixelSize;
    return {RoundEven(Start.x / s + std::cos(Direction) * Length / (2 * s)) + map.OriginX,
            RoundEven(Start.y / s + std::sin(Direction) * Length / (2 * s)) + map.OriginY};
}

void TDrift::Draw(QImage &picture, const TPixelMap &map)
{
    Corners = CornerPixels(map);
    const TPixel w1s = Corners[0], w2s = Corners[1], w1e = Corners[2], w2e = Corners[3];
    DrawWideLine(picture, w1s, w1e, Colors::Black, 4);
    DrawWideLine(picture, w2s, w2e, Colors::Black, 4);
    // The start face is the previous element's exit face; only the end face is drawn.
    DrawThinLine(picture, w2e, w1e, Colors::Silver);
    FloodFillWhite(picture, FillSeed(map), Color);
}

bool TDrift::Contains(TPixel p) const
{
    const TPixel loop[4] = {Corners[0], Corners[2], Corners[3], Corners[1]};
    int positive = 0, negative = 0;
    for (int i = 0; i < 4; ++i) {
        const TPixel a = loop[i], b = loop[(i + 1) % 4];
        const int32_t c = (p.y - a.y) * (b.x - a.x) - (b.y - a.y) * (p.x - a.x);
        if (c > 0)
            ++positive;
        else if (c < 0)
            ++negative;
    }
    return positive == 4 || negative == 4;
}
