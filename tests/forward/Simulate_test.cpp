// The simulated forward run: the whole conversion aside, the differences
// against the tables of the working directory, and not one file of the
// working directory made, changed or left behind.
#include "forward/Conversions.h"
#include "forward/ForwardRun.h"
#include "forward/TableChanges.h"

#include "common/Error.h"
#include "run/Backups.h"
#include "run/TableNames.h"
#include "support/TestSupport.h"

#include <QDirIterator>
#include <QTemporaryDir>

namespace puente {
namespace {

using test::Snapshot;

const QByteArray kBefore = R"(<centro>
  <materias>
    <dmaterias abrev="MAT" nombre="Matemáticas" codigo_actividad="TM" codigo="M1"/>
    <dmaterias abrev="LEN" nombre="Lengua" codigo_actividad="TL" codigo="M2"/>
  </materias>
  <profesores>
    <profesor abrev="PGR" nombre="Pedro" apellido1="García" codigo="P1"/>
    <profesor abrev="ANA" nombre="Ana" apellido1="Núñez" codigo="P2"/>
  </profesores>
  <aulas>
    <daula nombre="Aula 1" capacidad_alumnos="30" codigo="A1"/>
    <daula nombre="Laboratorio" capacidad_alumnos="" codigo="A2"/>
  </aulas>
  <grupos>
    <dgrupo nombre="1ESO A" codigo_nivel="ESO" turno="M" curso="1" codigo_tutor="P2" codigo="G1"/>
    <dgrupo nombre="1ESO B" codigo_nivel="ESO" turno="M" curso="1" codigo_tutor="" codigo="G2"/>
  </grupos>
  <asignaturas>
    <dasignatura cgrupo="G1" casig="M1" cprofe="P1" nhoras="4"/>
    <dasignatura cgrupo="G2" casig="M2" cprofe="P2" nhoras="5"/>
  </asignaturas>
</centro>)";

// A subject and an assignment added, a teacher removed, a room's capacity
// and an assignment's hours changed; the tutor and the teacher code that
// pointed at the teacher removed change with it.
const QByteArray kAfter = R"(<centro>
  <materias>
    <dmaterias abrev="MAT" nombre="Matemáticas" codigo_actividad="TM" codigo="M1"/>
    <dmaterias abrev="LEN" nombre="Lengua" codigo_actividad="TL" codigo="M2"/>
    <dmaterias abrev="FIS" nombre="Física" codigo_actividad="TF" codigo="M3"/>
  </materias>
  <profesores>
    <profesor abrev="PGR" nombre="Pedro" apellido1="García" codigo="P1"/>
  </profesores>
  <aulas>
    <daula nombre="Aula 1" capacidad_alumnos="25" codigo="A1"/>
    <daula nombre="Laboratorio" capacidad_alumnos="" codigo="A2"/>
  </aulas>
  <grupos>
    <dgrupo nombre="1ESO A" codigo_nivel="ESO" turno="M" curso="1" codigo_tutor="P2" codigo="G1"/>
    <dgrupo nombre="1ESO B" codigo_nivel="ESO" turno="M" curso="1" codigo_tutor="" codigo="G2"/>
  </grupos>
  <asignaturas>
    <dasignatura cgrupo="G1" casig="M1" cprofe="P1" nhoras="6"/>
    <dasignatura cgrupo="G2" casig="M2" cprofe="P2" nhoras="5"/>
    <dasignatura cgrupo="G1" casig="M3" cprofe="P1" nhoras="3"/>
  </asignaturas>
</centro>)";

// Every entry under `dir`, folders included, with the bytes of each file.
QMap<QString, QByteArray> Everything(const QString& dir) {
    QMap<QString, QByteArray> all = Snapshot(dir);
    QDirIterator it(dir, QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) all.insert(QDir(dir).relativeFilePath(it.next()) + "/", "folder");
    return all;
}

// A table's changes in one line: "+added -removed ~changed(fields)".
QString Summary(const TableChanges& c) {
    QStringList parts;
    for (const ItemChange& i : c.added) parts << "+" + i.key;
    for (const ItemChange& i : c.removed) parts << "-" + i.key;
    for (const ItemChange& i : c.changed) parts << "~" + i.key + "(" + i.fields.join(",") + ")";
    return QString("%1 %2>%3 %4").arg(c.table).arg(c.currentRows).arg(c.newRows).arg(parts.join(" "));
}

