#include "forward/Staging.h"

#include "common/Error.h"
#include "forward/TableShape.h"
#include "platform/AtomicFile.h"
#include "platform/Durable.h"
#include "tablestore/Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace puente {

namespace {

const QString kStagingName = ".puente-staging";
const QString kLockName = ".puente.lock";
const QString kCommitName = "COMMIT";

// Moves staged/NAME.DBF over NAME.DBF of the working directory, removing any
// file of that name in another letter case and any old index.
void MoveIntoPlace(const QString& working, const QString& staged, const QString& table) {
    const QString source = QDir(staged).filePath(table + ".DBF");
    const QString target = QDir(working).filePath(table + ".DBF");
    if (!QFile::exists(source)) return;  // already moved by an earlier attempt
    const QStringList entries = QDir(working).entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries) {
        if (entry != table + ".DBF" && entry.compare(table + ".DBF", Qt::CaseInsensitive) == 0)
            QFile::remove(QDir(working).filePath(entry));
    }
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(source.toStdU16String()),
                            std::filesystem::path(target.toStdU16String()), ec);
    if (ec)
        throw Error(QString("No se pudo colocar la tabla '%1' en la carpeta de trabajo '%2': %3.")
                        .arg(table, working, QString::fromLocal8Bit(ec.message())));
    RemoveTableFile(working, table, "MDX");
}

void RemoveFolder(const QString& path) {
    QDir(path).removeRecursively();
}

// Whether no process holds the lock file at `path` now. QLockFile holds it
// from the moment it creates it until it unlocks: an flock on Unix, an open
// handle that refuses deletion on Windows.
bool NobodyHolds(const QString& path) {
#ifdef _WIN32
    return QFile::remove(path);  // only possible when no handle is open
#else
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
#endif
}

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
    if (!NobodyHolds(path)) return false;
    QThread::msleep(100);
    if (!QFileInfo::exists(path)) return true;  // removed on Windows already
    if (lock.getLockInfo(&pid, &host, &application) || !NobodyHolds(path)) return false;
    return QFile::remove(path);
}

}  // namespace

WorkingDirectoryLock::WorkingDirectoryLock(const QString& workingDirectory) {
    if (!QDir().mkpath(workingDirectory))
        throw Error(QString("No se pudo crear la carpeta de trabajo de Horalis '%1'.").arg(workingDirectory));
    lock_ = std::make_unique<QLockFile>(QDir(workingDirectory).filePath(kLockName));
    lock_->setStaleLockTime(0);  // only a lock whose process is gone is stale
    if (!lock_->tryLock(0) && !(lock_->error() == QLockFile::LockFailedError &&
                                RemoveOrphanedLock(*lock_, QDir(workingDirectory).filePath(kLockName)) &&
                                lock_->tryLock(0))) {
        if (lock_->error() == QLockFile::LockFailedError)
            throw Error(QString("Otra conversión está trabajando en la carpeta '%1'. Espere a que termine y vuelva a intentarlo.")
                            .arg(workingDirectory));
        throw Error(QString("No se puede escribir en la carpeta de trabajo '%1'.").arg(workingDirectory));
    }
}

WorkingDirectoryLock::~WorkingDirectoryLock() = default;

void Staging::Recover(const QString& workingDirectory) {
    const QString staged = QDir(workingDirectory).filePath(kStagingName);
    if (!QFileInfo::exists(staged)) return;
    QFile commit(QDir(staged).filePath(kCommitName));
    if (commit.open(QIODevice::ReadOnly)) {
        const QStringList tables = QString::fromUtf8(commit.readAll()).split('\n', Qt::SkipEmptyParts);
        commit.close();
        for (const QString& table : tables) MoveIntoPlace(workingDirectory, staged, table.trimmed());
        SyncDirectory(workingDirectory);
    }
    RemoveFolder(staged);
}

Staging::Staging(QString workingDirectory) : workingDirectory_(std::move(workingDirectory)) {
    Recover(workingDirectory_);
    directory_ = QDir(workingDirectory_).filePath(kStagingName);
    if (!QDir().mkpath(directory_))
        throw Error(QString("No se pudo crear la carpeta provisional '%1'. Compruebe que se puede escribir en la carpeta de trabajo.")
                        .arg(directory_));
}

Staging::~Staging() {
    if (!committed_) RemoveFolder(directory_);
}

void Staging::Commit(const QStringList& tables) {
    // A table's place taken by what is no file (a folder) would stop the
    // moves half-way, with part of the tables replaced: refused before
    // anything moves.
    for (const QString& table : tables) {
        const QFileInfo target(QDir(workingDirectory_).filePath(table + ".DBF"));
        if (target.exists() && !target.isFile())
            throw Error(QString("No se puede reemplazar la tabla '%1': '%2' no es un archivo. Quítelo de la carpeta de "
                                "trabajo y vuelva a intentarlo.")
                            .arg(table, QDir::toNativeSeparators(target.filePath())));
    }
    for (const QString& table : tables) SyncFile(QDir(directory_).filePath(table + ".DBF"));
    QString failure;
    if (!WriteFileAtomically(QDir(directory_).filePath(kCommitName), tables.join('\n').toUtf8() + '\n', &failure))
        throw Error(QString("No se pudo escribir en la carpeta provisional '%1': %2.").arg(directory_, failure));
    SyncDirectory(directory_);
    // From here on the new tables are the valid set: an interruption is
    // finished by the next run.
    committed_ = true;
    for (const QString& table : tables) MoveIntoPlace(workingDirectory_, directory_, table);
    SyncDirectory(workingDirectory_);
    RemoveFolder(directory_);
}

void CheckTablesFree(const QString& directory, const QStringList& tables) {
    // Only the lock matters: an old table that is damaged is replaced all the same.
    for (const QString& name : tables) {
        if (Table::IsHeldElsewhere(directory, name))
            throw Error(QString("La tabla '%1' (%2) está en uso por otro programa. Cierre Horalis u otro programa "
                                "que la tenga abierta y vuelva a intentarlo.")
                            .arg(name, QDir::toNativeSeparators(Table(directory, name).filePath())));
    }
}

}  // namespace puente
