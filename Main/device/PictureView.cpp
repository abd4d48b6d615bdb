#include "Main/device/PictureView.h"

#include <QMouseEvent>
#include <QPainter>

TPictureView::TPictureView(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    // The picture covers the whole widget: nothing behind it needs painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPictureView::SetPicture(const QImage *picture)
{
    m_picture = picture;
    update();
}

void TPictureView::paintEvent(QPaintEvent *e)
{
    QPainter painter(this);
    if (!m_picture || m_picture->isNull()) {
        painter.fillRect(rect(), Qt::white);
        return;
    }
    const QRect area = e->rect();
    painter.drawImage(area.topLeft(), *m_picture, area);
}

void TPictureView::mouseMoveEvent(QMouseEvent *e)
{
    emit MouseMoved(e->position().toPoint(), e->buttons(), e->modifiers());
    QWidget::mouseMoveEvent(e);
}

void TPictureView::mouseReleaseEvent(QMouseEvent *e)
{
    emit MouseReleased(e->position().toPoint(), e->button(), e->modifiers());
    QWidget::mouseReleaseEvent(e);
}
