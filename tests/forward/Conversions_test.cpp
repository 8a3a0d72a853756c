#include "forward/Conversions.h"

#include "common/Error.h"
#include "support/TestSupport.h"
#include "tablestore/CodePage.h"

#include <algorithm>

#include <QLocale>
#include <QTemporaryDir>

namespace puente {
namespace {

using test::DocumentFrom;
using test::ReadColumn;
using test::ReadRows;

class ConversionTest : public ::testing::Test {
protected:
    // Loads `body` inside <centro> (after an internal DTD subset, when one is
    // given) and runs the conversions up to `last` (in their binding order),
    // as the forward run does.
    void Convert(const QString& body, const QString& last = tables::kAsigt, const QString& internalSubset = QString()) {
        const QString doctype = internalSubset.isEmpty() ? QString() : "<!DOCTYPE centro [" + internalSubset + "]>\n";
        doc_ = DocumentFrom(doctype + "<centro codigo_interno='1' nombre='IES' curso='2026' version='1'>" + body +
                            "</centro>");
        const ForwardContext ctx{*doc_, dir_.path()};
        for (const TableConversion& conversion : kForwardConversions) {
            report_.tables.append(TableReport{conversion.table, 0, {}});
            conversion.convert(ctx, report_.tables.last());
            if (conversion.table == last) break;
        }
    }
    QStringList Column(const QString& table, const QString& field) { return ReadColumn(dir_.path(), table, field); }