QStringList Summaries(const ForwardReport& report) {
    QStringList lines;
    for (const TableChanges& c : report.changes) lines << Summary(c);
    return lines;
}

QStringList Tables(const ForwardReport& report) {
    QStringList lines;
    for (const TableReport& t : report.tables)
        lines << QString("%1 %2 %3").arg(t.table).arg(t.rows).arg(t.notes.join("|"));
    return lines;
}

class SimulateTest : public ::testing::Test {
protected:
    QString Doc(const QString& name, const QByteArray& bytes) { return test::WriteFile(docs_.path(), name, bytes); }
    ForwardReport Simulate(const QString& document, const QString& dir) {
        ForwardOptions options;
        options.simulate = true;
        options.frontEnd = "puente";
        return RunForward(document, dir, options);
    }
    QTemporaryDir htemp_, docs_;
};

TEST_F(SimulateTest, ReportsWhatWouldChangeAndLeavesTheWorkingDirectoryAsItWas) {
    RunForward(Doc("antes.xml", kBefore), htemp_.path());
    RunForward(Doc("antes.xml", kBefore), htemp_.path());  // a backup there too
    test::WriteFile(htemp_.path(), "SOLUC.DBF", "Horalis' own");
    const QMap<QString, QByteArray> before = Everything(htemp_.path());

    const ForwardReport simulated = Simulate(Doc("despues.xml", kAfter), htemp_.path());
    EXPECT_EQ(Everything(htemp_.path()), before);
    EXPECT_TRUE(simulated.simulated);
    EXPECT_TRUE(simulated.backup.isEmpty());
    EXPECT_EQ(simulated.workingDirectory, htemp_.path());
    EXPECT_EQ(Summaries(simulated),
              (QStringList{"ASIGNOMT 3>4 +M3", "PROFT 2>1 -P2", "AULAT 2>2 ~A1(MAXALUM)", "GRUPOST 2>2 ~G1(TUTOR)",
                           "DIASHORAST 0>0 ", "ASIGT 2>3 +G1/M3/P1 ~G1/M1/P1(HORAS,SESIONES) ~G2/M2/P2(CPROF)"}));
    // Items carry a readable name, the old one for an item removed.
    EXPECT_EQ(simulated.changes[0].added[0].label, "Física");
    EXPECT_EQ(simulated.changes[1].removed[0].label, "Ana, Núñez");
    EXPECT_EQ(simulated.changes[5].added[0].label, "M1ESOA / FIS / PGR");
    EXPECT_EQ(simulated.changes[5].keyFields, (QStringList{"IDGRUP", "IDASIG", "IDPROF"}));
    EXPECT_TRUE(simulated.changes[4].keyFields.isEmpty());

    // The usual report: what the real run then writes.
    const ForwardReport real = RunForward(Doc("despues.xml", kAfter), htemp_.path());
    EXPECT_EQ(Tables(simulated), Tables(real));
    EXPECT_TRUE(real.changes.isEmpty());
    // And after it, nothing is left to change.
    for (const TableChanges& c : Simulate(Doc("despues.xml", kAfter), htemp_.path()).changes)
        EXPECT_TRUE(c.added.isEmpty() && c.removed.isEmpty() && c.changed.isEmpty()) << Summary(c).toStdString();
}

TEST_F(SimulateTest, AMissingWorkingDirectoryIsRefusedAsByARealRunAndNotMade) {
    const QString dir = htemp_.filePath("HTEMP");
    try {
        Simulate(Doc("antes.xml", kBefore), dir);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::NoInput);
        EXPECT_EQ(e.place().path, dir);
    }
    EXPECT_FALSE(QFileInfo::exists(dir));
}

