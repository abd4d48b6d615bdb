#include "dialogs/HelpPages.h"

#include "Data/Raster.h"
#include "dialogs/DialogStyle.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>

// Resources of a static library must be registered by hand; this sits outside
// any namespace because the macro declares a global function.
static void InitHelpResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    (void)done;
}

namespace {

const QColor TextColour(26, 26, 26);
// The figures show the instrument in the colours of the program's own picture.
const QColor Teal = DialogStyle::Teal();
const QColor EsaColour = ToQColor(Colors::Analyser);
const QColor DriftColour = ToQColor(Colors::Drift);
const QColor MagnetColour = ToQColor(Colors::Magnet);
const QColor DetectorColour = ToQColor(Colors::Detector);
const QColor TraceRed = ToQColor(Colors::TraceRed);

const char *const FontFamily = "Liberation Sans";

QFont FigureFont(int pixelSize, bool bold = false)
{
    QFont f(FontFamily);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

// ---------------------------------------------------------------------------
// The apparatus in world coordinates (metres, y down, origin at the
// analyser's centre of curvature), built the same way as the program lays
// out its elements, so the figures have the real proportions.
struct Drift {
    QPointF start;
    double direction;
    double length;
    double startWidth;
    double endWidth;

    QPointF Along(double l, double t) const
    {
        // t > 0 towards the right of the direction of motion.
        const double c = std::cos(direction), s = std::sin(direction);
        return start + QPointF(c * l - s * t, s * l + c * t);
    }
    QPolygonF Outline() const
    {
        return QPolygonF({Along(0, startWidth / 2), Along(length, endWidth / 2),
                          Along(length, -endWidth / 2), Along(0, -startWidth / 2)});
    }
};

struct Sector {
    QPointF centre;
    double startAngle;
    double angle;
    double radius;
    double gap;

    static QPointF OnCircle(QPointF c, double r, double a)
    {
        return c + QPointF(r * std::sin(a), -r * std::cos(a));
    }
    QPointF At(double a, double r) const { return OnCircle(centre, r, startAngle + a); }
    QPainterPath Region() const
    {
        QPainterPath path;
        const int n = 96;
        const double ro = radius + gap / 2, ri = radius - gap / 2;
        path.moveTo(At(0, ro));
        for (int i = 1; i <= n; ++i)
            path.lineTo(At(angle * i / n, ro));
        for (int i = n; i >= 0; --i)
            path.lineTo(At(angle * i / n, ri));
        path.closeSubpath();
        return path;
    }
    QPainterPath Arc(double r) const
    {
        QPainterPath path;
        const int n = 96;
        path.moveTo(At(0, r));
        for (int i = 1; i <= n; ++i)
            path.lineTo(At(angle * i / n, r));
        return path;
    }
};

struct Apparatus {
    Sector esa{};
    Drift drift1{}, drift2{}, drift3{};
    Sector magnet{};
    std::array<QPointF, 6> axis{};

    Apparatus()
    {
        const double esaRadius = 0.254, esaGap = 0.15, esaAngle = M_PI / std::sqrt(2.0);
        const double magnetRadius = 0.254, magnetAngle = 1.0471975511965979;
        const double l1 = 0.44, w1 = 0.2, l2 = 0.44, w2 = 0.3, l3 = 0.3;
        const double theta2 = esaAngle + magnetAngle;

        esa = {QPointF(0, 0), 0, esaAngle, esaRadius, esaGap};
        axis[0] = QPointF(0, -esaRadius);
        axis[1] = esa.At(esaAngle, esaRadius);
        drift1 = {axis[1], esaAngle, l1, esaGap, w1};
        axis[2] = drift1.Along(l1, 0);
        const QPointF c(axis[2].x() - std::sin(esaAngle) * magnetRadius,
                        axis[2].y() + std::cos(esaAngle) * magnetRadius);
        magnet = {c, esaAngle, magnetAngle, magnetRadius, w1};
        axis[3] = magnet.At(magnetAngle, magnetRadius);
        drift2 = {axis[3], theta2, l2, w1, w2};
        axis[4] = drift2.Along(l2, 0);
        drift3 = {axis[4], theta2, l3, w2, w2};
        axis[5] = drift3.Along(l3, 0);
    }
};

// Maps world metres onto figure pixels.
struct WorldView {
    double scale;
    QPointF offset;
    QPointF operator()(QPointF w) const { return offset + w * scale; }
    QTransform Transform() const
    {
        return QTransform(scale, 0, 0, scale, offset.x(), offset.y());
    }
};

void DrawSectorElement(QPainter &p, const WorldView &v, const Sector &s, const QColor &fill)
{
    p.save();
    p.setTransform(v.Transform());
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(s.Region());
    QPen wall(Qt::black, 3.0 / v.scale);
    wall.setCapStyle(Qt::FlatCap);
    p.setPen(wall);
    p.setBrush(Qt::NoBrush);
    p.drawPath(s.Arc(s.radius + s.gap / 2));
    p.drawPath(s.Arc(s.radius - s.gap / 2));
    p.setPen(QPen(QColor(140, 140, 140), 1.0 / v.scale));
    p.drawLine(s.At(0, s.radius - s.gap / 2), s.At(0, s.radius + s.gap / 2));
    p.drawLine(s.At(s.angle, s.radius - s.gap / 2), s.At(s.angle, s.radius + s.gap / 2));
    p.restore();
}

void DrawDriftElement(QPainter &p, const WorldView &v, const Drift &d)
{
    p.save();
    p.setTransform(v.Transform());
    p.setPen(Qt::NoPen);
    p.setBrush(DriftColour);
    p.drawPolygon(d.Outline());
    QPen wall(Qt::black, 3.0 / v.scale);
    wall.setCapStyle(Qt::FlatCap);
    p.setPen(wall);
    p.drawLine(d.Along(0, d.startWidth / 2), d.Along(d.length, d.endWidth / 2));
    p.drawLine(d.Along(0, -d.startWidth / 2), d.Along(d.length, -d.endWidth / 2));
    p.setPen(QPen(QColor(140, 140, 140), 1.0 / v.scale));
    p.drawLine(d.Along(d.length, d.endWidth / 2), d.Along(d.length, -d.endWidth / 2));
    p.restore();
}

void DrawApparatus(QPainter &p, const WorldView &v, const Apparatus &a)
{
    DrawSectorElement(p, v, a.esa, EsaColour);
    DrawDriftElement(p, v, a.drift1);
    DrawSectorElement(p, v, a.magnet, MagnetColour);
    DrawDriftElement(p, v, a.drift2);
    DrawDriftElement(p, v, a.drift3);
    // The wall that closes drift 3.
    p.save();
    p.setTransform(v.Transform());
    QPen wall(Qt::black, 6.0 / v.scale);
    wall.setCapStyle(Qt::FlatCap);
    p.setPen(wall);
    const Drift &d3 = a.drift3;
    p.drawLine(d3.Along(d3.length + 3.0 / v.scale, d3.endWidth / 2 + 0.01),
               d3.Along(d3.length + 3.0 / v.scale, -d3.endWidth / 2 - 0.01));
    p.restore();
}

// The central trajectory from the source through every element.
QPainterPath CentralPath(const Apparatus &a, double sourceStartX)
{
    QPainterPath path;
    path.moveTo(sourceStartX, a.axis[0].y());
    path.lineTo(a.axis[0]);
    const int n = 64;
    for (int i = 1; i <= n; ++i)
        path.lineTo(a.esa.At(a.esa.angle * i / n, a.esa.radius));
    path.lineTo(a.axis[2]);
    for (int i = 1; i <= n; ++i)
        path.lineTo(a.magnet.At(a.magnet.angle * i / n, a.magnet.radius));
    path.lineTo(a.axis[4]);
    path.lineTo(a.axis[5]);
    return path;
}

void DrawLabel(QPainter &p, QPointF at, const QString &text, int align = Qt::AlignCenter,
               int size = 13, bool bold = false, QColor colour = TextColour)
{
    p.save();
    p.setFont(FigureFont(size, bold));
    p.setPen(colour);
    QRectF r(at.x() - 200, at.y() - 100, 400, 200);   // centred on `at`
    if (align & Qt::AlignLeft)
        r = QRectF(at.x(), at.y() - 100, 400, 200);
    else if (align & Qt::AlignRight)
        r = QRectF(at.x() - 400, at.y() - 100, 400, 200);
    p.drawText(r, (align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter, text);
    p.restore();
}

// A short label on a white plate, readable over the coloured elements.
void DrawTag(QPainter &p, QPointF leftMiddle, const QString &text)
{
    p.save();
    p.setFont(FigureFont(12, true));
    const QFontMetricsF fm(p.font());
    const QRectF r(leftMiddle.x(), leftMiddle.y() - fm.height() / 2 - 1, fm.horizontalAdvance(text) + 8,
                   fm.height() + 2);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRoundedRect(r, 3, 3);
    p.setPen(TextColour);
    p.drawText(r, Qt::AlignCenter, text);
    p.restore();
}

void DrawFrame(QPainter &p, const QImage &img)
{
    p.save();
    p.setPen(QPen(QColor(0, 128, 128), 1));
    p.setBrush(Qt::NoBrush);
    const QSizeF size = img.deviceIndependentSize();
    p.drawRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1));
    p.restore();
}

// The pixel ratio the figures are drawn at: 1 for the page pictures, the
// screen's ratio for what a scaled display shows.
qreal g_figureRatio = 1.0;

QImage NewFigure(int w, int h)
{
    QImage img(QSize(w, h) * g_figureRatio, QImage::Format_RGB32);
    img.setDevicePixelRatio(g_figureRatio);
    img.fill(Qt::white);
    return img;
}

// Figure 1: the whole instrument with the central trajectory.
QImage BeamPathFigure()
{
    QImage img = NewFigure(640, 420);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const Apparatus a;
    // World x from -1.06 to 0.35, y from -0.335 to 0.70, centred.
    const WorldView v{380.0, QPointF(320 + 0.355 * 380.0, 14 + 0.335 * 380.0)};

    DrawApparatus(p, v, a);

    // The ion source: a box with two apertures in front of the analyser.
    const double y0 = a.axis[0].y();
    const double boxL = 0.2, boxH = 0.15, gap = 0.1, b1 = 0.02, b2 = 0.02;
    p.save();
    p.setTransform(v.Transform());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(QRectF(-boxL, y0 - boxH / 2, boxL, boxH));
    QPen wall(Qt::black, 3.0 / v.scale);
    wall.setCapStyle(Qt::FlatCap);
    p.setPen(wall);
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(0, y0 - boxH / 2), QPointF(-boxL, y0 - boxH / 2));
    p.drawLine(QPointF(-boxL, y0 - boxH / 2), QPointF(-boxL, y0 + boxH / 2));
    p.drawLine(QPointF(-boxL, y0 + boxH / 2), QPointF(0, y0 + boxH / 2));
    for (const auto &[x, b] : {std::pair{-gap, b1}, std::pair{0.0, b2}}) {
        p.drawLine(QPointF(x, y0 - boxH / 2), QPointF(x, y0 - b / 2));
        p.drawLine(QPointF(x, y0 + b / 2), QPointF(x, y0 + boxH / 2));
    }
    // Ions being born.
    p.setPen(Qt::NoPen);
    p.setBrush(TraceRed);
    const double dots[][2] = {{-0.17, -0.02}, {-0.155, 0.025}, {-0.18, 0.015}, {-0.14, -0.03},
                              {-0.165, 0.0},  {-0.135, 0.01}};
    for (const auto &d : dots)
        p.drawEllipse(QPointF(d[0], y0 + d[1]), 0.006, 0.006);
    p.restore();

