#include "platform/FileLock.h"

#include "common/Messages.h"
#include "platform/SystemErrors.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include "platform/win32/Files.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace puente {

LockedFile::~LockedFile() { Close(); }

[[noreturn]] void LockedFile::FailIo(const char* what, int code) const {
    throw messages::FileOperationFailed(QString::fromUtf8(what), path_, SystemErrorText(code));
}

#ifndef _WIN32

namespace {

flock WholeFile(short type) {
    flock lock{};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;  // to the end of the file, however long it grows
    lock.l_pid = 0;  // required for open-file-description locks
    return lock;
}

// Whether another open file description holds a lock that conflicts with a
// write lock (that is: any lock at all).
bool OtherHoldsLock(int fd) {
    flock probe = WholeFile(F_WRLCK);
    if (::fcntl(fd, F_OFD_GETLK, &probe) != 0) return false;
    return probe.l_type != F_UNLCK;
}

}  // namespace

LockedFile::OpenResult LockedFile::Open(const QString& path, FileAccess access, LockMode mode, bool create) {
    Close();
    path_ = path;
    access_ = access;
    errorText_.clear();
    int flags = O_CLOEXEC | (access == FileAccess::ReadWrite ? O_RDWR : O_RDONLY);
    if (create && access == FileAccess::ReadWrite) flags |= O_CREAT;
    int fd;
    do {
        fd = ::open(QFile::encodeName(path).constData(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int code = errno;
        errorText_ = SystemErrorText(code);
        if (code == ENOENT && !create) return OpenResult::NotFound;
        if (code == EACCES || code == EPERM || code == EROFS) return OpenResult::Denied;
        return OpenResult::Failed;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && !S_ISREG(info.st_mode)) {
        ::close(fd);
        errorText_ = QStringLiteral("no es un archivo normal");
        return OpenResult::Failed;
    }
    const bool writeLock = mode == LockMode::Exclusive && access == FileAccess::ReadWrite;
    if (mode == LockMode::Exclusive && !writeLock && OtherHoldsLock(fd)) {
        ::close(fd);
        errorText_ = SystemErrorText(EAGAIN);
        return OpenResult::InUse;
    }
    flock lock = WholeFile(writeLock ? F_WRLCK : F_RDLCK);
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        const int code = errno;
        ::close(fd);
        errorText_ = SystemErrorText(code);
        return code == EAGAIN || code == EACCES ? OpenResult::InUse : OpenResult::Failed;
    }
    fd_ = fd;
    return OpenResult::Opened;
}

void LockedFile::Close() {
    if (fd_ >= 0) {
        ::close(fd_);  // releases the open-file-description lock
        fd_ = -1;
    }
}

bool LockedFile::IsOpen() const { return fd_ >= 0; }

qint64 LockedFile::Size() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) FailIo("consultar el archivo", errno);
    return info.st_size;
}

qint64 LockedFile::ReadAt(qint64 offset, char* data, qint64 size) const {
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd_, data + done, static_cast<size_t>(size - done), offset + done);
        if (n < 0) {
            if (errno == EINTR) continue;
            FailIo("leer el archivo", errno);
        }
        if (n == 0) break;
        done += n;
    }
    return done;
}

void LockedFile::WriteAt(qint64 offset, const char* data, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd_, data + done, static_cast<size_t>(size - done), offset + done);
        if (n < 0) {
            if (errno == EINTR) continue;
            FailIo("escribir en el archivo", errno);
        }
        if (n == 0) {
            FailIo("escribir en el archivo", ENOSPC);
        }
        done += n;
    }
}

void LockedFile::Resize(qint64 size) {
    while (::ftruncate(fd_, size) != 0) {
        if (errno != EINTR) FailIo("cambiar el tamaño del archivo", errno);
    }
}

bool LockedFile::IsLockedElsewhere(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool held = OtherHoldsLock(fd);
    ::close(fd);
    return held;
}

#else  // _WIN32

// The Win32 calls themselves are in win32/Files.cpp; here they get the
// object's state and Spanish messages.

namespace {

std::wstring NativePath(const QString& path) { return QDir::toNativeSeparators(path).toStdWString(); }

}  // namespace

LockedFile::OpenResult LockedFile::Open(const QString& path, FileAccess access, LockMode mode, bool create) {
    Close();
    path_ = path;
    access_ = access;
    errorText_.clear();
    const bool write = access == FileAccess::ReadWrite;
    const auto sharing = mode == LockMode::Exclusive ? win32::Sharing::None : win32::Sharing::ReadWrite;
    win32::FileHandle h = nullptr;
    const win32::ErrorCode code = win32::OpenFile(NativePath(path).c_str(), write, sharing, create, &h);
    if (code != win32::kOk) {
        errorText_ = SystemErrorText(static_cast<int>(code));
        switch (win32::ClassifyOpenError(code, create)) {
        case win32::OpenFailure::NotFound: return OpenResult::NotFound;
        case win32::OpenFailure::InUse: return OpenResult::InUse;
        case win32::OpenFailure::Denied: return OpenResult::Denied;
        case win32::OpenFailure::Other: return OpenResult::Failed;
        }
        return OpenResult::Failed;
    }
    handle_ = h;
    return OpenResult::Opened;
}

void LockedFile::Close() {
    win32::CloseFile(handle_);
    handle_ = nullptr;
}

bool LockedFile::IsOpen() const { return handle_ != nullptr; }

qint64 LockedFile::Size() const {
    std::int64_t size = 0;
    if (const win32::ErrorCode code = win32::FileSize(handle_, &size); code != win32::kOk)
        FailIo("consultar el archivo", static_cast<int>(code));
    return size;
}

qint64 LockedFile::ReadAt(qint64 offset, char* data, qint64 size) const {
    std::int64_t done = 0;
    if (const win32::ErrorCode code = win32::ReadAt(handle_, offset, data, size, &done); code != win32::kOk)
        FailIo("leer el archivo", static_cast<int>(code));
    return done;
}

void LockedFile::WriteAt(qint64 offset, const char* data, qint64 size) {
    if (const win32::ErrorCode code = win32::WriteAt(handle_, offset, data, size); code != win32::kOk)
        FailIo("escribir en el archivo", static_cast<int>(code));
}

void LockedFile::Resize(qint64 size) {
    if (const win32::ErrorCode code = win32::Resize(handle_, size); code != win32::kOk)
        FailIo("cambiar el tamaño del archivo", static_cast<int>(code));
}

bool LockedFile::IsLockedElsewhere(const QString& path) { return win32::IsHeldElsewhere(NativePath(path).c_str()); }

#endif  // _WIN32

}  // namespace puente
