// Whether a lock file made by QLockFile is held by a live process.
//
// QLockFile holds its file from the moment it creates it until it unlocks:
// on Unix with an flock, on Windows with an open handle that refuses
// deletion. A file that nobody holds is left over from a process that died.
#pragma once

#include <QString>

namespace puente {

// True when no process holds the lock file at `path` now. On Windows the
// probe is the deletion itself: a free file is removed on the way.
bool LockFileIsFree(const QString& path);

}  // namespace puente
