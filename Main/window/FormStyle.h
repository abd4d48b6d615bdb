#pragma once
// Colours and fonts of the main window and its panels.
#include "dialogs/DialogStyle.h"

#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QFont>
#include <QString>

namespace FormStyle {

inline QColor WindowColor() { return QColor(192, 220, 192); }
inline QColor PanelColor() { return QColor(0, 128, 128); }
inline QColor TitleColor() { return QColor(255, 255, 0); }
inline QColor LabelColor() { return QColor(255, 255, 255); }
inline QColor InputColor() { return QColor(192, 220, 192); }
inline QColor OutputColor() { return QColor(255, 255, 255); }
inline QColor AlarmColor() { return QColor(255, 0, 0); }
// Labels, check boxes and radio buttons that are switched off: grey, like their boxes.
inline QColor DisabledLabelColor() { return QColor(176, 176, 176); }

// The text colour of a label or a labelled control on a panel, greyed while it is disabled.
inline void SetLabelColor(QWidget *w, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Disabled, QPalette::WindowText, DisabledLabelColor());
    w->setPalette(p);
}

// "MS Sans Serif" is a Windows bitmap font; elsewhere a plain sans face stands in.
inline QFont WindowFont() { return DialogStyle::PixelFont(QStringLiteral("MS Sans Serif"), 11, false); }
inline QFont PageFont() { return DialogStyle::PixelFont(QStringLiteral("Arial"), 13, true); }
inline QFont TitleFont() { return DialogStyle::PixelFont(QStringLiteral("Arial"), 16, true); }
inline QFont LabelFont() { return DialogStyle::PixelFont(QStringLiteral("Arial"), 13, true); }

// Captions use CR as the line break, as the message texts do.
inline QString Caption(const char *utf8)
{
    QString s = QString::fromUtf8(utf8);
    s.replace(QChar(u'\r'), QChar(u'\n'));
    return s;
}

// A raised teal panel of the window: the device page's panels and the two spectrum panels.
inline QFrame *TealPanel(QWidget *parent, const char *name, QRect geometry)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(geometry);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, FormStyle::PanelColor());
    panel->setPalette(p);
    panel->setAutoFillBackground(true);
    return panel;
}

// A text field of the window: typed fields in the input colour, read-only ones
// (derived values, counters, cursor and ROI results) in the output colour.
inline QLineEdit *TextField(QWidget *parent, const QString &name, QRect geometry, bool readOnly,
                            const QString &text = {})
{
    auto *field = new QLineEdit(text, parent);
    field->setObjectName(name);
    field->setGeometry(geometry);
    field->setReadOnly(readOnly);
    QPalette p = field->palette();
    p.setColor(QPalette::Base, readOnly ? OutputColor() : InputColor());
    field->setPalette(p);
    return field;
}

// Every text field is the buddy of its label and carries the label's text as its
// name, so the keyboard and assistive technology find it by its label.
inline void NameByLabel(QLabel *label, QLineEdit *field)
{
    label->setBuddy(field);
    field->setAccessibleName(label->text());
}

} // namespace FormStyle
