// The backups of the replaced tables: made with the commit, byte for byte,
// named by the second, twenty kept, whole or absent after an interruption;
// and the restore that puts them back, itself undone by another restore.
#include "run/Backups.h"

#include "common/Error.h"
#include "run/Restore.h"
#include "run/Staging.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace puente {
namespace {

using test::ReadFile;
using test::Snapshot;
using test::WriteFile;

const QStringList kSet = {"ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "DIASHORAST", "ASIGT"};
const QDateTime kTime(QDate(2026, 1, 10), QTime(9, 30, 5));

using test::Caught;

// The files of the working directory but its backups.
QMap<QString, QByteArray> Tables(const QString& dir) {
    QMap<QString, QByteArray> files = Snapshot(dir);
    for (const QString& name : files.keys())
        if (name.startsWith("CopiasPuente/") || name == ".puente.lock") files.remove(name);
    return files;
}

// The tables of one backup (its description left out).
QMap<QString, QByteArray> BackupTables(const QString& dir, const QString& name) {
    QMap<QString, QByteArray> files = Snapshot(BackupsFolder(dir) + "/" + name);
    files.remove("descripcion.json");
    return files;
}

// What a forward run does with its tables: each of `tables` replaced by
// "<tag> <table>", the old ones backed up. Returns the backup's name.
QString Replace(const QString& dir, const QString& tag, const QDateTime& time = kTime,
                const QStringList& tables = kSet) {
    Staging staging(dir);
    for (const QString& t : tables) WriteFile(staging.directory(), t + ".DBF", (tag + " " + t).toUtf8());
    const QString backup = staging.PrepareBackup(
        tables, BackupDescription{time, "/docs/" + tag + ".xml", "puente", kBackupReasonForward, QString()});
    staging.Commit(tables);
    return backup;
}

void WriteSet(const QString& dir, const QString& tag, const QStringList& tables = kSet) {
    for (const QString& t : tables) WriteFile(dir, t + ".DBF", (tag + " " + t).toUtf8());
}

// A real table of `rows` rows, as a backup counts them.
void WriteTable(const QString& dir, const QString& name, int rows) {
    Table t(dir, name);
    t.CreateTable({{"COD", FieldKind::Character, 10}});
    t.Open(OpenMode::Exclusive);
    for (int i = 0; i < rows; ++i) {
        t.Append();
        t.FieldByName("COD").SetAsString(QString::number(i));
        t.Post();
    }
}

TEST(BackupTest, HoldsTheReplacedTablesByteForByteAndDescribesThem) {
    QTemporaryDir htemp;
    WriteTable(htemp.path(), "ASIGNOMT", 3);
    WriteFile(htemp.path(), "proft.dbf", "old teachers, lower case");
    WriteFile(htemp.path(), "AULAT.DBF", "old rooms");
    WriteFile(htemp.path(), "SOLUC.DBF", "not of the set");
    const QByteArray subjects = ReadFile(htemp.filePath("ASIGNOMT.DBF"));
    const QString name = Replace(htemp.path(), "new");

    EXPECT_EQ(name, "20260110-093005");
    const QMap<QString, QByteArray> held = BackupTables(htemp.path(), name);
    EXPECT_EQ(held,
              (QMap<QString, QByteArray>{
                  {"ASIGNOMT.DBF", subjects}, {"AULAT.DBF", "old rooms"}, {"PROFT.DBF", "old teachers, lower case"}}));
    EXPECT_EQ(ReadFile(htemp.filePath("PROFT.DBF")), "new PROFT");
    EXPECT_FALSE(QFileInfo::exists(htemp.filePath("proft.dbf")) && !QFileInfo::exists(htemp.filePath("PROFT.DBF")));

    const QList<BackupInfo> list = ListBackups(htemp.path());
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].name, name);
    EXPECT_EQ(list[0].time, kTime);
    EXPECT_EQ(list[0].document, "/docs/new.xml");
    EXPECT_EQ(list[0].frontEnd, "puente");
    EXPECT_EQ(list[0].reason, "exportar");
    QStringList tables;
    for (const BackupTable& t : list[0].tables) tables << QString("%1 %2").arg(t.table).arg(t.rows);
    // In the order of the set; a file that is no table has no rows to count.
    EXPECT_EQ(tables, (QStringList{"ASIGNOMT 3", "PROFT -1", "AULAT -1"}));
}

