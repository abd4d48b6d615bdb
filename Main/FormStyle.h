#pragma once
// Colours and fonts of the main window and its panels.
#include "dialogs/DialogStyle.h"

#include <QColor>
#include <QFrame>
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

} // namespace FormStyle
