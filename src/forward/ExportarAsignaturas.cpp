// ASIGT: one record per teaching assignment, the ZELTA identifiers of group,
// subject and teacher translated into the Horalis codes of this run's tables.
#include "common/Error.h"
#include "exchange/Document.h"
#include "forward/Conversions.h"
#include "forward/TableShape.h"

#include <QLocale>

#include <cmath>

namespace puente {

namespace {

const QList<FieldSpec> kFields = {
    {"CASIG", FieldKind::Character, 10},   {"CPROF", FieldKind::Character, 10},
    {"CGRUP", FieldKind::Character, 10},   {"CAULA", FieldKind::Character, 10},
    {"TURNO", FieldKind::Character, 1},    {"NIVEL", FieldKind::Character, 5},
    {"CURSO", FieldKind::Character, 3},    {"GRUPO", FieldKind::Character, 2},
    {"HORAS", FieldKind::Float, 0},        {"SESIONES", FieldKind::Character, 20},
    {"CTAREA", FieldKind::Character, 10},  {"NCONEX", FieldKind::Character, 4},
    {"IDCURSO", FieldKind::Character, 10}, {"IDGRUP", FieldKind::Character, 10},
    {"IDASIG", FieldKind::Character, 10},  {"IDPROF", FieldKind::Character, 10},
};

constexpr int kMaxSessions = 13;

// The hours of `nhoras`, read with the user's decimal separator; 0 becomes 1.
float ReadHours(const QString& text) {
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = locale.toDouble(text, &ok);
    if (!ok || !std::isfinite(value)) throw Error(QString("'%1' is not a valid floating point value").arg(text));
    const float hours = float(value);
    if (!std::isfinite(hours)) throw Error(QString("'%1' is not a valid floating point value").arg(text));
    return hours == 0.0f ? 1.0f : hours;
}

// `n` is a whole number, kept as double so that any hours a float can hold
// give their text.
QString WholeSessionsText(double n) {
    QString text;
    if (n > kMaxSessions) {
        text = QString::number(n - kMaxSessions, 'f', 0);
        n = kMaxSessions;
    }
    if (n > 0) text += QString(int(n), QChar(u'1'));
    return text;
}

}  // namespace

QString SessionsText(float hours) {
    const double h = hours;
    if (h == std::floor(h)) return WholeSessionsText(h);
    return WholeSessionsText(std::trunc(h)) + QChar(0x00BD);  // "½"
}

const QStringList& ForwardTableNames() {
    static const QStringList names = {"ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "DIASHORAST", "ASIGT"};
    return names;
}

void ExportarAsignaturas(ForwardContext& ctx) {
    TableReport* report = ReportFor(ctx.report, "ASIGT");
    auto table = RebuildTable(ctx.directory, "ASIGT", kFields);
    Table groups(ctx.directory, "GRUPOST");
    Table subjects(ctx.directory, "ASIGNOMT");
    Table teachers(ctx.directory, "PROFT");
    groups.Open(OpenMode::Exclusive);
    subjects.Open(OpenMode::Exclusive);
    teachers.Open(OpenMode::Exclusive);

    const QList<Element> elements = ctx.document.selectNodes("/centro/asignaturas/dasignatura");
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const Element& e = elements[i];
        const QString groupId = ReadAttribute(e, "cgrupo");
        groups.First();
        if (!groups.Locate("IDGRUPO", groupId)) {
            if (report)
                report->notes << QString("Asignatura %1: ningún grupo tiene el código '%2'; no se escribe.")
                                     .arg(i + 1).arg(groupId);
            continue;
        }
        const QString subjectId = ReadAttribute(e, "casig");
        subjects.First();
        if (!subjects.Locate("IDASIG", subjectId)) {
            if (report)
                report->notes << QString("Asignatura %1: ninguna materia tiene el código '%2'; no se escribe.")
                                     .arg(i + 1).arg(subjectId);
            continue;
        }
        const QString teacherId = ReadAttribute(e, "cprofe");
        teachers.First();
        const QString teacher = teachers.Locate("IDPROF", teacherId) ? teachers.FieldByName("ABREV").AsString() : QString();

        const float hours = ReadHours(ReadAttribute(e, "nhoras"));
        const QString subjectCode = subjects.FieldByName("COD").AsString();
        if (subjectCode.isEmpty()) {
            if (report)
                report->notes << QString("Asignatura %1: la materia '%2' tiene código vacío; no se escribe.")
                                     .arg(i + 1).arg(subjectId);
            continue;
        }

        table->Append();
        table->FieldByName("CASIG").SetAsString(subjectCode);
        table->FieldByName("CPROF").SetAsString(teacher);
        table->FieldByName("CGRUP").SetAsString(groups.FieldByName("ABREV").AsString());
        table->FieldByName("TURNO").SetAsString(groups.FieldByName("TURNO").AsString());
        table->FieldByName("NIVEL").SetAsString(groups.FieldByName("NIVEL").AsString());
        table->FieldByName("CURSO").SetAsString(groups.FieldByName("CURSO").AsString());
        table->FieldByName("GRUPO").SetAsString(groups.FieldByName("GRUPO").AsString());
        table->FieldByName("HORAS").SetAsFloat(hours);
        table->FieldByName("SESIONES").SetAsString(SessionsText(hours));
        table->FieldByName("CTAREA").SetAsString(subjects.FieldByName("CODTAREA").AsString());
        table->FieldByName("IDGRUP").SetAsString(groupId);
        table->FieldByName("IDASIG").SetAsString(subjectId);
        table->FieldByName("IDPROF").SetAsString(teacherId);
        table->Post();
        if (report) ++report->rows;
    }
    table->Close();
    groups.Close();
    subjects.Close();
    teachers.Close();
}

}  // namespace puente
