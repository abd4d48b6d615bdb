#include "Main/device/UpDown.h"

#include <QToolButton>

#include <algorithm>

TUpDown::TUpDown(QWidget *parent) : QWidget(parent)
{
    m_up = new QToolButton(this);
    m_up->setObjectName(QStringLiteral("Up"));
    m_up->setArrowType(Qt::UpArrow);
    m_down = new QToolButton(this);
    m_down->setObjectName(QStringLiteral("Down"));
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton *b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus); // the field takes the keys: Up/Down, Page Up/Down
    }
    connect(m_up, &QToolButton::clicked, this, &TUpDown::StepUp);
    connect(m_down, &QToolButton::clicked, this, &TUpDown::StepDown);
}

void TUpDown::SetRange(int min, int max)
{
    m_min = min;
    m_max = std::max(min, max);
    m_position = std::clamp(m_position, m_min, m_max);
}

void TUpDown::SetPosition(int position)
{
    m_position = std::clamp(position, m_min, m_max);
}

void TUpDown::StepUp()
{
    StepBy(+1);
}

void TUpDown::StepDown()
{
    StepBy(-1);
}

void TUpDown::StepBy(int delta)
{
    const int next = std::clamp(m_position + delta, m_min, m_max);
    if (next == m_position)
        return;
    m_position = next;
    emit Stepped(m_position);
}

void TUpDown::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}