TEST(BackupTest, ARunWithNoOldTablesMakesNone) {
    QTemporaryDir htemp;
    WriteFile(htemp.path(), "SOLUC.DBF", "not of the set");
    EXPECT_EQ(Replace(htemp.path(), "first"), "");
    EXPECT_FALSE(QFileInfo::exists(BackupsFolder(htemp.path())));
    EXPECT_TRUE(ListBackups(htemp.path()).isEmpty());
}

TEST(BackupTest, RunsInOneSecondAreNumbered) {
    QTemporaryDir htemp;
    WriteSet(htemp.path(), "v1");
    QStringList names;
    for (const char* tag : {"v2", "v3", "v4"}) names << Replace(htemp.path(), tag);
    EXPECT_EQ(names, (QStringList{"20260110-093005", "20260110-093005-2", "20260110-093005-3"}));
    QStringList listed;
    for (const BackupInfo& b : ListBackups(htemp.path())) listed << b.name;
    EXPECT_EQ(listed, (QStringList{"20260110-093005-3", "20260110-093005-2", "20260110-093005"}));
    // Each holds the set that its run replaced.
    EXPECT_EQ(BackupTables(htemp.path(), "20260110-093005")["PROFT.DBF"], "v1 PROFT");
    EXPECT_EQ(BackupTables(htemp.path(), "20260110-093005-3")["PROFT.DBF"], "v3 PROFT");
}

TEST(BackupTest, NamesAreOrderedByTimeThenNumber) {
    QTemporaryDir htemp;
    const QString root = BackupsFolder(htemp.path());
    for (const char* name : {"20260110-093005-9", "20260110-093005-10", "20260110-093005", "20251231-235959",
                             "20260110-093006", "notas", "2026011-093005", "..", ".20260110-093007.borrar"})
        QDir().mkpath(root + "/" + name);
    QStringList listed;
    for (const BackupInfo& b : ListBackups(htemp.path())) listed << b.name;
    EXPECT_EQ(listed, (QStringList{"20260110-093006", "20260110-093005-10", "20260110-093005-9", "20260110-093005",
                                   "20251231-235959"}));
    EXPECT_EQ(NewBackupName(root, kTime), "20260110-093005-2");
    EXPECT_EQ(NewBackupName(root, kTime.addSecs(2)), "20260110-093007");
}

TEST(BackupTest, TheTwentyNewestAreKept) {
    QTemporaryDir htemp;
    WriteSet(htemp.path(), "v0");
    QDir().mkpath(BackupsFolder(htemp.path()) + "/notas");  // not a backup: left alone
    QStringList made;
    for (int i = 1; i <= kKeptBackups + 2; ++i) made << Replace(htemp.path(), QString("v%1").arg(i), kTime.addSecs(i));
    QStringList listed;
    for (const BackupInfo& b : ListBackups(htemp.path())) listed << b.name;
    QStringList newest = made.mid(2);
    std::reverse(newest.begin(), newest.end());
    EXPECT_EQ(listed, newest);
    QStringList left = QDir(BackupsFolder(htemp.path())).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    left.removeAll("notas");
    EXPECT_EQ(left.size(), kKeptBackups) << left.join(", ").toStdString();
    // The oldest kept is the one made by the third run: it holds the second set.
    EXPECT_EQ(BackupTables(htemp.path(), made[2])["ASIGT.DBF"], "v2 ASIGT");
}

struct CannotCase {
    const char* name;
    std::function<void(const QString& dir)> prepare;
    bool bypassedByRoot;
};
void PrintTo(const CannotCase& c, std::ostream* os) { *os << c.name; }

class BackupCannotBeMade : public ::testing::TestWithParam<CannotCase> {};

