// GRUPOST: one row per group, the code from shift, course, level and letter,
// the tutor translated into the Horalis teacher code through PROFT.
#include "exchange/Document.h"
#include "forward/CodeRegistry.h"
#include "forward/Conversions.h"
#include "forward/TableShape.h"
#include "text/TextHelpers.h"

namespace puente {

namespace {

const QList<FieldSpec> kFields = {
    {"ABREV", FieldKind::Character, 10}, {"TURNO", FieldKind::Character, 1},
    {"NIVEL", FieldKind::Character, 5},  {"CURSO", FieldKind::Character, 3},
    {"GRUPO", FieldKind::Character, 2},  {"DESCRIP", FieldKind::Character, 80},
    {"MARCO", FieldKind::Character, 1},  {"TUTOR", FieldKind::Character, 10},
    {"IDGRUPO", FieldKind::Character, 10},
};

}  // namespace

void ExportarGrupos(ForwardContext& ctx) {
    TableReport* report = ReportFor(ctx.report, "GRUPOST");
    auto table = RebuildTable(ctx.directory, "GRUPOST", kFields);
    Table teachers(ctx.directory, "PROFT");
    teachers.Open(OpenMode::Exclusive);
    CodeRegistry registry(CodeRegistry::Case::Ignored, 9, true);

    const QList<Element> elements = ctx.document.selectNodes("/centro/grupos/dgrupo");
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const Element& e = elements[i];
        const QString nombre = ReadAttribute(e, "nombre");
        const QString nivel = ReadAttribute(e, "codigo_nivel");
        const QString turno = ReadAttribute(e, "turno");
        const QString curso = ReadAttribute(e, "curso");
        const QString letter = RightPart(nombre, 1);
        const QString code = turno + curso + nivel + letter;
        const QString tutorId = ReadAttribute(e, "codigo_tutor");

        teachers.First();
        const bool tutorFound = teachers.Locate("IDPROF", tutorId);
        const QString tutor = tutorFound ? teachers.FieldByName("ABREV").AsString() : QString();
        if (report && !tutorFound && !tutorId.isEmpty())
            report->notes << QString("Grupo %1 ('%2'): ningún profesor tiene el código de tutor '%3'; TUTOR queda vacío.")
                                 .arg(i + 1).arg(nombre, tutorId);

        bool numbered = false;
        const QString written = registry.Give(code, &numbered);
        if (report && numbered)
            report->notes << QString("Grupo %1 ('%2'): código %3 repetido; se escribe '%4'.")
                                 .arg(i + 1).arg(nombre, RepeatedCode(registry, code), written);
        else if (report && written != registry.Stored(code))
            report->notes << QString("Grupo %1 ('%2'): código '%3' largo; se escribe '%4'.")
                                 .arg(i + 1).arg(nombre, code, written);

        table->Append();
        table->FieldByName("ABREV").SetAsString(written);
        table->FieldByName("TURNO").SetAsString(turno);
        table->FieldByName("NIVEL").SetAsString(nivel);
        table->FieldByName("CURSO").SetAsString(curso);
        table->FieldByName("GRUPO").SetAsString(letter);
        table->FieldByName("DESCRIP").SetAsString(nombre);
        table->FieldByName("MARCO").SetAsString("0");
        table->FieldByName("TUTOR").SetAsString(tutor);
        table->FieldByName("IDGRUPO").SetAsString(ReadAttribute(e, "codigo"));
        table->Post();
        if (report) ++report->rows;
    }
    table->Close();
    teachers.Close();
}

}  // namespace puente
