#pragma once
// Fitting a window of a fixed size to the screen it opens on: a school laptop's
// 1366 x 768, or a larger screen at 125 to 200 % scaling, leaves less room than
// the window was drawn for. The rule itself is a pure function of the sizes.
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

struct WindowFit {
    QSize Client;          // the window without its frame
    QPoint FrameTopLeft;   // where the frame's top-left corner goes
    bool Shrunk = false;   // smaller than wanted: what is inside must scroll
};

// `available`: the screen's work area (taskbar excluded), in the window system's
// logical pixels; `frame`: the title bar and borders the window manager adds;
// `wanted`: the window's own size. When the framed window fits, its size stays
// exactly as wanted; otherwise each side that does not fit takes the largest
// size that does (never below `smallest`). The frame is placed inside the area,
// centred, with its title bar never above the area's top.
WindowFit FitWindow(const QRect &available, const QMargins &frame, const QSize &wanted,
                    const QSize &smallest = QSize(320, 240));

namespace ScreenFit {

// The program fits its windows to the screen; the tests that pin the drawn
// geometry on a small virtual screen leave this off.
void SetEnabled(bool on);
bool Enabled();

// The frame of a top-level window: the one the window manager reports once the
// window is shown, otherwise a typical title bar and border.
QMargins FrameOf(const QWidget *window);

// The work area of the screen the window is on (or will open on).
QRect AvailableArea(const QWidget *window);

} // namespace ScreenFit
