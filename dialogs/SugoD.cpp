#include "dialogs/SugoD.h"

#include "dialogs/HelpPages.h"
#include "dialogs/ScreenFit.h"

#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cstring>

namespace {

const QColor WindowTeal(0, 128, 128);

const char *const PageTitles[HelpPageCount] = {"Súgó (Elmélet + feladatok)",
                                               "Súgó (A program használata)"};

// Layout of the client area: the sunken frame around the view, the scroll bar
// beside it, the "OK" button centred under the frame.
constexpr int FrameLine = 2;
constexpr int ScrollBarWidth = 17;
constexpr int FrameLeft = 21;
constexpr int FrameTop = 12;
constexpr int FrameWidth = THelpDlg::ViewWidth + 2 * FrameLine;
constexpr int FrameHeight = THelpDlg::ViewHeight + 2 * FrameLine;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;

bool NoModifier(Qt::KeyboardModifiers m)
{
    return (m & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
}

} // namespace

// The view shows the visible rows of the page one pixel for one pixel.
class THelpDlg::View : public QWidget {
public:
    View(THelpDlg *owner, QWidget *parent) : QWidget(parent), m_owner(owner)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        // A scaled display gets the page drawn at its own pixel ratio, not the
        // page picture enlarged: the text stays sharp.
        const qreal ratio = devicePixelRatioF();
        if (ratio > 1.0 && !m_owner->PageImage().isNull()) {
            const QImage &sharp = HelpPageImage(m_owner->HelpPage(), ratio);
            const QRectF target(0, 0, width(), height());
            const QRectF source(0, m_owner->ScrollPosition() * ratio, width() * ratio, height() * ratio);
            p.fillRect(target, Qt::white);
            p.drawImage(target, sharp, source);
            return;
        }
        p.drawImage(QPoint(0, 0), m_owner->ViewImage());
    }

private:
    THelpDlg *m_owner;
};

THelpDlg::THelpDlg(QWidget *parent) : QDialog(parent)
{
    setModal(false);
    setWindowTitle(QString::fromUtf8("Súgó"));
    setFixedSize(ClientWidth, ClientHeight);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, WindowTeal);
    setPalette(pal);
    setAutoFillBackground(true);

    frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(FrameLine);
    frame->setGeometry(FrameLeft, FrameTop, FrameWidth, FrameHeight);

    viewImage = QImage(ViewWidth, ViewHeight, QImage::Format_RGB32);
    viewImage.fill(Qt::white);
    view = new View(this, frame);
    view->setObjectName(QStringLiteral("Image1"));
    view->setGeometry(FrameLine, FrameLine, ViewWidth, ViewHeight);

    scrollBar = new QScrollBar(Qt::Vertical, this);
    scrollBar->setObjectName(QStringLiteral("ScrollBar1"));
    scrollBar->setGeometry(FrameLeft + FrameWidth + 4, FrameTop + FrameLine, ScrollBarWidth, ViewHeight);
    scrollBar->setSingleStep(1);
    scrollBar->setPageStep(PageStep);
    connect(scrollBar, &QScrollBar::valueChanged, this, [this](int p) {
        CopyVisibleRows(p);
        view->update();
    });

    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setDefault(true);
    okButton->setAutoDefault(true);
    const int frameBottom = FrameTop + FrameHeight;
    okButton->setGeometry(FrameLeft + FrameWidth / 2 - ButtonWidth / 2,
                          frameBottom + (ClientHeight - frameBottom - ButtonHeight) / 2, ButtonWidth,
                          ButtonHeight);
    connect(okButton, &QPushButton::clicked, this, &QWidget::hide);

    // Wheel over the view or the frame, and the drag, are handled here; the
    // scroll bar and the button keep their own handling.
    view->installEventFilter(this);
    frame->installEventFilter(this);
    // The keys scroll the page whichever control has the focus; Enter and
    // Escape still close the window by its "OK" button.
    okButton->installEventFilter(this);

    // The pages are rendered when first opened, not here: the program starts
    // without laying out their text or holding their pictures.
    const QSignalBlocker block(scrollBar);
    scrollBar->setRange(0, 0);
}

void THelpDlg::LoadPage(int pageNumber)
{
    page = HelpPageImage(pageNumber);
    helpPage = pageNumber;
    // The last row of the page is never shown: the maximum leaves it out.
    const int maximum = std::max(0, page.height() - viewHeight - 1);
    const QSignalBlocker block(scrollBar);
    scrollBar->setRange(0, maximum);
    scrollBar->setValue(0);
    CopyVisibleRows(0);
    view->update();
}

void THelpDlg::ShowHelpPage(int pageNumber)
{
    if (pageNumber < 0 || pageNumber >= HelpPageCount)
        return;
    LoadPage(pageNumber);
    dragAnchorY = 0;
    setWindowTitle(QString::fromUtf8(PageTitles[pageNumber]));
    if (isVisible()) {
        // Already open, perhaps behind the main window: bring it forward.
        raise();
        activateWindow();
    } else {
        show();
    }
}

QWidget *THelpDlg::Image1() const
{
    return view;
}

int THelpDlg::ScrollPosition() const
{
    return scrollBar->value();
}

int THelpDlg::ScrollMaximum() const
{
    return scrollBar->maximum();
}

void THelpDlg::ScrollTo(int position)
{
    scrollBar->setValue(std::clamp(position, 0, scrollBar->maximum()));
}

void THelpDlg::CopyVisibleRows(int position)
{
    const int rowBytes = ViewWidth * 4;
    const QImage src = page.format() == QImage::Format_RGB32 ? page : page.convertToFormat(QImage::Format_RGB32);
    for (int r = 0; r < viewHeight; ++r) {
        uchar *dst = viewImage.scanLine(r);
        const int y = position + r;
        if (y >= 0 && y < src.height() && src.width() >= ViewWidth)
            std::memcpy(dst, src.constScanLine(y), rowBytes);
        else
            std::memset(dst, 0xff, rowBytes);
    }
}

