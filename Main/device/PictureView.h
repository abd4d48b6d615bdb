#pragma once
// A widget that shows the top-left part of an off-screen picture, as large as the
// widget, and reports the mouse over it in picture coordinates.
#include <QImage>
#include <QWidget>

class TPictureView : public QWidget
{
    Q_OBJECT
public:
    explicit TPictureView(QWidget *parent = nullptr);

    // The picture shown; it stays owned by the caller and must outlive the view.
    void SetPicture(const QImage *picture);
    const QImage *Picture() const { return m_picture; }

signals:
    void MouseMoved(QPoint position, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    void MouseReleased(QPoint position, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    const QImage *m_picture = nullptr;
};
