// AULAT: one row per room, the code made from the room's name.
#include "common/Messages.h"
#include "exchange/Document.h"
#include "forward/CodeRegistry.h"
#include "forward/Conversions.h"
#include "forward/NewTable.h"
#include "text/TextHelpers.h"

namespace puente {

namespace {

const QList<FieldSpec> kFields = {
    {"ABREV", FieldKind::Character, 10}, {"NOMBRE", FieldKind::Character, 80}, {"EDIFICIO", FieldKind::Character, 1},
    {"MAXALUM", FieldKind::Integer, 0},  {"IDAULA", FieldKind::Character, 20},
};

}  // namespace

void ExportarAulas(const ForwardContext& ctx, TableReport& report) {
    auto table = RebuildTable(ctx.directory, tables::kAulat, kFields);
    Field abrev = table->FieldByName("ABREV"), nombreField = table->FieldByName("NOMBRE"),
          maxalum = table->FieldByName("MAXALUM"), idaula = table->FieldByName("IDAULA");
    CodeRegistry registry(CodeRegistry::Case::Ignored, 8, true);

    const QList<Element> elements = ctx.document.selectNodes("/centro/aulas/daula");
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const Element& e = elements[i];
        const ItemName element{messages::ItemRoom, i + 1};
        const QString nombre = ReadAttribute(e, "nombre");
        QString code = LeftPart(nombre, 1) + WordInitials(nombre);
        if (code.size() < 3) code = nombre.left(8);
        bool numbered = false;
        const QString written = registry.Give(code, &numbered);
        if (numbered)
            report.notes << messages::NoteRoomCodeRepeated(i + 1, nombre, RepeatedCode(registry, code), written);
        else if (written != registry.Stored(code))
            report.notes << messages::NoteRoomCodeLong(i + 1, nombre, code, written);

        table->Append();
        SetCode(abrev, written, code, numbered, element, report);
        SetText(nombreField, nombre, element, report);
        maxalum.SetAsString(ReadAttribute(e, "capacidad_alumnos"));
        SetText(idaula, ReadAttribute(e, "codigo"), element, report);
        table->Post();
        ++report.rows;
    }
    table->Close();
}

}  // namespace puente
