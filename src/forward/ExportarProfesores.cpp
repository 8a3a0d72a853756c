// PROFT: one row per teacher, the abbreviation as Horalis teacher code.
#include "exchange/Document.h"
#include "forward/CodeRegistry.h"
#include "forward/Conversions.h"
#include "forward/TableShape.h"

namespace puente {

namespace {

const QList<FieldSpec> kFields = {
    {"ABREV", FieldKind::Character, 10}, {"NOMBRE", FieldKind::Character, 80},
    {"DEPART", FieldKind::Character, 40}, {"DNI", FieldKind::Character, 14},
    {"IDPROF", FieldKind::Character, 10}, {"EMAIL", FieldKind::Character, 100},
};

}  // namespace

void ExportarProfesores(ForwardContext& ctx) {
    TableReport* report = ReportFor(ctx.report, "PROFT");
    auto table = RebuildTable(ctx.directory, "PROFT", kFields);
    // The abbreviation is taken as it is: no spaces removed, only a numbered
    // code longer than the field is shortened.
    CodeRegistry registry(CodeRegistry::Case::Ignored, 9, false);

    const QList<Element> elements = ctx.document.selectNodes("/centro/profesores/profesor");
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const Element& e = elements[i];
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
        if (report && numbered)
            report->notes << QString("Profesor %1 ('%2'): código %3 repetido; se escribe '%4'.")
                                 .arg(i + 1).arg(fullName, RepeatedCode(registry, abrev), written);

        table->Append();
        table->FieldByName("ABREV").SetAsString(written);
        table->FieldByName("NOMBRE").SetAsString(fullName);
        table->FieldByName("DNI").SetAsString(documento);
        table->FieldByName("DEPART").SetAsString(depart);
        table->FieldByName("IDPROF").SetAsString(codigo);
        table->Post();
        if (report) ++report->rows;
    }
    table->Close();
}

}  // namespace puente
