// A write that fails part-way: `puente` runs under a file-size limit
// (RLIMIT_FSIZE, what `ulimit -f` sets), so that the write that would pass
// the limit fails. Whatever the limit, the working directory, the chosen
// document and the result document hold their old bytes or the whole new
// content, the run says which file it could not write, and nothing half
// written is left behind. The outcome report Horalis.ini is written the same
// way (WriteIniValue) in a child process under the limit.
#include "FaultSupport.h"

#include "platform/IniFile.h"
#include "platform/Signals.h"
#include "support/ChildProcess.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace puente::faults {
namespace {

constexpr int kOldAssignments = 400;
constexpr int kNewAssignments = 600;

// The old set of tables (and a SOLUC, which a forward run must not touch)
// and, made apart, the new set that converting new.xml gives.
class UnderFileSizeLimit : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFileInfo(PuenteBinary()).isExecutable()) << "build the target puente first";
        QDir(base_.path()).mkpath("docs");
        QDir(base_.path()).mkpath("old");
        QDir(base_.path()).mkpath("new");
        oldDoc_ = Path("docs/old.xml");
        newDoc_ = Path("docs/new.xml");
        WriteAll(oldDoc_, LargeDocument(kOldAssignments, "V"));
        WriteAll(newDoc_, LargeDocument(kNewAssignments, "N"));
        ASSERT_PRED1([](const Outcome& o) { return o.exited(0); },
                     RunPuente({"exportar", oldDoc_, "--htemp", Path("old")}));
        WriteLargeSoluc(Path("old"), 50);
        ASSERT_PRED1([](const Outcome& o) { return o.exited(0); },
                     RunPuente({"exportar", newDoc_, "--htemp", Path("new")}));
        oldSet_ = SnapshotWithoutLock(Path("old"));
        newSet_ = SnapshotWithoutLock(Path("new"));
        newSet_.insert("SOLUC.DBF", oldSet_.value("SOLUC.DBF"));
    }
    QString Path(const QString& relative) const { return base_.filePath(relative); }

    QTemporaryDir base_;
    QString oldDoc_, newDoc_;
    QMap<QString, QByteArray> oldSet_, newSet_;
};

TEST_F(UnderFileSizeLimit, ForwardRunLeavesTheOldTablesOrTheNewOnes) {
    // The limit against each new table's size: the first table, in the order
    // of writing, that outgrows the limit is the one the run cannot write.
    QList<qint64> limits = {0, 64, 300};
    for (const QString& t : ForwardTables()) {
        const qint64 size = newSet_.value(t + ".DBF").size();
        limits << size - 1 << size;
    }
    std::sort(limits.begin(), limits.end());
    limits.erase(std::unique(limits.begin(), limits.end()), limits.end());

    for (const qint64 limit : limits) {
        SCOPED_TRACE("limit " + std::to_string(limit) + " bytes");
        QTemporaryDir htemp;
        CopyFolder(Path("old"), htemp.path());
        const QByteArray document = ReadAll(newDoc_);
        const Outcome o = RunPuente({"exportar", newDoc_, "--htemp", htemp.path()}, FileSizeLimit(limit));

        QString tooBig;  // the first table that cannot be written under the limit
        for (const QString& t : ForwardTables())
            if (tooBig.isEmpty() && newSet_.value(t + ".DBF").size() > limit) tooBig = t;
        if (tooBig.isEmpty()) {
            EXPECT_TRUE(o.exited(0)) << ::testing::PrintToString(o);
            EXPECT_EQ(SnapshotWithoutBackups(htemp.path()), newSet_);
            // The old tables, kept whole as a backup.
            QMap<QString, QByteArray> oldTables = oldSet_;
            oldTables.remove("SOLUC.DBF");
            EXPECT_EQ(BackupSets(htemp.path()), (QList<QMap<QString, QByteArray>>{oldTables}));
        } else {
            EXPECT_TRUE(o.exited(1)) << ::testing::PrintToString(o);
            if (limit >= 300) {  // below that even the lock file does not fit
                EXPECT_TRUE(
                    o.err.startsWith(QString("Error: No se pudo escribir en el archivo '%1/.puente-staging/%2.DBF': "
                                             "el archivo supera el tamaño máximo permitido")
                                         .arg(htemp.path(), tooBig)))
                    << o.err.toStdString();
            } else {
                EXPECT_TRUE(o.err.startsWith("Error: ")) << o.err.toStdString();
            }
            EXPECT_EQ(SnapshotWithoutLock(htemp.path()), oldSet_) << Names(SnapshotWithoutLock(htemp.path()));
        }
        EXPECT_EQ(ReadAll(newDoc_), document);
        EXPECT_EQ(FilesIn(Path("docs")), (QStringList{"new.xml", "old.xml"}));
    }
}

// The result document without its timestamp, which differs run to run.
QByteArray WithoutTimestamp(QByteArray xml) {
    return QString::fromUtf8(xml)
        .replace(QRegularExpression("fecha_exportacion=\"[^\"]*\""), "fecha_exportacion=\"\"")
        .toUtf8();
}

