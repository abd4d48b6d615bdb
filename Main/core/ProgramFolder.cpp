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

} // namespace

ProgramFolderChoice ChooseProgramFolder(const QString &programDir, const QString &perUserDir)
{
    if (CanWriteIn(programDir))
        return {WithSlash(programDir), true};
    if (perUserDir.isEmpty() || !QDir().mkpath(perUserDir))
        return {WithSlash(programDir), true};
    return {WithSlash(perUserDir), false};
}

ProgramFolderChoice ChooseProgramFolder()
{
    return ChooseProgramFolder(QCoreApplication::applicationDirPath(),
                               QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}
