// A place that cannot be written: the working directory for the forward run,
// the documents folder (where the result goes) for the return run, the folder
// of Horalis.ini for the outcome report. Each is made unwritable in one of two
// ways:
//   - permissions: the folder is mode 0555. Root passes over permissions, so
//     when the tests run as root the run is made as the user "nobody";
//   - a read-only mount: the folder is bind-mounted read-only in a mount
//     namespace of the child's own (EROFS, which binds root as well). Skipped
//     where the system does not allow it (not root, no namespaces).
// And obstacles that need no rights at all: a file where the working
// directory, the staging folder or a table should be.
// In every case: a clear message naming the place, and nothing changed.
#include "FaultSupport.h"

#include "support/ChildProcess.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace puente::faults {
namespace {

enum class Way { Permissions, ReadOnlyMount };
enum class Place { WorkingDirectory, DocumentsFolder };

struct UnwritableCase {
    const char* name;
    Way way;
    Place place;
};
void PrintTo(const UnwritableCase& c, std::ostream* os) { *os << c.name; }

// A working directory with tables and a SOLUC, and a documents folder with
// the chosen document, all readable by anyone.
class Unwritable : public ::testing::TestWithParam<UnwritableCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFileInfo(PuenteBinary()).isExecutable()) << "build the target puente first";
        htemp_ = base_.filePath("htemp");
        docs_ = base_.filePath("docs");
        QDir().mkpath(htemp_);
        QDir().mkpath(docs_);
        doc_ = docs_ + "/centro.xml";
        ASSERT_TRUE(QFile::copy(QStringLiteral(PUENTE_TEST_DATA "/forward/small.xml"), doc_));
        ASSERT_TRUE(PrepareWorkingDirectory(htemp_, doc_));
        for (const QString& d : {base_.path(), htemp_, docs_}) chmod(QFile::encodeName(d).constData(), 0755);
        for (const QString& f : FilesIn(htemp_)) chmod(QFile::encodeName(htemp_ + "/" + f).constData(), 0644);
        chmod(QFile::encodeName(doc_).constData(), 0644);
    }
    void TearDown() override {
        for (const QString& d : {htemp_, docs_}) chmod(QFile::encodeName(d).constData(), 0755);
    }

    // Options that make `folder` unwritable for the run, or why they cannot.
    std::optional<RunOptions> Making(const QString& folder, Way way, QString* why) {
        RunOptions options;
        if (way == Way::ReadOnlyMount) {
            if (!CanMountReadOnly()) {
                *why = "this system does not let the test mount a folder read-only (needs root and mount namespaces)";
                return std::nullopt;
            }
            options.readOnly = folder;
            return options;
        }
        chmod(QFile::encodeName(folder).constData(), 0555);
        if (geteuid() == 0) {
            if (!CanChangeUser()) {
                *why = "running as root, which passes over permissions, and unable to run as another user";
                return std::nullopt;
            }
            if (!NobodyCanRunPuente()) {
                *why =
                    "running as root, which passes over permissions, and the user nobody cannot reach the "
                    "program (the build lies in a folder that only its owner may enter)";
                return std::nullopt;
            }
            options.user = kNobody;
        }
        return options;
    }

    QTemporaryDir base_;
    QString htemp_, docs_, doc_;
};

TEST_P(Unwritable, StopsWithAMessageAndChangesNothing) {
    const UnwritableCase& c = GetParam();
    const bool forward = c.place == Place::WorkingDirectory;
    const QString result = docs_ + "/ResultadoHoraliscentro.xml";
    const QMap<QString, QByteArray> tables = SnapshotWithoutLock(htemp_);
    const QMap<QString, QByteArray> docs = Snapshot(docs_);
    QString why;
    const std::optional<RunOptions> options = Making(forward ? htemp_ : docs_, c.way, &why);
    if (!options) GTEST_SKIP() << why.toStdString();

    const Outcome o = RunPuente({forward ? "exportar" : "importar", doc_, "--htemp", htemp_}, *options);
    EXPECT_TRUE(o.exited(1)) << ::testing::PrintToString(o);
    if (forward) {
        EXPECT_TRUE(o.err.contains(QString("Error: No se puede escribir en la carpeta de trabajo '%1'.\n").arg(htemp_)))
            << o.err.toStdString();
    } else {
        EXPECT_TRUE(o.err.contains(QString("Error: No se pudo guardar el documento '%1': ").arg(result)))
            << o.err.toStdString();
    }
    EXPECT_EQ(SnapshotWithoutLock(htemp_), tables) << Names(SnapshotWithoutLock(htemp_));
    EXPECT_EQ(Snapshot(docs_), docs) << Names(Snapshot(docs_));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Unwritable,
    ::testing::Values(
        UnwritableCase{"exportar_working_directory_by_permissions", Way::Permissions, Place::WorkingDirectory},
        UnwritableCase{"exportar_working_directory_read_only_mount", Way::ReadOnlyMount, Place::WorkingDirectory},
        UnwritableCase{"importar_documents_folder_by_permissions", Way::Permissions, Place::DocumentsFolder},
        UnwritableCase{"importar_documents_folder_read_only_mount", Way::ReadOnlyMount, Place::DocumentsFolder}),
    [](const ::testing::TestParamInfo<UnwritableCase>& info) { return std::string(info.param.name); });

