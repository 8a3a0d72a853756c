// The operating system's reasons for a failed file operation, in Spanish,
// for the messages the person reads.
//
// Qt words a failure in the system's own English ("No space left on
// device"); the messages around it are Spanish. The failures a person can
// act on (no such file, no permission, disk full, size limit, read-only
// disk, file held) get Spanish words here; any other keeps the system's.
#pragma once

#include <QFileDevice>
#include <QString>

namespace puente {

// The words for a C error code (ENOENT, EACCES, ENOSPC, EFBIG, EISDIR,
// ENOMEM ...), the same on every system.
QString ErrnoText(int code);

// A short Spanish description of the last operating-system error (errno on
// Linux, GetLastError on Windows).
QString SystemErrorText(int code);

// The reason a QFile or QSaveFile gives for its last failure
// (QFileDevice::errorString()), in Spanish where it is one of the failures
// named above.
QString FileErrorText(const QFileDevice& file);

}  // namespace puente
