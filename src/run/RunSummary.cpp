#include "run/RunSummary.h"

#include "common/Messages.h"

namespace puente {

QStringList ForwardSummary(const ForwardReport& report) {
    QStringList lines{messages::SummaryDocument(report.document),
                      messages::SummaryWorkingDirectory(report.workingDirectory)};
    for (const TableReport& t : report.tables) {
        lines << messages::SummaryTableRows(t.table, t.rows);
        for (const QString& note : t.notes) lines << QStringLiteral("  - ") + note;
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
