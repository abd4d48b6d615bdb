#include "Main/core/AtomicSave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <csignal>
#include <filesystem>
#include <system_error>

namespace {

// A write past the process's file-size limit raises a signal whose default is
// to end the process; ignored, the write itself fails and can be reported.
void KeepFileSizeLimitFromEndingTheProgram()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

// A write-protected file is one nobody may write to by its permissions; the
// permission bits are asked too because an administrator passes any access
// check, and a rename would replace such a file without asking.
bool IsWriteProtected(const QFileInfo &info)
{
    constexpr QFileDevice::Permissions anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !info.isWritable() || !(info.permissions() & anyWrite);
}

// A name in `folder` that nothing holds yet, short whatever the target's name.
QString StagingName(const QDir &folder)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString name = folder.filePath(
            QStringLiteral("~iv%1.tmp").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        if (!QFileInfo::exists(name))
            return name;
    }
    return {};
}

std::filesystem::path FsPath(const QString &name)
{
    return std::filesystem::path(name.toStdU16String());
}

} // namespace

std::string UnableToWriteMessage(const std::string &path)
{
    return "Unable to write to " + path;
}

Status SaveFileAtomically(const std::string &path, std::string_view bytes)
{
    const Status failed = Status::Failure(UnableToWriteMessage(path));
    KeepFileSizeLimitFromEndingTheProgram();
    const QString target = QString::fromStdString(path);
    if (target.isEmpty())
        return failed;
    const QFileInfo info(target);
    if (info.exists() && (info.isDir() || IsWriteProtected(info)))
        return failed;

    // QSaveFile writes beside the file it is given, syncs the new file to the
    // disk and renames it into place only on commit; on any error, and when it
    // is destroyed uncommitted, it removes its temporary file. It is given a
    // short name of its own in the target's folder, because its temporary name
    // is the given name with 7 characters more: for the target itself that
    // would fail for names the file system still accepts. The finished file
    // then replaces the target in one rename.
    const QString staged = StagingName(info.absoluteDir());
    if (staged.isEmpty())
        return failed;
    {
        QSaveFile file(staged);
        file.setDirectWriteFallback(false);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return failed;
        const auto size = static_cast<qint64>(bytes.size());
        if (size > 0 && file.write(bytes.data(), size) != size) {
            file.cancelWriting();
            return failed;
        }
        if (!file.commit())
            return failed;
    }
    if (info.exists())
        QFile::setPermissions(staged, info.permissions());   // a replaced file keeps who may read it
    std::error_code error;
    std::filesystem::rename(FsPath(staged), FsPath(target), error);
    if (error) {
        QFile::remove(staged);
        return failed;
    }
    return {};
}
