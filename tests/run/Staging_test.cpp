// The working directory's lock, the tables' check, and the all-or-nothing
// replacement of tables.
#include "run/Staging.h"

#include "common/Error.h"
#include "run/TableFiles.h"
#include "run/WorkingDirectoryLock.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <functional>

namespace puente {
namespace {

using test::ReadFile;
using test::Snapshot;
using test::WriteFile;

using test::Caught;

TEST(WorkingDirectoryLockTest, OneConversionAtATime) {
    QTemporaryDir htemp;
    const QString dir = htemp.path();
    {
        WorkingDirectoryLock first(dir);
        const Error second = Caught([&] { WorkingDirectoryLock again(dir); });
        EXPECT_EQ(second.kind(), ErrorKind::HeldElsewhere);
        EXPECT_EQ(second.place().path, dir);
    }
    EXPECT_NO_THROW(WorkingDirectoryLock after(dir));
}

TEST(WorkingDirectoryLockTest, AFolderThatDoesNotExistIsRefusedNeverCreated) {
    QTemporaryDir htemp;
    const QString dir = htemp.filePath("HTEMP");
    const Error e = Caught([&] { WorkingDirectoryLock lock(dir); });
    EXPECT_EQ(e.kind(), ErrorKind::NoInput);
    EXPECT_EQ(e.place().path, dir);
    EXPECT_FALSE(QFileInfo::exists(dir));
}

TEST(StagingTest, CommitReplacesTheTablesAndRemovesOldIndexes) {
    QTemporaryDir htemp;
    WriteFile(htemp.path(), "proft.dbf", "old teachers");
    WriteFile(htemp.path(), "PROFT.MDX", "old index");
    WriteFile(htemp.path(), "AULAT.DBF", "old rooms");
    {
        Staging staging(htemp.path());
        WriteFile(staging.directory(), "PROFT.DBF", "new teachers");
        WriteFile(staging.directory(), "AULAT.DBF", "new rooms");
        staging.Commit({"PROFT", "AULAT"});
    }
    QStringList files = Snapshot(htemp.path()).keys();
    files.sort();
    EXPECT_EQ(files, (QStringList{"AULAT.DBF", "PROFT.DBF"}));
    EXPECT_EQ(ReadFile(htemp.filePath("PROFT.DBF")), "new teachers");
    EXPECT_EQ(ReadFile(htemp.filePath("AULAT.DBF")), "new rooms");
}

TEST(StagingTest, AFolderInATablesPlaceStopsTheCommitBeforeAnythingMoves) {
    QTemporaryDir htemp;
    WriteFile(htemp.path(), "PROFT.DBF", "old teachers");
    ASSERT_TRUE(QDir(htemp.path()).mkdir("AULAT.DBF"));
    const QMap<QString, QByteArray> before = Snapshot(htemp.path());
    const Error e = Caught([&] {
        Staging staging(htemp.path());
        WriteFile(staging.directory(), "PROFT.DBF", "new teachers");
        WriteFile(staging.directory(), "AULAT.DBF", "new rooms");
        staging.Commit({"PROFT", "AULAT"});
    });
    EXPECT_EQ(e.kind(), ErrorKind::InputOutput);
    EXPECT_TRUE(e.message().startsWith("No se puede reemplazar la tabla 'AULAT'")) << e.message().toStdString();
    EXPECT_EQ(Snapshot(htemp.path()), before);
    EXPECT_FALSE(QFileInfo::exists(htemp.filePath(".puente-staging")));
}

TEST(StagingTest, AnUncommittedStagingFolderIsDiscarded) {
    QTemporaryDir htemp;
    WriteFile(htemp.path(), "ASIGNOMT.DBF", "old subjects");
    const QMap<QString, QByteArray> before = Snapshot(htemp.path());
    const QString staging = htemp.filePath(".puente-staging");
    QDir().mkpath(staging);
    WriteFile(staging, "ASIGNOMT.DBF", "half written");
    Staging::Recover(htemp.path());
    EXPECT_EQ(Snapshot(htemp.path()), before);
}

TEST(StagingTest, ACommittedStagingFolderIsFinished) {
    QTemporaryDir htemp;
    WriteFile(htemp.path(), "ASIGNOMT.DBF", "new subjects");  // moved before the interruption
    WriteFile(htemp.path(), "PROFT.DBF", "old teachers");
    const QString staging = htemp.filePath(".puente-staging");
    QDir().mkpath(staging);
    WriteFile(staging, "PROFT.DBF", "new teachers");
    WriteFile(staging, "COMMIT", "ASIGNOMT\nPROFT\n");
    Staging::Recover(htemp.path());
    EXPECT_FALSE(QFileInfo::exists(staging));
    EXPECT_EQ(ReadFile(htemp.filePath("ASIGNOMT.DBF")), "new subjects");
    EXPECT_EQ(ReadFile(htemp.filePath("PROFT.DBF")), "new teachers");
}

TEST(TableFilesTest, FoundAndRemovedInAnyLetterCase) {
    QTemporaryDir htemp;
    WriteFile(htemp.path(), "soluc.dbf", "x");
    WriteFile(htemp.path(), "Proft.Mdx", "x");
    EXPECT_TRUE(TableFileExists(htemp.path(), "SOLUC"));
    EXPECT_FALSE(TableFileExists(htemp.path(), "PROFT"));
    EXPECT_TRUE(RemoveTableFile(htemp.path(), "PROFT", "MDX"));
    EXPECT_FALSE(QFileInfo::exists(htemp.filePath("Proft.Mdx")));
}

}  // namespace
}  // namespace puente
