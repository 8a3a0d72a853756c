// The messages of a LockedFile whose reading or writing fails: whole Spanish
// sentences naming the file and the system's reason.
#include "platform/FileLock.h"

#include "QtPrint.h"
#include "common/Error.h"
#include "platform/Signals.h"
#include "support/ChildProcess.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace puente {
namespace {

struct FailureCase {
    const char* name;
    std::function<void(LockedFile&)> action;  // on a file of 10 bytes, under a file-size limit of 20
    QString message;                          // %1: the file
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class LockedFileFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(LockedFileFailure, SaysWhatCouldNotBeDoneToWhichFile) {
    const FailureCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("TABLA.DBF");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(QByteArray(10, 'x')) == 10);
    file.close();

    const test::ChildOutcome child = test::RunInChild([&](QString& said) {
        IgnoreFileSizeSignal();
        test::LimitFileSize(20);
        LockedFile locked;
        if (locked.Open(path, FileAccess::ReadWrite, LockMode::Exclusive) != LockedFile::OpenResult::Opened) {
            said = "not opened: " + locked.errorText();
            return 1;
        }
        try {
            c.action(locked);
            said = "no error";
        } catch (const Error& e) {
            said = e.message();
        }
        return 0;
    });
    ASSERT_EQ(child.code, 0) << child.said.toStdString();
    EXPECT_EQ(child.said, c.message.arg(QDir::toNativeSeparators(path)));
}

const QString kTooBig = QStringLiteral("el archivo supera el tamaño máximo permitido");

INSTANTIATE_TEST_SUITE_P(
    Cases, LockedFileFailure,
    ::testing::Values(FailureCase{"resize past the limit", [](LockedFile& f) { f.Resize(100); },
                                  QStringLiteral("No se pudo cambiar el tamaño del archivo '%1': ") + kTooBig},
                      FailureCase{"write past the limit",
                                  [](LockedFile& f) { f.WriteAt(10, QByteArray(50, 'y').constData(), 50); },
                                  QStringLiteral("No se pudo escribir en el archivo '%1': ") + kTooBig}));

}  // namespace
}  // namespace puente