TEST_P(BackupCannotBeMade, StopsTheRunBeforeAnythingIsReplaced) {
    const CannotCase& c = GetParam();
    if (c.bypassedByRoot && geteuid() == 0) GTEST_SKIP() << "root is not refused by file permissions";
    QTemporaryDir htemp;
    WriteSet(htemp.path(), "old");
    c.prepare(htemp.path());
    const QMap<QString, QByteArray> before = Snapshot(htemp.path());
    const QStringList entries = QDir(htemp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const Error e = Caught([&] { Replace(htemp.path(), "new"); });
    chmod(QFile::encodeName(BackupsFolder(htemp.path())).constData(), 0755);
    EXPECT_EQ(e.kind(), ErrorKind::InputOutput);
    EXPECT_TRUE(e.message().endsWith("No se ha modificado ninguna tabla.")) << e.message().toStdString();
    EXPECT_EQ(Snapshot(htemp.path()), before);
    EXPECT_EQ(QDir(htemp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), entries);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BackupCannotBeMade,
    ::testing::Values(CannotCase{"CopiasPuente is a file", [](const QString& d) { WriteFile(d, "CopiasPuente", "x"); },
                                 false},
                      CannotCase{"CopiasPuente is a link to nowhere",
                                 [](const QString& d) { QFile::link(d + "/nowhere", d + "/CopiasPuente"); }, false},
                      CannotCase{"CopiasPuente may not be written",
                                 [](const QString& d) {
                                     QDir().mkpath(BackupsFolder(d));
                                     chmod(QFile::encodeName(BackupsFolder(d)).constData(), 0555);
                                 },
                                 true}),
    [](const ::testing::TestParamInfo<CannotCase>& info) { return "Case" + std::to_string(info.index); });

// A committed staging folder as a run leaves it when it is interrupted
// after its COMMIT file: the backup still staged, ASIGNOMT already moved.
struct InterruptedCase {
    const char* name;
    bool committed;
    bool otherBackup;  // CopiasPuente already holds an earlier backup
};
void PrintTo(const InterruptedCase& c, std::ostream* os) { *os << c.name; }

class InterruptedCommit : public ::testing::TestWithParam<InterruptedCase> {};

TEST_P(InterruptedCommit, LeavesTheBackupWholeOrAbsent) {
    const InterruptedCase& c = GetParam();
    QTemporaryDir htemp;
    const QString dir = htemp.path();
    WriteSet(dir, "old", {"PROFT", "AULAT"});
    if (c.otherBackup) {
        QDir().mkpath(BackupsFolder(dir) + "/20250101-000000");
        WriteFile(BackupsFolder(dir) + "/20250101-000000", "PROFT.DBF", "older");
    }
    const QString staging = dir + "/.puente-staging";
    const QString staged = staging + "/CopiasPuente/20260110-093005";
    QDir().mkpath(staged);
    WriteSet(staged, "old", {"PROFT", "AULAT"});
    WriteSet(staging, "new", {"PROFT", "AULAT"});
    if (c.committed) {
        WriteFile(staging, "COMMIT", "ASIGNOMT\nPROFT\nAULAT\nCOPIA 20260110-093005\n");
        WriteFile(dir, "ASIGNOMT.DBF", "new ASIGNOMT");
    }
    Staging::Recover(dir);

    EXPECT_FALSE(QFileInfo::exists(staging));
    QStringList listed;
    for (const BackupInfo& b : ListBackups(dir)) listed << b.name;
    if (c.committed) {
        EXPECT_EQ(ReadFile(dir + "/PROFT.DBF"), "new PROFT");
        EXPECT_EQ(ReadFile(dir + "/AULAT.DBF"), "new AULAT");
        EXPECT_EQ(BackupTables(dir, "20260110-093005"),
                  (QMap<QString, QByteArray>{{"AULAT.DBF", "old AULAT"}, {"PROFT.DBF", "old PROFT"}}));
        EXPECT_EQ(listed.first(), "20260110-093005");
    } else {
        EXPECT_EQ(ReadFile(dir + "/PROFT.DBF"), "old PROFT");
        EXPECT_FALSE(listed.contains("20260110-093005"));
    }
    EXPECT_EQ(listed.contains("20250101-000000"), c.otherBackup);
    EXPECT_EQ(QFileInfo::exists(BackupsFolder(dir)), c.committed || c.otherBackup);
}

INSTANTIATE_TEST_SUITE_P(Cases, InterruptedCommit,
                         ::testing::Values(InterruptedCase{"committed, first backup", true, false},
                                           InterruptedCase{"committed, beside another", true, true},
                                           InterruptedCase{"not committed, first backup", false, false},
                                           InterruptedCase{"not committed, beside another", false, true}),
                         [](const ::testing::TestParamInfo<InterruptedCase>& info) {
                             return "Case" + std::to_string(info.index);
                         });

TEST(RestoreTest, PutsTheTablesBackByteForByteAndIsUndoneByAnotherRestore) {
    QTemporaryDir htemp;
    const QString dir = htemp.path();
    WriteSet(dir, "A");
    WriteTable(dir, "GRUPOST", 2);
    const QMap<QString, QByteArray> setA = Tables(dir);
    const QString first = Replace(dir, "B");
    const QMap<QString, QByteArray> setB = Tables(dir);

    const RestoreReport restore = RestoreBackup(dir, QString(), "ventana");  // the newest
    EXPECT_EQ(restore.restored, first);
    EXPECT_EQ(Tables(dir), setA);
    EXPECT_TRUE(restore.removed.isEmpty());
    QStringList tables;
    for (const BackupTable& t : restore.tables) tables << QString("%1 %2").arg(t.table).arg(t.rows);
    EXPECT_EQ(tables, (QStringList{"ASIGNOMT -1", "PROFT -1", "AULAT -1", "GRUPOST 2", "DIASHORAST -1", "ASIGT -1"}));
    // The tables it replaced are a backup of their own, described as a restore's.
    ASSERT_FALSE(restore.backup.isEmpty());
    const QList<BackupInfo> list = ListBackups(dir);
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].name, restore.backup);
    EXPECT_EQ(list[0].reason, "restaurar");
    EXPECT_EQ(list[0].restored, first);
    EXPECT_EQ(list[0].frontEnd, "ventana");
    // The backup restored is still there, whole.
    EXPECT_EQ(BackupTables(dir, first), setA);

    const RestoreReport undo = RestoreBackup(dir, restore.backup);
    EXPECT_EQ(undo.restored, restore.backup);
    EXPECT_EQ(Tables(dir), setB);
    EXPECT_EQ(BackupTables(dir, undo.backup), setA);
    EXPECT_FALSE(QFileInfo::exists(dir + "/.puente-staging"));
}

