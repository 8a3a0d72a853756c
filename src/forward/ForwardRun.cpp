#include "forward/ForwardRun.h"

#include "exchange/Document.h"
#include "forward/Conversions.h"
#include "forward/RunSupport.h"
#include "forward/Session.h"
#include "forward/Staging.h"

namespace puente {

RunEnd ExportRun(Session& session, UserInterface& ui, ForwardReport* report) {
    ChooseDocument(session, ui);
    if (!FileExists(session.filenameXML)) {
        ui.ShowMessage("No existe archivo");
        if (session.commandLineMode) {
            session.outcome = -1;
            ui.CloseWindow();
        }
        return RunEnd::NoInput;
    }

    session.document = LoadExchangeDocument(session.filenameXML);
    {
        WaitCursor wait(ui);
        WorkingDirectoryLock lock(session.workingDirectory);
        const QStringList& tables = ForwardTableNames();
        CheckTablesFree(session.workingDirectory, tables);
        Staging staging(session.workingDirectory);

        ForwardReport local;
        ForwardReport& filled = report ? *report : local;
        filled = ForwardReport{session.filenameXML, {}};
        ForwardContext ctx{*session.document, staging.directory(), &filled};
        ExportarMaterias(ctx);
        ExportarProfesores(ctx);
        ExportarAulas(ctx);
        ExportarGrupos(ctx);
        ExportarDiasHoras(ctx);
        ExportarAsignaturas(ctx);

        CheckTablesFree(session.workingDirectory, tables);
        staging.Commit(tables);
    }
    session.outcome = 1;
    ui.ShowMessage("Proceso finalizado");
    if (session.commandLineMode) ui.CloseWindow();
    return RunEnd::Done;
}

}  // namespace puente