    QTemporaryDir dir_;
    std::unique_ptr<Document> doc_;
    ForwardReport report_;
};

// --- ASIGNOMT ---------------------------------------------------------------

TEST_F(ConversionTest, SubjectsRowsAndLectiveRow) {
    Convert(R"(<materias>
        <dmaterias abrev=" MAT 1A " nombre="  Matemáticas de primero de bachillerato y más cosas aún por decir en este nombre tan largo  "
                   codigo_actividad="A1" denivel="BACH" decurso="1" codigo="M01"/>
        <dmaterias abrev="" nombre="Lengua Castellana y Literatura" codigo_actividad="A2" denivel="ESO" decurso="2" codigo="CODIGOLARGO123"/>
      </materias>)",
            tables::kAsignomt);
    const QList<QStringList> rows = ReadRows(dir_.path(), "ASIGNOMT");
    ASSERT_EQ(rows.size(), 3);
    const QString longName =
        "Matemáticas de primero de bachillerato y más cosas aún por decir en este nombre tan largo";
    // The 80th character is a space: trailing blanks do not read back.
    EXPECT_EQ(rows[0], (QStringList{"MAT1A", longName.left(10), longName.left(79), "BACH", "1", "A1", "F", "M01"}));
    EXPECT_EQ(rows[1], (QStringList{"LCyL", "Lengua Cas", "Lengua Castellana y Literatura", "ESO", "2", "A2", "F",
                                    "CODIGOLARG"}));
    EXPECT_EQ(rows[2],
              (QStringList{"LECT", "LECTIVA", "Materia Lectiva de Docencia Directa", "", "", "LECT", "T", "LECT"}));
}

struct SubjectCodeCase {
    const char* name;
    QString elements;   // dmaterias elements
    QStringList codes;  // COD column, lective row included
};
void PrintTo(const SubjectCodeCase& c, std::ostream* os) { *os << c.name; }

class SubjectCodes : public ConversionTest, public ::testing::WithParamInterface<SubjectCodeCase> {};

TEST_P(SubjectCodes, GiveTheWrittenCodes) {
    Convert("<materias>" + GetParam().elements + "</materias>", tables::kAsignomt);
    EXPECT_EQ(Column("ASIGNOMT", "COD"), GetParam().codes) << GetParam().name;
}

QString Subject(const QString& abrev, const QString& nombre = "X", const QString& tarea = "T") {
    return QString("<dmaterias abrev='%1' nombre='%2' codigo_actividad='%3' denivel='' decurso='' codigo='c'/>")
        .arg(abrev, nombre, tarea);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SubjectCodes,
    ::testing::Values(
        SubjectCodeCase{"no subjects", "", {"LECT"}},
        SubjectCodeCase{"initials of the name", Subject("", "Lengua Castellana y Literatura"), {"LCyL", "LECT"}},
        SubjectCodeCase{"one-word name", Subject("", "Biologia"), {"B", "LECT"}},
        SubjectCodeCase{"long abbreviation cut to 10", Subject("EDUCACIONFISICA"), {"EDUCACIONF", "LECT"}},
        SubjectCodeCase{
            "repeated abbreviation", Subject("MAT") + Subject("MAT") + Subject("MAT"), {"MAT", "MAT1", "MAT2", "LECT"}},
        SubjectCodeCase{"letter case differs", Subject("Mat") + Subject("MAT"), {"Mat", "MAT", "LECT"}},
        SubjectCodeCase{
            "abrev equal to codigo_actividad gives no row", Subject("X1", "A", "X1") + Subject("Y"), {"Y", "LECT"}},
        SubjectCodeCase{"both empty gives no row", Subject("", "Nombre", ""), {"LECT"}},
        SubjectCodeCase{
            "empty abrev and name", Subject("", "") + Subject("", "") + Subject("", ""), {"", "1", "2", "LECT"}},
        SubjectCodeCase{"a subject coded LECT keeps it", Subject("LECT"), {"LECT", "LECT"}},
        SubjectCodeCase{"a missing attribute reads as empty",
                        "<dmaterias nombre='Física Química' codigo_actividad='T'/><dmaterias abrev='Z'/>",
                        {"FQ", "Z", "LECT"}}));

TEST_F(ConversionTest, SubjectsPassedOverAreReported) {
    Convert("<materias>" + Subject("X1", "Tutoría", "X1") + Subject("M") + Subject("M") + "</materias>",
            tables::kAsignomt);
    ASSERT_EQ(report_.tables.size(), 1);
    EXPECT_EQ(report_.tables[0].rows, 3);
    EXPECT_EQ(report_.tables[0].notes,
              (QStringList{"Materia 1 ('Tutoría'): abrev igual a codigo_actividad ('X1'); no se escribe.",
                           "Materia 3 ('X'): código 'M' repetido; se escribe 'M1'."}));
}

// --- PROFT ------------------------------------------------------------------

QString Teacher(const QString& abrev, const QString& codigo, const QString& nombre = "Aaa", const QString& ap1 = "Bbb",
                const QString& ap2 = "Ccc") {
    return QString(
               "<profesor abrev='%1' nombre='%2' apellido1='%3' apellido2='%4' departamen='Ciencias' "
               "documento='12345678Z' codigo='%5'/>")
        .arg(abrev, nombre, ap1, ap2, codigo);
}

TEST_F(ConversionTest, TeachersRowsFullNamesAndCodes) {
    Convert("<profesores>" + Teacher("PGR", "P1") + Teacher("pgr", "P2", "Aaa", "Bbb", "") +
                Teacher("", "P3", "", "", "") + Teacher("", "P4") + Teacher("A B  C", "P5") +
                Teacher("ABCDEFGHIJKLM", "P6") + "</profesores>",
            tables::kProft);
    const QList<QStringList> rows = ReadRows(dir_.path(), "PROFT");
    ASSERT_EQ(rows.size(), 6);
    EXPECT_EQ(rows[0], (QStringList{"PGR", "Aaa, Bbb Ccc", "Ciencias", "12345678Z", "P1", ""}));
    EXPECT_EQ(Column("PROFT", "ABREV"), (QStringList{"PGR", "pgr1", "", "1", "A B  C", "ABCDEFGHIJ"}));
    // Trailing blanks are not kept by the table: "Aaa, Bbb " reads back without its space.
    EXPECT_EQ(Column("PROFT", "NOMBRE"),
              (QStringList{"Aaa, Bbb Ccc", "Aaa, Bbb", ",", "Aaa, Bbb Ccc", "Aaa, Bbb Ccc", "Aaa, Bbb Ccc"}));
}

TEST_F(ConversionTest, SingleTeacherRoomAndGroupAreConverted) {
    Convert("<profesores>" + Teacher("T", "P1") +
                "</profesores>"
                "<aulas><daula nombre='Aula de Música' capacidad_alumnos='30' codigo='A1'/></aulas>"
                "<grupos><dgrupo nombre='1ESO A' codigo_nivel='ESO' turno='M' curso='1' codigo_tutor='P1' "
                "codigo='G1'/></grupos>",
            tables::kGrupost);
    EXPECT_EQ(ReadRows(dir_.path(), "PROFT").size(), 1);
    EXPECT_EQ(ReadRows(dir_.path(), "AULAT"), (QList<QStringList>{{"AdM", "Aula de Música", "", "30", "A1"}}));
    EXPECT_EQ(ReadRows(dir_.path(), "GRUPOST"),
              (QList<QStringList>{{"M1ESOA", "M", "ESO", "1", "A", "1ESO A", "0", "T", "G1"}}));
}

// --- AULAT ------------------------------------------------------------------

struct RoomCase {
    const char* name;
    QStringList names;
    QStringList codes;
};
void PrintTo(const RoomCase& c, std::ostream* os) { *os << c.name; }

class RoomCodes : public ConversionTest, public ::testing::WithParamInterface<RoomCase> {};

TEST_P(RoomCodes, GiveTheWrittenCodes) {
    QString body = "<aulas>";
    for (const QString& n : GetParam().names)
        body += QString("<daula nombre='%1' capacidad_alumnos='' codigo='x'/>").arg(n);
    Convert(body + "</aulas>", tables::kAulat);
    EXPECT_EQ(Column("AULAT", "ABREV"), GetParam().codes) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoomCodes,
    ::testing::Values(RoomCase{"initials", {"Aula de Informatica"}, {"AdI"}},
                      RoomCase{"one long word", {"Laboratorio"}, {"Laborato"}},
                      RoomCase{"short name kept with its space", {"Aula 12"}, {"Aula 12"}},
                      RoomCase{"repeated", {"Sala de Usos Multiples", "Sala de Usos Multiples"}, {"SdUM", "SdUM1"}},
                      RoomCase{"case ignored", {"Sala de Usos Multiples", "sala de usos multiples"}, {"SdUM", "sdum1"}},
                      RoomCase{"empty names", {"", "", ""}, {"", "1", "2"}},
                      RoomCase{"eleven words shortened", {"a b c d e f g h i j k"}, {"abcdefghjk"}},
                      RoomCase{"repeated long one-word names",
                               {"Laboratorio", "Laboratorio", "Laboratorio"},
                               {"Laborato", "Laborato1", "Laborato2"}}));

struct CapacityCase {
    const char* name;
    QString capacity;
    QString stored;  // MAXALUM as text, or empty
    QString error;   // the message when it fails
};
void PrintTo(const CapacityCase& c, std::ostream* os) { *os << c.name; }

class RoomCapacity : public ConversionTest, public ::testing::WithParamInterface<CapacityCase> {};

TEST_P(RoomCapacity, IsStoredOrRefused) {
    const CapacityCase& c = GetParam();
    const QString body =
        QString("<aulas><daula nombre='Aula 1' capacidad_alumnos='%1' codigo='A1'/></aulas>").arg(c.capacity);
    if (c.error.isEmpty()) {
        Convert(body, tables::kAulat);
        EXPECT_EQ(Column("AULAT", "MAXALUM"), QStringList{c.stored});
    } else {
        try {
            Convert(body, tables::kAulat);
            FAIL() << "no error for " << c.name;
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::BadValue);
            EXPECT_EQ(e.message(), c.error);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoomCapacity,
    ::testing::Values(CapacityCase{"empty", "", "", ""}, CapacityCase{"thirty", "30", "30", ""},
                      CapacityCase{"negative", "-5", "-5", ""}, CapacityCase{"spaces trimmed", "  25 ", "25", ""},
                      CapacityCase{"words", "25 alumnos", "",
                                   "'25 alumnos' is not a valid integer value for field 'MAXALUM'"},
                      CapacityCase{"fraction", "24.5", "", "'24.5' is not a valid integer value for field 'MAXALUM'"},
                      CapacityCase{"beyond 32 bits", "3000000000", "",
                                   "'3000000000' is not a valid integer value for field 'MAXALUM'"}));

TEST_F(ConversionTest, RoomRowsKeepIdentifierAndEmptyBuilding) {
    Convert("<aulas><daula nombre=' Gimnasio ' capacidad_alumnos='40' codigo='AULA-IDENTIFICADOR-LARGO-1'/></aulas>",
            tables::kAulat);
    EXPECT_EQ(ReadRows(dir_.path(), "AULAT"),
              (QList<QStringList>{{"Gimnasio", "Gimnasio", "", "40", "AULA-IDENTIFICADOR-L"}}));
}

// --- GRUPOST ----------------------------------------------------------------

QString Group(const QString& nombre, const QString& turno, const QString& curso, const QString& nivel,
              const QString& tutor, const QString& codigo) {
    return QString("<dgrupo nombre='%1' codigo_nivel='%2' turno='%3' curso='%4' codigo_tutor='%5' codigo='%6'/>")
        .arg(nombre, nivel, turno, curso, tutor, codigo);
}

TEST_F(ConversionTest, GroupsCodesAndTutors) {
    Convert("<profesores>" + Teacher("PGR", "P1") + Teacher("PGR", "P2") + Teacher("SIN", "") + Teacher("DUP", "P4") +
                Teacher("DUP2", "P4") + Teacher("LARGO", "P123456789AB") + "</profesores><grupos>" +
                Group("1ESO A", "M", "1", "ESO", "P2", "G1") + Group("1ESO A", "M", "1", "ESO", "NADIE", "G2") +
                Group("1ESO A", "M", "1", "ESO", "", "G3") + Group("1ESO A", "Manana", "1", "ESO", "P4", "G4") +
                Group("", "", "", "", "p1", "G5") + Group("2B", "T", "2", "BACH", "P123456789AB", "G6") + "</grupos>",
            tables::kGrupost);
    EXPECT_EQ(Column("GRUPOST", "ABREV"), (QStringList{"M1ESOA", "M1ESOA1", "M1ESOA2", "Manana1EOA", "", "T2BACHB"}));
    // P2's code after numbering; unknown; the empty identifier finds the
    // teacher with empty codigo; the first of two rows; letter case; an
    // identifier cut to 10 in PROFT is not found.
    EXPECT_EQ(Column("GRUPOST", "TUTOR"), (QStringList{"PGR1", "", "SIN", "DUP", "", ""}));
    EXPECT_EQ(Column("GRUPOST", "TURNO"), (QStringList{"M", "M", "M", "M", "", "T"}));
    EXPECT_EQ(Column("GRUPOST", "GRUPO"), (QStringList{"A", "A", "A", "A", "", "B"}));
    EXPECT_EQ(Column("GRUPOST", "MARCO"), (QStringList{"0", "0", "0", "0", "0", "0"}));
}

// --- codes unique as the tables give them back -----------------------------------

struct StoredCodeCase {
    const char* name;
    QString body;
    const char* table;
    const char* field;
    QStringList column;
    QStringList notes;  // of that table
};
void PrintTo(const StoredCodeCase& c, std::ostream* os) { *os << c.name; }

class StoredCodes : public ConversionTest, public ::testing::WithParamInterface<StoredCodeCase> {};

TEST_P(StoredCodes, NeverReadBackAlike) {
    const StoredCodeCase& c = GetParam();
    Convert(c.body, tables::kGrupost);
    EXPECT_EQ(Column(c.table, c.field), c.column);
    const auto report = std::find_if(report_.tables.begin(), report_.tables.end(),
                                     [&](const TableReport& t) { return t.table == c.table; });
    ASSERT_NE(report, report_.tables.end());
    EXPECT_EQ(report->notes, c.notes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredCodes,
    ::testing::Values(
        StoredCodeCase{"teachers whose codes 1252 lacks",
                       "<profesores>" + Teacher("Ω", "P1") + Teacher("Δ", "P2") + "</profesores>",
                       "PROFT",
                       "ABREV",
                       {"?", "?1"},
                       {"Profesor 1: ABREV 'Ω' tiene caracteres que Windows-1252 no admite; se escriben como '?'.",
                        "Profesor 2 ('Aaa, Bbb Ccc'): código 'Δ' (se guarda como '?') repetido; se escribe '?1'."}},
        StoredCodeCase{"teachers alike once cut",
                       "<profesores>" + Teacher("ABCDEFGHI J", "P1") + Teacher("ABCDEFGHI", "P2") + "</profesores>",
                       "PROFT",
                       "ABREV",
                       {"ABCDEFGHI", "ABCDEFGHI1"},
                       {"Profesor 2 ('Aaa, Bbb Ccc'): código 'ABCDEFGHI' repetido; se escribe 'ABCDEFGHI1'."}},
        StoredCodeCase{"rooms alike without the trailing blank",
                       "<aulas><daula nombre='Abcdefg h' capacidad_alumnos='' codigo='A1'/>"
                       "<daula nombre='Abcdefg' capacidad_alumnos='' codigo='A2'/></aulas>",
                       "AULAT",
                       "ABREV",
                       {"Abcdefg", "Abcdefg1"},
                       {"Aula 2 ('Abcdefg'): código 'Abcdefg' repetido; se escribe 'Abcdefg1'."}},
        StoredCodeCase{"a long group code is shortened, not numbered",
                       "<grupos>" + Group("1ESO A", "Manana", "1", "ESO", "", "G1") + "</grupos>",
                       "GRUPOST",
                       "ABREV",
                       {"Manana1EOA"},
                       {"Grupo 1 ('1ESO A'): código 'Manana1ESOA' largo; se escribe 'Manana1EOA'."}},
        StoredCodeCase{"subjects whose codes 1252 lacks",
                       "<materias>" + Subject("Ω") + Subject("Δ") + "</materias>",
                       "ASIGNOMT",
                       "COD",
                       {"?", "?1", "LECT"},
                       {"Materia 1: COD 'Ω' tiene caracteres que Windows-1252 no admite; se escriben como '?'.",
                        "Materia 2 ('X'): código 'Δ' (se guarda como '?') repetido; se escribe '?1'."}}));

// --- attributes the document's DTD gives a value --------------------------------

struct DtdDefaultCase {
    const char* name;
    QString internalSubset;
    QString body;
    const char* table;
    const char* field;
    QStringList column;
};
void PrintTo(const DtdDefaultCase& c, std::ostream* os) { *os << c.name; }

class DtdDefaults : public ConversionTest, public ::testing::WithParamInterface<DtdDefaultCase> {};

TEST_P(DtdDefaults, AreReadAsTheElementsOwn) {
    const DtdDefaultCase& c = GetParam();
    Convert(c.body, tables::kGrupost, c.internalSubset);
    EXPECT_EQ(Column(c.table, c.field), c.column);
}

INSTANTIATE_TEST_SUITE_P(Cases, DtdDefaults,
                         ::testing::Values(
                             // Without the fixed value, abrev and codigo_actividad would both be
                             // empty and the subject would give no row.
                             DtdDefaultCase{
                                 "a fixed activity code keeps a subject without abbreviation",
                                 "<!ATTLIST dmaterias codigo_actividad CDATA #FIXED \"FIJA\">",
                                 "<materias><dmaterias abrev='' nombre='Lengua Castellana' codigo='S1'/></materias>",
                                 "ASIGNOMT",
                                 "CODTAREA",
                                 {"FIJA", "LECT"}},
                             DtdDefaultCase{"a default abbreviation of teachers",
                                            "<!ATTLIST profesor abrev CDATA \"DEF\">",
                                            "<profesores><profesor codigo='P1'/><profesor abrev='OWN' codigo='P2'/>"
                                            "<profesor codigo='P3'/></profesores>",
                                            "PROFT",
                                            "ABREV",
                                            {"DEF", "OWN", "DEF1"}},
                             DtdDefaultCase{"a default capacity of rooms",
                                            "<!ATTLIST daula capacidad_alumnos CDATA \" 30 \">",
                                            "<aulas><daula nombre='Aula 1' codigo='A1'/></aulas>",
                                            "AULAT",
                                            "MAXALUM",
                                            {"30"}}));

// --- DIASHORAST ---------------------------------------------------------------

TEST_F(ConversionTest, DayAndHourSlotsAreAnEmptyTableOfFixedLayout) {
    test::WriteFile(dir_.path(), "DIASHORAST.MDX", "old index");
    Convert("", tables::kDiashorast);
    Table t(dir_.path(), "DIASHORAST");
    t.Open();
    QStringList layout;
    for (const FieldInfo& f : t.Fields()) layout << QString("%1 %2 %3").arg(f.name).arg(QChar(f.type)).arg(f.width);
    EXPECT_EQ(layout,
              (QStringList{"DIHO C 10", "CODDIHO C 10", "DIA C 20", "TEXTODIA C 20", "HORA C 8", "TEXTOHOR C 15",
                           "HORADESDE C 8", "HORAHASTA C 8", "MINUTOS C 8", "MARCO C 1", "MARCOXML C 10"}));
    EXPECT_EQ(t.LiveRecordCount(), 0);
    EXPECT_FALSE(QFile::exists(dir_.filePath("DIASHORAST.MDX")));
}

// --- ASIGT --------------------------------------------------------------------

TEST(SessionsText, FollowsTheHours) {
    struct Case {
        float hours;
        QString text;
    };
    const QString half = QString(QChar(0x00BD));
    const QString thirteen = QString(13, u'1');
    const QList<Case> cases = {{1, "1"},
                               {3, "111"},
                               {13, thirteen},
                               {14, "1" + thirteen},
                               {15, "2" + thirteen},
                               {23, "10" + thirteen},
                               {-2, ""},
                               {2.5f, "11" + half},
                               {0.5f, half},
                               {15.5f, "2" + thirteen + half}};
    for (const Case& c : cases) EXPECT_EQ(SessionsText(c.hours), c.text) << "hours " << c.hours;
}

class Assignments : public ConversionTest {
protected:
    void ConvertAssignments(const QString& assignments) {
        Convert("<materias>" + Subject("MAT", "Matemáticas", "TM") + Subject("", "", "TV") +
                "<dmaterias abrev='X' nombre='Skip' codigo_actividad='X' codigo='S9'/>"
                "<dmaterias abrev='LEN' nombre='Lengua' codigo_actividad='TL' codigo='S2'/>"
                "<dmaterias abrev='VAC' nombre='Vacía' codigo_actividad='TV' codigo='S3'/>"
                "</materias><profesores>" +
                Teacher("PGR", "P1") + "</profesores><grupos>" + Group("1ESO A", "M", "1", "ESO", "P1", "G1") +
                "</grupos><asignaturas>" + assignments + "</asignaturas>");
    }
};

QString Assignment(const QString& grupo, const QString& asig, const QString& prof, const QString& horas) {
    return QString("<dasignatura cgrupo='%1' casig='%2' cprofe='%3' nhoras='%4'/>").arg(grupo, asig, prof, horas);
}

TEST_F(Assignments, RecordsWithLookedUpCodes) {
    // Subject "c" (MAT) and S2 (LEN); the empty-code subject has codigo 'c' too, after MAT.
    ConvertAssignments(Assignment("G1", "S2", "P1", "3") + Assignment("G1", "S2", "NADIE", "0") +
                       Assignment("G9", "S2", "P1", "3") + Assignment("G1", "S9", "P1", "3") +
                       Assignment("G1", "LECT", "P1", "15") + Assignment("G1", "S2", "P1", "3"));
    const QList<QStringList> rows = ReadRows(dir_.path(), "ASIGT");
    const QString thirteen = QString(13, u'1');
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0], (QStringList{"LEN", "PGR", "M1ESOA", "", "M", "ESO", "1", "A", "3", "111", "TL", "", "", "G1",
                                    "S2", "P1"}));
    EXPECT_EQ(rows[1], (QStringList{"LEN", "", "M1ESOA", "", "M", "ESO", "1", "A", "1", "1", "TL", "", "", "G1", "S2",
                                    "NADIE"}));
    EXPECT_EQ(rows[2], (QStringList{"LECT", "PGR", "M1ESOA", "", "M", "ESO", "1", "A", "15", "2" + thirteen, "LECT", "",
                                    "", "G1", "LECT", "P1"}));
    EXPECT_EQ(rows[3], rows[0]);
    EXPECT_EQ(report_.tables.last().notes,
              (QStringList{"Asignatura 3: ningún grupo tiene el código 'G9'; no se escribe.",
                           "Asignatura 4: ninguna materia tiene el código 'S9'; no se escribe."}));
}

TEST_F(Assignments, TheFirstSubjectWithTheIdentifierGivesTheCode) {
    ConvertAssignments(Assignment("G1", "c", "P1", "2") + Assignment("G1", "S3", "P1", "2"));
    EXPECT_EQ(Column("ASIGNOMT", "COD"), (QStringList{"MAT", "", "LEN", "VAC", "LECT"}));
    EXPECT_EQ(Column("ASIGNOMT", "IDASIG"), (QStringList{"c", "c", "S2", "S3", "LECT"}));
    EXPECT_EQ(Column("ASIGT", "CASIG"), (QStringList{"MAT", "VAC"}));
    EXPECT_EQ(Column("ASIGT", "CTAREA"), (QStringList{"TM", "TV"}));
}

TEST_F(Assignments, EmptyCodeSubjectIsDropped) {
    Convert("<materias><dmaterias abrev='' nombre='' codigo_actividad='T' codigo='E1'/></materias><grupos>" +
            Group("1A", "M", "1", "ESO", "", "G1") + "</grupos><asignaturas>" + Assignment("G1", "E1", "", "2") +
            "</asignaturas>");
    EXPECT_EQ(Column("ASIGNOMT", "COD"), (QStringList{"", "LECT"}));
    EXPECT_TRUE(Column("ASIGT", "CASIG").isEmpty());
    EXPECT_EQ(report_.tables.last().notes,
              QStringList{"Asignatura 1: la materia 'E1' tiene código vacío; no se escribe."});
}

TEST_F(Assignments, HoursThatAreNoNumberStopTheConversion) {
    for (const QString& hours : {QString("tres"), QString("")}) {
        try {
            ConvertAssignments(Assignment("G1", "S2", "P1", hours));
            FAIL() << "no error for '" << hours.toStdString() << "'";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::BadValue);
            EXPECT_EQ(e.message(), QString("'%1' is not a valid floating point value").arg(hours));
        }
    }
}

