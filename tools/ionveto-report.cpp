// The jury's summary of the contestant folders, written as a table and a
// printable page: "ionveto-report [--out DIR] FOLDER...".
#include "Main/charts/ReportCharts.h"
#include "tools/ProgramArguments.h"

#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    const std::vector<std::string> args = ProgramArguments(argc, argv);
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // The charts are drawn off the screen; without a display the window system
    // is not needed at all.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    // The application sees no arguments: a folder named like one of its options stays a folder.
    int appArgc = 1;
    QApplication app(appArgc, argv);
    return RunReportTool(args, std::cout, std::cerr);
}
