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

// Whether XML 1.0 can hold the character: tab, line feed, carriage return,
// U+0020 to U+D7FF, U+E000 to U+FFFD and (as a surrogate pair) U+10000 on.
bool IsXmlChar(char16_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD);
}

// Puts '?' in place of every character of `value` that XML cannot hold (a
// lone surrogate among them); true when there was any.
bool ReplaceNonXmlCharacters(QString& value) {
    bool replaced = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < value.size() && QChar::isLowSurrogate(value[i + 1].unicode())) {
            ++i;
            continue;
        }
        if (!IsXmlChar(c) || QChar::isSurrogate(c)) {
            value[i] = u'?';
            replaced = true;
        }
    }
    return replaced;
}

// The entry's texts made fit for XML, each change noted with the SOLUC
// record it came from and where the value was read.
void MakeFitForXml(DsolucionEntry& entry, qint64 record, QStringList& notes) {
    const struct {
        QString* value;
        const char* attribute;
        const char* source;
    } values[] = {
        {&entry.casig, "casig", "IDASIG de ASIGNOMT"},
        {&entry.cgrupo, "cgrupo", "IDGRUPO de GRUPOST"},
        {&entry.cprofe, "cprofe", "IDPROF de PROFT"},
        {&entry.caula, "caula", "IDAULA de AULAT"},
        {&entry.cactiv, "cactiv", "TAREA de SOLUC, o IDASIG de ASIGNOMT"},
        {&entry.hora, "hora", "HORA de SOLUC"},
        {&entry.sesiones, "sesiones", "SESIONES de SOLUC"},
        {&entry.idcurso, "idcurso", "CURSO de GRUPOST"},
    };
    for (const auto& v : values) {
        if (!ReplaceNonXmlCharacters(*v.value)) continue;
        notes << QString("Registro %1 de SOLUC: el valor de %2 (%3) tiene caracteres que XML no admite; "
                         "se escribe '%4'.")
                     .arg(record)
                     .arg(QLatin1StringView(v.attribute), QLatin1StringView(v.source), *v.value);
    }
}

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
            if (std::optional<DsolucionEntry> entry = translator.Translate()) {
                MakeFitForXml(*entry, soluc.RecordNumber(), filled.notes);
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
