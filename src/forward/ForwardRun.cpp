#include "forward/ForwardRun.h"

#include "common/Messages.h"
#include "exchange/Document.h"
#include "forward/Conversions.h"
#include "forward/TableChanges.h"
#include "run/ExchangeInput.h"
#include "run/Staging.h"
#include "run/WorkingDirectoryLock.h"

#include <QFileInfo>
#include <QTemporaryDir>

namespace puente {

void CheckForwardInput(const QString& document) {
    if (!FileExists(document)) throw messages::NoForwardDocument(document);
}

namespace {

ForwardReport Simulate(const Document& loaded, const QString& document, const QString& workingDirectory) {
    const QStringList tables = ForwardTableNames();
    // Nothing is created in the working directory, not even when it is
    // missing: a run would create it, a simulation only says so.
    if (QFileInfo(workingDirectory).isDir()) CheckTablesFree(workingDirectory, tables);
    QTemporaryDir aside;
    if (!aside.isValid()) throw messages::SimulationFolderNotCreated(aside.errorString());

    ForwardReport report;
    report.document = document;
    report.workingDirectory = workingDirectory;
    report.simulated = true;
    RunConversions(ForwardContext{loaded, aside.path()}, report);
    report.changes = CompareTables(tables, aside.path(), workingDirectory);
    for (const TableChanges& changes : report.changes)
        if (!changes.currentProblem.isEmpty())
            for (TableReport& table : report.tables)
                if (table.table == changes.table) table.notes << changes.currentProblem;
    return report;
}

}  // namespace

ForwardReport RunForward(const QString& document, const QString& workingDirectory, const ForwardOptions& options) {
    CheckForwardInput(document);
    RequireWorkingDirectory(workingDirectory);
    const std::unique_ptr<Document> loaded = LoadExchangeDocument(document, Reading::ElementsOnly);
    if (options.simulate) return Simulate(*loaded, document, workingDirectory);

    WorkingDirectoryLock lock(workingDirectory);
    const QStringList tables = ForwardTableNames();
    CheckTablesFree(workingDirectory, tables);
    Staging staging(workingDirectory);

    ForwardReport report;
    report.document = document;
    report.workingDirectory = workingDirectory;
    RunConversions(ForwardContext{*loaded, staging.directory()}, report);

    report.backup = staging.PrepareBackup(
        tables, BackupDescription{QDateTime(), document, options.frontEnd, kBackupReasonForward, QString()});
    CheckTablesFree(workingDirectory, tables);
    staging.Commit(tables);
    return report;
}

}  // namespace puente
