#pragma once
// The command line's arguments after the program name, as UTF-8 like every
// path the core is given. Windows hands `argv` over in the system's ANSI code
// page, which has no ő or ű; the toolkit reads the wide command line instead.
#include <QCoreApplication>
#include <QStringList>

#include <string>
#include <vector>

inline std::vector<std::string> ProgramArguments(int argc, char **argv)
{
#ifdef Q_OS_WIN
    // A short-lived application object, before the tool's own: only it reads
    // the wide command line, and it takes none of the arguments as its own.
    const QStringList all = [&] {
        int n = argc;
        const QCoreApplication reader(n, argv);
        return QCoreApplication::arguments();
    }();
    std::vector<std::string> args;
    for (qsizetype i = 1; i < all.size(); ++i)
        args.push_back(all[i].toStdString());
    return args;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}
