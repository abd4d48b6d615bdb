#include "helpers/FailingWrite.h"

#ifdef Q_OS_WIN
#include <windows.h>

HeldOpen::HeldOpen(const QString &path)
    : Handle(CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_READ | GENERIC_WRITE,
                         0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
{
}

HeldOpen::~HeldOpen()
{
    if (IsHeld())
        CloseHandle(Handle);
}

bool HeldOpen::IsHeld() const
{
    return Handle != INVALID_HANDLE_VALUE;
}

bool WhileWritesFail(const QString &target, qint64, const std::function<bool()> &save)
{
    const HeldOpen held(target);
    if (!held.IsHeld())
        return true;   // reads as a save that went through, so the test fails
    return save();
}

#else
#include <sys/resource.h>

bool WhileWritesFail(const QString &, qint64 sizeLimit, const std::function<bool()> &save)
{
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = static_cast<rlim_t>(sizeLimit);
    if (setrlimit(RLIMIT_FSIZE, &small) != 0)
        return true;   // reads as a save that went through, so the test fails
    const bool ok = save();
    setrlimit(RLIMIT_FSIZE, &saved);
    return ok;
}
#endif
