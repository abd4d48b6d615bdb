// The help window: its two pages, the view that shows a window of 825 rows of
// the page, and scrolling by the bar, the wheel and dragging.
#include "dialogs/HelpPages.h"
#include "dialogs/SugoD.h"

#include <QApplication>
#include <QFrame>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest>

namespace {

const QString Title0 = QString::fromUtf8("Súgó (Elmélet + feladatok)");
const QString Title1 = QString::fromUtf8("Súgó (A program használata)");

// Sends one wheel event straight to `target` at `pos` (in target coordinates).
bool Wheel(QWidget *target, QPoint pos, int delta)
{
    QWheelEvent ev(QPointF(pos), QPointF(target->mapToGlobal(pos)), QPoint(0, 0), QPoint(0, delta),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &ev);
    return ev.isAccepted();
}

void Mouse(QWidget *target, QEvent::Type type, int y, Qt::MouseButton button, Qt::MouseButtons buttons,
           Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    const QPointF pos(300, y);
    QMouseEvent ev(type, pos, target->mapToGlobal(pos), button, buttons, mods);
    QApplication::sendEvent(target, &ev);
}

void Press(QWidget *v, int y, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    Mouse(v, QEvent::MouseButtonPress, y, Qt::LeftButton, Qt::LeftButton, mods);
}

void Move(QWidget *v, int y, Qt::MouseButtons buttons = Qt::LeftButton, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    Mouse(v, QEvent::MouseMove, y, Qt::NoButton, buttons, mods);
}

void Release(QWidget *v, int y)
{
    Mouse(v, QEvent::MouseButtonRelease, y, Qt::LeftButton, Qt::NoButton);
}

// Whether the view shows rows first .. first + 824 of the page, pixel for pixel.
bool ViewShowsRows(const THelpDlg &dlg, int first)
{
    const QImage expected = dlg.PageImage().copy(0, first, THelpDlg::ViewWidth, THelpDlg::ViewHeight)
                                .convertToFormat(QImage::Format_RGB32);
    if (dlg.ViewImage().convertToFormat(QImage::Format_RGB32) != expected)
        return false;
    const QImage shown = dlg.Image1()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return shown == expected;
}

int CountNear(const QImage &img, QColor c, int tolerance)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor p = img.pixelColor(x, y);
            if (std::abs(p.red() - c.red()) <= tolerance && std::abs(p.green() - c.green()) <= tolerance
                && std::abs(p.blue() - c.blue()) <= tolerance)
                ++n;
        }
    return n;
}

} // namespace

class TestHelpViewer : public QObject
{
    Q_OBJECT
private slots:
    void pagesAndFigures();
    void createdHiddenOnPageZero();
    void layout();
    void showPageResetsPositionAndTitle();
    void viewFollowsScrollBar();
    void wheelOverViewFrameAndBackground();
    void wheelNotHandledOverScrollBarOrButton();
    void dragScrollsAgainstTheMouse();
    void dragNeedsLeftButtonAlone();
    void okHides();
};