    // The central trajectory.
    p.save();
    p.setTransform(v.Transform());
    QPen trace(TraceRed, 2.0 / v.scale, Qt::DashLine);
    p.setPen(trace);
    p.setBrush(Qt::NoBrush);
    p.drawPath(CentralPath(a, -0.13));
    p.restore();

    // Direction arrow at the end of drift 3.
    const QPointF tip = v(a.drift3.Along(a.drift3.length - 0.02, 0));
    const QPointF tail = v(a.drift3.Along(a.drift3.length - 0.09, 0));
    p.setPen(QPen(TraceRed, 2));
    p.drawLine(tail, tip);
    const QPointF dir = (tip - tail) / std::hypot(tip.x() - tail.x(), tip.y() - tail.y());
    const QPointF nrm(-dir.y(), dir.x());
    p.setBrush(TraceRed);
    p.drawPolygon(QPolygonF({tip, tip - dir * 10 + nrm * 5, tip - dir * 10 - nrm * 5}));

    // Labels.
    DrawLabel(p, v(QPointF(-0.215, y0)), QString::fromUtf8("Ionforrás"), Qt::AlignRight, 14, true);
    DrawLabel(p, v(QPointF(-0.10, y0 + 0.105)), QString::fromUtf8("Blende1   Blende2"), Qt::AlignCenter, 11);
    DrawLabel(p, v(QPointF(0.0, -0.03)), QString::fromUtf8("Elektromos szűrő\n127.28°, R = 0.254 m"),
              Qt::AlignCenter, 13, true);
    DrawLabel(p, v(QPointF(0.17, 0.37)), QString::fromUtf8("1. drift\n0.44 m"), Qt::AlignLeft, 13, true);
    DrawLabel(p, v(QPointF(0.275, 0.215)), QString::fromUtf8("Blende3"), Qt::AlignLeft, 11);
    DrawLabel(p, v(a.magnet.centre + QPointF(0.0, 0.0)),
              QString::fromUtf8("Mágneses szűrő\n60°, r = 0.254 m"), Qt::AlignCenter, 13, true);
    DrawLabel(p, v(a.drift2.Along(a.drift2.length / 2, 0.20)), QString::fromUtf8("2. drift\n0.44 m"),
              Qt::AlignCenter, 13, true);
    DrawLabel(p, v(a.drift3.Along(a.drift3.length / 2, 0.22)), QString::fromUtf8("3. drift\n0.3 m"),
              Qt::AlignCenter, 13, true);
    DrawLabel(p, v(a.drift3.Along(a.drift3.length + 0.01, 0.22)), QString::fromUtf8("fal"),
              Qt::AlignCenter, 12);
    DrawFrame(p, img);
    return img;
}