TEST(RestoreTest, RemovesTheTablesThatTheBackupLacksAndCopiesRatherThanLinks) {
    QTemporaryDir htemp;
    const QString dir = htemp.path();
    WriteSet(dir, "A", {"ASIGNOMT", "PROFT"});
    WriteFile(dir, "SOLUC.DBF", "Horalis' own");
    const QString first = Replace(dir, "B");
    const QMap<QString, QByteArray> setB = Tables(dir);

    const RestoreReport restore = RestoreBackup(dir, first);
    EXPECT_EQ(restore.removed, (QStringList{"AULAT", "GRUPOST", "DIASHORAST", "ASIGT"}));
    EXPECT_EQ(Tables(dir),
              (QMap<QString, QByteArray>{
                  {"ASIGNOMT.DBF", "A ASIGNOMT"}, {"PROFT.DBF", "A PROFT"}, {"SOLUC.DBF", "Horalis' own"}}));
    // Horalis writes its tables in place: the backup must not change with them.
    {
        QFile table(dir + "/PROFT.DBF");
        ASSERT_TRUE(table.open(QIODevice::ReadWrite));
        table.write("Z");
    }
    EXPECT_EQ(BackupTables(dir, first)["PROFT.DBF"], "A PROFT");

    RestoreBackup(dir, restore.backup);
    EXPECT_EQ(Tables(dir), setB);
}

struct NoBackupCase {
    const char* name;
    QString name_;    // the backup asked for
    bool withBackup;  // the working directory holds one backup
    QString message;  // {dir}: the working directory
};
void PrintTo(const NoBackupCase& c, std::ostream* os) { *os << c.name; }

class RestoreNoInput : public ::testing::TestWithParam<NoBackupCase> {};

TEST_P(RestoreNoInput, SaysSoAndChangesNothing) {
    const NoBackupCase& c = GetParam();
    QTemporaryDir htemp;
    const QString dir = htemp.filePath("HTEMP");
    if (c.withBackup) {
        QDir().mkpath(dir);
        WriteSet(dir, "A");
        Replace(dir, "B");
    }
    const QMap<QString, QByteArray> before = Snapshot(htemp.path());
    const Error e = Caught([&] { RestoreBackup(dir, c.name_); });
    EXPECT_EQ(e.kind(), ErrorKind::NoInput);
    EXPECT_EQ(e.message(), QString(c.message).replace("{dir}", dir));
    EXPECT_EQ(Snapshot(htemp.path()), before);
    EXPECT_EQ(QFileInfo::exists(dir), c.withBackup);  // a missing working directory is not made
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RestoreNoInput,
    ::testing::Values(
        NoBackupCase{"no backup at all", "", false, "No hay copias de seguridad en la carpeta de trabajo '{dir}'."},
        NoBackupCase{"a name of no backup", "20990101-000000", true,
                     "No existe la copia de seguridad '20990101-000000' en la carpeta de trabajo '{dir}'."},
        NoBackupCase{"a path instead of a name", "../HTEMP/CopiasPuente/20260110-093005", true,
                     "No existe la copia de seguridad '../HTEMP/CopiasPuente/20260110-093005' en la carpeta de "
                     "trabajo '{dir}'."},
        NoBackupCase{"a named backup where there is none", "20260110-093005", false,
                     "No existe la copia de seguridad '20260110-093005' en la carpeta de trabajo '{dir}'."}),
    [](const ::testing::TestParamInfo<NoBackupCase>& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace puente
