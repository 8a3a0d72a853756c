// ASIGT: one record per teaching assignment, the ZELTA identifiers of group,
// subject and teacher translated into the Horalis codes of this run's tables.
#include "common/Messages.h"
#include "exchange/Document.h"
#include "forward/Conversions.h"
#include "forward/NewTable.h"
#include "forward/RecordsByKey.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace puente {

namespace {

const QList<FieldSpec> kFields = {
    {"CASIG", FieldKind::Character, 10},    {"CPROF", FieldKind::Character, 10},  {"CGRUP", FieldKind::Character, 10},
    {"CAULA", FieldKind::Character, 10},    {"TURNO", FieldKind::Character, 1},   {"NIVEL", FieldKind::Character, 5},
    {"CURSO", FieldKind::Character, 3},     {"GRUPO", FieldKind::Character, 2},   {"HORAS", FieldKind::Float, 0},
    {"SESIONES", FieldKind::Character, 20}, {"CTAREA", FieldKind::Character, 10}, {"NCONEX", FieldKind::Character, 4},
    {"IDCURSO", FieldKind::Character, 10},  {"IDGRUP", FieldKind::Character, 10}, {"IDASIG", FieldKind::Character, 10},
    {"IDPROF", FieldKind::Character, 10},
};

constexpr int kMaxSessions = 13;

// The user's number format for reading hours: no group separators.
QLocale HoursLocale() {
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    return locale;
}

// The hours of `nhoras`, read with the user's decimal separator; 0 becomes 1.
float ReadHours(const QLocale& locale, const QString& text) {
    // Plain digits read the same in every locale: taken without asking it,
    // which is slow.
    if (!text.isEmpty() && text.size() <= 9 &&
        std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        const float hours = float(text.toInt());
        return hours == 0.0f ? 1.0f : hours;
    }
    // QLocale would also skip white space around the number (tabs, line
    // breaks, no-break spaces); the text is the number and nothing else, as
    // for every numeric field.
    if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace())) throw messages::NotAFloat(text);
    bool ok = false;
    const double value = locale.toDouble(text, &ok);
    if (!ok || !std::isfinite(value)) throw messages::NotAFloat(text);
    const float hours = float(value);
    if (!std::isfinite(hours)) throw messages::NotAFloat(text);
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

void ExportarAsignaturas(const ForwardContext& ctx, TableReport& report) {
    auto table = RebuildTable(ctx.directory, tables::kAsigt, kFields);
    // The group, subject and teacher of each assignment, looked up by the
    // identifiers that the earlier conversions stored beside their codes.
    const RecordsByKey groups =
        ReadRecordsByKey(ctx.directory, tables::kGrupost, "IDGRUPO", {"ABREV", "TURNO", "NIVEL", "CURSO", "GRUPO"});
    const RecordsByKey subjects = ReadRecordsByKey(ctx.directory, tables::kAsignomt, "IDASIG", {"COD", "CODTAREA"});
    const RecordsByKey teachers = ReadRecordsByKey(ctx.directory, tables::kProft, "IDPROF", {"ABREV"});
    enum { kGroupCode, kGroupShift, kGroupLevel, kGroupCourse, kGroupLetter };
    enum { kSubjectCode, kSubjectTask };
    enum { kTeacherCode };

    // The fields, found by name once for the whole table.
    Field casig = table->FieldByName("CASIG"), cprof = table->FieldByName("CPROF"), cgrup = table->FieldByName("CGRUP"),
          turno = table->FieldByName("TURNO"), nivel = table->FieldByName("NIVEL"), curso = table->FieldByName("CURSO"),
          grupo = table->FieldByName("GRUPO"), horas = table->FieldByName("HORAS"),
          sesiones = table->FieldByName("SESIONES"), ctarea = table->FieldByName("CTAREA"),
          idgrup = table->FieldByName("IDGRUP"), idasig = table->FieldByName("IDASIG"),
          idprof = table->FieldByName("IDPROF");

    const QLocale locale = HoursLocale();
    const QList<Element> elements = ctx.document.selectNodes("/centro/asignaturas/dasignatura");
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const Element& e = elements[i];
        const ItemName element{messages::ItemAssignment, i + 1};
        const QString groupId = ReadAttribute(e, QStringLiteral("cgrupo"));
        const auto group = groups.constFind(groupId);
        if (group == groups.cend()) {
            report.notes << messages::NoteAssignmentGroupNotFound(i + 1, groupId);
            continue;
        }
        const QString subjectId = ReadAttribute(e, QStringLiteral("casig"));
        const auto subject = subjects.constFind(subjectId);
        if (subject == subjects.cend()) {
            report.notes << messages::NoteAssignmentSubjectNotFound(i + 1, subjectId);
            continue;
        }
        const QString teacherId = ReadAttribute(e, QStringLiteral("cprofe"));
        const auto teacher = teachers.constFind(teacherId);
        const QString teacherCode = teacher != teachers.cend() ? teacher->at(kTeacherCode) : QString();

        const float hours = ReadHours(locale, ReadAttribute(e, QStringLiteral("nhoras")));
        const QString& subjectCode = subject->at(kSubjectCode);
        if (subjectCode.isEmpty()) {
            report.notes << messages::NoteAssignmentSubjectWithoutCode(i + 1, subjectId);
            continue;
        }

        table->Append();
        casig.SetAsString(subjectCode);
        cprof.SetAsString(teacherCode);
        cgrup.SetAsString(group->at(kGroupCode));
        turno.SetAsString(group->at(kGroupShift));
        nivel.SetAsString(group->at(kGroupLevel));
        curso.SetAsString(group->at(kGroupCourse));
        grupo.SetAsString(group->at(kGroupLetter));
        horas.SetAsFloat(hours);
        sesiones.SetAsString(SessionsText(hours));
        ctarea.SetAsString(subject->at(kSubjectTask));
        SetText(idgrup, groupId, element, report);
        SetText(idasig, subjectId, element, report);
        SetText(idprof, teacherId, element, report);
        table->Post();
        ++report.rows;
    }
    table->Close();
}

}  // namespace puente