TEST_F(SimulateTest, ACurrentTableThatCannotBeReadCountsAsEmptyAndIsNoted) {
    RunForward(Doc("antes.xml", kBefore), htemp_.path());
    test::WriteFile(htemp_.path(), "PROFT.DBF", "not a table");
    const QMap<QString, QByteArray> before = Everything(htemp_.path());
    const ForwardReport simulated = Simulate(Doc("antes.xml", kBefore), htemp_.path());
    EXPECT_EQ(Everything(htemp_.path()), before);
    const TableChanges& teachers = simulated.changes[1];
    EXPECT_TRUE(teachers.currentExists);
    EXPECT_TRUE(teachers.currentProblem.startsWith("La tabla actual 'PROFT' no se puede leer"))
        << teachers.currentProblem.toStdString();
    EXPECT_EQ(Summary(teachers), "PROFT 0>2 +P1 +P2");
    EXPECT_TRUE(simulated.tables[1].notes.contains(teachers.currentProblem));
    EXPECT_EQ(Summary(simulated.changes[0]), "ASIGNOMT 3>3 ");
}

TEST_F(SimulateTest, AnIdentifierThatRepeatsIsMatchedByOccurrence) {
    const QByteArray twice = R"(<centro><aulas>
      <daula nombre="Aula" capacidad_alumnos="10" codigo="A1"/>
      <daula nombre="Aula bis" capacidad_alumnos="20" codigo="A1"/>
    </aulas></centro>)";
    const QByteArray thrice = R"(<centro><aulas>
      <daula nombre="Aula" capacidad_alumnos="10" codigo="A1"/>
      <daula nombre="Aula bis" capacidad_alumnos="25" codigo="A1"/>
      <daula nombre="Aula ter" capacidad_alumnos="30" codigo="A1"/>
    </aulas></centro>)";
    RunForward(Doc("dos.xml", twice), htemp_.path());
    const ForwardReport simulated = Simulate(Doc("tres.xml", thrice), htemp_.path());
    EXPECT_EQ(Summary(simulated.changes[2]), "AULAT 2>3 +A1 ~A1(MAXALUM)");
    EXPECT_EQ(simulated.changes[2].added[0].label, "Aula ter");
}

TEST_F(SimulateTest, AnInterruptedCommitIsComparedAsTheNextRunWillFinishIt) {
    RunForward(Doc("antes.xml", kBefore), htemp_.path());
    // A run of the later document, interrupted after its COMMIT file with PROFT still staged.
    QTemporaryDir other;
    RunForward(Doc("despues.xml", kAfter), other.path());
    const QString staging = htemp_.filePath(".puente-staging");
    QDir().mkpath(staging);
    QFile::copy(other.filePath("PROFT.DBF"), staging + "/PROFT.DBF");
    test::WriteFile(staging, "COMMIT", "PROFT\n");
    const QMap<QString, QByteArray> before = Everything(htemp_.path());

    const ForwardReport simulated = Simulate(Doc("despues.xml", kAfter), htemp_.path());
    EXPECT_EQ(Everything(htemp_.path()), before);  // not finished by a simulation
    EXPECT_EQ(Summary(simulated.changes[1]), "PROFT 1>1 ");
    EXPECT_EQ(Summary(simulated.changes[0]), "ASIGNOMT 3>4 +M3");
}

TEST_F(SimulateTest, ATableHeldByAnotherProgramStopsItAsItWouldTheRun) {
    RunForward(Doc("antes.xml", kBefore), htemp_.path());
    const QMap<QString, QByteArray> before = Everything(htemp_.path());
    test::TableHeldElsewhere held(htemp_.path(), "ASIGT", OpenMode::Exclusive);
    try {
        Simulate(Doc("despues.xml", kAfter), htemp_.path());
        ADD_FAILURE() << "the simulation went through";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::HeldElsewhere);
        EXPECT_TRUE(e.message().contains("ASIGT")) << e.message().toStdString();
    }
    EXPECT_EQ(Everything(htemp_.path()), before);
}

TEST(ForwardSetTest, TheSetThatBackupsHoldIsTheSetTheRunWrites) {
    QStringList set;
    for (const char* t : tables::kForwardSet) set << t;
    EXPECT_EQ(set, ForwardTableNames());
    QStringList identified;
    for (const ItemIdentity& i : ForwardItemIdentities()) identified << i.table;
    EXPECT_EQ(identified, ForwardTableNames());
}

}  // namespace
}  // namespace puente