// Figure 2: first-order focusing in the cylindrical analyser, offsets against
// the deflection angle.
QImage EsaFocusFigure()
{
    QImage img = NewFigure(640, 220);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double k = std::sqrt(2.0), phiE = M_PI / k;
    const double left = 70, right = 560, mid = 95, half = 60;   // plates at mid ± half
    auto X = [&](double phi) { return left + (right - left) * phi / phiE; };
    auto Y = [&](double x) { return mid - half * x; };   // x > 0 drawn upwards

    p.fillRect(QRectF(left, mid - half, right - left, 2 * half), EsaColour);
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(QPointF(left, mid - half), QPointF(right, mid - half));
    p.drawLine(QPointF(left, mid + half), QPointF(right, mid + half));
    p.setPen(QPen(QColor(140, 140, 140), 1));
    p.drawLine(QPointF(left, mid - half), QPointF(left, mid + half));
    p.drawLine(QPointF(right, mid - half), QPointF(right, mid + half));

    // The exit aperture.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(QRectF(right + 1, mid - half, 6, half - 14));
    p.drawRect(QRectF(right + 1, mid + 14, 6, half - 14));

    p.setPen(QPen(TraceRed, 1.2, Qt::DashLine));
    p.drawLine(QPointF(left - 30, mid), QPointF(right + 40, mid));

    auto ray = [&](double x0, double a0, double dE, Qt::PenStyle style) {
        QPainterPath path;
        const int n = 200;
        for (int i = 0; i <= n; ++i) {
            const double phi = phiE * i / n;
            const double x = x0 * std::cos(k * phi) + a0 / k * std::sin(k * phi)
                             + (1 - std::cos(k * phi)) * 0.5 * dE;
            const QPointF pt(X(phi), Y(x));
            if (i == 0)
                path.moveTo(pt);
            else
                path.lineTo(pt);
        }
        p.setPen(QPen(TraceRed, 1.6, style));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    };
    for (double a0 : {-0.8, -0.4, 0.4, 0.8})
        ray(0, a0, 0, Qt::SolidLine);
    ray(0, 0.4, 0.5, Qt::DashLine);
    ray(0, -0.4, 0.5, Qt::DashLine);

    // Angle axis.
    p.setPen(QPen(TextColour, 1));
    const double axisY = mid + half + 22;
    p.drawLine(QPointF(left, axisY), QPointF(right, axisY));
    p.setFont(FigureFont(12));
    for (double deg : {0.0, 30.0, 60.0, 90.0, 127.28}) {
        const double x = X(deg * M_PI / 180.0);
        p.drawLine(QPointF(x, axisY - 4), QPointF(x, axisY + 4));
        const QString t = deg == 127.28 ? QString::fromUtf8("127.28°")
                                        : QString::number(int(deg)) + QString::fromUtf8("°");
        p.drawText(QRectF(x - 40, axisY + 5, 80, 16), Qt::AlignCenter, t);
    }
    DrawLabel(p, QPointF((left + right) / 2, axisY + 34), QString::fromUtf8("elfordulás szöge, φ"),
              Qt::AlignCenter, 12);
    DrawLabel(p, QPointF(left + 8, mid - half - 12), QString::fromUtf8("lemez"), Qt::AlignLeft, 12);
    DrawLabel(p, QPointF(left + 8, mid + half + 10), QString::fromUtf8("lemez"), Qt::AlignLeft, 12);
    DrawLabel(p, QPointF(left - 8, mid - 14), QString::fromUtf8("belépés"), Qt::AlignRight, 12, true);
    DrawLabel(p, QPointF(right + 12, mid - 40), QString::fromUtf8("Blende3"), Qt::AlignLeft, 12, true);
    DrawLabel(p, QPointF(right + 12, mid + 34), QString::fromUtf8("kilépés"), Qt::AlignLeft, 12, true);
    DrawLabel(p, QPointF(X(0.45 * phiE), Y(0.84)), QString::fromUtf8("eltérő energia"), Qt::AlignCenter, 11);
    DrawFrame(p, img);
    return img;
}

