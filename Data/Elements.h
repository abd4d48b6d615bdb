#pragma once
// The three kinds of ion-optical element. Plain classes: their fields are set
// once by the layout chain; only the analyser voltage and the magnet's
// induction change afterwards.
#include "Types.h"

#include <QImage>
#include <array>

// Picture geometry: metres per pixel and the pixel of the world origin.
struct TPixelMap {
    double PixelSize = 0.002;
    int OriginX = 600;
    int OriginY = 210;

    TPixel ToPixel(TPoint p) const
    {
        return {RoundEven(p.x / PixelSize) + OriginX, RoundEven(p.y / PixelSize) + OriginY};
    }
    TPoint ToWorld(TPixel p) const
    {
        return {(p.x - OriginX) * PixelSize, (p.y - OriginY) * PixelSize};
    }
};

// One plate or pole edge: its arc and its two silver face lines.
struct TSectorArcPoints {
    TPixel Centre, Start, End, BoxTopLeft, BoxBottomRight;
};
TSectorArcPoints SectorArcPoints(const TPixelMap &map, TPoint c, double r, double sweep, double start);
void DrawSectorArc(QImage &picture, const TPixelMap &map, TPoint c, int penWidth, double r,
                   double sweep, double start);

class TESA {
public:
    TPoint Center;
    double StartAngle = 0.0;
    TColor Color = 0;
    double Radius = 0.0;
    double Gap = 0.0;
    double Angle = 0.0;
    double Voltage = 0.0;

    void Setup(TColor colour, TPoint centre, double startAngle, double radius, double angle,
               double voltage, double gap);
    void Draw(QImage &picture, const TPixelMap &map) const;
    TPixel FillSeed(const TPixelMap &map) const;
};

class TMAG {
public:
    TPoint Center;
    double StartAngle = 0.0;
    TColor Color = 0;
    double Radius = 0.0;
    double Gap = 0.0;
    double Angle = 0.0;
    double Induction = 0.0;

    void Setup(TColor colour, TPoint centre, double startAngle, double radius, double angle,
               double induction, double gap);
    void Draw(QImage &picture, const TPixelMap &map) const;
    TPixel FillSeed(const TPixelMap &map) const;
};

class TDrift {
public:
    double Length = 0.0;
    TPoint Start;
    double Direction = 0.0;
    double StartWidth = 0.0;
    double EndWidth = 0.0;
    // Wall 1 start, wall 2 start, wall 1 end, wall 2 end; refreshed by Draw.
    std::array<TPixel, 4> Corners{};
    TColor Color = 0;

    void Setup(TColor colour, TPoint start, double direction, double length, double startWidth,
               double endWidth);
    // Computes the corners without drawing (the same expressions Draw uses).
    std::array<TPixel, 4> CornerPixels(const TPixelMap &map) const;
    TPixel FillSeed(const TPixelMap &map) const;
    void Draw(QImage &picture, const TPixelMap &map);
    // Strictly inside the corner quadrilateral; a pixel on an edge is outside.
    bool Contains(TPixel p) const;
};
