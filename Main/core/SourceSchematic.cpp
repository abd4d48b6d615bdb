#include "Main/core/SourceSchematic.h"

#include "Data/Raster.h"

namespace {

struct Schematic {
    QImage &picture;
    double pixelSize;

    int Px(double v) const { return RoundEven(v / pixelSize); }

    // The white ground of the box; the right and bottom edges are not filled.
    void Clear(int left, int top, int right, int bottom)
    {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                WritePixel(picture, x, y, Colors::White);
    }

    // An aperture of full opening `opening` at `column` (metres): two walls from
    // the opening out to the top and the bottom of the box. Returns the end of
    // the lower wall, where the outline continues.
    TPixel Aperture(double column, double opening, double yc, double boxHeight)
    {
        const int x = Px(column);
        DrawWideLine(picture, {x, Px(yc - opening / 2)}, {x, Px(yc - boxHeight / 2)}, Colors::Black, 3);
        const TPixel end{x, Px(yc + boxHeight / 2)};
        DrawWideLine(picture, {x, Px(yc + opening / 2)}, end, Colors::Black, 3);
        return end;
    }
};

} // namespace

void DrawSourceSchematic(QImage &picture, int viewWidth, int viewHeight, const TParams &p,
                         double pixelSize)
{
    Schematic s{picture, pixelSize};
    const int w = viewWidth - 3;
    const double xr = w * pixelSize;
    const double yc = viewHeight * pixelSize / 2;

    const int left = s.Px(xr - p.SourceBoxLength);
    const int top = s.Px(yc - p.SourceBoxHeight / 2);
    s.Clear(left, top, s.Px(p.SourceBoxLength) + left + 3, s.Px(p.SourceBoxHeight) + top);

    s.Aperture(xr - p.SourceGap, p.Blende1, yc, p.SourceBoxHeight);
    const TPixel bottomRight = s.Aperture(xr, p.Blende2, yc, p.SourceBoxHeight);

    // Bottom, left and top walls, drawn on from the lower wall of the second aperture.
    const TPixel bottomLeft{bottomRight.x - s.Px(p.SourceBoxLength), bottomRight.y};
    const TPixel topLeft{bottomLeft.x, bottomLeft.y - s.Px(p.SourceBoxHeight)};
    const TPixel topRight{topLeft.x + s.Px(p.SourceBoxLength), topLeft.y};
    DrawWideLine(picture, bottomRight, bottomLeft, Colors::Black, 5);
    DrawWideLine(picture, bottomLeft, topLeft, Colors::Black, 5);
    DrawWideLine(picture, topLeft, topRight, Colors::Black, 5);

    FloodFillWhite(picture, {topRight.x - 10, topRight.y + 10}, Colors::Silver);
    FloodFillWhite(picture, {topLeft.x + 10, topLeft.y + 10}, Colors::Silver);
}
