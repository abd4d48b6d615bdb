#pragma once
// Exact-colour drawing on the off-screen pictures. The apparatus picture is the
// collision map of the flight, so nothing here may blend or antialias.
#include "Types.h"

#include <QColor>
#include <QImage>
#include <vector>

inline QColor ToQColor(TColor c)
{
    return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

// A 1000 x 745 (or any) picture that stores every pixel exactly.
QImage NewPicture(int width, int height, TColor fill = Colors::White);

// Colour at a pixel; a position outside the picture reads as Colors::Outside.
inline TColor ReadColor(const QImage &img, int x, int y)
{
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height())
        return Colors::Outside;
    return reinterpret_cast<const uint32_t *>(img.constScanLine(y))[x] & 0xFFFFFFu;
}

inline void WritePixel(QImage &img, int x, int y, TColor c)
{
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height())
        return;
    reinterpret_cast<uint32_t *>(img.scanLine(y))[x] = 0xFF000000u | c;
}

// One-pixel line including both end points (the trajectories), clipped to the picture.
void DrawThinLine(QImage &img, TPixel a, TPixel b, TColor c);

// A line of pen width w (square ends, as the walls need to overlap at the joints).
void DrawWideLine(QImage &img, TPixel a, TPixel b, TColor c, int width);

// The arc of the ellipse inscribed in the box from `topLeft` to `bottomRight`,
// counter-clockwise on the picture from the ray through `from` to the ray through `to`.
void DrawArc(QImage &img, TPixel topLeft, TPixel bottomRight, TPixel centre,
             TPixel from, TPixel to, TColor c, int width);

// Polygon with a one-pixel outline in `pen` and interior in `brush`.
void FillPolygon(QImage &img, const std::vector<TPixel> &points, TColor pen, TColor brush);

// Filled circle in the box (x - r, y - r) .. (x + r, y + r): outline `pen`, interior `brush`.
void FillCircle(QImage &img, TPixel centre, int radius, TColor pen, TColor brush);

// Every white pixel four-connected to `seed` through white pixels takes `brush`.
// Returns the number of pixels filled (0 when the seed is not white).
int FloodFillWhite(QImage &img, TPixel seed, TColor brush);

// Copies `src` onto `dst` with its top-left at `at`, white pixels of `src` left out.
void CopyTransparent(QImage &dst, const QImage &src, TPixel at);
