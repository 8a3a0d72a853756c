#include "run/Staging.h"

#include "common/Messages.h"
#include "platform/AtomicFile.h"
#include "platform/Durable.h"
#include "platform/SystemErrors.h"
#include "run/TableFiles.h"
#include "tablestore/Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

namespace puente {

namespace {

const QString kStagingName = ".puente-staging";
const QString kCommitName = "COMMIT";
const QString kRemoveLine = "QUITAR ";
const QString kBackupLine = "COPIA ";

// Wide paths: on Windows a narrow one is read in the ANSI code page.
std::filesystem::path FsPath(const QString& path) { return std::filesystem::path(path.toStdU16String()); }

QString Reason(const std::error_code& ec) { return SystemErrorText(ec.value()); }

// Whether anything stands at `path`, a link to nowhere included.
bool Taken(const QString& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(FsPath(path), ec));
}

// What a COMMIT file records.
struct CommitRecord {
    QStringList tables;   // put in place
    QStringList removed;  // removed
    QString backup;       // the backup's name; empty when none
};

QByteArray CommitBytes(const CommitRecord& record) {
    QStringList lines = record.tables;
    for (const QString& table : record.removed) lines << kRemoveLine + table;
    if (!record.backup.isEmpty()) lines << kBackupLine + record.backup;
    return lines.join('\n').toUtf8() + '\n';
}

// The record of a committed staging folder; nothing when it holds no COMMIT.
std::optional<CommitRecord> ReadCommit(const QString& staged) {
    QFile commit(QDir(staged).filePath(kCommitName));
    if (!commit.open(QIODevice::ReadOnly)) return std::nullopt;
    CommitRecord record;
    const QStringList lines = QString::fromUtf8(commit.readAll()).split('\n', Qt::SkipEmptyParts);
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(kRemoveLine))
            record.removed << line.mid(kRemoveLine.size()).trimmed();
        else if (line.startsWith(kBackupLine))
            record.backup = line.mid(kBackupLine.size()).trimmed();
        else if (!line.isEmpty())
            record.tables << line;
    }
    return record;
}

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
    std::filesystem::rename(FsPath(source), FsPath(target), ec);
    if (ec) {
        // The reason in Spanish, not the library's English bytes.
        const QString reason =
            ec.category() == std::generic_category() ? ErrnoText(ec.value()) : SystemErrorText(ec.value());
        throw messages::TableNotPlaced(table, working, reason);
    }
    RemoveTableFile(working, table, "MDX");
}

void RemoveFromPlace(const QString& working, const QString& table) {
    if (!RemoveTableFile(working, table, "DBF") || !RemoveTableFile(working, table, "MDX"))
        throw messages::TableNotRemoved(table, working);
}

// Moves the staged backup into CopiasPuente by one rename: the backup's own
// folder, or the whole staged CopiasPuente when the working directory has
// none yet. Nothing to do when it was moved already.
void PlaceBackup(const QString& working, const QString& staged, const QString& name) {
    if (name.isEmpty() || !IsBackupName(name)) return;
    const QString stagedRoot = QDir(staged).filePath(QString::fromLatin1(kBackupsFolderName));
    const QString source = QDir(stagedRoot).filePath(name);
    if (!QFileInfo(source).isDir()) return;
    const QString root = BackupsFolder(working);
    std::error_code ec;
    if (!Taken(root))
        std::filesystem::rename(FsPath(stagedRoot), FsPath(root), ec);
    else
        std::filesystem::rename(FsPath(source), FsPath(QDir(root).filePath(name)), ec);
    if (ec) throw messages::BackupNotPlaced(name, working, Reason(ec));
    SyncDirectory(root);
}

void RemoveFolder(const QString& path) { QDir(path).removeRecursively(); }

// Puts `source` at `target` as a second name of the same file where the
// file system allows, else as a copy flushed to disk.
bool LinkOrCopy(const QString& source, const QString& target, QString* reason) {
    std::error_code ec;
    std::filesystem::create_hard_link(FsPath(source), FsPath(target), ec);
    if (!ec) return true;
    std::filesystem::remove(FsPath(target), ec);
    std::filesystem::copy_file(FsPath(source), FsPath(target), ec);
    if (ec) {
        *reason = Reason(ec);
        std::filesystem::remove(FsPath(target), ec);
        return false;
    }
    SyncFile(target);
    return true;
}

int RowsOf(const QString& directory, const QString& table) {
    try {
        Table t(directory, table);
        t.Open(OpenMode::Shared);
        return t.LiveRecordCount();
    } catch (const Error&) {
        return -1;  // a damaged old table is backed up all the same
    }
}

}  // namespace

