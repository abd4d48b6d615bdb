// Ionvető: the sector-field mass spectrometer simulator.
#include "Main/window/Desktop.h"
#include "Main/window/ProgramWindows.h"
#include "Main/window/Translations.h"
#include "Main/core/Instrument.h"
#include "Main/core/Version.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// "--help" and "--version" are answered on the terminal before the toolkit
// starts, so they work without a display; every other argument goes to the
// toolkit (-platform, -style, ...). Returns the exit status, or -1 to start.
int AnswerCommandLine(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("ionveto %s\n", ProgramVersion());
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: ionveto [--help] [--version] [toolkit options]\n"
                        "Ionvető %s, the sector-field mass spectrometer simulator of the physics\n"
                        "competition (Hungarian interface). It starts with the identification:\n"
                        "a contestant number or the jury code.\n"
                        "  -h, --help   this text\n"
                        "  --version    the version of the program\n"
                        "Other options go to Qt, e.g. -platform offscreen. See ionveto(1).\n",
                        ProgramVersion());
            return 0;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const int answered = AnswerCommandLine(argc, argv); answered >= 0)
        return answered;
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
