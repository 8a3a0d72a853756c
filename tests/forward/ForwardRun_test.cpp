#include "forward/ForwardRun.h"

#include "common/Error.h"
#include "run/Staging.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

namespace puente {
namespace {

using test::ReadColumn;
using test::Snapshot;

const QStringList kTables = {"ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "DIASHORAST", "ASIGT"};

class ForwardRunTest : public ::testing::Test {
protected:
    void SetUp() override { small_ = QString(PUENTE_TEST_DATA) + "/forward/small.xml"; }
    QString Doc(const QString& name, const QByteArray& bytes) { return test::WriteFile(docs_.path(), name, bytes); }
    ForwardReport Run(const QString& document) { return RunForward(document, htemp_.path()); }
    // A run that must end by an error: the error.
    Error FailingRun(const QString& document) {
        try {
            Run(document);
        } catch (const Error& e) {
            return e;
        }
        ADD_FAILURE() << "the run did not fail";
        return Error(ErrorKind::Internal, QString());
    }
    // A first successful run, so that the working directory holds old tables.
    void ConvertSmall() { Run(small_); }

    QTemporaryDir htemp_, docs_;
    QString small_;
};

TEST_F(ForwardRunTest, ConvertsAndReportsEachTable) {
    const ForwardReport report = Run(small_);
    EXPECT_EQ(report.document, small_);
    EXPECT_EQ(report.workingDirectory, htemp_.path());
    for (const QString& t : kTables) EXPECT_TRUE(QFile::exists(htemp_.filePath(t + ".DBF"))) << t.toStdString();
    EXPECT_EQ(ReadColumn(htemp_.path(), "ASIGNOMT", "COD"), (QStringList{"MAT", "LCyL", "LECT"}));
    EXPECT_EQ(ReadColumn(htemp_.path(), "PROFT", "NOMBRE"), (QStringList{"Pedro, García Ruiz", "Ana, Núñez"}));
    EXPECT_EQ(ReadColumn(htemp_.path(), "GRUPOST", "TUTOR"), (QStringList{"ANA", ""}));
    EXPECT_EQ(ReadColumn(htemp_.path(), "ASIGT", "CASIG"), (QStringList{"MAT", "LCyL", "LECT"}));
    QStringList summary;
    for (const TableReport& t : report.tables) summary << QString("%1 %2").arg(t.table).arg(t.rows);
    EXPECT_EQ(summary, (QStringList{"ASIGNOMT 3", "PROFT 2", "AULAT 2", "GRUPOST 2", "DIASHORAST 0", "ASIGT 3"}));
    // Nothing but the six tables and the lock file is left behind.
    QStringList files = Snapshot(htemp_.path()).keys();
    files.removeAll(".puente.lock");
    EXPECT_EQ(files.size(), 6) << files.join(", ").toStdString();
}

struct NoInputCase {
    const char* name;
    QString document;  // relative to the documents folder; "@empty": the empty path
};
void PrintTo(const NoInputCase& c, std::ostream* os) { *os << c.name; }

class ForwardNoInput : public ForwardRunTest, public ::testing::WithParamInterface<NoInputCase> {};

TEST_P(ForwardNoInput, SaysNoExisteArchivoAndTouchesNothing) {
    const NoInputCase& c = GetParam();
    const QString document = c.document == "@empty" ? QString() : docs_.filePath(c.document);
    const Error error = FailingRun(document);
    EXPECT_EQ(error.kind(), ErrorKind::NoInput);
    EXPECT_EQ(error.message(), "No existe archivo");
    EXPECT_EQ(error.place().path, document);
    EXPECT_TRUE(Snapshot(htemp_.path()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, ForwardNoInput,
                         ::testing::Values(NoInputCase{"nothing chosen", "@empty"},
                                           NoInputCase{"a name of no file", "falta.xml"}, NoInputCase{"a folder", ""}));

TEST_F(ForwardRunTest, TwoRunsOfOneDocumentGiveTheSameTables) {
    ConvertSmall();
    const QMap<QString, QByteArray> first = Snapshot(htemp_.path());
    ConvertSmall();
    // Same tables, but for the last-update date in the header (bytes 1-3);
    // the second run also keeps the first one's tables as a backup.
    QMap<QString, QByteArray> second = Snapshot(htemp_.path());
    for (const QString& name : second.keys())
        if (name.startsWith("CopiasPuente/")) second.remove(name);
    ASSERT_EQ(first.keys(), second.keys());
    for (const QString& name : first.keys()) {
        QByteArray a = first[name], b = second[name];
        if (name.endsWith(".DBF")) {
            a.replace(1, 3, "DDD");
            b.replace(1, 3, "DDD");
        }
        EXPECT_EQ(a, b) << name.toStdString();
    }
}

struct FailureCase {
    const char* name;
    ErrorKind kind;
    QByteArray document;
    QString messageStart;  // {doc}: the document's path
    QString messageEnd;
};
void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class ForwardFailure : public ForwardRunTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ForwardFailure, LeavesTheWorkingDirectoryAsItWas) {
    const FailureCase& c = GetParam();
    ConvertSmall();
    test::WriteFile(htemp_.path(), "ASIGNOMT.MDX", "index of the old table");
    const QMap<QString, QByteArray> before = Snapshot(htemp_.path());
    const QString path = Doc("doc.xml", c.document);
    const Error error = FailingRun(path);
    EXPECT_EQ(error.kind(), c.kind) << KindName(error.kind());
    const QString& message = error.message();
    EXPECT_TRUE(message.startsWith(QString(c.messageStart).replace("{doc}", path))) << message.toStdString();
    EXPECT_TRUE(message.endsWith(c.messageEnd)) << message.toStdString();
    EXPECT_EQ(Snapshot(htemp_.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ForwardFailure,
    ::testing::Values(
        FailureCase{"not well-formed", ErrorKind::NotWellFormed,
                    "<centro>\n<materias>\n<dmaterias abrev='A'>\n</centro>",
                    "El archivo '{doc}' no es un documento XML válido: ", "No se ha modificado ninguna tabla."},
        FailureCase{"empty file", ErrorKind::NotWellFormed, "",
                    "El archivo '{doc}' no es un documento XML válido: ", "No se ha modificado ninguna tabla."},
        FailureCase{"root not centro", ErrorKind::NotExchangeDocument, "<escuela><materias/></escuela>",
                    "El archivo '{doc}' no es un documento de intercambio de ZELTA: su elemento raíz es 'escuela' y "
                    "debería ser 'centro'.",
                    "'centro'."},
        FailureCase{
            "a capacity that is no whole number", ErrorKind::BadValue,
            "<centro><aulas><daula nombre='Aula 1' capacidad_alumnos='25 alumnos' codigo='A'/></aulas></centro>",
            "'25 alumnos' is not a valid integer value for field 'MAXALUM'", "'MAXALUM'"},
        FailureCase{
            "hours that are no number", ErrorKind::BadValue,
            "<centro><materias><dmaterias abrev='M' codigo='S'/></materias><grupos><dgrupo codigo='G'/></grupos>"
            "<asignaturas><dasignatura cgrupo='G' casig='S' nhoras='cuatro'/></asignaturas></centro>",
            "'cuatro' is not a valid floating point value", "value"}));

TEST_F(ForwardRunTest, NotWellFormedGivesLineAndColumn) {
    const QString path = Doc("roto.xml", "<centro>\n  <materias>\n</centro>\n");
    const Error error = FailingRun(path);
    EXPECT_TRUE(error.message().contains("(línea 3, columna")) << error.message().toStdString();
    EXPECT_EQ(error.place().path, path);
    EXPECT_EQ(error.place().line, 3);
    EXPECT_GT(error.place().column, 0);
}

TEST_F(ForwardRunTest, ACentroWithoutListsGivesEmptyTables) {
    Run(Doc("vacio.xml", "<centro/>"));
    EXPECT_EQ(ReadColumn(htemp_.path(), "ASIGNOMT", "COD"), QStringList{"LECT"});
    for (const QString& t : kTables.mid(1)) EXPECT_TRUE(test::ReadRows(htemp_.path(), t).isEmpty()) << t.toStdString();
}

TEST_F(ForwardRunTest, ATableHeldByAnotherProgramStopsTheRun) {
    ConvertSmall();
    const QMap<QString, QByteArray> before = Snapshot(htemp_.path());
    test::TableHeldElsewhere held(htemp_.path(), "GRUPOST", OpenMode::Exclusive);
    const Error error = FailingRun(small_);
    EXPECT_EQ(error.kind(), ErrorKind::HeldElsewhere);
    EXPECT_TRUE(error.message().contains("GRUPOST")) << error.message().toStdString();
    EXPECT_EQ(Snapshot(htemp_.path()), before);
}

TEST_F(ForwardRunTest, ABackupThatCannotBeMadeStopsTheRunBeforeAnythingIsReplaced) {
    ConvertSmall();
    test::WriteFile(htemp_.path(), "CopiasPuente", "a file where the backups go");
    const QMap<QString, QByteArray> before = Snapshot(htemp_.path());
    const Error error = FailingRun(Doc("otro.xml", "<centro/>"));
    EXPECT_EQ(error.kind(), ErrorKind::InputOutput);
    EXPECT_EQ(error.message(), QString("No se pueden guardar copias de seguridad: '%1' no es una carpeta. No se ha "
                                       "modificado ninguna tabla.")
                                   .arg(htemp_.filePath("CopiasPuente")));
    EXPECT_EQ(Snapshot(htemp_.path()), before);
    EXPECT_FALSE(QFileInfo::exists(htemp_.filePath(".puente-staging")));
}

TEST_F(ForwardRunTest, OldIndexesAndOtherLetterCaseFilesAreReplaced) {
    test::WriteFile(htemp_.path(), "proft.dbf", "an old table in lower case");
    test::WriteFile(htemp_.path(), "PROFT.MDX", "old index");
    test::WriteFile(htemp_.path(), "asigt.mdx", "old index");
    const ForwardReport report = Run(small_);
    QStringList files = Snapshot(htemp_.path()).keys();
    files.removeAll(".puente.lock");
    files.sort();
    const QString backup = "CopiasPuente/" + report.backup + "/";
    EXPECT_EQ(files, (QStringList{"ASIGNOMT.DBF", "ASIGT.DBF", "AULAT.DBF", backup + "PROFT.DBF",
                                  backup + "descripcion.json", "DIASHORAST.DBF", "GRUPOST.DBF", "PROFT.DBF"}));
    // The old table is kept, under the name of its table; old indexes are not.
    EXPECT_EQ(test::ReadFile(htemp_.filePath(backup + "PROFT.DBF")), "an old table in lower case");
}

TEST_F(ForwardRunTest, AnInterruptedCommitIsFinishedByTheNextRun) {
    ConvertSmall();
    const QMap<QString, QByteArray> old = Snapshot(htemp_.path());
    // The new set, as a committed staging folder that was moved half-way.
    QTemporaryDir other;
    RunForward(Doc("otro.xml", "<centro><materias><dmaterias abrev='NUEVA' codigo='N'/></materias></centro>"),
               other.path());
    const QString staging = htemp_.filePath(".puente-staging");
    QDir().mkpath(staging);
    for (const QString& t : kTables) QFile::copy(other.filePath(t + ".DBF"), staging + "/" + t + ".DBF");
    test::WriteFile(staging, "COMMIT", kTables.join('\n').toUtf8() + "\n");
    QFile::remove(htemp_.filePath("ASIGNOMT.DBF"));
    QFile::rename(staging + "/ASIGNOMT.DBF", htemp_.filePath("ASIGNOMT.DBF"));

    Staging::Recover(htemp_.path());
    EXPECT_FALSE(QFileInfo::exists(staging));
    for (const QString& t : kTables)
        EXPECT_EQ(test::ReadFile(htemp_.filePath(t + ".DBF")), test::ReadFile(other.filePath(t + ".DBF")))
            << t.toStdString();
    EXPECT_EQ(ReadColumn(htemp_.path(), "ASIGNOMT", "COD"), (QStringList{"NUEVA", "LECT"}));
}

// The system's reason why a committed table cannot be put in place comes in
// Spanish, as every other reason does.
TEST_F(ForwardRunTest, ACommittedTableThatCannotBePutInPlaceSaysWhyInSpanish) {
    const QString staging = htemp_.filePath(".puente-staging");
    QDir().mkpath(staging);
    test::WriteFile(staging, "PROFT.DBF", "new table");
    test::WriteFile(staging, "COMMIT", "PROFT\n");
    QDir().mkpath(htemp_.filePath("PROFT.DBF"));  // a folder where the table goes
    test::WriteFile(htemp_.filePath("PROFT.DBF"), "inside", "x");
    try {
        Staging::Recover(htemp_.path());
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QString("No se pudo colocar la tabla 'PROFT' en la carpeta de trabajo '%1': es un "
                                       "directorio.")
                                   .arg(htemp_.path()));
    }
}

}  // namespace
}  // namespace puente
