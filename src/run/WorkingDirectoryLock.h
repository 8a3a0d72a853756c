// The lock that keeps two conversions from working in one working directory
// at once: the file ".puente.lock" in it, held while the lock lives.
#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace puente {

class WorkingDirectoryLock {
public:
    // Creates the directory when it does not exist yet. Throws Error:
    // HeldElsewhere when another conversion holds the lock, InputOutput when
    // the directory cannot be created or written.
    explicit WorkingDirectoryLock(const QString& workingDirectory);
    ~WorkingDirectoryLock();
    WorkingDirectoryLock(const WorkingDirectoryLock&) = delete;
    WorkingDirectoryLock& operator=(const WorkingDirectoryLock&) = delete;

private:
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace puente