TEST_F(Assignments, HoursOfAnAssignmentThatIsDroppedAreNotRead) {
    ConvertAssignments(Assignment("G9", "S2", "P1", "tres") + Assignment("G1", "S9", "P1", "tres"));
    EXPECT_TRUE(Column("ASIGT", "CASIG").isEmpty());
}

TEST_F(Assignments, FractionalHoursUseTheUserDecimalSeparator) {
    const QString text = QString("2") + QLocale::system().decimalPoint() + "5";
    ConvertAssignments(Assignment("G1", "S2", "P1", text));
    EXPECT_EQ(Column("ASIGT", "HORAS"), QStringList{QString("2") + QLocale::system().decimalPoint() + "5"});
    EXPECT_EQ(Column("ASIGT", "SESIONES"), QStringList{QString("11") + QChar(0x00BD)});
}

// Only blanks (U+0020) are trimmed from an attribute: other white space
// around a number makes it no number, for the hours and the capacity alike.
struct WhiteSpaceCase {
    const char* name;
    QString around;  // as written in the attribute: a character reference
    QChar character;
};
void PrintTo(const WhiteSpaceCase& c, std::ostream* os) { *os << c.name; }

class WhiteSpaceAroundNumbers : public Assignments, public ::testing::WithParamInterface<WhiteSpaceCase> {};

