#include "Main/core/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString WithSlash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

} // namespace

ProgramFolderChoice ChooseProgramFolder(const QString &programDir, const QString &perUserDir)
{
    const QFileInfo here(programDir);
    if (here.isDir() && here.isWritable())
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
