#include "run/Restore.h"

#include "common/Messages.h"
#include "platform/Durable.h"
#include "platform/SystemErrors.h"
#include "run/Backups.h"
#include "run/Staging.h"
#include "run/TableFiles.h"
#include "run/TableNames.h"
#include "run/WorkingDirectoryLock.h"

#include <QDir>
#include <QFileInfo>

#include <filesystem>
#include <optional>
#include <system_error>

namespace puente {

namespace {

BackupInfo Chosen(const QString& workingDirectory, const QString& name) {
    const std::optional<BackupInfo> found = FindBackup(workingDirectory, name);
    if (found) return *found;
    if (name.isEmpty()) throw messages::NoBackups(workingDirectory);
    throw messages::NoSuchBackup(name, workingDirectory);
}

QStringList ForwardSet() {
    QStringList set;
    for (const char* table : tables::kForwardSet) set << QString::fromLatin1(table);
    return set;
}

}  // namespace

RestoreReport RestoreBackup(const QString& workingDirectory, const QString& name, const QString& frontEnd) {
    // Checked before the lock, which would create a missing working directory.
    Chosen(workingDirectory, name);

    WorkingDirectoryLock lock(workingDirectory);
    const QStringList set = ForwardSet();
    CheckTablesFree(workingDirectory, set);
    Staging staging(workingDirectory);  // finishes an interrupted run first
    const BackupInfo backup = Chosen(workingDirectory, name);

    RestoreReport report;
    report.workingDirectory = workingDirectory;
    report.restored = backup.name;
    QStringList restored;
    for (const BackupTable& table : backup.tables) {
        if (!set.contains(table.table)) continue;  // only the forward set is restored
        // The file as the backup names it, whatever its letter case.
        QString source;
        const QStringList entries = QDir(backup.path).entryList(QDir::Files);
        for (const QString& entry : entries)
            if (entry.compare(table.table + ".DBF", Qt::CaseInsensitive) == 0)
                source = QDir(backup.path).filePath(entry);
        const QString target = QDir(staging.directory()).filePath(table.table + ".DBF");
        std::error_code ec;
        std::filesystem::copy_file(std::filesystem::path(source.toStdU16String()),
                                   std::filesystem::path(target.toStdU16String()), ec);
        if (ec) throw messages::BackupTableNotCopied(table.table, backup.name, SystemErrorText(ec.value()));
        restored << table.table;
        report.tables << table;
    }
    if (restored.isEmpty()) throw messages::BackupHoldsNoTable(backup.name, backup.path);
    // Tables of the set that the backup lacks did not exist when it was made.
    for (const QString& table : set)
        if (!restored.contains(table) && TableFileExists(workingDirectory, table)) report.removed << table;

    report.backup = staging.PrepareBackup(
        set, BackupDescription{QDateTime(), QString(), frontEnd, kBackupReasonRestore, backup.name});
    CheckTablesFree(workingDirectory, set);
    staging.Commit(restored, report.removed);
    return report;
}

}  // namespace puente