// Figure 3: a detector laid through three points in drifts 2 and 3.
QImage DetectorFigure()
{
    QImage img = NewFigure(640, 300);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const Apparatus a;
    // World x from -1.06 to -0.26, y from 0.33 to 0.69.
    const WorldView v{740.0, QPointF(24 + 1.06 * 740.0, 16 - 0.33 * 740.0)};
    DrawApparatus(p, v, a);

    // Three example points across the beam, the first in drift 2 and the other two
    // in drift 3 (which begins 0.44 m along drift 2's axis), and the parabola
    // x = f(y) through them.
    const Drift &d2 = a.drift2;
    const QPointF pts[3] = {v(d2.Along(0.41, 0.11)), v(d2.Along(0.49, 0.0)), v(d2.Along(0.57, -0.10))};
    const double x1 = pts[0].x(), y1 = pts[0].y(), x2 = pts[1].x(), y2 = pts[1].y();
    const double x3 = pts[2].x(), y3 = pts[2].y();
    const double b = (x2 - x1) / (y2 - y1);
    const double c = ((x3 - x1) - (y3 - y1) * b) / ((y3 - y1) * (y3 - y2));
    auto f = [&](double y) { return x1 + (y - y1) * b + (y - y1) * (y - y2) * c; };

    QPainterPath inside;
    inside.addPolygon(v.Transform().map(a.drift2.Outline()));
    inside.addPolygon(v.Transform().map(a.drift3.Outline()));
    inside.setFillRule(Qt::WindingFill);
    // Shrink the clip by the wall thickness so the curve stops at the walls.
    QPainterPathStroker stroker;
    stroker.setWidth(6);
    const QPainterPath clip = inside.subtracted(stroker.createStroke(inside));

    QPainterPath curve;
    const double yTop = std::min({y1, y2, y3}) - 140, yBottom = std::max({y1, y2, y3}) + 140;
    for (double y = yTop; y <= yBottom; y += 1.0) {
        if (y == yTop)
            curve.moveTo(f(y), y);
        else
            curve.lineTo(f(y), y);
    }
    p.save();
    p.setClipPath(clip);
    p.setPen(QPen(DetectorColour, 6, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(curve);
    p.restore();

    // The two ends: the first and last sample that lies inside.
    QPointF upper, lower;
    bool haveUpper = false;
    for (double y = yTop; y <= yBottom; y += 0.5) {
        const QPointF q(f(y), y);
        if (clip.contains(q)) {
            if (!haveUpper) {
                upper = q;
                haveUpper = true;
            }
            lower = q;
        }
    }
    if (haveUpper) {
        p.setPen(QPen(TextColour, 1.2, Qt::DotLine));
        p.drawLine(upper, lower);
        DrawTag(p, upper + QPointF(14, 10), QString::fromUtf8("felső vég: 0. csatorna"));
        DrawTag(p, lower + QPointF(14, -10), QString::fromUtf8("alsó vég: 1000. csatorna"));
    }

    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(0, 0, 255));
        p.drawEllipse(pts[i], 4.5, 4.5);
        DrawTag(p, pts[i] + QPointF(12, 0), QString::fromUtf8("Pont #%1").arg(i + 1));
    }
    DrawLabel(p, v(a.drift2.Along(0.22, 0.0)), QString::fromUtf8("2. drift"), Qt::AlignCenter, 13, true);
    DrawLabel(p, v(a.drift3.Along(0.26, 0.0)), QString::fromUtf8("3. drift"), Qt::AlignCenter, 13, true);
    DrawLabel(p, v(a.magnet.At(a.magnet.angle * 0.6, a.magnet.radius)), QString::fromUtf8("mágnes"),
              Qt::AlignCenter, 12, true);
    DrawFrame(p, img);
    return img;
}

