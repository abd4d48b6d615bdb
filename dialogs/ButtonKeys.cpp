#include "dialogs/ButtonKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

namespace {

class EnterPressesButton : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        auto *button = qobject_cast<QPushButton *>(watched);
        if (!button || button->window()->focusWidget() != button || !button->isEnabled() || !button->isVisible())
            return false;
        const auto *k = static_cast<QKeyEvent *>(e);
        if ((k->key() != Qt::Key_Return && k->key() != Qt::Key_Enter)
            || (k->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        button->click();
        return true;
    }
};

// Lives beside the focused control, in its parent, so that it moves with it
// when a page scrolls.
class FocusRing : public QWidget
{
public:
    static constexpr int Width = 2;

    explicit FocusRing(QObject *owner) : QWidget(nullptr)
    {
        setObjectName(QStringLiteral("FocusRing"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { Follow(now); });
        connect(owner, &QObject::destroyed, this, &QObject::deleteLater);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setPen(QPen(QColor(255, 128, 0), Width));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(rect()).adjusted(Width / 2.0, Width / 2.0, -Width / 2.0, -Width / 2.0));
    }

    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (watched == m_target && (e->type() == QEvent::Move || e->type() == QEvent::Resize
                                    || e->type() == QEvent::Hide || e->type() == QEvent::Show))
            Place();
        return false;
    }

private:
    void Follow(QWidget *now)
    {
        if (m_target)
            m_target->removeEventFilter(this);
        m_target = now;
        // Windows themselves, menus and the ring's own kind are not ringed.
        if (!now || now->isWindow() || !now->parentWidget() || now->inherits("QMenu") || now->inherits("QMenuBar")) {
            hide();
            return;
        }
        now->installEventFilter(this);
        Place();
    }

    void Place()
    {
        if (!m_target || !m_target->isVisible()) {
            hide();
            return;
        }
        if (parentWidget() != m_target->parentWidget())
            setParent(m_target->parentWidget());
        setGeometry(m_target->geometry().adjusted(-Width - 1, -Width - 1, Width + 1, Width + 1));
        show();
        raise();
    }

    QPointer<QWidget> m_target;
};

} // namespace

void InstallFocusRing(QObject *owner)
{
    new FocusRing(owner);
}

void InstallEnterPressesButton(QObject *owner)
{
    qApp->installEventFilter(new EnterPressesButton(owner));
}
