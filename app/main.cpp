// Ionvető: the sector-field mass spectrometer simulator.
#include "Main/window/Desktop.h"
#include "Main/window/ProgramWindows.h"
#include "Main/window/Translations.h"
#include "Main/core/Instrument.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Before any widget: the toolkit's dialogs and menus speak Hungarian too.
    InstallTranslators(app);
    // The system's locale for the interface, the screen fit, the icon and the desktop entry.
    SetUpDesktop(app);
    // The instrument is started before any window, as the tools and tests start it.
    auto instrument = std::make_unique<TInstrument>();
    StartInstrument(*instrument);
    std::unique_ptr<TForm1> form = CreateProgramWindows(*instrument);
    // The main window appears after the identification, which its own timer starts.
    return app.exec();
}