TEST_P(WhiteSpaceAroundNumbers, MakesThemNoNumber) {
    const WhiteSpaceCase& c = GetParam();
    for (const bool before : {true, false}) {
        const QString written = before ? c.around + " 4" : "4 " + c.around;
        const QString read = before ? QString(c.character) + " 4" : "4 " + QString(c.character);
        try {
            ConvertAssignments(Assignment("G1", "S2", "P1", written));
            ADD_FAILURE() << "hours accepted";
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), QString("'%1' is not a valid floating point value").arg(read));
        }
        try {
            Convert("<aulas><daula nombre='Aula 1' capacidad_alumnos='" + written + "' codigo='A1'/></aulas>",
                    tables::kAulat);
            ADD_FAILURE() << "capacity accepted";
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), QString("'%1' is not a valid integer value for field 'MAXALUM'").arg(read));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, WhiteSpaceAroundNumbers,
                         ::testing::Values(WhiteSpaceCase{"tab", "&#9;", QChar(0x09)},
                                           WhiteSpaceCase{"line feed", "&#10;", QChar(0x0A)},
                                           WhiteSpaceCase{"carriage return", "&#13;", QChar(0x0D)},
                                           WhiteSpaceCase{"no-break space", "&#160;", QChar(0x00A0)},
                                           WhiteSpaceCase{"em space", "&#8195;", QChar(0x2003)}));

