// The page "Grafikonok": the cursor line with its keys, and the mouse on the
// charts (selection, cursor placement and the zoom rectangle).
#include "Main/charts/ChartsPage.h"

#include "Main/charts/ChartsPanel.h"
#include "Main/core/NumberText.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QRubberBand>
#include <QVariantAnimation>

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>


namespace {

constexpr int ZoomThreshold = 16; // a zoom rectangle must be wider and taller than this

// A channel number as the cursor box shows it; far outside any sensible range it
// is held at the 32-bit limits so it always reads back as a whole number.
QString ChannelText(double c)
{
    const double clamped = std::clamp(c, -2147483648.0, 2147483647.0);
    return QString::number(static_cast<qint64>(clamped));
}

} // namespace

// ---------------------------------------------------------------------------------
// Cursor

void TChartsPage::PlaceCursor(int s)
{
    if (s != 1 && s != 2)
        return;
    PanelControls &p = P(s);
    const std::optional<int32_t> x = ParseInt(Std(p.cursorX->text()));
    if (!x)
        return;
    const QRect plot = PlotRect(s);
    const double lo = XMin(s), hi = XMax(s);
    if (!(hi > lo))
        return;
    const double offset = RoundHalfEven((*x - lo) * plot.width() / (hi - lo));
    const int left = plot.left() + static_cast<int>(std::clamp(offset, -1e6, 1e6));
    p.cursorLine->setGeometry(left, plot.top(), 2, plot.height());
    p.cursorLine->show();
    p.cursorLine->raise();
}

bool TChartsPage::HandleKey(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers others =
        modifiers & ~(Qt::AltModifier | Qt::KeypadModifier);
    if (!(modifiers & Qt::AltModifier) || others)
        return false;
    return HandleAltKey(key);
}

bool TChartsPage::HandleAltKey(int key)
{
    if (key != Qt::Key_Left && key != Qt::Key_Right)
        return false;
    if (!isVisible())
        return false;
    const int s = m_selectedChart;
    PanelControls &p = P(s);
    const std::optional<int32_t> read = ParseInt(Std(p.cursorX->text()));
    if (!read)
        return true;
    int64_t c = *read;
    if (key == Qt::Key_Right) {
        if (c < XMax(s) && c < INT32_MAX)
            ++c;
    } else {
        if (c > XMin(s) && c > INT32_MIN)
            --c;
    }
    if (c == *read)
        return true;
    p.cursorX->setText(QString::number(c));
    p.cursorY->setText(QStringLiteral("0"));
    if (c >= 0 && c <= LastChannel)
        p.cursorY->setText(Text(FormatGeneral(m_spectra.Count(s, int(c)))));
    PlaceCursor(s);
    return true;
}

// ---------------------------------------------------------------------------------
// Mouse: selection, cursor placement, zoom

void TChartsPage::Chart1MouseDown(QMouseEvent *e)
{
    const int s = TagOf(sender());
    if (!s || e->button() != Qt::LeftButton || !(e->modifiers() & Qt::AltModifier))
        return;
    StopZoomAnimation();
    PanelControls &p = P(s);
    m_altDragging = true;
    p.zooming = true;
    p.zoomStart = e->position().toPoint();
    p.band->setGeometry(QRect(p.zoomStart, QSize()));
}

void TChartsPage::Chart1MouseMove(QMouseEvent *e)
{
    const int s = TagOf(sender());
    if (!s)
        return;
    PanelControls &p = P(s);
    if (m_altDragging && (e->modifiers() & Qt::AltModifier) && !p.zoomDragged) {
        p.zoomDragged = true;
        SetBackground(s, ChartDragging);
    }
    if (p.zooming) {
        p.band->setGeometry(QRect(p.zoomStart, e->position().toPoint()).normalized());
        p.band->show();
    }
}

