#include "platform/AtomicFile.h"

#include "platform/SystemErrors.h"

#include <QSaveFile>

namespace puente {

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* reason) {
    // Unbuffered: QSaveFile::commit() does not notice a failure of the last
    // buffered write (Qt 6.4) and would put a cut file in place; written
    // through, the failure and the system's words reach us here.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (reason) *reason = FileErrorText(file);
        return false;
    }
    // A short write is tried again: the next one fails with the reason.
    for (qsizetype written = 0; written < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            if (reason) *reason = FileErrorText(file);
            file.cancelWriting();
            return false;
        }
        written += n;
    }
    if (!file.commit()) {
        if (reason) *reason = FileErrorText(file);
        return false;
    }
    return true;
}

}  // namespace puente
