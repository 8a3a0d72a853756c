// Helpers shared by the exchange document tests.
#pragma once

#include "common/Error.h"
#include "exchange/Document.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <ostream>

namespace puente {

inline QString fixture(const char* name) {
    return QStringLiteral(PUENTE_TEST_DATA "/exchange/") + QString::fromUtf8(name);
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.readAll();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline const char* statusName(LoadResult::Status status) {
    switch (status) {
    case LoadResult::Status::Ok: return "Ok";
    case LoadResult::Status::Missing: return "Missing";
    case LoadResult::Status::Unreadable: return "Unreadable";
    case LoadResult::Status::NotWellFormed: return "NotWellFormed";
    }
    return "?";
}

inline void PrintTo(LoadResult::Status status, std::ostream* os) { *os << statusName(status); }

// The message of the puente::Error that `action` throws, or "(no error)".
template <typename Action>
QString errorMessageOf(Action&& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

}  // namespace puente

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray& b, std::ostream* os) { *os << '"' << b.toStdString() << '"'; }
QT_END_NAMESPACE
