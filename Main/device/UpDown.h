#pragma once
// An up-down control: two arrow buttons stepping an integer position by one
// within its range. It has no text of its own; the window writes the position
// into the field that carries it.
#include <QWidget>

class QToolButton;

class TUpDown : public QWidget
{
    Q_OBJECT
public:
    explicit TUpDown(QWidget *parent = nullptr);

    void SetRange(int min, int max);
    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Position() const { return m_position; }
    // Sets the position (kept inside the range) without reporting a step.
    void SetPosition(int position);

    // One arrow click; at the end of the range nothing happens.
    void StepUp();
    void StepDown();
    // `steps` clicks at once (Page Up/Down in the field), stopping at the range's end.
    void StepBy(int steps);

    QToolButton *UpButton() const { return m_up; }
    QToolButton *DownButton() const { return m_down; }

signals:
    // After an arrow step changed the position.
    void Stepped(int position);

protected:
    void resizeEvent(QResizeEvent *e) override;

private:

    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
};
