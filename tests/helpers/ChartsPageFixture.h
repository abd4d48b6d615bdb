#pragma once
// The page "Grafikonok" as the main window has it after creation and
// identification, driven offscreen through its real widgets; shared by the
// page's tests (test_charts_page, _scale, _cursor, _roi).
#include "Main/charts/ChartsPage.h"
#include "dialogs/Mymsg.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <qcustomplot.h>

#include <cmath>
#include <memory>
#include <utility>

namespace ChartsPageTest {

inline const QColor White(255, 255, 255);
inline const QColor PaleYellow(255, 255, 170);
inline const QColor Grey(128, 128, 128);

// Lets the queued redraws (and the redraws they queue) run.
inline void Flush()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

// The page as the main window has it after creation and identification.
struct Fixture {
    Spectra spectra;
    std::array<RoiData, 2> roi{};
    std::unique_ptr<TChartsPage> page;

    explicit Fixture(int animationMs = 0)
    {
        page = std::make_unique<TChartsPage>(spectra, roi);
        page->SetZoomAnimationMs(animationMs);
        page->SetupAtCreation();
        page->show();
        page->activateWindow();
        if (!QTest::qWaitForWindowExposed(page.get()))
            qWarning("page not exposed");
        if (!QTest::qWaitForWindowActive(page.get()))
            qWarning("page not active");
        page->PlaceCursor(2);
        page->PlaceCursor(1);
        page->SetRoiX1FromCursor(1);
        page->SetRoiX1FromCursor(2);
        Flush();
    }

    QCustomPlot *chart(int s) const { return page->Chart(s); }

    // The column of channel c on chart s, as the axis maps it.
    double Column(int s, double c) const
    {
        const QRect plot = page->PlotRect(s);
        return plot.left() + (c - page->XMin(s)) * plot.width() / (page->XMax(s) - page->XMin(s));
    }
    int MidRow(int s) const { return page->PlotRect(s).center().y(); }

    void Click(int s, int x, int y = -1)
    {
        QTest::mouseClick(chart(s), Qt::LeftButton, Qt::NoModifier,
                          QPoint(x, y < 0 ? MidRow(s) : y));
        Flush();
    }

    // An Alt+left drag from `from` to `to` on chart s, moving in a few steps.
    void AltDrag(int s, QPoint from, QPoint to, Qt::KeyboardModifiers moveMods = Qt::AltModifier)
    {
        QTest::mousePress(chart(s), Qt::LeftButton, Qt::AltModifier, from);
        for (int i = 1; i <= 4; ++i)
            Move(s, from + (to - from) * i / 4, moveMods);
        QTest::mouseRelease(chart(s), Qt::LeftButton, Qt::AltModifier, to);
        Flush();
    }

    void Move(int s, QPoint to, Qt::KeyboardModifiers mods)
    {
        QWidget *w = chart(s);
        QMouseEvent e(QEvent::MouseMove, QPointF(to), QPointF(w->mapToGlobal(to)), Qt::NoButton,
                      Qt::LeftButton, mods);
        QApplication::sendEvent(w, &e);
    }

    // Where the cursor line of chart s stands for channel c.
    int CursorColumn(int s, double c) const
    {
        const QRect plot = page->PlotRect(s);
        return plot.left() + int(std::nearbyint((c - page->XMin(s)) * plot.width() /
                                                (page->XMax(s) - page->XMin(s))));
    }

    // Zooms chart s by an Alt+drag from the column of channel lo to that of hi and
    // returns the range the zoom must give: both ends rounded, at least 10 channels.
    std::pair<double, double> Zoom(int s, double lo, double hi)
    {
        const QRect plot = page->PlotRect(s);
        const int x0 = int(std::lround(Column(s, lo)));
        const int x1 = int(std::lround(Column(s, hi)));
        const double a = std::nearbyint(chart(s)->xAxis->pixelToCoord(x0));
        double b = std::nearbyint(chart(s)->xAxis->pixelToCoord(x1));
        if (b - a < 10)
            b = a + 10;
        AltDrag(s, QPoint(x0, plot.top() + 10), QPoint(x1, plot.top() + 80));
        return {a, b};
    }

    // Puts the cursor of chart s on channel c: a click near it, then Alt+arrows.
    void SetCursor(int s, int c)
    {
        Click(s, int(std::lround(Column(s, c))));
        for (int guard = 0; guard < 50; ++guard) {
            const int now = page->CursorXBox(s)->text().toInt();
            if (now == c)
                break;
            page->HandleAltKey(now < c ? Qt::Key_Right : Qt::Key_Left);
        }
        QCOMPARE(page->CursorXBox(s)->text(), QString::number(c));
    }

    void Add(int s, int c, int n)
    {
        for (int i = 0; i < n; ++i)
            spectra.AddCount(s, c);
    }
};

// Answers the next modal message box with one of its buttons. The title and the
// lines it showed are kept for the test; an unexpected window is closed.
struct BoxAnswer {
    QString title;
    QStringList lines;
    bool seen = false;
};

inline void AnswerBox(int button, BoxAnswer *answer)
{
    QTimer::singleShot(0, [button, answer] {
        QWidget *w = QApplication::activeModalWidget();
        auto *box = qobject_cast<TSMsg *>(w);
        if (!box) {
            if (w)
                w->close();
            return;
        }
        answer->seen = true;
        answer->title = box->windowTitle();
        answer->lines = box->Lines();
        box->Button(button)->click();
    });
}

inline QColor PixelOf(QWidget *w, QPoint p)
{
    return w->grab().toImage().pixelColor(p);
}

} // namespace ChartsPageTest
