// DIASHORAST: replaced by a new, empty table of the fixed layout.
#include "forward/Conversions.h"
#include "forward/TableShape.h"

namespace puente {

namespace {

const QList<FieldSpec> kFields = {
    {"DIHO", FieldKind::Character, 10},     {"CODDIHO", FieldKind::Character, 10},
    {"DIA", FieldKind::Character, 20},      {"TEXTODIA", FieldKind::Character, 20},
    {"HORA", FieldKind::Character, 8},      {"TEXTOHOR", FieldKind::Character, 15},
    {"HORADESDE", FieldKind::Character, 8}, {"HORAHASTA", FieldKind::Character, 8},
    {"MINUTOS", FieldKind::Character, 8},   {"MARCO", FieldKind::Character, 1},
    {"MARCOXML", FieldKind::Character, 10},
};

}  // namespace

void ExportarDiasHoras(ForwardContext& ctx) {
    ReportFor(ctx.report, "DIASHORAST");
    RemoveTableFile(ctx.directory, "DIASHORAST", "DBF");
    RemoveTableFile(ctx.directory, "DIASHORAST", "MDX");
    Table table(ctx.directory, "DIASHORAST");
    table.CreateTable(kFields);
}

}  // namespace puente
