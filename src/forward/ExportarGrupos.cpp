// GRUPOST: one row per group, the code from shift, course, level and letter,
// the tutor translated into the Horalis teacher code through PROFT.
#include "common/Messages.h"
#include "exchange/Document.h"
#include "forward/CodeRegistry.h"
#include "forward/Conversions.h"
#include "forward/NewTable.h"
#include "text/TextHelpers.h"

namespace puente {

namespace {

const QList<FieldSpec> kFields = {
    {"ABREV", FieldKind::Character, 10}, {"TURNO", FieldKind::Character, 1},  {"NIVEL", FieldKind::Character, 5},
    {"CURSO", FieldKind::Character, 3},  {"GRUPO", FieldKind::Character, 2},  {"DESCRIP", FieldKind::Character, 80},
    {"MARCO", FieldKind::Character, 1},  {"TUTOR", FieldKind::Character, 10}, {"IDGRUPO", FieldKind::Character, 10},
};

}  // namespace

void ExportarGrupos(const ForwardContext& ctx, TableReport& report) {
    auto table = RebuildTable(ctx.directory, tables::kGrupost, kFields);
    Field abrev = table->FieldByName("ABREV"), turnoField = table->FieldByName("TURNO"),
          nivelField = table->FieldByName("NIVEL"), cursoField = table->FieldByName("CURSO"),
          grupo = table->FieldByName("GRUPO"), descrip = table->FieldByName("DESCRIP"),
          marco = table->FieldByName("MARCO"), tutorField = table->FieldByName("TUTOR"),
          idgrupo = table->FieldByName("IDGRUPO");
    Table teachers(ctx.directory, tables::kProft);
    teachers.Open(OpenMode::Exclusive);
    Field teacherCode = teachers.FieldByName("ABREV");
    CodeRegistry registry(CodeRegistry::Case::Ignored, 9, true);

    const QList<Element> elements = ctx.document.selectNodes("/centro/grupos/dgrupo");
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const Element& e = elements[i];
        const ItemName element{messages::ItemGroup, i + 1};
        const QString nombre = ReadAttribute(e, "nombre");
        const QString nivel = ReadAttribute(e, "codigo_nivel");
        const QString turno = ReadAttribute(e, "turno");
        const QString curso = ReadAttribute(e, "curso");
        const QString letter = RightPart(nombre, 1);
        const QString code = turno + curso + nivel + letter;
        const QString tutorId = ReadAttribute(e, "codigo_tutor");

        teachers.First();
        const bool tutorFound = teachers.Locate("IDPROF", tutorId);
        const QString tutor = tutorFound ? teacherCode.AsString() : QString();
        if (!tutorFound && !tutorId.isEmpty()) report.notes << messages::NoteTutorNotFound(i + 1, nombre, tutorId);

        bool numbered = false;
        const QString written = registry.Give(code, &numbered);
        if (numbered)
            report.notes << messages::NoteGroupCodeRepeated(i + 1, nombre, RepeatedCode(registry, code), written);
        else if (written != registry.Stored(code))
            report.notes << messages::NoteGroupCodeLong(i + 1, nombre, code, written);

        table->Append();
        SetCode(abrev, written, code, numbered, element, report);
        SetText(turnoField, turno, element, report);
        SetText(nivelField, nivel, element, report);
        SetText(cursoField, curso, element, report);
        SetText(grupo, letter, element, report);
        SetText(descrip, nombre, element, report);
        marco.SetAsString("0");
        tutorField.SetAsString(tutor);
        SetText(idgrupo, ReadAttribute(e, "codigo"), element, report);
        table->Post();
        ++report.rows;
    }
    table->Close();
    teachers.Close();
}

}  // namespace puente