void TestHelpViewer::pagesAndFigures()
{
    const int heights[] = {2336, 5838};
    for (int p = 0; p < HelpPageCount; ++p) {
        const QImage &img = HelpPageImage(p);
        QCOMPARE(img.width(), 688);
        QCOMPARE(img.height(), heights[p]);
        QCOMPARE(img.depth(), 32);
        // The text fits the page at a readable size.
        const HelpPageFit fit = FitHelpPage(p);
        QVERIFY(fit.typeSize >= 12);
        QVERIFY(fit.textHeight <= heights[p]);
        QCOMPARE(fit.pageHeight, heights[p]);
        // White page, teal headings, dark text.
        QCOMPARE(img.pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(img.pixelColor(687, heights[p] - 1), QColor(Qt::white));
        QVERIFY(CountNear(img.copy(0, 0, 688, 60), QColor(0, 128, 128), 24) > 200);
        QVERIFY(CountNear(img, QColor(26, 26, 26), 30) > 20000);
        // Text reaches close to the bottom: the page is filled, not padded.
        QVERIFY(CountNear(img.copy(0, heights[p] - 300, 688, 300), QColor(26, 26, 26), 30) > 300);
    }
    QVERIFY(HelpPageImage(2).isNull());
    QVERIFY(HelpPageImage(-1).isNull());

    // The beam-path figure shows the elements in their apparatus colours.
    const QImage beam = RenderHelpFigure("beampath");
    QVERIFY(!beam.isNull());
    QVERIFY(CountNear(beam, QColor(255, 255, 208), 0) > 5000);   // analyser
    QVERIFY(CountNear(beam, QColor(166, 202, 240), 0) > 20000);  // drifts
    QVERIFY(CountNear(beam, QColor(0, 255, 255), 0) > 3000);     // magnet
    QVERIFY(CountNear(RenderHelpFigure("detector"), QColor(128, 0, 128), 0) > 500);
    QVERIFY(!RenderHelpFigure("esafocus").isNull());
    QVERIFY(!RenderHelpFigure("chart").isNull());
    QVERIFY(RenderHelpFigure("nincs").isNull());
    // The figures are part of page 0: its analyser colour comes from figure 1.
    QVERIFY(CountNear(HelpPageImage(0), QColor(255, 255, 208), 0) > 5000);
}

void TestHelpViewer::createdHiddenOnPageZero()
{
    THelpDlg dlg;
    QVERIFY(!dlg.isVisible());
    QVERIFY(!dlg.isModal());
    QCOMPARE(dlg.windowTitle(), QString::fromUtf8("Súgó"));
    QCOMPARE(dlg.HelpPage(), 0);
    QCOMPARE(dlg.ScrollPosition(), 0);
    QCOMPARE(dlg.DragAnchorY(), 0);
    // Nothing is rendered before the first opening, which keeps start-up short.
    QVERIFY(dlg.PageImage().isNull());
    dlg.ShowHelpPage(0);
    QCOMPARE(dlg.ScrollMaximum(), 1510);
    QCOMPARE(dlg.PageImage(), HelpPageImage(0));
    QVERIFY(ViewShowsRows(dlg, 0));
}

void TestHelpViewer::layout()
{
    THelpDlg dlg;
    QCOMPARE(dlg.size(), QSize(755, 886));
    QCOMPARE(dlg.palette().color(QPalette::Window), QColor(0, 128, 128));
    QCOMPARE(dlg.Image1()->size(), QSize(688, 825));
    // The view sits inside the sunken frame.
    QCOMPARE(dlg.Image1()->parentWidget(), static_cast<QWidget *>(dlg.ViewFrame()));
    QCOMPARE(dlg.ViewFrame()->frameShadow(), QFrame::Sunken);
    const QRect view(dlg.Image1()->mapTo(&dlg, QPoint(0, 0)), dlg.Image1()->size());
    const QRect frame = dlg.ViewFrame()->geometry();
    QVERIFY(frame.contains(view));
    QVERIFY(QRect(0, 0, 755, 886).contains(frame));
    // The scroll bar: right of the view, as high as it.
    QScrollBar *bar = dlg.ScrollBar1();
    QCOMPARE(bar->orientation(), Qt::Vertical);
    QCOMPARE(bar->geometry().top(), view.top());
    QCOMPARE(bar->height(), 825);
    QVERIFY(bar->geometry().left() > view.right());
    QVERIFY(bar->geometry().right() < 755);
    QCOMPARE(bar->pageStep(), 100);
    QCOMPARE(bar->singleStep(), 1);
    QCOMPARE(bar->minimum(), 0);
    // "OK": the default button, centred under the frame.
    QPushButton *ok = dlg.OkButton();
    QCOMPARE(ok->text(), QString("OK"));
    QVERIFY(ok->isDefault());
    QVERIFY(ok->geometry().top() > frame.bottom());
    QVERIFY(ok->geometry().bottom() < 886);
    QVERIFY(std::abs(ok->geometry().center().x() - frame.center().x()) <= 1);
}

void TestHelpViewer::showPageResetsPositionAndTitle()
{
    THelpDlg dlg;
    dlg.ShowHelpPage(0);
    QVERIFY(dlg.isVisible());
    QVERIFY(!dlg.isModal());
    QCOMPARE(dlg.windowTitle(), Title0);
    dlg.ScrollBar1()->setValue(800);
    Press(dlg.Image1(), 333);
    QCOMPARE(dlg.DragAnchorY(), 333);
    Release(dlg.Image1(), 333);

    // "A program használata" while page 0 stands at 800.
    dlg.ShowHelpPage(1);
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.HelpPage(), 1);
    QCOMPARE(dlg.ScrollPosition(), 0);
    QCOMPARE(dlg.ScrollMaximum(), 5012);
    QCOMPARE(dlg.DragAnchorY(), 0);
    QCOMPARE(dlg.windowTitle(), Title1);
    QCOMPARE(dlg.PageImage(), HelpPageImage(1));
    QVERIFY(ViewShowsRows(dlg, 0));

    // Choosing the page being shown goes back to its top as well.
    dlg.ScrollBar1()->setValue(4000);
    dlg.ShowHelpPage(1);
    QCOMPARE(dlg.ScrollPosition(), 0);
    QVERIFY(ViewShowsRows(dlg, 0));

    dlg.ShowHelpPage(0);
    QCOMPARE(dlg.ScrollMaximum(), 1510);
    QCOMPARE(dlg.windowTitle(), Title0);
    // A page number that does not exist changes nothing.
    dlg.ScrollBar1()->setValue(10);
    dlg.ShowHelpPage(2);
    QCOMPARE(dlg.HelpPage(), 0);
    QCOMPARE(dlg.ScrollPosition(), 10);
}

