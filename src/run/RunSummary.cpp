#include "run/RunSummary.h"

#include "common/Messages.h"

#include <QDir>

namespace puente {

QStringList ForwardSummary(const ForwardReport& report) {
    QStringList lines{messages::SummaryDocument(report.document),
                      messages::SummaryWorkingDirectory(report.workingDirectory)};
    for (const TableReport& t : report.tables) {
        lines << messages::SummaryTableRows(t.table, t.rows);
        for (const QString& note : t.notes) lines << QStringLiteral("  - ") + note;
    }
    if (!report.backup.isEmpty())
        lines << messages::SummaryBackupMade(QDir(BackupsFolder(report.workingDirectory)).filePath(report.backup));
    return lines;
}

QStringList SimulationSummary(const ForwardReport& report) {
    QStringList lines{messages::SummarySimulated()};
    for (const TableChanges& c : report.changes) {
        if (!c.currentExists)
            lines << messages::SummaryNoCurrentTable(c.table, c.newRows);
        else
            lines << messages::SummaryTableChanges(c.table, c.currentRows, c.newRows, int(c.added.size()),
                                                   int(c.removed.size()), int(c.changed.size()));
        if (!c.currentProblem.isEmpty()) lines << QStringLiteral("  ") + c.currentProblem;
        for (const ItemChange& i : c.added) lines << messages::SummaryItemAdded(i.key, i.label);
        for (const ItemChange& i : c.removed) lines << messages::SummaryItemRemoved(i.key, i.label);
        for (const ItemChange& i : c.changed) lines << messages::SummaryItemChanged(i.key, i.label, i.fields);
    }
    return lines;
}

QStringList RestoreSummary(const RestoreReport& report) {
    QStringList lines{messages::SummaryRestored(report.restored),
                      messages::SummaryWorkingDirectory(report.workingDirectory)};
    for (const BackupTable& t : report.tables) lines << messages::SummaryTableRows(t.table, t.rows);
    for (const QString& t : report.removed) lines << messages::SummaryTableRemoved(t);
    if (!report.backup.isEmpty()) lines << messages::SummaryRestoreBackup(report.backup);
    return lines;
}

QStringList BackupsSummary(const QList<BackupInfo>& backups, const QString& workingDirectory) {
    if (backups.isEmpty()) return {messages::SummaryNoBackups(workingDirectory)};
    QStringList lines;
    for (const BackupInfo& b : backups) {
        const QString time = b.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        lines << (b.reason == kBackupReasonRestore ? messages::SummaryBackupOfRestore(b.name, time, b.restored)
                                                   : messages::SummaryBackupLine(b.name, time, b.document, b.frontEnd));
        QStringList tables;
        for (const BackupTable& t : b.tables)
            tables << (t.rows < 0 ? t.table + QStringLiteral(" ?") : QStringLiteral("%1 %2").arg(t.table).arg(t.rows));
        lines << messages::SummaryBackupTables(tables);
    }
    return lines;
}

QStringList ReturnSummary(const ReturnReport& report) {
    QStringList lines{messages::SummaryResult(report.resultPath), messages::SummaryEntries(report.entries),
                      messages::SummaryWithoutDayOrHour(report.withoutDayOrHour),
                      messages::SummarySubjectNotFound(report.subjectNotFound)};
    for (const QString& note : report.notes) lines << QStringLiteral("  - ") + note;
    return lines;
}

}  // namespace puente