bool THelpDlg::HandleWheel(QWheelEvent *event, QWidget *receiver)
{
    // Only when the pointer is over the window itself: the view, the frame or
    // the background, not the scroll bar or the button.
    const QPoint at = receiver == this ? event->position().toPoint()
                                       : receiver->mapTo(this, event->position().toPoint());
    QWidget *under = childAt(at);
    if (under != nullptr && under != view && under != frame)
        return false;
    ScrollTo(scrollBar->value() - event->angleDelta().y());
    event->accept();
    return true;
}

void THelpDlg::wheelEvent(QWheelEvent *event)
{
    if (!HandleWheel(event, this))
        event->ignore();
}

bool THelpDlg::HandleKey(QKeyEvent *event)
{
    if (!NoModifier(event->modifiers() & ~Qt::KeypadModifier))
        return false;
    const int p = scrollBar->value();
    const int pageStep = viewHeight - KeyStep;
    switch (event->key()) {
    case Qt::Key_Up: ScrollTo(p - KeyStep); break;
    case Qt::Key_Down: ScrollTo(p + KeyStep); break;
    case Qt::Key_PageUp: ScrollTo(p - pageStep); break;
    case Qt::Key_PageDown: ScrollTo(p + pageStep); break;
    case Qt::Key_Home: ScrollTo(0); break;
    case Qt::Key_End: ScrollTo(scrollBar->maximum()); break;
    default: return false;
    }
    event->accept();
    return true;
}

void THelpDlg::keyPressEvent(QKeyEvent *event)
{
    if (!HandleKey(event))
        QDialog::keyPressEvent(event);
}

bool THelpDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == okButton && event->type() == QEvent::KeyPress)
        return HandleKey(static_cast<QKeyEvent *>(event));
    if (watched == view || watched == frame) {
        if (event->type() == QEvent::Wheel)
            return HandleWheel(static_cast<QWheelEvent *>(event), static_cast<QWidget *>(watched));
    }
    if (watched == view) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto *e = static_cast<QMouseEvent *>(event);
            if (e->button() == Qt::LeftButton && e->buttons() == Qt::LeftButton && NoModifier(e->modifiers()))
                dragAnchorY = e->position().toPoint().y();
        } else if (event->type() == QEvent::MouseMove) {
            auto *e = static_cast<QMouseEvent *>(event);
            if (e->buttons() == Qt::LeftButton && NoModifier(e->modifiers())) {
                // The page moves against the mouse: dragging down shows rows further down.
                const int y = e->position().toPoint().y();
                ScrollTo(scrollBar->value() + (y - dragAnchorY));
                dragAnchorY = y;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void THelpDlg::FitToScreen()
{
    // On a screen too low for the window, the view loses rows so that the "OK"
    // button stays on the screen; the scroll range grows by as many rows.
    const WindowFit fit = FitWindow(ScreenFit::AvailableArea(this), ScreenFit::FrameOf(this),
                                    QSize(ClientWidth, ClientHeight), QSize(ClientWidth, ClientHeight - ViewHeight + 200));
    const int rows = ViewHeight - (ClientHeight - fit.Client.height());
    if (rows != viewHeight)
        SetViewRows(rows);
    // Once framed, the whole window (title bar and "OK" included) goes inside the area.
    if (isVisible()) {
        const QRect area = ScreenFit::AvailableArea(this);
        const QRect outer = frameGeometry();
        const int x = std::clamp(outer.x(), area.left(), std::max(area.left(), area.right() + 1 - outer.width()));
        const int y = std::clamp(outer.y(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height()));
        if (x != outer.x() || y != outer.y())
            move(x, y);
    }
}

void THelpDlg::SetViewRows(int rows)
{
    viewHeight = rows;
    const int clientHeight = ClientHeight - ViewHeight + rows;
    setFixedSize(ClientWidth, clientHeight);
    frame->setGeometry(FrameLeft, FrameTop, FrameWidth, viewHeight + 2 * FrameLine);
    view->setGeometry(FrameLine, FrameLine, ViewWidth, viewHeight);
    scrollBar->setGeometry(FrameLeft + FrameWidth + 4, FrameTop + FrameLine, ScrollBarWidth, viewHeight);
    const int frameBottom = FrameTop + viewHeight + 2 * FrameLine;
    okButton->move(okButton->x(), frameBottom + (clientHeight - frameBottom - ButtonHeight) / 2);
    viewImage = QImage(ViewWidth, viewHeight, QImage::Format_RGB32);
    const int position = scrollBar->value();
    {
        const QSignalBlocker block(scrollBar);
        scrollBar->setRange(0, page.isNull() ? 0 : std::max(0, page.height() - viewHeight - 1));
        scrollBar->setValue(std::min(position, scrollBar->maximum()));
    }
    CopyVisibleRows(scrollBar->value());
    view->update();
}

void THelpDlg::showEvent(QShowEvent *event)
{
    if (ScreenFit::Enabled()) {
        FitToScreen();
        // Again once the window manager has framed the window.
        QTimer::singleShot(300, this, &THelpDlg::FitToScreen);
    }
    if (!placed) {
        placed = true;
        if (QScreen *s = screen()) {
            const QRect area = s->availableGeometry();
            QPoint at = area.center() - rect().center();
            // The title bar never above the screen's work area.
            at.setY(std::max(at.y(), area.top()));
            move(at);
        }
    }
    QDialog::showEvent(event);
}
