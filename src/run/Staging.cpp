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

#include <filesystem>
#include <system_error>

namespace puente {

namespace {

const QString kStagingName = ".puente-staging";
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
    // Wide paths: on Windows a narrow one is read in the ANSI code page.
    std::filesystem::rename(std::filesystem::path(source.toStdU16String()),
                            std::filesystem::path(target.toStdU16String()), ec);
    if (ec) {
        // The reason in Spanish, not the library's English bytes.
        const QString reason =
            ec.category() == std::generic_category() ? ErrnoText(ec.value()) : SystemErrorText(ec.value());
        throw messages::TableNotPlaced(table, working, reason);
    }
    RemoveTableFile(working, table, "MDX");
}

void RemoveFolder(const QString& path) {
    QDir(path).removeRecursively();
}

}  // namespace

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
    if (!QDir().mkpath(directory_)) throw messages::StagingNotCreated(directory_);
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
        if (target.exists() && !target.isFile()) throw messages::TablePlaceNotAFile(table, target.filePath());
    }
    for (const QString& table : tables) SyncFile(QDir(directory_).filePath(table + ".DBF"));
    QString failure;
    if (!WriteFileAtomically(QDir(directory_).filePath(kCommitName), tables.join('\n').toUtf8() + '\n', &failure))
        throw messages::StagingNotWritten(directory_, failure);
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
            throw messages::TableInUseCloseHoralis(name, Table(directory, name).filePath());
    }
}

}  // namespace puente