void TestHelpViewer::viewFollowsScrollBar()
{
    THelpDlg dlg;
    dlg.ShowHelpPage(0);
    // At the maximum the view shows rows 1510 .. 2334.
    dlg.ScrollBar1()->setValue(dlg.ScrollMaximum());
    QCOMPARE(dlg.ScrollPosition(), 1510);
    QVERIFY(ViewShowsRows(dlg, 1510));
    dlg.ScrollBar1()->setValue(100000);
    QCOMPARE(dlg.ScrollPosition(), 1510);

    dlg.ScrollBar1()->setValue(0);
    // A click in the trough pages by 100 rows, an arrow step moves 1 row.
    dlg.ScrollBar1()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(dlg.ScrollPosition(), 100);
    QVERIFY(ViewShowsRows(dlg, 100));
    dlg.ScrollBar1()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(dlg.ScrollPosition(), 101);
    QVERIFY(ViewShowsRows(dlg, 101));
    QTest::mouseClick(dlg.ScrollBar1(), Qt::LeftButton, Qt::NoModifier, QPoint(8, 800));
    QCOMPARE(dlg.ScrollPosition(), 201);
}

void TestHelpViewer::wheelOverViewFrameAndBackground()
{
    THelpDlg dlg;
    dlg.ShowHelpPage(0);
    QWidget *view = dlg.Image1();
    dlg.ScrollBar1()->setValue(500);

    // A notch toward the user shows 120 rows further down; away from the user, back up.
    QVERIFY(Wheel(view, QPoint(300, 400), -120));
    QCOMPARE(dlg.ScrollPosition(), 620);
    QVERIFY(ViewShowsRows(dlg, 620));
    QVERIFY(Wheel(view, QPoint(300, 400), 120));
    QCOMPARE(dlg.ScrollPosition(), 500);
    QVERIFY(Wheel(view, QPoint(10, 10), 240));
    QCOMPARE(dlg.ScrollPosition(), 260);

    // Limited at both ends, and still consumed there.
    dlg.ScrollBar1()->setValue(50);
    QVERIFY(Wheel(view, QPoint(300, 400), 120));
    QCOMPARE(dlg.ScrollPosition(), 0);
    QVERIFY(Wheel(view, QPoint(300, 400), 120));
    QCOMPARE(dlg.ScrollPosition(), 0);
    dlg.ScrollBar1()->setValue(1460);
    QVERIFY(Wheel(view, QPoint(300, 400), -120));
    QCOMPARE(dlg.ScrollPosition(), 1510);
    QVERIFY(ViewShowsRows(dlg, 1510));

    // Over the frame's edge and over the window's background.
    dlg.ScrollBar1()->setValue(500);
    QVERIFY(Wheel(dlg.ViewFrame(), QPoint(1, 300), -120));
    QCOMPARE(dlg.ScrollPosition(), 620);
    QVERIFY(Wheel(&dlg, QPoint(5, 5), 120));
    QCOMPARE(dlg.ScrollPosition(), 500);
    QVERIFY(Wheel(&dlg, QPoint(740, 880), -120));
    QCOMPARE(dlg.ScrollPosition(), 620);
}