// Figure 4: one spectrum panel with cursor and region of interest.
QImage ChartFigure()
{
    QImage img = NewFigure(640, 320);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(img.rect(), Teal);

    auto group = [&](QRectF r, const QString &title) {
        p.setPen(QPen(QColor(220, 235, 235), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r);
        p.setFont(FigureFont(12, true));
        const QRectF t(r.left() + 8, r.top() - 8, QFontMetricsF(p.font()).horizontalAdvance(title) + 6, 16);
        p.fillRect(t, Teal);
        p.setPen(Qt::white);
        p.drawText(t, Qt::AlignCenter, title);
    };
    auto field = [&](QRectF r, const QString &text, bool input) {
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(input ? QColor(192, 220, 192) : QColor(Qt::white));
        p.drawRect(r);
        p.setPen(Qt::black);
        p.setFont(FigureFont(12));
        p.drawText(r.adjusted(3, 0, -4, 0), Qt::AlignVCenter | Qt::AlignRight, text);
    };
    auto button = [&](QRectF r, const QString &text) {
        p.setPen(QPen(QColor(80, 80, 80), 1));
        p.setBrush(QColor(225, 225, 225));
        p.drawRect(r);
        p.setPen(Qt::black);
        p.setFont(FigureFont(12));
        p.drawText(r, Qt::AlignCenter, text);
    };
    auto label = [&](QPointF at, const QString &text) {
        p.setPen(Qt::white);
        p.setFont(FigureFont(12, true));
        p.drawText(QRectF(at.x(), at.y(), 60, 20), Qt::AlignVCenter | Qt::AlignLeft, text);
    };

    group(QRectF(10, 14, 150, 36), QString::fromUtf8("Y-Max"));
    field(QRectF(18, 24, 60, 20), QString::fromUtf8("100"), true);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(90, 28, 12, 12));
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(QPointF(92, 34), QPointF(95, 38));
    p.drawLine(QPointF(95, 38), QPointF(100, 29));
    label(QPointF(106, 24), QString::fromUtf8("Auto"));

    // As the program lays the column out: the cursor boxes stacked, the ROI bounds
    // under their labels, and after an evaluation the results filled in while
    // "Számíts!" is hidden until a bound is set again.
    group(QRectF(10, 62, 150, 60), QString::fromUtf8("Cursor"));
    label(QPointF(16, 70), QString::fromUtf8("X:"));
    field(QRectF(38, 70, 114, 20), QString::fromUtf8("512"), false);
    label(QPointF(16, 96), QString::fromUtf8("Y:"));
    field(QRectF(38, 96, 114, 20), QString::fromUtf8("46"), false);

    group(QRectF(10, 134, 150, 142), QString::fromUtf8("ROI"));
    label(QPointF(16, 140), QString::fromUtf8("X1:"));
    field(QRectF(16, 158, 64, 20), QString::fromUtf8("480"), false);
    label(QPointF(88, 140), QString::fromUtf8("X2:"));
    field(QRectF(88, 158, 64, 20), QString::fromUtf8("530"), false);
    button(QRectF(16, 182, 64, 20), QString::fromUtf8("Set"));
    button(QRectF(88, 182, 64, 20), QString::fromUtf8("Set"));
    label(QPointF(16, 228), QString::fromUtf8("Bruttó:"));
    field(QRectF(72, 228, 80, 20), QString::fromUtf8("1440"), false);
    label(QPointF(16, 252), QString::fromUtf8("Közép:"));
    field(QRectF(72, 252, 80, 20), QString::fromUtf8("504.6076"), false);

    button(QRectF(10, 286, 150, 26), QString::fromUtf8("Törlés"));

    // The chart.
    const QRectF chart(172, 8, 458, 282);
    p.fillRect(chart, QColor(255, 255, 170));
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(chart);
    p.setPen(TextColour);
    p.setFont(FigureFont(12, true));
    p.drawText(QRectF(chart.left(), chart.top() + 4, chart.width(), 16), Qt::AlignCenter,
               QString::fromUtf8("Beérkezett részecskék a detektorra"));
    const QRectF plot(chart.left() + 50, chart.top() + 28, chart.width() - 66, chart.height() - 60);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(plot);
    p.setFont(FigureFont(11));
    for (int c = 0; c <= 1000; c += 200) {
        const double x = plot.left() + plot.width() * c / 1000.0;
        p.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 4));
        p.drawText(QRectF(x - 25, plot.bottom() + 5, 50, 14), Qt::AlignCenter, QString::number(c));
    }
    for (int n = 0; n <= 100; n += 20) {
        const double y = plot.bottom() - plot.height() * n / 100.0;
        p.drawLine(QPointF(plot.left() - 4, y), QPointF(plot.left(), y));
        p.drawText(QRectF(plot.left() - 34, y - 7, 28, 14), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(n));
    }
    p.save();
    p.translate(chart.left() + 12, plot.center().y());
    p.rotate(-90);
    p.setFont(FigureFont(12, true));
    p.drawText(QRectF(-60, -8, 120, 16), Qt::AlignCenter, QString::fromUtf8("Részecskeszám"));
    p.restore();

    // A main peak and a small neighbour.
    auto counts = [](int c) {
        auto g = [](double c, double m, double s, double h) { return h * std::exp(-0.5 * (c - m) * (c - m) / (s * s)); };
        return std::floor(g(c, 504.6, 9, 64) + g(c, 610, 9, 13) + 0.5);
    };
    QPainterPath spectrum;
    for (int c = 0; c <= 1000; c += 2) {
        const QPointF pt(plot.left() + plot.width() * c / 1000.0, plot.bottom() - plot.height() * counts(c) / 100.0);
        if (c == 0)
            spectrum.moveTo(pt);
        else
            spectrum.lineTo(pt);
    }
    p.setPen(QPen(DetectorColour, 1.5));
    p.drawPath(spectrum);

    // Region of interest under the chart, and the cursor.
    const double x480 = plot.left() + plot.width() * 480 / 1000.0;
    const double x530 = plot.left() + plot.width() * 530 / 1000.0;
    p.fillRect(QRectF(x480, chart.bottom() + 1, x530 - x480, 12), QColor(0, 255, 0));
    const double x512 = plot.left() + plot.width() * 512 / 1000.0;
    p.fillRect(QRectF(x512, plot.top(), 2, plot.height()), QColor(255, 0, 0));

    p.setPen(Qt::white);
    p.setFont(FigureFont(12, true));
    p.drawText(QRectF(x530 + 6, chart.bottom() + 1, 200, 14), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8("← ROI: 480 … 530"));
    p.setPen(TextColour);
    p.drawText(QRectF(x512 + 6, plot.top() + 4, 120, 14), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8("kurzor"));
    return img;
}

