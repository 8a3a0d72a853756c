// AULAT: one row per room, the code made from the room's name.
#include "exchange/Document.h"
#include "forward/CodeRegistry.h"
#include "forward/Conversions.h"
#include "forward/TableShape.h"
#include "text/TextHelpers.h"

namespace puente {

namespace {

const QList<FieldSpec> kFields = {
    {"ABREV", FieldKind::Character, 10}, {"NOMBRE", FieldKind::Character, 80},
    {"EDIFICIO", FieldKind::Character, 1}, {"MAXALUM", FieldKind::Integer, 0},
    {"IDAULA", FieldKind::Character, 20},
};

}  // namespace

void ExportarAulas(ForwardContext& ctx) {
    TableReport* report = ReportFor(ctx.report, "AULAT");
    auto table = RebuildTable(ctx.directory, "AULAT", kFields);
    CodeRegistry registry(CodeRegistry::Case::Ignored, 8, true);

    const QList<Element> elements = ctx.document.selectNodes("/centro/aulas/daula");
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const Element& e = elements[i];
        const QString nombre = ReadAttribute(e, "nombre");
        QString code = LeftPart(nombre, 1) + WordInitials(nombre);
        if (code.size() < 3) code = nombre.left(8);
        bool numbered = false;
        const QString written = registry.Give(code, &numbered);
        if (report && numbered)
            report->notes << QString("Aula %1 ('%2'): código %3 repetido; se escribe '%4'.")
                                 .arg(i + 1).arg(nombre, RepeatedCode(registry, code), written);
        else if (report && written != registry.Stored(code))
            report->notes << QString("Aula %1 ('%2'): código '%3' largo; se escribe '%4'.")
                                 .arg(i + 1).arg(nombre, code, written);

        table->Append();
        table->FieldByName("ABREV").SetAsString(written);
        table->FieldByName("NOMBRE").SetAsString(nombre);
        table->FieldByName("MAXALUM").SetAsString(ReadAttribute(e, "capacidad_alumnos"));
        table->FieldByName("IDAULA").SetAsString(ReadAttribute(e, "codigo"));
        table->Post();
        if (report) ++report->rows;
    }
    table->Close();
}

}  // namespace puente
