#include "dialogs/ScreenFit.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

WindowFit FitWindow(const QRect &available, const QMargins &frame, const QSize &wanted, const QSize &smallest)
{
    WindowFit fit;
    const int roomW = available.width() - frame.left() - frame.right();
    const int roomH = available.height() - frame.top() - frame.bottom();
    const int w = wanted.width() <= roomW ? wanted.width() : std::max(roomW, smallest.width());
    const int h = wanted.height() <= roomH ? wanted.height() : std::max(roomH, smallest.height());
    fit.Client = QSize(w, h);
    fit.Shrunk = fit.Client != wanted;
    const int outerW = w + frame.left() + frame.right();
    const int outerH = h + frame.top() + frame.bottom();
    // Centred; a window larger than the area keeps its title bar and left edge in it.
    const int x = available.left() + std::max(0, (available.width() - outerW) / 2);
    const int y = available.top() + std::max(0, (available.height() - outerH) / 2);
    fit.FrameTopLeft = QPoint(x, y);
    return fit;
}

namespace ScreenFit {

namespace {
bool g_enabled = false;
}

void SetEnabled(bool on)
{
    g_enabled = on;
}

bool Enabled()
{
    return g_enabled;
}

QMargins FrameOf(const QWidget *window)
{
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    if (window->isVisible() && outer != inner)
        return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                        outer.bottom() - inner.bottom());
    // Not known before the window manager framed the window: a generous guess,
    // corrected as soon as the real frame is reported.
    const int title = std::max(30, window->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 8);
    return QMargins(4, title, 4, 4);
}

QRect AvailableArea(const QWidget *window)
{
    QScreen *s = window->screen();
    if (!s)
        s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1366, 768);
}

} // namespace ScreenFit