TEST_F(UnderFileSizeLimit, ReturnRunLeavesTheOldResultOrTheWholeNewOne) {
    const QString result = Path("docs/ResultadoHoralisold.xml");
    ASSERT_PRED1([](const Outcome& o) { return o.exited(0); },
                 RunPuente({"importar", oldDoc_, "--htemp", Path("old")}));
    const QByteArray reference = WithoutTimestamp(ReadAll(result));
    const qint64 size = ReadAll(result).size();
    const QByteArray oldResult = "<?xml version=\"1.0\"?>\n<centro>resultado anterior</centro>\n";
    const QByteArray document = ReadAll(oldDoc_);

    for (const qint64 limit : {qint64(0), qint64(100), size / 2, size - 1, size, size + 100}) {
        SCOPED_TRACE("limit " + std::to_string(limit) + " bytes of " + std::to_string(size));
        WriteAll(result, oldResult);
        const QMap<QString, QByteArray> tables = SnapshotWithoutLock(Path("old"));
        const Outcome o = RunPuente({"importar", oldDoc_, "--htemp", Path("old")}, FileSizeLimit(limit));
        if (limit < size) {
            EXPECT_TRUE(o.exited(1)) << ::testing::PrintToString(o);
            EXPECT_TRUE(o.err.contains(
                QString("Error: No se pudo guardar el documento '%1': el archivo supera el tamaño máximo permitido\n")
                    .arg(result)))
                << o.err.toStdString();
            EXPECT_EQ(ReadAll(result), oldResult);
        } else {
            EXPECT_TRUE(o.exited(0)) << ::testing::PrintToString(o);
            EXPECT_EQ(WithoutTimestamp(ReadAll(result)), reference);
        }
        EXPECT_EQ(ReadAll(oldDoc_), document);
        EXPECT_EQ(SnapshotWithoutLock(Path("old")), tables);
        EXPECT_EQ(FilesIn(Path("docs")), (QStringList{"ResultadoHoralisold.xml", "new.xml", "old.xml"}));
    }
}

// WriteIniValue in a child under the limit: 0 written, 1 refused with an
// Error (its message said), 128 + signal when a signal ended it.
test::ChildOutcome WriteIniUnderLimit(const QString& ini, qint64 limit, bool ignoreSigxfsz) {
    return test::RunInChild([&](QString& said) {
        if (ignoreSigxfsz) IgnoreFileSizeSignal();
        test::LimitFileSize(limit);
        return ReportConversionInIni(ini, said);
    });
}

bool UnnamedFilesIn(const QString& dir) {
#ifdef O_TMPFILE
    const int fd = open(QFile::encodeName(dir).constData(), O_TMPFILE | O_WRONLY, 0600);
    if (fd < 0) return false;
    close(fd);
    return true;
#else
    (void)dir;
    return false;
#endif
}

TEST(IniUnderFileSizeLimit, HoldsTheOldReportOrTheWholeNewOne) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Horalis.ini");
    QByteArray old = "[Horalis]\r\nRuta=C:\\HORALIS\r\n";
    for (int i = 0; i < 100; ++i) old += "Clave" + QByteArray::number(i) + "=" + QByteArray(20, 'x') + "\r\n";
    old += "[Transformadores]\r\nTransformado=0\r\n";
    const QByteArray wanted = SetIniValue(old, "Transformadores", "Transformado", "1");

    for (const bool ignore : {false, true}) {
        for (const qint64 limit : {qint64(0), qint64(100), qint64(wanted.size() - 1), qint64(wanted.size())}) {
            SCOPED_TRACE(std::string(ignore ? "SIGXFSZ ignored" : "SIGXFSZ default") + ", limit " +
                         std::to_string(limit));
            for (const QString& f : FilesIn(dir.path())) QFile::remove(dir.filePath(f));
            WriteAll(ini, old);
            const test::ChildOutcome child = WriteIniUnderLimit(ini, limit, ignore);
            if (limit >= wanted.size()) {
                EXPECT_EQ(child.code, 0);
                EXPECT_EQ(ReadAll(ini), wanted);
            } else {
                // Killed by SIGXFSZ, or refused with the message.
                EXPECT_EQ(child.code, ignore ? 1 : 128 + SIGXFSZ);
                if (ignore) {
                    EXPECT_EQ(child.said.toStdString(),
                              QString("No se puede escribir el archivo \"%1\": compruebe que la carpeta existe y que "
                                      "tiene permiso para escribir en ella")
                                  .arg(ini)
                                  .toStdString());
                }
                EXPECT_EQ(ReadAll(ini), old);
            }
            // Where the system gives unnamed files (O_TMPFILE), the new content
            // is written into one and nothing is left behind even by a killed
            // writer; elsewhere a killed writer may leave its temporary file.
            if (ignore || limit >= wanted.size() || UnnamedFilesIn(dir.path())) {
                EXPECT_EQ(FilesIn(dir.path()), QStringList{"Horalis.ini"});
            }
        }
    }
}

}  // namespace
}  // namespace puente::faults
