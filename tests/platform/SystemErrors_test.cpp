// Reasons for failed file operations reach the person in Spanish where they
// are ones a person can act on, and as the system words them otherwise.
#include "platform/AtomicFile.h"
#include "platform/SystemErrors.h"

#include "QtPrint.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <unistd.h>

namespace puente {
namespace {

struct FileErrorCase {
    const char* name;
    // Makes the failure in `dir`; returns the reason the file device gives.
    std::function<QString(const QDir& dir)> fail;
    QString reason;
    bool bypassedByRoot = false;
};

void PrintTo(const FileErrorCase& c, std::ostream* os) { *os << c.name; }

class FileErrorTextTest : public ::testing::TestWithParam<FileErrorCase> {};

TEST_P(FileErrorTextTest, GivesTheReason) {
    const FileErrorCase& c = GetParam();
    if (c.bypassedByRoot && geteuid() == 0) GTEST_SKIP() << "root is not refused by file permissions";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(c.fail(QDir(dir.path())), c.reason);
}

INSTANTIATE_TEST_SUITE_P(Failures, FileErrorTextTest,
                         ::testing::Values(FileErrorCase{"missing_file",
                                                         [](const QDir& dir) {
                                                             QFile file(dir.filePath("no-esta.xml"));
                                                             EXPECT_FALSE(file.open(QIODevice::ReadOnly));
                                                             return FileErrorText(file);
                                                         },
                                                         "no existe el archivo o el directorio"},
                                           FileErrorCase{"save_into_missing_folder",
                                                         [](const QDir& dir) {
                                                             QSaveFile file(dir.filePath("falta/Horalis.ini"));
                                                             EXPECT_FALSE(file.open(QIODevice::WriteOnly));
                                                             return FileErrorText(file);
                                                         },
                                                         "no existe el archivo o el directorio"},
                                           FileErrorCase{"save_over_read_only_file",
                                                         [](const QDir& dir) {
                                                             const QString path = dir.filePath("Horalis.ini");
                                                             QFile plain(path);
                                                             EXPECT_TRUE(plain.open(QIODevice::WriteOnly));
                                                             plain.close();
                                                             EXPECT_TRUE(plain.setPermissions(QFileDevice::ReadOwner));
                                                             QSaveFile file(path);
                                                             EXPECT_FALSE(file.open(QIODevice::WriteOnly));
                                                             return FileErrorText(file);
                                                         },
                                                         "permiso denegado", true},
                                           FileErrorCase{"loop_of_links_keeps_system_words",
                                                         [](const QDir& dir) {
                                                             const QString a = dir.filePath("a"), b = dir.filePath("b");
                                                             EXPECT_TRUE(QFile::link(a, b));
                                                             EXPECT_TRUE(QFile::link(b, a));
                                                             QFile file(a);
                                                             EXPECT_FALSE(file.open(QIODevice::ReadOnly));
                                                             return FileErrorText(file);
                                                         },
                                                         "Too many levels of symbolic links"}));

TEST(WriteFileAtomicallyTest, ReasonIsSpanish) {
    QTemporaryDir dir;
    QString reason;
    EXPECT_FALSE(WriteFileAtomically(dir.filePath("falta/resultado.xml"), "x", &reason));
    EXPECT_EQ(reason, QString("no existe el archivo o el directorio"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("falta")));
}

}  // namespace
}  // namespace puente
