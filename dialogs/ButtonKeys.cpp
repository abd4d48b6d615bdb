#include "dialogs/ButtonKeys.h"

#include <QApplication>
#include <QKeyEvent>
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

} // namespace

void InstallEnterPressesButton(QObject *owner)
{
    qApp->installEventFilter(new EnterPressesButton(owner));
}
