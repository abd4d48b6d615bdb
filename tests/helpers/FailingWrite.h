#pragma once
// Saves that must fail, made the way each system lets a test make them.
#include <QString>

#include <functional>

// Runs `save` of the existing file `target` while writing it fails: on Windows,
// which has no file-size limit, another handle holds the target open without
// sharing, as a spreadsheet holds the CSV it shows; elsewhere a file-size limit
// of `sizeLimit` bytes stops the write part-way (its signal is left at its
// default: only the save may keep it from ending this process).
bool WhileWritesFail(const QString &target, qint64 sizeLimit, const std::function<bool()> &save);

#ifdef Q_OS_WIN
// `path` held open without sharing for this object's lifetime, as another
// program holding the file open would.
class HeldOpen {
public:
    explicit HeldOpen(const QString &path);
    ~HeldOpen();
    HeldOpen(const HeldOpen &) = delete;
    HeldOpen &operator=(const HeldOpen &) = delete;
    bool IsHeld() const;

private:
    void *Handle;
};
#endif
