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

// A whole file written piece by piece, then put in place at once: the pieces
// go, through a buffer, to a file beside the target, which is renamed over
// it only by commit(). Until then, and when anything fails or the writer is
// destroyed uncommitted, an earlier file of that name stays exactly as it
// was and the file beside it is removed.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const QString& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // False, with the system's reason in `reason`, when the file beside the
    // target cannot be made.
    bool open(QString* reason);
    // False, with the reason, when the bytes cannot be written; the writer
    // is then failed and writes nothing more.
    bool write(const char* data, qsizetype size, QString* reason);
    // Writes what is buffered and renames the file into place; false, with
    // the reason, when the earlier file (or none) is still there.
    bool commit(QString* reason);

private:
    bool flushBuffer(QString* reason);
    struct Private;
    Private* d_;
};

}  // namespace puente
