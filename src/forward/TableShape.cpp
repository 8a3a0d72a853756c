#include "forward/TableShape.h"

#include "forward/ForwardRun.h"

#include <QDir>
#include <QFile>

namespace puente {

bool RemoveTableFile(const QString& directory, const QString& name, const QString& extension) {
    const QString wanted = name + "." + extension;
    QDir dir(directory);
    bool allGone = true;
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (entry.compare(wanted, Qt::CaseInsensitive) != 0) continue;
        if (!QFile::remove(dir.filePath(entry))) allGone = false;
    }
    return allGone;
}

std::unique_ptr<Table> RebuildTable(const QString& directory, const QString& name,
                                    const QList<FieldSpec>& fields, OpenMode mode) {
    RemoveTableFile(directory, name, "DBF");
    RemoveTableFile(directory, name, "MDX");
    auto table = std::make_unique<Table>(directory, name);
    table->CreateTable(fields);
    table->Open(mode);
    // Built in the staging folder, where nothing reads it before it is
    // complete: records are written in batches.
    table->SetWriteBehind(true);
    return table;
}

TableReport* ReportFor(ForwardReport* report, const QString& table) {
    if (!report) return nullptr;
    report->tables.append(TableReport{table, 0, {}});
    return &report->tables.last();
}

}  // namespace puente
