// Replacing a whole file at once.
//
// The bytes are written beside the target and renamed over it only when all
// of them reached the disk: a failure (disk full, file-size limit, no
// permission) leaves an earlier file of that name exactly as it was.
#pragma once

#include <QByteArray>
#include <QString>

namespace puente {

// True when `path` now holds exactly `bytes`; false, with the system's reason
// in `reason` (see SystemErrors.h), when the earlier file (or none) is still
// there.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* reason);

}  // namespace puente