// ---------------------------------------------------------------------------
// Text layout.

QString LoadPageHtml(int page)
{
    InitHelpResources();
    QFile file(page == 0 ? QStringLiteral(":/help/elmelet.html") : QStringLiteral(":/help/hasznalat.html"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString StyleSheet(int base)
{
    auto px = [&](double f) { return QString::number(std::lround(base * f)); };
    return QStringLiteral(
               "body { color: #1a1a1a; }"
               "h1 { color: #008080; font-size: %1px; font-weight: bold; margin-top: 0px; margin-bottom: %5px; }"
               "h2 { color: #008080; font-size: %2px; font-weight: bold; margin-top: %6px; margin-bottom: %7px; }"
               "h3 { color: #008080; font-size: %3px; font-weight: bold; margin-top: %7px; margin-bottom: %8px; }"
               "p { margin-top: 0px; margin-bottom: %7px; }"
               "p.formula { margin-left: 36px; margin-top: 2px; margin-bottom: %7px; }"
               "p.caption { font-size: %4px; font-style: italic; color: #404040; margin-left: 20px; margin-right: 20px; margin-bottom: %6px; }"
               "p.figure { margin-top: %8px; margin-bottom: %8px; }"
               "li { margin-bottom: %8px; }"
               "pre { font-family: 'Liberation Mono'; font-size: %4px; margin-left: 24px; margin-bottom: %7px; }"
               "table.list { border-color: #8cc4c4; border-style: solid; border-collapse: collapse; margin-bottom: %7px; }"
               "table.list td { border-color: #8cc4c4; border-style: solid; }")
        .arg(px(1.75), px(1.35), px(1.12), px(0.9), px(0.7), px(1.2), px(0.5), px(0.3));
}

constexpr int PageMargin = 16;

// The figures do not depend on the type size: draw each once per pixel ratio.
const QImage &CachedFigure(const char *name, qreal ratio)
{
    static std::map<std::pair<std::string, qreal>, QImage> figures;
    const auto key = std::make_pair(std::string(name), ratio);
    auto it = figures.find(key);
    if (it == figures.end()) {
        g_figureRatio = ratio;
        it = figures.emplace(key, RenderHelpFigure(QString::fromLatin1(name))).first;
        g_figureRatio = 1.0;
    }
    return it->second;
}

// A document holding the page's text and figures at a base type size.
struct PageDocument {
    QTextDocument doc;

    PageDocument(const QString &html, int base, qreal ratio = 1.0)
    {
        QFont font(FontFamily);
        font.setPixelSize(base);
        font.setStyleHint(QFont::SansSerif);
        doc.setDefaultFont(font);
        doc.setDocumentMargin(PageMargin);
        doc.setDefaultStyleSheet(StyleSheet(base));
        QString sized = html;
        for (const char *name : {"beampath", "esafocus", "detector", "chart"}) {
            const QString url = QStringLiteral("figure:") + QLatin1String(name);
            const QImage &figure = CachedFigure(name, ratio);
            doc.addResource(QTextDocument::ImageResource, QUrl(url), QVariant(figure));
            // The figure's size in the page's own pixels, whatever its pixel ratio.
            const QSize size = figure.deviceIndependentSize().toSize();
            sized.replace(QStringLiteral("<img src=\"%1\">").arg(url),
                          QStringLiteral("<img src=\"%1\" width=\"%2\" height=\"%3\">")
                              .arg(url)
                              .arg(size.width())
                              .arg(size.height()));
        }
        doc.setHtml(sized);
        doc.setTextWidth(HelpPageWidth);
    }

    // Line spacing of every text block, in percent of the natural spacing.
    // Blocks holding a figure keep their own height.
    void SetLineSpacing(int percent)
    {
        QTextBlockFormat fmt;
        fmt.setLineHeight(percent, QTextBlockFormat::ProportionalHeight);
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
            if (b.text().contains(QChar::ObjectReplacementCharacter))
                continue;
            QTextCursor cursor(b);
            cursor.mergeBlockFormat(fmt);
        }
    }

    int Height() const { return static_cast<int>(std::ceil(doc.size().height())); }
};

// The text is fitted to the page: the largest type size between these bounds
// that fits, then the most generous line spacing that still fits.
constexpr int MinBase = 11;
constexpr int MaxBase = 16;
constexpr int MinSpacing = 100;
constexpr int MaxSpacing = 150;

} // namespace

QImage RenderHelpFigure(const QString &name)
{
    if (name == QLatin1String("beampath"))
        return BeamPathFigure();
    if (name == QLatin1String("esafocus"))
        return EsaFocusFigure();
    if (name == QLatin1String("detector"))
        return DetectorFigure();
    if (name == QLatin1String("chart"))
        return ChartFigure();
    return QImage();
}

HelpPageFit FitHelpPage(int page)
{
    HelpPageFit fit;
    if (page < 0 || page >= HelpPageCount)
        return fit;
    const QString html = LoadPageHtml(page);
    const int target = HelpPageNominalHeight[page];
    auto height = [&](int base, int spacing) {
        PageDocument d(html, base);
        d.SetLineSpacing(spacing);
        return d.Height();
    };

    fit.typeSize = MinBase;
    for (int b = MaxBase; b >= MinBase; --b) {
        if (height(b, MinSpacing) <= target) {
            fit.typeSize = b;
            break;
        }
    }
    // The most generous line spacing that still fits, by bisection.
    int lo = MinSpacing, hi = MaxSpacing;
    if (height(fit.typeSize, MinSpacing) > target)
        hi = MinSpacing;   // nothing fits: the page grows
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (height(fit.typeSize, mid) <= target)
            lo = mid;
        else
            hi = mid - 1;
    }
    fit.lineSpacing = lo;
    fit.textHeight = height(fit.typeSize, lo);
    fit.pageHeight = std::max(target, fit.textHeight);
    return fit;
}

