#pragma once
// How the program meets the desktop it runs on: the interface speaks the
// system's language and formats (numbers keep their point: they are formatted
// and read explicitly), the windows fit the screen, and the taskbar knows the
// program by its icon and its desktop entry.
class QApplication;

// The desktop entry the program is installed with (hu.ionveto.Ionveto.desktop).
inline constexpr char DesktopFileName[] = "hu.ionveto.Ionveto";

// Before any window is created.
void SetUpDesktop(QApplication &app);

// The locale rule alone: the interface (file dialogs' sizes, dates and file
// types) follows the system; the C library keeps the point in its numbers.
void UseSystemLocale();
