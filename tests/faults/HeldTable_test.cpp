// A table held by another process: a helper process opens one table of the
// working directory through the table engine (as Horalis holds the tables it
// has open) and keeps it until it is killed. Either run must then stop with a
// message that names the table, before anything changes. The working
// directory's own lock, held by another conversion, stops a run the same way.
#include "FaultSupport.h"
#include "cli/Cli.h"
#include "support/TestSupport.h"

#include "tablestore/Table.h"

#include <QDir>
#include <QLockFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>

namespace puente::faults {
namespace {

struct HeldCase {
    const char* name;
    const char* command;  // exportar, importar
    const char* table;
    OpenMode mode;
};
void PrintTo(const HeldCase& c, std::ostream* os) { *os << c.name; }

class HeldTable : public ::testing::TestWithParam<HeldCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFileInfo(PuenteBinary()).isExecutable()) << "build the target puente first";
        doc_ = docs_.filePath("centro.xml");
        ASSERT_TRUE(QFile::copy(QStringLiteral(PUENTE_TEST_DATA "/forward/small.xml"), doc_));
        ASSERT_TRUE(PrepareWorkingDirectory(htemp_.path(), doc_));
    }
    QTemporaryDir htemp_, docs_;
    QString doc_;
};

TEST_P(HeldTable, StopsTheRunNamingTheTable) {
    const HeldCase& c = GetParam();
    const QMap<QString, QByteArray> tables = SnapshotWithoutLock(htemp_.path());
    const QMap<QString, QByteArray> docs = Snapshot(docs_.path());
    Outcome o;
    {
        test::TableHeldElsewhere holder(htemp_.path(), c.table, c.mode);
        o = RunPuente({c.command, doc_, "--htemp", htemp_.path()});
    }
    const QString path = htemp_.filePath(QString(c.table) + ".DBF");
    EXPECT_TRUE(o.exited(kExitBusy)) << ::testing::PrintToString(o);
    const QString expected =
        QString(c.command) == "exportar"
            ? QString(
                  "Error: La tabla '%1' (%2) está en uso por otro programa. Cierre Horalis u otro programa que la "
                  "tenga abierta y vuelva a intentarlo.\n")
                  .arg(c.table, path)
            : QString("Error: La tabla '%1' (%2) está en uso por otro programa\n").arg(c.table, path);
    EXPECT_TRUE(o.err.endsWith(expected)) << o.err.toStdString();
    EXPECT_EQ(SnapshotWithoutLock(htemp_.path()), tables);
    EXPECT_EQ(Snapshot(docs_.path()), docs);
    // Once the other program lets go, the same run goes through.
    EXPECT_TRUE(RunPuente({c.command, doc_, "--htemp", htemp_.path()}).exited(0));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeldTable,
    ::testing::Values(HeldCase{"exportar_ASIGNOMT_exclusive", "exportar", "ASIGNOMT", OpenMode::Exclusive},
                      HeldCase{"exportar_GRUPOST_shared", "exportar", "GRUPOST", OpenMode::Shared},
                      HeldCase{"exportar_ASIGT_shared", "exportar", "ASIGT", OpenMode::Shared},
                      HeldCase{"importar_SOLUC_exclusive", "importar", "SOLUC", OpenMode::Exclusive},
                      HeldCase{"importar_PROFT_shared", "importar", "PROFT", OpenMode::Shared},
                      HeldCase{"importar_ASIGT_shared", "importar", "ASIGT", OpenMode::Shared}),
    [](const ::testing::TestParamInfo<HeldCase>& info) { return std::string(info.param.name); });

TEST(WorkingDirectoryHeld, AnotherConversionStopsTheForwardRun) {
    ASSERT_TRUE(QFileInfo(PuenteBinary()).isExecutable()) << "build the target puente first";
    QTemporaryDir htemp;
    Outcome o;
    {
        // The other conversion: a live process that holds the lock file.
        const test::HoldingChild other(
            [&](const std::function<void()>& keep) {
                QLockFile lock(htemp.filePath(".puente.lock"));
                if (lock.tryLock(0)) keep();
            },
            "the lock file");
        o = RunPuente({"exportar", QStringLiteral(PUENTE_TEST_DATA "/forward/small.xml"), "--htemp", htemp.path()});
    }
    EXPECT_TRUE(o.exited(kExitBusy)) << ::testing::PrintToString(o);
    EXPECT_TRUE(
        o.err.endsWith(QString("Error: Otra conversión está trabajando en la carpeta '%1'. Espere a que termine "
                               "y vuelva a intentarlo.\n")
                           .arg(htemp.path())))
        << o.err.toStdString();
    EXPECT_EQ(FilesIn(htemp.path()), QStringList{".puente.lock"});
    // A lock whose process is gone is taken over.
    EXPECT_TRUE(RunPuente({"exportar", QStringLiteral(PUENTE_TEST_DATA "/forward/small.xml"), "--htemp", htemp.path()})
                    .exited(0));
}

// A process killed (or out of disk) between creating the lock file and
// writing its process id into it leaves an empty lock file that names no
// process. It must not keep every later run out; while a live process holds
// such a file (as one does in the moment between the two steps), it must.
TEST(WorkingDirectoryHeld, AnEmptyLockFileLeftByADeadProcessIsTakenOver) {
    ASSERT_TRUE(QFileInfo(PuenteBinary()).isExecutable()) << "build the target puente first";
    const QString small = QStringLiteral(PUENTE_TEST_DATA "/forward/small.xml");
    QTemporaryDir htemp;
    const QString lock = htemp.filePath(".puente.lock");

    // Held: a live process holds the empty file as QLockFile does (flock).
    WriteAll(lock, "");
    Outcome held;
    {
        const test::HoldingChild holder(
            [&](const std::function<void()>& keep) {
                const int fd = ::open(QFile::encodeName(lock).constData(), O_RDONLY);
                if (fd >= 0 && flock(fd, LOCK_EX) == 0) keep();
            },
            "the empty lock file");
        held = RunPuente({"exportar", small, "--htemp", htemp.path()});
    }
    EXPECT_TRUE(held.exited(kExitBusy)) << ::testing::PrintToString(held);
    EXPECT_TRUE(held.err.endsWith(QString("Error: Otra conversión está trabajando en la carpeta '%1'. Espere a que "
                                          "termine y vuelva a intentarlo.\n")
                                      .arg(htemp.path())))
        << held.err.toStdString();
    EXPECT_EQ(FilesIn(htemp.path()), QStringList{".puente.lock"});

    // Left behind: nobody holds it any more.
    const Outcome next = RunPuente({"exportar", small, "--htemp", htemp.path()});
    EXPECT_TRUE(next.exited(0)) << ::testing::PrintToString(next);
    EXPECT_EQ(FilesIn(htemp.path()).size(), 6) << FilesIn(htemp.path()).join(", ").toStdString();
}

}  // namespace
}  // namespace puente::faults
