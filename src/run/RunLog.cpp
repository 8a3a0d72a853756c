#include "run/RunLog.h"

#include "common/Messages.h"
#include "platform/SystemErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace puente {

namespace {

void Say(QString* reason, const QString& text) {
    if (reason) *reason = text;
}

}  // namespace

RunLogEntry LogEntryOf(const ForwardReport& report, const QString& frontEnd) {
    RunLogEntry entry;
    entry.direction = messages::kLogDirectionForward;
    entry.frontEnd = frontEnd;
    entry.document = report.document;
    entry.outcome = messages::kLogOutcomeDone;
    qsizetype notes = 0;
    for (const TableReport& t : report.tables) notes += t.notes.size();
    entry.notes.reserve(notes);
    for (const TableReport& t : report.tables) {
        entry.summary << messages::SummaryTableRows(t.table, t.rows);
        for (const QString& note : t.notes) entry.notes << messages::LogTableNote(t.table, note);
    }
    if (!report.backup.isEmpty()) entry.summary << messages::LogBackupMade(report.backup);
    return entry;
}

RunLogEntry LogEntryOf(const ReturnReport& report, const QString& frontEnd) {
    RunLogEntry entry;
    entry.direction = messages::kLogDirectionReturn;
    entry.frontEnd = frontEnd;
    entry.document = report.document;
    entry.outcome = messages::kLogOutcomeDone;
    entry.summary << messages::SummaryResult(report.resultPath) << messages::SummaryEntries(report.entries)
                  << messages::SummaryWithoutDayOrHour(report.withoutDayOrHour)
                  << messages::SummarySubjectNotFound(report.subjectNotFound);
    entry.notes = report.notes;
    return entry;
}

RunLogEntry LogEntryOf(const RestoreReport& report, const QString& frontEnd) {
    RunLogEntry entry;
    entry.direction = messages::kLogDirectionRestore;
    entry.frontEnd = frontEnd;
    entry.outcome = messages::kLogOutcomeDone;
    entry.summary << messages::LogBackupRestored(report.restored);
    for (const BackupTable& t : report.tables)
        entry.summary << (t.rows < 0 ? t.table : messages::SummaryTableRows(t.table, t.rows));
    for (const QString& table : report.removed) entry.summary << messages::LogTableRemoved(table);
    if (!report.backup.isEmpty()) entry.summary << messages::LogBackupMade(report.backup);
    return entry;
}

RunLogEntry LogEntryOf(const QString& direction, const QString& document, const QString& frontEnd, const Error& error) {
    RunLogEntry entry;
    entry.direction = direction;
    entry.frontEnd = frontEnd;
    entry.document = document;
    entry.outcome = error.kind() == ErrorKind::NoInput ? messages::kLogOutcomeNoInput : messages::kLogOutcomeFailed;
    entry.error = error.message();
    return entry;
}

QString RunLogText(const RunLogEntry& entry) {
    const QDateTime time = entry.time.isValid() ? entry.time : QDateTime::currentDateTime();
    QStringList lines;
    lines << messages::LogHeader(time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), entry.direction, entry.frontEnd);
    if (!entry.document.isEmpty()) lines << messages::LogDocument(entry.document);
    lines << messages::LogOutcome(entry.outcome);
    lines << entry.summary;
    for (const QString& note : entry.notes) lines << QStringLiteral("  - ") + note;
    if (!entry.error.isEmpty()) lines << messages::LogError(entry.error);
    // One entry, one line each: line ends inside a text are kept in the line.
    for (QString& line : lines) line.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace('\n', ' ');
    return lines.join('\n') + QStringLiteral("\n\n");
}

bool AppendRunLog(const QString& workingDirectory, const RunLogEntry& entry, QString* reason) {
    const QString path = QDir(workingDirectory).filePath(QString::fromLatin1(kRunLogName));
    try {
        if (!QFileInfo(workingDirectory).isDir()) {
            Say(reason, messages::LogNotWritten(path, messages::LogWorkingDirectoryMissing(workingDirectory)));
            return false;
        }
        const QByteArray bytes = RunLogText(entry).toUtf8();
        QString renewal;
        const QFileInfo current(path);
        if (current.isFile() && current.size() > 0 && current.size() + bytes.size() > kRunLogLimit) {
            const QString older = QDir(workingDirectory).filePath(QString::fromLatin1(kRunLogOlderName));
            std::error_code ec;
            std::filesystem::rename(std::filesystem::path(path.toStdU16String()),
                                    std::filesystem::path(older.toStdU16String()), ec);
            if (ec) renewal = messages::LogNotRenewed(path, SystemErrorText(ec.value()));
        }
        QFile log(path);
        if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            Say(reason, messages::LogNotWritten(path, FileErrorText(log)));
            return false;
        }
        // One write: entries of two runs that end at once do not interleave.
        // A write cut short (disk full) is taken back, leaving no half entry.
        const qint64 before = log.size();
        if (log.write(bytes) != bytes.size()) {
            Say(reason, messages::LogNotWritten(path, FileErrorText(log)));
            log.resize(before);
            return false;
        }
        log.close();
        if (!renewal.isEmpty()) {
            Say(reason, renewal);
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        Say(reason, messages::LogNotWritten(path, QString::fromLocal8Bit(e.what())));
    } catch (...) {
        Say(reason, messages::LogNotWritten(path, messages::kUnknownFailure));
    }
    return false;
}

}  // namespace puente
