#include "return/ReturnRun.h"

#include "exchange/Document.h"
#include "forward/RunSupport.h"
#include "forward/Session.h"
#include "forward/Staging.h"
#include "return/Solution.h"
#include "tablestore/Table.h"

#include <QDir>
#include <QFileInfo>

namespace puente {

namespace {

const QString kReminder = QStringLiteral("Deberá Abrir el fichero XML de ZELTA,\r\ndesde el cual realizó la Importación a Horalis");

bool TableExists(const QString& directory, const QString& name) {
    const QStringList entries = QDir(directory).entryList(QDir::Files);
    for (const QString& entry : entries)
        if (entry.compare(name + ".DBF", Qt::CaseInsensitive) == 0) return true;
    return false;
}

}  // namespace

RunEnd ImportRun(Session& session, UserInterface& ui, ImportReport* report) {
    ui.ShowMessage(kReminder);
    ChooseDocument(session, ui);
    const QString& dir = session.workingDirectory;
    if (!FileExists(session.filenameXML) || !TableExists(dir, "SOLUC")) {
        ui.ShowMessage("No existe archivo XML o Solución.");
        if (session.commandLineMode) {
            session.outcome = -1;
            ui.CloseWindow();
        }
        return RunEnd::NoInput;
    }

    ImportReport local;
    ImportReport& filled = report ? *report : local;
    filled = ImportReport{};
    {
        WaitCursor wait(ui);
        // A forward run that was interrupted while putting its tables in
        // place is finished first, so the lookups see one consistent set.
        if (QFileInfo::exists(QDir(dir).filePath(".puente-staging"))) {
            WorkingDirectoryLock lock(dir);
            Staging::Recover(dir);
        }

        // Declared in opening order, so they close in reverse on every path.
        Table soluc(dir, "SOLUC"), grupos(dir, "GRUPOST"), profesores(dir, "PROFT"), aulas(dir, "AULAT"),
            materias(dir, "ASIGNOMT"), asig(dir, "ASIGT");
        for (Table* t : {&soluc, &grupos, &profesores, &aulas, &materias, &asig}) t->Open(OpenMode::Exclusive);

        session.document = LoadExchangeDocument(session.filenameXML);
        Document& document = *session.document;
        Element solucionHorario = RebuildCentro(document);

        SolucTables tables{soluc, grupos, profesores, aulas, materias};
        SolucTranslator translator(tables);
        // Found by name at their first reading, so that a missing one raises
        // only when a record needs it.
        std::optional<Field> dia, hora;
        for (soluc.First(); !soluc.Eof(); soluc.Next()) {
            if (!dia) dia = soluc.FieldByName("DIA");
            bool placed = dia->AsInteger() != 0;
            if (placed) {
                if (!hora) hora = soluc.FieldByName("HORA");
                placed = hora->AsFloat() != 0;
            }
            if (!placed) {
                ++filled.filteredOut;
                continue;
            }
            if (const std::optional<DsolucionEntry> entry = translator.Translate()) {
                AppendDsolucion(document, solucionHorario, *entry);
                ++filled.entries;
            } else {
                ++filled.untranslated;
            }
        }
        for (Table* t : {&soluc, &grupos, &profesores, &aulas, &materias, &asig}) t->Close();

        filled.resultPath = ResultadoPath(session.filenameXML);
        document.save(filled.resultPath);
    }
    session.outcome = 1;
    ui.ShowMessage("Proceso finalizado");
    if (session.commandLineMode) ui.CloseWindow();
    return RunEnd::Done;
}

}  // namespace puente
