// Flushing to disk, for the steps after which a file must survive a crash.
#pragma once

#include <QString>

namespace puente {

// Flushes a file's content to the disk; a file that cannot be opened is
// passed over (the step that needs it reports the error).
void SyncFile(const QString& path);
// Flushes a directory's entries (renames, new files) where the system allows.
void SyncDirectory(const QString& path);

}  // namespace puente
