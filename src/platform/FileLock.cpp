#include "platform/FileLock.h"

#include "common/Messages.h"
#include "platform/SystemErrors.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace puente {

LockedFile::~LockedFile() { Close(); }

[[noreturn]] void LockedFile::FailIo(const char* what) const {
#ifdef _WIN32
    const int code = static_cast<int>(GetLastError());
#else
    const int code = errno;
#endif
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
    if (::fstat(fd_, &info) != 0) FailIo("consultar el archivo");
    return info.st_size;
}

qint64 LockedFile::ReadAt(qint64 offset, char* data, qint64 size) const {
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd_, data + done, static_cast<size_t>(size - done), offset + done);
        if (n < 0) {
            if (errno == EINTR) continue;
            FailIo("leer el archivo");
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
            FailIo("escribir en el archivo");
        }
        if (n == 0) {
            errno = ENOSPC;
            FailIo("escribir en el archivo");
        }
        done += n;
    }
}

void LockedFile::Resize(qint64 size) {
    while (::ftruncate(fd_, size) != 0) {
        if (errno != EINTR) FailIo("cambiar el tamaño del archivo");
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

namespace {

HANDLE AsHandle(void* h) { return static_cast<HANDLE>(h); }

std::wstring NativePath(const QString& path) { return QDir::toNativeSeparators(path).toStdWString(); }

OVERLAPPED At(qint64 offset) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return where;
}

}  // namespace

LockedFile::OpenResult LockedFile::Open(const QString& path, FileAccess access, LockMode mode, bool create) {
    Close();
    path_ = path;
    access_ = access;
    errorText_.clear();
    const DWORD desired = access == FileAccess::ReadWrite ? (GENERIC_READ | GENERIC_WRITE) : GENERIC_READ;
    const DWORD share = mode == LockMode::Exclusive ? 0 : (FILE_SHARE_READ | FILE_SHARE_WRITE);
    const DWORD disposition = create && access == FileAccess::ReadWrite ? OPEN_ALWAYS : OPEN_EXISTING;
    HANDLE h = CreateFileW(NativePath(path).c_str(), desired, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        errorText_ = SystemErrorText(static_cast<int>(code));
        switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return create ? OpenResult::Failed : OpenResult::NotFound;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return OpenResult::InUse;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT: return OpenResult::Denied;
        default: return OpenResult::Failed;
        }
    }
    handle_ = h;
    return OpenResult::Opened;
}

void LockedFile::Close() {
    if (handle_ != nullptr) {
        CloseHandle(AsHandle(handle_));
        handle_ = nullptr;
    }
}

bool LockedFile::IsOpen() const { return handle_ != nullptr; }

qint64 LockedFile::Size() const {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(AsHandle(handle_), &size)) FailIo("consultar el archivo");
    return size.QuadPart;
}

qint64 LockedFile::ReadAt(qint64 offset, char* data, qint64 size) const {
    qint64 done = 0;
    while (done < size) {
        OVERLAPPED where = At(offset + done);
        const DWORD chunk = static_cast<DWORD>(qMin<qint64>(size - done, 1 << 30));
        DWORD n = 0;
        if (!ReadFile(AsHandle(handle_), data + done, chunk, &n, &where)) {
            if (GetLastError() == ERROR_HANDLE_EOF) break;
            FailIo("leer el archivo");
        }
        if (n == 0) break;
        done += n;
    }
    return done;
}

void LockedFile::WriteAt(qint64 offset, const char* data, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        OVERLAPPED where = At(offset + done);
        const DWORD chunk = static_cast<DWORD>(qMin<qint64>(size - done, 1 << 30));
        DWORD n = 0;
        if (!WriteFile(AsHandle(handle_), data + done, chunk, &n, &where)) FailIo("escribir en el archivo");
        if (n == 0) {
            SetLastError(ERROR_DISK_FULL);
            FailIo("escribir en el archivo");
        }
        done += n;
    }
}

void LockedFile::Resize(qint64 size) {
    LARGE_INTEGER to{};
    to.QuadPart = size;
    if (!SetFilePointerEx(AsHandle(handle_), to, nullptr, FILE_BEGIN) || !SetEndOfFile(AsHandle(handle_)))
        FailIo("cambiar el tamaño del archivo");
}

bool LockedFile::IsLockedElsewhere(const QString& path) {
    HANDLE h = CreateFileW(NativePath(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(h);
    return false;
}


#endif  // _WIN32

}  // namespace puente
