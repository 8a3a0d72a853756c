// DIASHORAST: replaced by a new, empty table of the fixed layout.
#include "forward/Conversions.h"
#include "run/TableFiles.h"
#include "tablestore/Table.h"

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

void ExportarDiasHoras(const ForwardContext& ctx, TableReport&) {
    RemoveTableFile(ctx.directory, tables::kDiashorast, "DBF");
    RemoveTableFile(ctx.directory, tables::kDiashorast, "MDX");
    Table table(ctx.directory, tables::kDiashorast);
    table.CreateTable(kFields);
}

}  // namespace puente
