// The main window on a screen with less room than it was drawn for: a school
// laptop's 1366 x 768, or a larger screen at 125 to 200 % scaling. The window
// then takes the largest size that fits, the menu and the page tabs stay in
// view, and each page scrolls (Tab scrolls the focused control into view).
#include "Main/window/Main.h"

#include "Main/window/FormStyle.h"
#include "dialogs/ScreenFit.h"

#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>

QWidget *TForm1::CurrentPage() const
{
    QWidget *w = PageControl1->currentWidget();
    if (auto *area = qobject_cast<QScrollArea *>(w); area && PagesScroll())
        return area->widget();
    return w;
}

void TForm1::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (!ScreenFit::Enabled())
        return;
    FitToScreen();
    // The window manager reports the frame only after it framed the window.
    QTimer::singleShot(300, this, &TForm1::FitToScreen);
    if (!m_followsScreen && windowHandle()) {
        m_followsScreen = true;
        connect(windowHandle(), &QWindow::screenChanged, this, [this](QScreen *s) {
            if (s)
                connect(s, &QScreen::availableGeometryChanged, this, &TForm1::FitToScreen, Qt::UniqueConnection);
            FitToScreen();
        });
        if (QScreen *s = screen())
            connect(s, &QScreen::availableGeometryChanged, this, &TForm1::FitToScreen, Qt::UniqueConnection);
    }
}

void TForm1::FitToScreen()
{
    if (!ScreenFit::Enabled())
        return;
    const QRect area = ScreenFit::AvailableArea(this);
    const WindowFit fit = FitWindow(area, ScreenFit::FrameOf(this), DrawnSize);
    SetPagesScrolled(fit.Shrunk);
    setFixedSize(fit.Client);
    if (fit.Shrunk) {
        // The page control fills what is left under the menu; the tabs at its foot stay in view.
        const int menu = menuBar()->isVisible() ? menuBar()->height() : menuBar()->sizeHint().height();
        const int height = fit.Client.height() - menu - DrawnPages.y();
        PageControl1->setGeometry(0, DrawnPages.y(), fit.Client.width(), std::max(height, 100));
    } else {
        PageControl1->setGeometry(DrawnPages);
    }
    if (isVisible() && (fit.Shrunk || !area.contains(frameGeometry())))
        move(fit.FrameTopLeft);
}

void TForm1::SetPagesScrolled(bool on)
{
    if (on == PagesScroll())
        return;
    const int current = PageControl1->currentIndex();
    const QSignalBlocker block(PageControl1);
    QWidget *pages[2] = {TabSheet1, TabSheet2};
    // A page keeps the size it has in the window as drawn.
    const QSize drawnPage(DrawnPages.width() - 4,
                          DrawnPages.height() - PageControl1->tabBar()->sizeHint().height() - 4);
    for (int i = 0; i < 2; ++i) {
        const QString title = PageControl1->tabText(i);
        PageControl1->removeTab(i);
        if (on) {
            QWidget *page = pages[i];
            const QRect used = page->childrenRect();
            page->resize(drawnPage.expandedTo(QSize(used.right() + 3, used.bottom() + 3)));
            auto *area = new QScrollArea;
            area->setObjectName(page->objectName() + QStringLiteral("Scroll"));
            area->setFrameShape(QFrame::NoFrame);
            area->setWidgetResizable(false);
            DialogStyle::SetBackground(area->viewport(), FormStyle::WindowColor());
            area->setWidget(page);
            PageControl1->insertTab(i, area, title);
            m_pageScrolls[i] = area;
        } else {
            QScrollArea *area = m_pageScrolls[i];
            QWidget *page = area->takeWidget();
            PageControl1->insertTab(i, page, title);
            area->deleteLater();
            m_pageScrolls[i] = nullptr;
        }
    }
    PageControl1->setCurrentIndex(current);
}
