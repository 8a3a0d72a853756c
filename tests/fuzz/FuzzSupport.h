// Shared pieces of the fuzz targets: a scratch folder in memory, a person who
// answers at once, and the check that stops a fuzz run on a broken promise.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace puente::fuzz {

// Stops the fuzzer with a message: an input broke a promise of a header.
#define FUZZ_CHECK(condition, what)                                                            \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "FUZZ_CHECK failed: %s (%s:%d)\n", what, __FILE__, __LINE__); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

// A folder that lives as long as the fuzz run, on /dev/shm when there is one
// (every input writes files there; a disk would make each one slow).
inline const QString& ScratchFolder() {
    static const std::unique_ptr<QTemporaryDir> dir = [] {
        const QString base = QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        auto d = std::make_unique<QTemporaryDir>(base + "/puente-fuzz-XXXXXX");
        if (!d->isValid()) {
            std::fprintf(stderr, "cannot make a scratch folder under %s\n", qPrintable(base));
            std::abort();
        }
        return d;
    }();
    static const QString path = dir->path();
    return path;
}

// A subfolder of the scratch folder, made empty.
inline QString EmptyFolder(const QString& name) {
    QDir dir(ScratchFolder() + "/" + name);
    dir.removeRecursively();
    QDir().mkpath(dir.path());
    return dir.path();
}

inline void WriteBytes(const QString& path, const char* data, qsizetype size) {
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate), "scratch file opens");
    FUZZ_CHECK(f.write(data, size) == size, "scratch file written");
}

inline QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Qt's own warnings would flood the fuzzer's output.
inline void QuietQt() {
    static const bool done = [] {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        return true;
    }();
    (void)done;
}

}  // namespace puente::fuzz
