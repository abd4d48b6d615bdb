#pragma once
// Enter on a focused push button presses it, in every window of the program, as
// Windows users expect (the toolkit leaves that to dialogs' default buttons).
class QObject;

// Installs the rule for the whole application; it ends with `owner`.
void InstallEnterPressesButton(QObject *owner);

// A ring around the control that has the keyboard focus, drawn over the
// program's own colours (teal panels, pale green fields), where the platform's
// focus marks hardly show. It ends with `owner`.
void InstallFocusRing(QObject *owner);