void TestHelpViewer::wheelNotHandledOverScrollBarOrButton()
{
    THelpDlg dlg;
    dlg.ShowHelpPage(1);
    dlg.ScrollBar1()->setValue(500);

    // The scroll bar keeps its own wheel step, which is not the 120 rows of the window.
    Wheel(dlg.ScrollBar1(), QPoint(8, 400), -120);
    QVERIFY(dlg.ScrollPosition() != 620);
    QVERIFY(std::abs(dlg.ScrollPosition() - 500) < 120);

    // A wheel event that reaches the window from the button (the button does
    // not take it) is left alone, and so is one over the scroll bar.
    dlg.ScrollBar1()->setValue(500);
    const QPoint overButton = dlg.OkButton()->geometry().center();
    QVERIFY(!Wheel(&dlg, overButton, -120));
    QCOMPARE(dlg.ScrollPosition(), 500);
    const QPoint overBar = dlg.ScrollBar1()->geometry().center();
    QVERIFY(!Wheel(&dlg, overBar, -120));
    QCOMPARE(dlg.ScrollPosition(), 500);
    QVERIFY(!Wheel(dlg.OkButton(), QPoint(5, 5), -120));
    QCOMPARE(dlg.ScrollPosition(), 500);
}

void TestHelpViewer::dragScrollsAgainstTheMouse()
{
    THelpDlg dlg;
    dlg.ShowHelpPage(0);
    QWidget *view = dlg.Image1();
    dlg.ScrollBar1()->setValue(300);

    Press(view, 400);
    QCOMPARE(dlg.DragAnchorY(), 400);
    QCOMPARE(dlg.ScrollPosition(), 300);
    // Mouse down by 50 rows: the page shows 50 rows further down.
    Move(view, 450);
    QCOMPARE(dlg.ScrollPosition(), 350);
    QCOMPARE(dlg.DragAnchorY(), 450);
    QVERIFY(ViewShowsRows(dlg, 350));
    Move(view, 430);
    QCOMPARE(dlg.ScrollPosition(), 330);

    // Past the top: stops at 0, the anchor follows, dragging back moves at once.
    Move(view, -100);
    QCOMPARE(dlg.ScrollPosition(), 0);
    QCOMPARE(dlg.DragAnchorY(), -100);
    Move(view, -60);
    QCOMPARE(dlg.ScrollPosition(), 40);
    Release(view, -60);

    // Past the bottom: stops at the maximum, and coming back moves at once.
    dlg.ScrollBar1()->setValue(1500);
    Press(view, 100);
    Move(view, 300);
    QCOMPARE(dlg.ScrollPosition(), 1510);
    QCOMPARE(dlg.DragAnchorY(), 300);
    Move(view, 290);
    QCOMPARE(dlg.ScrollPosition(), 1500);
    Release(view, 290);
    // Moving with no button held does nothing.
    Move(view, 500, Qt::NoButton);
    QCOMPARE(dlg.ScrollPosition(), 1500);
}

void TestHelpViewer::dragNeedsLeftButtonAlone()
{
    THelpDlg dlg;
    dlg.ShowHelpPage(1);
    QWidget *view = dlg.Image1();
    dlg.ScrollBar1()->setValue(300);

    for (Qt::KeyboardModifier mod : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
        // The press with a modifier does not take the anchor...
        Press(view, 10);
        Release(view, 10);
        Press(view, 400, mod);
        QCOMPARE(dlg.DragAnchorY(), 10);
        // ...and a move with it does not scroll.
        Move(view, 600, Qt::LeftButton, mod);
        QCOMPARE(dlg.ScrollPosition(), 300);
        QCOMPARE(dlg.DragAnchorY(), 10);
        Release(view, 600);
    }

    // Both buttons: the second press takes no anchor, the move does not scroll.
    Press(view, 400);
    Mouse(view, QEvent::MouseButtonPress, 420, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
    QCOMPARE(dlg.DragAnchorY(), 400);
    Move(view, 600, Qt::LeftButton | Qt::RightButton);
    QCOMPARE(dlg.ScrollPosition(), 300);
    // A right-button drag alone does not scroll either.
    Mouse(view, QEvent::MouseButtonPress, 100, Qt::RightButton, Qt::RightButton);
    Move(view, 700, Qt::RightButton);
    QCOMPARE(dlg.ScrollPosition(), 300);
}

void TestHelpViewer::okHides()
{
    THelpDlg dlg;
    dlg.ShowHelpPage(1);
    dlg.ScrollBar1()->setValue(2000);
    QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
    QVERIFY(!dlg.isVisible());
    // It opens again from the menu, at the top of the page.
    dlg.ShowHelpPage(1);
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.ScrollPosition(), 0);
    // Enter presses the default button.
    QTest::keyClick(&dlg, Qt::Key_Return);
    QVERIFY(!dlg.isVisible());
}

QTEST_MAIN(TestHelpViewer)
#include "test_help_viewer.moc"
