#include "forward/ForwardRun.h"

#include "common/Messages.h"
#include "exchange/Document.h"
#include "forward/Conversions.h"
#include "run/ExchangeInput.h"
#include "run/Staging.h"
#include "run/WorkingDirectoryLock.h"

namespace puente {

void CheckForwardInput(const QString& document) {
    if (!FileExists(document)) throw messages::NoForwardDocument(document);
}

ForwardReport RunForward(const QString& document, const QString& workingDirectory) {
    CheckForwardInput(document);
    RequireWorkingDirectory(workingDirectory);
    const std::unique_ptr<Document> loaded = LoadExchangeDocument(document);

    WorkingDirectoryLock lock(workingDirectory);
    const QStringList tables = ForwardTableNames();
    CheckTablesFree(workingDirectory, tables);
    Staging staging(workingDirectory);

    ForwardReport report{document, workingDirectory, {}};
    RunConversions(ForwardContext{*loaded, staging.directory()}, report);

    CheckTablesFree(workingDirectory, tables);
    staging.Commit(tables);
    return report;
}

}  // namespace puente