QImage RenderHelpPage(int page, qreal ratio)
{
    if (page < 0 || page >= HelpPageCount)
        return QImage();
    const HelpPageFit fit = FitHelpPage(page);
    PageDocument d(LoadPageHtml(page), fit.typeSize, ratio);
    d.SetLineSpacing(fit.lineSpacing);
    // The space below the text stays white.
    QImage image(QSize(HelpPageWidth, fit.pageHeight) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    d.doc.drawContents(&painter);
    painter.end();
    return image;
}

const QImage &HelpPageImage(int page)
{
    static const QImage none;
    static std::array<QImage, HelpPageCount> pages;
    if (page < 0 || page >= HelpPageCount)
        return none;
    if (pages[page].isNull())
        pages[page] = RenderHelpPage(page);
    return pages[page];
}

const QImage &HelpPageImage(int page, qreal ratio)
{
    if (ratio <= 1.0)
        return HelpPageImage(page);
    static const QImage none;
    // Only the ratio of the screen in use is kept: a page of 5838 rows at 2x is 55 MB.
    static std::array<QImage, HelpPageCount> pages;
    if (page < 0 || page >= HelpPageCount)
        return none;
    if (pages[page].isNull() || pages[page].devicePixelRatio() != ratio)
        pages[page] = RenderHelpPage(page, ratio);
    return pages[page];
}
