#include "Main/core/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

QString WithSlash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// Whether a file can be made in `folder`, tried for real: Windows' access
// control lists do not show in the permissions Qt reports.
bool CanWriteIn(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(WithSlash(folder) + QStringLiteral(".ionveto-XXXXXX"));
    return probe.open();   // removed again when `probe` goes
}

// A program installed by a package sits in a tree that also carries its
// desktop metadata (`bin/` beside `share/metainfo/`); one put in place by the
// Windows installer has the installer's uninstaller beside it. Such a program
// never keeps contestant folders in a system folder, not even when an
// administrator (who may write there) runs it.
bool IsInstalledTree(const QString &programDir)
{
    return QFileInfo::exists(WithSlash(programDir)
                             + QStringLiteral("../share/metainfo/hu.ionveto.Ionveto.metainfo.xml"))
           || QFileInfo::exists(WithSlash(programDir) + QStringLiteral("uninstall.exe"));
}

} // namespace

ProgramFolderChoice ChooseProgramFolder(const QString &programDir, const QString &perUserDir)
{
    if (!IsInstalledTree(programDir) && CanWriteIn(programDir))
        return {WithSlash(programDir), true};
    if (perUserDir.isEmpty())
        return {WithSlash(programDir), true};
    return {WithSlash(perUserDir), false};
}

bool CreateProgramFolder(const ProgramFolderChoice &choice)
{
    return choice.BesideProgram || QDir().mkpath(choice.Folder);
}

ProgramFolderChoice ChooseProgramFolder()
{
    return ChooseProgramFolder(QCoreApplication::applicationDirPath(),
                               QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}
