#include "Main/window/Desktop.h"

#include "dialogs/ScreenFit.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>

#include <clocale>

// Resources of a static library are registered by hand, outside any namespace.
static void InitIconResources()
{
    Q_INIT_RESOURCE(icons);
}

void UseSystemLocale()
{
    QLocale::setDefault(QLocale::system());
    std::setlocale(LC_NUMERIC, "C");
}

void SetUpDesktop(QApplication &app)
{
    UseSystemLocale();
    ScreenFit::SetEnabled(true);
    InitIconResources();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/ionveto-%1.png").arg(size), QSize(size, size));
    app.setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QString::fromLatin1(DesktopFileName));
}
