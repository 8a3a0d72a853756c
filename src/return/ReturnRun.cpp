#include "return/ReturnRun.h"

#include "common/Messages.h"
#include "exchange/Document.h"
#include "return/Solution.h"
#include "run/ExchangeInput.h"
#include "run/Staging.h"
#include "run/TableFiles.h"
#include "run/TableNames.h"
#include "run/WorkingDirectoryLock.h"
#include "tablestore/Table.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

namespace puente {

void CheckReturnInput(const QString& document, const QString& workingDirectory) {
    if (!FileExists(document)) throw messages::NoReturnInput(document);
    if (!TableFileExists(workingDirectory, tables::kSoluc))
        throw messages::NoReturnInput(QDir(workingDirectory).filePath(QStringLiteral("SOLUC.DBF")));
}

ReturnReport RunReturn(const QString& document, const QString& workingDirectory) {
    CheckReturnInput(document, workingDirectory);
    const QString& dir = workingDirectory;
    ReturnReport report;
    report.document = document;
    report.workingDirectory = workingDirectory;

    // A forward run that was interrupted while putting its tables in place
    // is finished first, so the lookups see one consistent set.
    if (QFileInfo::exists(QDir(dir).filePath(".puente-staging"))) {
        WorkingDirectoryLock lock(dir);
        Staging::Recover(dir);
    }

    // Declared in opening order, so they close in reverse on every path.
    Table soluc(dir, tables::kSoluc), grupos(dir, tables::kGrupost), profesores(dir, tables::kProft),
        aulas(dir, tables::kAulat), materias(dir, tables::kAsignomt), asig(dir, tables::kAsigt);
    for (Table* t : {&soluc, &grupos, &profesores, &aulas, &materias, &asig}) t->Open(OpenMode::Exclusive);

    const std::unique_ptr<Document> loaded = LoadExchangeDocument(document);
    Element solucionHorario = RebuildCentro(*loaded);

    SolucTables lookups{soluc, grupos, profesores, aulas, materias};
    SolucTranslator translator(lookups);
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
            ++report.withoutDayOrHour;
            continue;
        }
        if (const std::optional<DsolucionEntry> entry = translator.Translate()) {
            AppendDsolucion(*loaded, solucionHorario, *entry);
            ++report.entries;
        } else {
            ++report.subjectNotFound;
        }
    }
    for (Table* t : {&soluc, &grupos, &profesores, &aulas, &materias, &asig}) t->Close();

    report.resultPath = ResultadoPath(document);
    loaded->save(report.resultPath);
    return report;
}

}  // namespace puente