// The outcome report in a folder that cannot be written: WriteIniValue in a
// child made as above.
TEST(UnwritableIni, RefusedWithTheMessageAndKeptAsItWas) {
    for (const Way way : {Way::Permissions, Way::ReadOnlyMount}) {
        SCOPED_TRACE(way == Way::Permissions ? "permissions" : "read-only mount");
        QTemporaryDir dir;
        const QString folder = dir.filePath("bin");
        QDir().mkpath(folder);
        const QString ini = folder + "/Horalis.ini";
        const QByteArray old = "[Transformadores]\r\nTransformado=0\r\n";
        WriteAll(ini, old);
        chmod(QFile::encodeName(dir.path()).constData(), 0755);
        chmod(QFile::encodeName(ini).constData(), 0644);
        RunOptions options;
        if (way == Way::ReadOnlyMount) {
            if (!CanMountReadOnly()) continue;
            options.readOnly = folder;
        } else {
            chmod(QFile::encodeName(folder).constData(), 0555);
            if (geteuid() == 0) {
                if (!CanChangeUser()) continue;
                options.user = kNobody;
            }
        }
        const test::ChildOutcome child = test::RunInChild([&](QString& said) {
            if (EnterRestrictions(options) != 0) return 100;
            return ReportConversionInIni(ini, said);
        });
        EXPECT_EQ(child.code, 1);
        EXPECT_EQ(child.said,
                  QString("No se puede escribir el archivo \"%1\": compruebe que la carpeta existe y que tiene permiso "
                          "para escribir en ella")
                      .arg(ini));
        EXPECT_EQ(ReadAll(ini), old);
        chmod(QFile::encodeName(folder).constData(), 0755);
        EXPECT_EQ(FilesIn(folder), QStringList{"Horalis.ini"});
    }
}

struct ObstacleCase {
    const char* name;
    const char* htempName;  // --htemp, under the base folder
    bool convertFirst;      // a first run fills the working directory
    const char* fileAt;     // a file made at this path under the base folder ("" none)
    const char* folderAt;   // a folder made at this path under the base folder ("" none)
    int status;             // the exit status
    const char* message;    // the last line on standard error; %1: the base folder
};
void PrintTo(const ObstacleCase& c, std::ostream* os) { *os << c.name; }

class Obstacle : public ::testing::TestWithParam<ObstacleCase> {};

TEST_P(Obstacle, StopsTheForwardRunWithAMessageAndChangesNothing) {
    const ObstacleCase& c = GetParam();
    ASSERT_TRUE(QFileInfo(PuenteBinary()).isExecutable()) << "build the target puente first";
    QTemporaryDir base;
    const QString htemp = base.filePath(c.htempName);
    const QString doc = base.filePath("centro.xml");
    ASSERT_TRUE(QFile::copy(QStringLiteral(PUENTE_TEST_DATA "/forward/small.xml"), doc));
    if (c.convertFirst) {
        ASSERT_TRUE(QDir().mkpath(htemp));
        ASSERT_TRUE(RunPuente({"exportar", doc, "--htemp", htemp}).exited(0));
    }
    if (*c.fileAt) {
        QDir().mkpath(QFileInfo(base.filePath(c.fileAt)).path());
        QFile::remove(base.filePath(c.fileAt));
        WriteAll(base.filePath(c.fileAt), "not a folder");
    }
    if (*c.folderAt) {
        QFile::remove(base.filePath(c.folderAt));
        QDir().mkpath(base.filePath(c.folderAt) + "/inside");
    }
    const QMap<QString, QByteArray> before = SnapshotWithoutLock(base.path());

    const Outcome o = RunPuente({"exportar", doc, "--htemp", htemp});
    EXPECT_TRUE(o.exited(c.status)) << ::testing::PrintToString(o);
    EXPECT_TRUE(o.err.contains(QString(c.message).arg(base.path()) + "\n")) << o.err.toStdString();
    EXPECT_EQ(SnapshotWithoutLock(base.path()), before) << Names(SnapshotWithoutLock(base.path()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Obstacle,
    ::testing::Values(
        ObstacleCase{"working_directory_is_a_file", "htemp", false, "htemp", "", 2,
                     "No existe la carpeta de trabajo de Horalis '%1/htemp'."},
        ObstacleCase{"working_directory_under_a_file", "file/htemp", false, "file", "", 2,
                     "No existe la carpeta de trabajo de Horalis '%1/file/htemp'."},
        ObstacleCase{
            "staging_folder_is_a_file", "htemp", true, "htemp/.puente-staging", "", 1,
            "Error: No se pudo crear la carpeta provisional '%1/htemp/.puente-staging'. Compruebe que se puede "
            "escribir en la carpeta de trabajo."},
        ObstacleCase{
            "a_table_is_a_folder", "htemp", true, "", "htemp/ASIGT.DBF", 1,
            "Error: No se puede reemplazar la tabla 'ASIGT': '%1/htemp/ASIGT.DBF' no es un archivo. Quítelo de la "
            "carpeta de trabajo y vuelva a intentarlo."}),
    [](const ::testing::TestParamInfo<ObstacleCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace puente::faults
