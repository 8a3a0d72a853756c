#include "platform/AtomicFile.h"

#include "platform/SystemErrors.h"

#include <QSaveFile>

namespace puente {

namespace {

// Bytes gathered before they go to the file: few system calls, little memory.
constexpr qsizetype kWriteBuffer = qsizetype(1) << 20;

// Writes all of `size` bytes; a short write is tried again, and the next
// one fails with the reason.
bool WriteAll(QSaveFile& file, const char* data, qsizetype size, QString* reason) {
    for (qsizetype written = 0; written < size;) {
        const qint64 n = file.write(data + written, size - written);
        if (n <= 0) {
            if (reason) *reason = FileErrorText(file);
            file.cancelWriting();
            return false;
        }
        written += n;
    }
    return true;
}

}  // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* reason) {
    // Unbuffered: QSaveFile::commit() does not notice a failure of the last
    // buffered write (Qt 6.4) and would put a cut file in place; written
    // through, the failure and the system's words reach us here.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (reason) *reason = FileErrorText(file);
        return false;
    }
    if (!WriteAll(file, bytes.constData(), bytes.size(), reason)) return false;
    if (!file.commit()) {
        if (reason) *reason = FileErrorText(file);
        return false;
    }
    return true;
}

// The QSaveFile is unbuffered for the reason given in WriteFileAtomically;
// the buffer is this writer's own.
struct AtomicFileWriter::Private {
    explicit Private(const QString& path) : file(path) {}
    QSaveFile file;
    QByteArray buffer;
    bool failed = false;
};

AtomicFileWriter::AtomicFileWriter(const QString& path) : d_(new Private(path)) {}

AtomicFileWriter::~AtomicFileWriter() {
    // Uncommitted: QSaveFile removes the file beside the target.
    if (d_->file.isOpen()) d_->file.cancelWriting();
    delete d_;
}

bool AtomicFileWriter::open(QString* reason) {
    if (!d_->file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (reason) *reason = FileErrorText(d_->file);
        d_->failed = true;
        return false;
    }
    d_->buffer.reserve(kWriteBuffer);
    return true;
}

bool AtomicFileWriter::flushBuffer(QString* reason) {
    if (!WriteAll(d_->file, d_->buffer.constData(), d_->buffer.size(), reason)) {
        d_->failed = true;
        return false;
    }
    d_->buffer.resize(0);
    return true;
}

bool AtomicFileWriter::write(const char* data, qsizetype size, QString* reason) {
    if (d_->failed || !d_->file.isOpen()) {
        if (reason && reason->isEmpty()) *reason = FileErrorText(d_->file);
        return false;
    }
    if (d_->buffer.size() + size > kWriteBuffer && !flushBuffer(reason)) return false;
    if (size >= kWriteBuffer) {
        if (!WriteAll(d_->file, data, size, reason)) {
            d_->failed = true;
            return false;
        }
        return true;
    }
    d_->buffer.append(data, size);
    return true;
}

bool AtomicFileWriter::commit(QString* reason) {
    if (d_->failed || !d_->file.isOpen()) {
        if (reason && reason->isEmpty()) *reason = FileErrorText(d_->file);
        return false;
    }
    if (!flushBuffer(reason)) return false;
    if (!d_->file.commit()) {
        if (reason) *reason = FileErrorText(d_->file);
        d_->failed = true;
        return false;
    }
    return true;
}

}  // namespace puente