void TChartsPage::Chart1MouseUp(QMouseEvent *e)
{
    const int s = TagOf(sender());
    if (!s)
        return;
    m_altDragging = false;
    if (e->button() != Qt::LeftButton)
        return;
    PanelControls &p = P(s);
    const QPoint pos = e->position().toPoint();
    // A click (press and release on the chart) selects it before anything else.
    if (p.chart->rect().contains(pos))
        SelectChart(s);
    SetBackground(s, ChartSelected);

    const bool zooming = p.zooming;
    p.zooming = false;
    p.band->hide();
    if (p.zoomDragged) {
        p.zoomDragged = false;
    } else {
        const QRect plot = PlotRect(s);
        const double lo = XMin(s), hi = XMax(s);
        if (plot.width() > 0) {
            double c = RoundHalfEven((pos.x() - plot.left()) * (hi - lo) / plot.width() + lo);
            if (c < lo)
                c = RoundHalfEven(lo);
            if (c > hi)
                c = RoundHalfEven(hi);
            p.cursorX->setText(ChannelText(c));
            PlaceCursor(s);
        }
    }
    if (!zooming)
        return;
    const QPoint d = pos - p.zoomStart;
    if (std::abs(d.x()) <= ZoomThreshold || std::abs(d.y()) <= ZoomThreshold)
        return;
    if (d.x() > 0 && d.y() > 0)
        StartZoom(s, p.chart->xAxis->pixelToCoord(p.zoomStart.x()),
                  p.chart->xAxis->pixelToCoord(pos.x()));
    else
        UndoZoom(s);
}

void TChartsPage::StartZoom(int s, double lo, double hi)
{
    PanelControls &p = P(s);
    QCPAxis *x = p.chart->xAxis;
    QCPAxis *y = p.chart->yAxis;
    if (!p.zoomed) {
        p.zoomed = true;
        p.savedXLo = x->range().lower;
        p.savedXHi = x->range().upper;
        p.savedYLo = y->range().lower;
        p.savedYHi = y->range().upper;
        p.savedAutoMax = p.autoMax;
    }
    // Whole channels, at least 10 of them. Both ends are worked out first and set
    // together: in a very deep zoom the rounded top can fall below the unrounded
    // bottom, which the axis would refuse if the ends were set one by one.
    double newHi = RoundHalfEven(hi);
    const double newLo = RoundHalfEven(lo);
    if (newHi - newLo < 10)
        newHi = newLo + 10;
    if (s == 1 && m_zoomAnimationMs > 0) {
        m_animatingChart = 1;
        m_zoomAnimation->setDuration(m_zoomAnimationMs);
        m_zoomAnimation->setStartValue(QPointF(x->range().lower, x->range().upper));
        m_zoomAnimation->setEndValue(QPointF(newLo, newHi));
        m_zoomAnimation->start();
        return;
    }
    x->setRange(newLo, newHi);
    FinishZoom(s);
}

// What follows a zoom once the channel axis has its final range.
void TChartsPage::FinishZoom(int s)
{
    PanelControls &p = P(s);
    PlaceCursor(s);
    // The zoom acts on the channels only: the Y axis goes back to the Y-Max box.
    p.autoMax = false;
    const std::optional<double> top = ParseFloat(Std(p.yMax->text()));
    if (top && *top > 0 && std::isfinite(*top))
        SetYRange(s, 0, *top);
    else
        SetYRange(s, 0, p.chart->yAxis->range().upper);
    PlaceRoiMark(s);
    RequestDraw(s);
}

void TChartsPage::UndoZoom(int s)
{
    StopZoomAnimation();
    PanelControls &p = P(s);
    if (p.zoomed) {
        p.zoomed = false;
        p.chart->xAxis->setRange(p.savedXLo, p.savedXHi);
        p.chart->yAxis->setRange(p.savedYLo, p.savedYHi);
        p.autoMax = p.savedAutoMax;
        RequestDraw(s);
    }
    PlaceCursor(s);
}

void TChartsPage::StopZoomAnimation()
{
    const int s = m_animatingChart;
    if (!s)
        return;
    m_animatingChart = 0;
    m_zoomAnimation->stop();
    const QPointF r = m_zoomAnimation->endValue().toPointF();
    P(s).chart->xAxis->setRange(r.x(), r.y());
    FinishZoom(s);
}

bool TChartsPage::IsZoomAnimating() const
{
    return m_animatingChart != 0;
}
