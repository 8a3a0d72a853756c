// The lock that keeps two conversions from working in one working directory
// at once: the file ".puente.lock" in it, held while the lock lives.
#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace puente {

// Throws Error (NoInput) when `workingDirectory` is no existing folder.
void RequireWorkingDirectory(const QString& workingDirectory);

class WorkingDirectoryLock {
public:
    // Throws Error: NoInput when the directory does not exist (it is never
    // created: a mistyped one would receive tables where Horalis never
    // looks), HeldElsewhere when another conversion holds the lock,
    // InputOutput when the directory cannot be written.
    explicit WorkingDirectoryLock(const QString& workingDirectory);
    ~WorkingDirectoryLock();
    WorkingDirectoryLock(const WorkingDirectoryLock&) = delete;
    WorkingDirectoryLock& operator=(const WorkingDirectoryLock&) = delete;

private:
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace puente
