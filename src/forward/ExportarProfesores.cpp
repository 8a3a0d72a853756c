// PROFT: one row per teacher, the abbreviation as Horalis teacher code.
#include "common/Messages.h"
#include "exchange/Document.h"
#include "forward/CodeRegistry.h"
#include "forward/Conversions.h"
#include "forward/NewTable.h"

namespace puente {

namespace {

const QList<FieldSpec> kFields = {
    {"ABREV", FieldKind::Character, 10}, {"NOMBRE", FieldKind::Character, 80}, {"DEPART", FieldKind::Character, 40},
    {"DNI", FieldKind::Character, 14},   {"IDPROF", FieldKind::Character, 10}, {"EMAIL", FieldKind::Character, 100},
};

}  // namespace

void ExportarProfesores(const ForwardContext& ctx, TableReport& report) {
    auto table = RebuildTable(ctx.directory, tables::kProft, kFields);
    Field abrevField = table->FieldByName("ABREV"), nombreField = table->FieldByName("NOMBRE"),
          dni = table->FieldByName("DNI"), departField = table->FieldByName("DEPART"),
          idprof = table->FieldByName("IDPROF");
    // The abbreviation is taken as it is: no spaces removed, only a numbered
    // code longer than the field is shortened.
    CodeRegistry registry(CodeRegistry::Case::Ignored, 9, false);

    const QList<Element> elements = ctx.document.selectNodes("/centro/profesores/profesor");
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const Element& e = elements[i];
        const ItemName element{messages::ItemTeacher, i + 1};
        const QString abrev = ReadAttribute(e, "abrev");
        const QString nombre = ReadAttribute(e, "nombre");
        const QString apellido1 = ReadAttribute(e, "apellido1");
        const QString apellido2 = ReadAttribute(e, "apellido2");
        const QString depart = ReadAttribute(e, "departamen");
        const QString documento = ReadAttribute(e, "documento");
        const QString codigo = ReadAttribute(e, "codigo");

        const QString fullName = nombre + ", " + apellido1 + " " + apellido2;
        bool numbered = false;
        const QString written = registry.Give(abrev, &numbered);
        if (numbered)
            report.notes << messages::NoteTeacherCodeRepeated(i + 1, fullName, RepeatedCode(registry, abrev), written);

        table->Append();
        SetCode(abrevField, written, abrev, numbered, element, report);
        SetText(nombreField, fullName, element, report);
        SetText(dni, documento, element, report);
        SetText(departField, depart, element, report);
        SetText(idprof, codigo, element, report);
        table->Post();
        ++report.rows;
    }
    table->Close();
}

}  // namespace puente
