// ASIGNOMT: one row per subject, then the lective row.
#include "common/Messages.h"
#include "exchange/Document.h"
#include "forward/CodeRegistry.h"
#include "forward/Conversions.h"
#include "forward/NewTable.h"
#include "text/TextHelpers.h"

namespace puente {

namespace {

const QList<FieldSpec> kFields = {
    {"COD", FieldKind::Character, 10},    {"CODLARGO", FieldKind::Character, 10},
    {"NOMBRE", FieldKind::Character, 80}, {"DENIVEL", FieldKind::Character, 5},
    {"DECURSO", FieldKind::Character, 3}, {"CODTAREA", FieldKind::Character, 10},
    {"ESTAREA", FieldKind::Logical, 0},   {"IDASIG", FieldKind::Character, 10},
};

}  // namespace

void ExportarMaterias(const ForwardContext& ctx, TableReport& report) {
    auto table = RebuildTable(ctx.directory, tables::kAsignomt, kFields);
    Field cod = table->FieldByName("COD"), codlargo = table->FieldByName("CODLARGO"),
          nombreField = table->FieldByName("NOMBRE"), denivel = table->FieldByName("DENIVEL"),
          decurso = table->FieldByName("DECURSO"), codtarea = table->FieldByName("CODTAREA"),
          estarea = table->FieldByName("ESTAREA"), idasig = table->FieldByName("IDASIG");
    CodeRegistry registry(CodeRegistry::Case::Significant, 9, true);

    const QList<Element> elements = ctx.document.selectNodes("/centro/materias/dmaterias");
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const Element& e = elements[i];
        const ItemName element{messages::ItemSubject, i + 1};
        const QString abrev = ReadAttribute(e, "abrev");
        const QString nombre = ReadAttribute(e, "nombre");
        const QString tarea = ReadAttribute(e, "codigo_actividad");
        if (abrev == tarea) {
            report.notes << messages::NoteSubjectIsTask(i + 1, nombre, abrev);
            continue;
        }
        QString code = abrev.isEmpty() ? LeftPart(nombre, 1) + WordInitials(nombre) : abrev;
        code = RemoveSpaces(code).left(10);
        bool numbered = false;
        const QString written = registry.Give(code, &numbered);
        if (numbered)
            report.notes << messages::NoteSubjectCodeRepeated(i + 1, nombre, RepeatedCode(registry, code), written);

        table->Append();
        SetCode(cod, written, code, numbered, element, report);
        SetText(codlargo, nombre.left(10), element, report);
        SetText(nombreField, nombre, element, report);
        SetText(denivel, ReadAttribute(e, "denivel"), element, report);
        SetText(decurso, ReadAttribute(e, "decurso"), element, report);
        SetText(codtarea, tarea, element, report);
        estarea.SetAsBoolean(false);
        SetText(idasig, ReadAttribute(e, "codigo"), element, report);
        table->Post();
        ++report.rows;
    }

    // The lective row closes the table; its code stays outside the registry.
    table->Append();
    cod.SetAsString("LECT");
    codlargo.SetAsString("LECTIVA");
    nombreField.SetAsString("Materia Lectiva de Docencia Directa");
    denivel.SetAsString(QString());
    decurso.SetAsString(QString());
    codtarea.SetAsString("LECT");
    estarea.SetAsBoolean(true);
    idasig.SetAsString("LECT");
    table->Post();
    ++report.rows;
    table->Close();
}

}  // namespace puente
