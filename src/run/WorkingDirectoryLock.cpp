#include "run/WorkingDirectoryLock.h"

#include "common/Messages.h"
#include "platform/LockProbe.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>

namespace puente {

namespace {

const QString kLockName = QStringLiteral(".puente.lock");

// A lock file that names no process was left by one that died between
// creating it and writing into it (killed, or the disk full); QLockFile never
// takes such a file for stale, so every later run would be refused. It is
// removed when nobody holds it, now and a moment later (a live writer holds
// it from its creation on), under the ".rmlock" that QLockFile itself uses
// when it removes a stale lock.
bool RemoveOrphanedLock(const QLockFile& lock, const QString& path) {
    qint64 pid = 0;
    QString host, application;
    if (lock.getLockInfo(&pid, &host, &application)) return false;  // a process is named: QLockFile decides
    QLockFile removal(path + ".rmlock");
    if (!removal.tryLock(0)) return false;
    if (!LockFileIsFree(path)) return false;
    QThread::msleep(100);
    if (!QFileInfo::exists(path)) return true;  // removed by the probe already (Windows)
    if (lock.getLockInfo(&pid, &host, &application) || !LockFileIsFree(path)) return false;
    return QFile::remove(path);
}

}  // namespace

void RequireWorkingDirectory(const QString& workingDirectory) {
    if (!QFileInfo(workingDirectory).isDir()) throw messages::NoWorkingDirectory(workingDirectory);
}

WorkingDirectoryLock::WorkingDirectoryLock(const QString& workingDirectory) {
    RequireWorkingDirectory(workingDirectory);
    const QString path = QDir(workingDirectory).filePath(kLockName);
    lock_ = std::make_unique<QLockFile>(path);
    lock_->setStaleLockTime(0);  // only a lock whose process is gone is stale
    if (lock_->tryLock(0)) return;
    if (lock_->error() == QLockFile::LockFailedError && RemoveOrphanedLock(*lock_, path) && lock_->tryLock(0)) return;
    if (lock_->error() == QLockFile::LockFailedError) throw messages::AnotherConversionRunning(workingDirectory);
    throw messages::WorkingDirectoryUnwritable(workingDirectory);
}

WorkingDirectoryLock::~WorkingDirectoryLock() = default;

}  // namespace puente
