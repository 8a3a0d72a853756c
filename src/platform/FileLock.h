// A file opened together with an operating-system lock on it.
//
// LockedFile is the one door to a table file: the lock is taken when the file
// is opened and released when it is closed, so that no other open of the file
// can take a conflicting lock in between.
//
//   Shared     many shared opens may hold the file at once; an exclusive open
//              by anyone else is refused while one is held.
//   Exclusive  refused while any other open (shared or exclusive) holds the
//              file; while held, every other open is refused.
//
// "Other open" means any other open of the file: by another process, or by
// this process through another LockedFile. On Linux this is an open-file-
// description lock (F_OFD_SETLK) on the whole file, which honours that rule
// even within one process; the descriptor is close-on-exec, so a child
// program never inherits the lock. Such locks are advisory: a program that
// takes no lock is not kept out, and deleting the file is not prevented. On
// Windows the lock is the share mode of the handle (exclusive: no sharing;
// shared: read and write sharing), which every program is subject to.
//
// An exclusive open of a file opened for reading only cannot hold a write
// lock on Linux: it is refused while any other open holds the file, and then
// holds a shared lock.
//
// Open never waits: a lock that is held elsewhere gives InUse at once.
// Reading and writing raise puente::Error naming the file; a write either
// writes every byte or raises (a disk that is full or a file-size limit is
// never a silent short write).
#pragma once

#include <QString>
#include <QtGlobal>

namespace puente {

enum class LockMode { Shared, Exclusive };
enum class FileAccess { ReadOnly, ReadWrite };

class LockedFile {
public:
    enum class OpenResult {
        Opened,    // open and locked
        NotFound,  // no such file (and create was not asked)
        InUse,     // another open holds a conflicting lock
        Denied,    // the file may not be opened with this access
        Failed,    // any other failure: see errorText()
    };

    LockedFile() = default;
    ~LockedFile();  // closes
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    // Opens the file at path with this access and takes the lock. create:
    // make the file when it does not exist (ReadWrite only); an existing
    // file is kept as it is. On anything but Opened the object stays closed
    // and errorText() describes the failure in Spanish.
    OpenResult Open(const QString& path, FileAccess access, LockMode mode, bool create = false);
    void Close();  // releases the lock; closing a closed file is fine
    bool IsOpen() const;

    const QString& path() const { return path_; }
    FileAccess access() const { return access_; }
    const QString& errorText() const { return errorText_; }

    qint64 Size() const;
    // Reads up to size bytes at offset; gives the number read, less than size
    // only at the end of the file.
    qint64 ReadAt(qint64 offset, char* data, qint64 size) const;
    // Writes all size bytes at offset, or raises.
    void WriteAt(qint64 offset, const char* data, qint64 size);
    // Makes the file exactly size bytes long.
    void Resize(qint64 size);

    // Whether any open (another process's or another LockedFile of this
    // process) holds a lock on the file at path that an exclusive open would
    // conflict with. A missing or unreadable file is held by nobody.
    static bool IsLockedElsewhere(const QString& path);

private:
    // Raises "No se pudo <what> '<file>': <the system's reason>" for the
    // system's error code (errno, or a Win32 error code on Windows); `what`
    // is UTF-8 and names the file ("cambiar el tamaño del archivo").
    [[noreturn]] void FailIo(const char* what, int code) const;

    QString path_;
    QString errorText_;
    FileAccess access_ = FileAccess::ReadOnly;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

}  // namespace puente
