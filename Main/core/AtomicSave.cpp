#include "Main/core/AtomicSave.h"

#include <QFileInfo>
#include <QSaveFile>

#include <csignal>

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

    // QSaveFile writes beside the target, syncs the new file to the disk and
    // renames it over the target only on commit; on any error, and when it is
    // destroyed uncommitted, it removes its temporary file.
    QSaveFile file(target);
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
    return {};
}
