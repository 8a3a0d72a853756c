#include "platform/Durable.h"

#include <QDir>
#include <QFile>

#ifdef _WIN32
#include "platform/win32/Files.h"
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace puente {

void SyncFile(const QString& path) {
#ifdef _WIN32
    win32::FlushFile(QDir::toNativeSeparators(path).toStdWString().c_str());
#else
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#endif
}

void SyncDirectory(const QString& path) {
#ifdef _WIN32
    Q_UNUSED(path);  // NTFS journals directory entries itself
#else
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#endif
}

}  // namespace puente
