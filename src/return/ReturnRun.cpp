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

namespace {

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
        notes << messages::NoteUnfitForXml(record, QString::fromLatin1(v.attribute), QString::fromUtf8(v.source),
                                           *v.value);
    }
}

}  // namespace

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

    // Only the document's head is kept: the result takes the root's
    // attributes and the nodes outside the root; the rest is read to check
    // that the document is well-formed, and let go.
    Document head;
    const LoadResult loaded = head.load(document, Reading::HeadOnly);
    if (!loaded.ok()) throw LoadError(loaded, document);
    const Element root = head.documentElement();
    if (root.isNull() || root.name() != "centro")
        throw messages::NotCentro(document, root.isNull() ? QString() : root.name());
    const CentroValues centro = ResultCentro(head);
    // Written beside its place as the entries come, put in place at the end.
    report.resultPath = ResultadoPath(document);
    ResultWriter result(head, report.resultPath, centro);

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
        if (std::optional<DsolucionEntry> entry = translator.Translate()) {
            MakeFitForXml(*entry, soluc.RecordNumber(), report.notes);
            result.append(*entry);
            ++report.entries;
        } else {
            ++report.subjectNotFound;
        }
    }
    for (Table* t : {&soluc, &grupos, &profesores, &aulas, &materias, &asig}) t->Close();

    result.commit();
    return report;
}

}  // namespace puente