void Staging::Recover(const QString& workingDirectory) {
    const QString staged = QDir(workingDirectory).filePath(kStagingName);
    if (!QFileInfo::exists(staged)) return;
    if (const std::optional<CommitRecord> record = ReadCommit(staged)) {
        PlaceBackup(workingDirectory, staged, record->backup);
        for (const QString& table : record->tables) MoveIntoPlace(workingDirectory, staged, table);
        for (const QString& table : record->removed) RemoveFromPlace(workingDirectory, table);
        SyncDirectory(workingDirectory);
    }
    RemoveFolder(staged);
}

QString Staging::PendingTableFile(const QString& workingDirectory, const QString& table) {
    const QString staged = QDir(workingDirectory).filePath(kStagingName);
    const std::optional<CommitRecord> record = ReadCommit(staged);
    if (!record || !record->tables.contains(table)) return QString();
    const QString file = QDir(staged).filePath(table + ".DBF");
    return QFileInfo(file).isFile() ? file : QString();
}

Staging::Staging(QString workingDirectory) : workingDirectory_(std::move(workingDirectory)) {
    Recover(workingDirectory_);
    directory_ = QDir(workingDirectory_).filePath(kStagingName);
    if (!QDir().mkpath(directory_)) throw messages::StagingNotCreated(directory_);
}

Staging::~Staging() {
    if (!committed_) RemoveFolder(directory_);
}

QString Staging::PrepareBackup(const QStringList& tables, const BackupDescription& description) {
    QStringList existing;
    for (const QString& table : tables)
        if (!TableFilePath(workingDirectory_, table).isEmpty()) existing << table;
    if (existing.isEmpty()) return QString();

    const QString root = BackupsFolder(workingDirectory_);
    const bool rootExists = Taken(root);
    if (rootExists && !QFileInfo(root).isDir()) throw messages::BackupFolderNotAFolder(root);
    BackupDescription described = description;
    if (!described.time.isValid()) described.time = QDateTime::currentDateTime();
    const QString name = NewBackupName(root, described.time);
    if (rootExists) {
        // The one rename of the commit must not fail for want of permission:
        // tried now, while nothing has changed.
        const QString probe = QStringLiteral(".%1.prueba").arg(name);
        if (!QDir(root).mkdir(probe)) throw messages::BackupFolderUnwritable(root, SystemErrorText(errno));
        QDir(root).rmdir(probe);
    }

    const QString stagedRoot = QDir(directory_).filePath(QString::fromLatin1(kBackupsFolderName));
    const QString folder = QDir(stagedRoot).filePath(name);
    if (!QDir().mkpath(folder)) throw messages::BackupNotMade(existing.first(), folder, SystemErrorText(errno));
    QList<BackupTable> held;
    for (const QString& table : existing) {
        const QString target = QDir(folder).filePath(table + ".DBF");
        QString reason;
        if (!LinkOrCopy(TableFilePath(workingDirectory_, table), target, &reason))
            throw messages::BackupNotMade(table, target, reason);
        held << BackupTable{table, RowsOf(folder, table)};
    }
    QString reason;
    const QString describedPath = QDir(folder).filePath(QString::fromLatin1(kBackupDescriptionName));
    if (!WriteFileAtomically(describedPath, BackupDescriptionBytes(described, held), &reason))
        throw messages::BackupDescriptionNotWritten(describedPath, reason);
    SyncDirectory(folder);
    SyncDirectory(stagedRoot);
    SyncDirectory(directory_);
    backup_ = name;
    return name;
}

void Staging::Commit(const QStringList& tables, const QStringList& removed) {
    // A table's place taken by what is no file (a folder) would stop the
    // moves half-way, with part of the tables replaced: refused before
    // anything moves.
    for (const QString& table : tables) {
        const QFileInfo target(QDir(workingDirectory_).filePath(table + ".DBF"));
        if (target.exists() && !target.isFile()) throw messages::TablePlaceNotAFile(table, target.filePath());
    }
    for (const QString& table : tables) SyncFile(QDir(directory_).filePath(table + ".DBF"));
    QString failure;
    if (!WriteFileAtomically(QDir(directory_).filePath(kCommitName), CommitBytes({tables, removed, backup_}), &failure))
        throw messages::StagingNotWritten(directory_, failure);
    SyncDirectory(directory_);
    // From here on the new tables are the valid set: an interruption is
    // finished by the next run.
    committed_ = true;
    PlaceBackup(workingDirectory_, directory_, backup_);
    for (const QString& table : tables) MoveIntoPlace(workingDirectory_, directory_, table);
    for (const QString& table : removed) RemoveFromPlace(workingDirectory_, table);
    SyncDirectory(workingDirectory_);
    RemoveFolder(directory_);
    if (!backup_.isEmpty()) PruneBackups(workingDirectory_);
}

void CheckTablesFree(const QString& directory, const QStringList& tables) {
    // Only the lock matters: an old table that is damaged is replaced all the same.
    for (const QString& name : tables) {
        if (Table::IsHeldElsewhere(directory, name))
            throw messages::TableInUseCloseHoralis(name, Table(directory, name).filePath());
    }
}

}  // namespace puente