// --- Characters Windows-1252 lacks ------------------------------------------

// A text of the document written to a character field with characters that
// Windows-1252 lacks is noted in its table's report: the element, the field
// and the text as given; the field holds '?' for each.
struct Cp1252Case {
    const char* name;
    QString body;       // inside <centro>
    QString table;      // the table whose report is looked at
    QStringList notes;  // that table's notes, in order
    QString field;      // a field to read back ("" : none)
    QString stored;     // its value in the first row
};

void PrintTo(const Cp1252Case& c, std::ostream* os) { *os << c.name; }

class Windows1252Notes : public ConversionTest, public ::testing::WithParamInterface<Cp1252Case> {};

TEST_P(Windows1252Notes, NameTheElementTheFieldAndTheText) {
    const Cp1252Case& c = GetParam();
    Convert(c.body);
    const auto report = std::find_if(report_.tables.begin(), report_.tables.end(),
                                     [&](const TableReport& t) { return t.table == c.table; });
    ASSERT_NE(report, report_.tables.end());
    EXPECT_EQ(report->notes, c.notes);
    if (!c.field.isEmpty()) {
        EXPECT_EQ(Column(c.table, c.field).value(0), c.stored);
    }
}

const QString kLacks = QString::fromUtf8(" tiene caracteres que Windows-1252 no admite; se escriben como '?'.");

