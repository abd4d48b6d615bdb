#pragma once
// Enter on a focused push button presses it, in every window of the program, as
// Windows users expect (the toolkit leaves that to dialogs' default buttons).
class QObject;

// Installs the rule for the whole application; it ends with `owner`.
void InstallEnterPressesButton(QObject *owner);
