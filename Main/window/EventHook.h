#pragma once
// An event filter that hands every event to a function: the main window uses one
// to see keys before the focused control, another for its parameter fields.
#include <QObject>

#include <functional>

class TEventHook : public QObject
{
public:
    using Handler = std::function<bool(QObject *watched, QEvent *event)>;
    TEventHook(Handler handler, QObject *parent) : QObject(parent), m_handler(std::move(handler)) {}
    // From now on every event passes untouched (the owner is going away).
    void Disarm() { m_handler = nullptr; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        return m_handler ? m_handler(watched, event) : false;
    }

private:
    Handler m_handler;
};
