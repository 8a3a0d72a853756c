// Helpers shared by the tests of the runs: temporary documents, table dumps
// and directory snapshots.
#pragma once

#include "common/Error.h"
#include "exchange/Document.h"
#include "support/ChildProcess.h"
#include "tablestore/Table.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QList>
#include <QMap>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << '[' << l.join("|").toStdString() << ']'; }
QT_END_NAMESPACE

namespace puente::test {

inline QString WriteFile(const QString& dir, const QString& name, const QByteArray& bytes) {
    const QString path = QDir(dir).filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) ADD_FAILURE() << "cannot write " << path.toStdString();
    f.write(bytes);
    return path;
}

inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// A document loaded from inline UTF-8 text.
inline std::unique_ptr<Document> DocumentFrom(const QString& xml) {
    auto doc = std::make_unique<Document>();
    const LoadResult r = doc->loadFromBytes(xml.toUtf8(), "inline");
    EXPECT_TRUE(r.ok()) << r.message.toStdString();
    return doc;
}

// The fields of SOLUC as Horalis writes them, in its order.
inline const QList<FieldSpec> kSolucFields = {
    {"DIA", FieldKind::Integer, 0},         {"HORA", FieldKind::Float, 0},      {"SESIONES", FieldKind::Character, 20},
    {"CODGRUPO", FieldKind::Character, 10}, {"ASIG", FieldKind::Character, 10}, {"TAREA", FieldKind::Character, 10},
    {"PROF", FieldKind::Character, 10},     {"AULA", FieldKind::Character, 10},
};

// The error that `f` throws; a test failure (and an Internal error) when it
// throws none.
inline Error Caught(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "no error";
    return Error(ErrorKind::Internal, QString());
}

// Every live record of a table, each field read as text, in stored order.
inline QList<QStringList> ReadRows(const QString& dir, const QString& name) {
    Table t(dir, name);
    t.Open(OpenMode::Shared);
    QList<QStringList> rows;
    const QList<FieldInfo> fields = t.Fields();
    for (t.First(); !t.Eof(); t.Next()) {
        QStringList row;
        for (const FieldInfo& f : fields) row << t.FieldByName(f.name).AsString();
        rows << row;
    }
    return rows;
}

// One column of a table, in stored order.
inline QStringList ReadColumn(const QString& dir, const QString& name, const QString& field) {
    Table t(dir, name);
    t.Open(OpenMode::Shared);
    QStringList values;
    for (t.First(); !t.Eof(); t.Next()) values << t.FieldByName(field).AsString();
    return values;
}

// Every file under `dir` with its bytes, paths relative to `dir`.
inline QMap<QString, QByteArray> Snapshot(const QString& dir) {
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(dir).relativeFilePath(path), ReadFile(path));
    }
    return files;
}

// Another program holding a table open while it lives (as Horalis holds
// the tables it has open), through the table engine.
class TableHeldElsewhere {
public:
    TableHeldElsewhere(const QString& dir, const QString& name, OpenMode mode)
        : child_(
              [&](const std::function<void()>& keep) {
                  Table held(dir, name);
                  held.Open(mode);
                  keep();
              },
              "the table " + name.toStdString()) {}

private:
    HoldingChild child_;
};

}  // namespace puente::test
