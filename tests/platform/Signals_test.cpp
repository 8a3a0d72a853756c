// Past a file-size limit a write fails with EFBIG instead of ending the
// program, once IgnoreFileSizeSignal has been called.
#include "platform/Signals.h"
#include "support/ChildProcess.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace puente {
namespace {

// Writes 100 bytes under a limit of 10 in a child: its exit code (0 when the
// write failed with EFBIG), or 128 + the signal that ended it.
int WriteOverLimit(const QString& path, bool ignore) {
    return test::RunInChild([&](QString&) {
               if (ignore) IgnoreFileSizeSignal();
               test::LimitFileSize(10);
               const int fd = open(path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
               char bytes[100] = {};
               const ssize_t first = write(fd, bytes, sizeof bytes);  // short: 10 bytes
               const ssize_t second = write(fd, bytes, sizeof bytes);
               return first == 10 && second < 0 && errno == EFBIG ? 0 : 1;
           })
        .code;
}

TEST(IgnoreFileSizeSignalTest, WriteFailsInsteadOfEndingTheProgram) {
    QTemporaryDir dir;
    EXPECT_EQ(WriteOverLimit(dir.filePath("a"), false), 128 + SIGXFSZ);
    EXPECT_EQ(WriteOverLimit(dir.filePath("b"), true), 0);
}

}  // namespace
}  // namespace puente