INSTANTIATE_TEST_SUITE_P(
    Cases, Windows1252Notes,
    ::testing::Values(
        Cp1252Case{
            "teacher_polish_name",
            "<profesores>" + Teacher("T", "P1") + Teacher("U", "P2", QString::fromUtf8("Łukasz")) + "</profesores>",
            tables::kProft,
            {QString::fromUtf8("Profesor 2: NOMBRE 'Łukasz, Bbb Ccc'") + kLacks},
            "NOMBRE",
            "Aaa, Bbb Ccc"},
        Cp1252Case{"teacher_code",
                   "<profesores>" + Teacher(QString::fromUtf8("ŁK"), "P1") + "</profesores>",
                   tables::kProft,
                   {QString::fromUtf8("Profesor 1: ABREV 'ŁK'") + kLacks},
                   "ABREV",
                   "?K"},
        Cp1252Case{"spanish_and_euro_are_held",
                   "<profesores>" + Teacher("T", "P1", QString::fromUtf8("José Ñúñez €"), QString::fromUtf8("Güell")) +
                       "</profesores>",
                   tables::kProft,
                   {},
                   "NOMBRE",
                   QString::fromUtf8("José Ñúñez €, Güell Ccc")},
        Cp1252Case{"room_outside_the_basic_plane",
                   QString::fromUtf8("<aulas><daula nombre='Aula 😀' capacidad_alumnos='3' codigo='A1'/></aulas>"),
                   tables::kAulat,
                   {QString::fromUtf8("Aula 1: ABREV 'Aula 😀'") + kLacks,
                    QString::fromUtf8("Aula 1: NOMBRE 'Aula 😀'") + kLacks},
                   "NOMBRE",
                   "Aula ?"},
        Cp1252Case{"subject_greek_name_in_two_fields",
                   "<materias>" + Subject("GR", QString::fromUtf8("Ελληνικά")) + "</materias>",
                   tables::kAsignomt,
                   {QString::fromUtf8("Materia 1: CODLARGO 'Ελληνικά'") + kLacks,
                    QString::fromUtf8("Materia 1: NOMBRE 'Ελληνικά'") + kLacks},
                   "NOMBRE",
                   "????????"},
        Cp1252Case{
            "group_name_and_code",
            "<grupos>" + Group(QString::fromUtf8("1ESO Ω"), "M", "1", "ESO", "", "G1") + "</grupos>",
            tables::kGrupost,
            {QString::fromUtf8("Grupo 1: ABREV 'M1ESOΩ'") + kLacks, QString::fromUtf8("Grupo 1: GRUPO 'Ω'") + kLacks,
             QString::fromUtf8("Grupo 1: DESCRIP '1ESO Ω'") + kLacks},
            "DESCRIP",
            "1ESO ?"},
        Cp1252Case{"assignment_teacher_identifier",
                   "<materias>" + Subject("MAT", "Mates", "TM") + "</materias><grupos>" +
                       Group("1ESO A", "M", "1", "ESO", "", "G1") + "</grupos><asignaturas>" +
                       QString::fromUtf8("<dasignatura cgrupo='G1' casig='c' cprofe='Ж7' nhoras='2'/>") +
                       "</asignaturas>",
                   tables::kAsigt,
                   {QString::fromUtf8("Asignatura 1: IDPROF 'Ж7'") + kLacks},
                   "IDPROF",
                   "?7"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CodePage1252, CanEncodeTellsWhatBecomesQuestionMarks) {
    const CodePage& cp = CodePage::ForNumber(1252);
    const struct {
        const char* text;
        bool encodes;
    } cases[] = {{"", true},   {"abc ?", true}, {"ñÑáéíóúü¿¡", true}, {"€ŒœŠšŽžŸ", true},
                 {"Ł", false}, {"ЖΩ", false},   {"😀", false},         {"a\u2028b", false}};
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(cp.CanEncode(text), c.encodes) << c.text;
        // What Encode turns into '?' is exactly what CanEncode refuses.
        EXPECT_EQ(cp.Encode(text).count('?') == text.count('?'), c.encodes) << c.text;
    }
}

}  // namespace
}  // namespace puente
