#include "dialogs/SugoD.h"

#include "dialogs/HelpPages.h"

#include <QFrame>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
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
    const int maximum = std::max(0, page.height() - ViewHeight - 1);
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
    for (int r = 0; r < ViewHeight; ++r) {
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

bool THelpDlg::eventFilter(QObject *watched, QEvent *event)
{
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

void THelpDlg::showEvent(QShowEvent *event)
{
    if (!placed) {
        placed = true;
        if (QScreen *s = screen())
            move(s->availableGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}
