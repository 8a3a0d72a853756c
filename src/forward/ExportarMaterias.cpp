// ASIGNOMT: one row per subject, then the lective row.
#include "exchange/Document.h"
#include "forward/CodeRegistry.h"
#include "forward/Conversions.h"
#include "forward/TableShape.h"
#include "text/TextHelpers.h"

namespace puente {

namespace {

const QList<FieldSpec> kFields = {
    {"COD", FieldKind::Character, 10},      {"CODLARGO", FieldKind::Character, 10},
    {"NOMBRE", FieldKind::Character, 80},   {"DENIVEL", FieldKind::Character, 5},
    {"DECURSO", FieldKind::Character, 3},   {"CODTAREA", FieldKind::Character, 10},
    {"ESTAREA", FieldKind::Logical, 0},     {"IDASIG", FieldKind::Character, 10},
};

}  // namespace

QString ReadAttribute(const Element& element, const QString& name) {
    return TrimSpaces(element.attribute(name).value_or(QString()));
}

QString RepeatedCode(const CodeRegistry& registry, const QString& code) {
    const QString stored = registry.Stored(code);
    if (stored == code) return QString("'%1'").arg(code);
    return QString("'%1' (se guarda como '%2')").arg(code, stored);
}

void ExportarMaterias(ForwardContext& ctx) {
    TableReport* report = ReportFor(ctx.report, "ASIGNOMT");
    auto table = RebuildTable(ctx.directory, "ASIGNOMT", kFields);
    CodeRegistry registry(CodeRegistry::Case::Significant, 9, true);

    const QList<Element> elements = ctx.document.selectNodes("/centro/materias/dmaterias");
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const Element& e = elements[i];
        const QString abrev = ReadAttribute(e, "abrev");
        const QString nombre = ReadAttribute(e, "nombre");
        const QString tarea = ReadAttribute(e, "codigo_actividad");
        if (abrev == tarea) {
            if (report)
                report->notes << QString("Materia %1 ('%2'): abrev igual a codigo_actividad ('%3'); no se escribe.")
                                     .arg(i + 1).arg(nombre, abrev);
            continue;
        }
        QString code = abrev.isEmpty() ? LeftPart(nombre, 1) + WordInitials(nombre) : abrev;
        code = RemoveSpaces(code).left(10);
        bool numbered = false;
        const QString written = registry.Give(code, &numbered);
        if (report && numbered)
            report->notes << QString("Materia %1 ('%2'): código %3 repetido; se escribe '%4'.")
                                 .arg(i + 1).arg(nombre, RepeatedCode(registry, code), written);

        table->Append();
        table->FieldByName("COD").SetAsString(written);
        table->FieldByName("CODLARGO").SetAsString(nombre.left(10));
        table->FieldByName("NOMBRE").SetAsString(nombre);
        table->FieldByName("DENIVEL").SetAsString(ReadAttribute(e, "denivel"));
        table->FieldByName("DECURSO").SetAsString(ReadAttribute(e, "decurso"));
        table->FieldByName("CODTAREA").SetAsString(tarea);
        table->FieldByName("ESTAREA").SetAsBoolean(false);
        table->FieldByName("IDASIG").SetAsString(ReadAttribute(e, "codigo"));
        table->Post();
        if (report) ++report->rows;
    }

    // The lective row closes the table; its code stays outside the registry.
    table->Append();
    table->FieldByName("COD").SetAsString("LECT");
    table->FieldByName("CODLARGO").SetAsString("LECTIVA");
    table->FieldByName("NOMBRE").SetAsString("Materia Lectiva de Docencia Directa");
    table->FieldByName("DENIVEL").SetAsString(QString());
    table->FieldByName("DECURSO").SetAsString(QString());
    table->FieldByName("CODTAREA").SetAsString("LECT");
    table->FieldByName("ESTAREA").SetAsBoolean(true);
    table->FieldByName("IDASIG").SetAsString("LECT");
    table->Post();
    if (report) ++report->rows;
    table->Close();
}

}  // namespace puente
