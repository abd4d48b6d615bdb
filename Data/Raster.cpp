#include "Raster.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// A painter that never antialiases: every pixel it sets has exactly the pen or brush colour.
class ExactPainter : public QPainter {
public:
    explicit ExactPainter(QImage *img) : QPainter(img)
    {
        setRenderHint(QPainter::Antialiasing, false);
        setRenderHint(QPainter::TextAntialiasing, false);
        setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
};

} // namespace

QImage NewPicture(int width, int height, TColor fill)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(0xFF000000u | fill);
    return img;
}

void DrawThinLine(QImage &img, TPixel a, TPixel b, TColor c)
{
    // Bresenham; cheap enough for a hundred trajectory steps per tick.
    int x0 = a.x, y0 = a.y;
    const int x1 = b.x, y1 = b.y;
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        WritePixel(img, x0, y0, c);
        if (x0 == x1 && y0 == y1)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void DrawWideLine(QImage &img, TPixel a, TPixel b, TColor c, int width)
{
    if (width <= 1) {
        DrawThinLine(img, a, b, c);
        return;
    }
    ExactPainter p(&img);
    p.setPen(QPen(ToQColor(c), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawLine(QPoint(a.x, a.y), QPoint(b.x, b.y));
}

void DrawArc(QImage &img, TPixel topLeft, TPixel bottomRight, TPixel centre,
             TPixel from, TPixel to, TColor c, int width)
{
    // Angles of the two rays, counter-clockwise from the positive x axis with y up.
    const double a0 = std::atan2(-(from.y - centre.y), from.x - centre.x) * 180.0 / M_PI;
    const double a1 = std::atan2(-(to.y - centre.y), to.x - centre.x) * 180.0 / M_PI;
    double span = a1 - a0;
    while (span <= 0.0)
        span += 360.0;
    const QRectF box(topLeft.x, topLeft.y, bottomRight.x - topLeft.x, bottomRight.y - topLeft.y);
    QPainterPath path;
    path.arcMoveTo(box, a0);
    path.arcTo(box, a0, span);
    ExactPainter p(&img);
    p.setPen(QPen(ToQColor(c), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void FillPolygon(QImage &img, const std::vector<TPixel> &points, TColor pen, TColor brush)
{
    QPolygon poly;
    for (const TPixel &pt : points)
        poly << QPoint(pt.x, pt.y);
    {
        ExactPainter p(&img);
        p.setPen(Qt::NoPen);
        p.setBrush(ToQColor(brush));
        p.drawPolygon(poly);
    }
    // The outline with the same one-pixel lines as everything else.
    for (size_t i = 0; i < points.size(); ++i)
        DrawThinLine(img, points[i], points[(i + 1) % points.size()], pen);
}

void FillCircle(QImage &img, TPixel centre, int radius, TColor pen, TColor brush)
{
    ExactPainter p(&img);
    p.setPen(QPen(ToQColor(pen), 1));
    p.setBrush(ToQColor(brush));
    p.drawEllipse(QRect(centre.x - radius, centre.y - radius, 2 * radius, 2 * radius));
}

int FloodFillWhite(QImage &img, TPixel seed, TColor brush)
{
    const int w = img.width(), h = img.height();
    if (ReadColor(img, seed.x, seed.y) != Colors::White || brush == Colors::White)
        return 0;
    const uint32_t white = 0xFF000000u | Colors::White;
    const uint32_t fill = 0xFF000000u | brush;
    auto row = [&](int y) { return reinterpret_cast<uint32_t *>(img.scanLine(y)); };
    int filled = 0;
    std::vector<TPixel> stack{seed};
    while (!stack.empty()) {
        TPixel p = stack.back();
        stack.pop_back();
        uint32_t *line = row(p.y);
        if (line[p.x] != white)
            continue;
        int left = p.x, right = p.x;
        while (left > 0 && line[left - 1] == white)
            --left;
        while (right < w - 1 && line[right + 1] == white)
            ++right;
        for (int x = left; x <= right; ++x)
            line[x] = fill;
        filled += right - left + 1;
        for (int ny : {p.y - 1, p.y + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            const uint32_t *nl = row(ny);
            bool inRun = false;
            for (int x = left; x <= right; ++x) {
                const bool isWhite = nl[x] == white;
                if (isWhite && !inRun)
                    stack.push_back({x, ny});
                inRun = isWhite;
            }
        }
    }
    return filled;
}

void CopyTransparent(QImage &dst, const QImage &src, TPixel at)
{
    // Clip once; the inner loop only tests for the transparent white.
    const int x0 = std::max(0, -at.x), x1 = std::min(src.width(), dst.width() - at.x);
    const int y0 = std::max(0, -at.y), y1 = std::min(src.height(), dst.height() - at.y);
    for (int y = y0; y < y1; ++y) {
        const uint32_t *s = reinterpret_cast<const uint32_t *>(src.constScanLine(y));
        uint32_t *d = reinterpret_cast<uint32_t *>(dst.scanLine(y + at.y)) + at.x;
        for (int x = x0; x < x1; ++x)
            if ((s[x] & 0xFFFFFFu) != Colors::White)
                d[x] = s[x];
    }
}
