#pragma once
// The windows of the program, created once at start in a fixed order and kept
// until the end: the main window, the about box, the message box, the
// identification dialog, the help viewer, the data list and the note dialogs.
#include "Main/window/Main.h"

#include <memory>

struct TInstrument;

// The instrument must have been started (StartInstrument). The dialogs are
// children of the main window and go with it.
std::unique_ptr<TForm1> CreateProgramWindows(TInstrument &instrument, TFormHooks hooks = {});
