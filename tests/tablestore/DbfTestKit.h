// Helpers for the table store tests: dBase files laid out byte by byte
// (independently of the engine), temporary directories, Debian's python and
// error capture.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <ostream>
#include <string>

namespace puente::testkit {

// A field descriptor as a test lays it out.
struct Def {
    const char* name;
    char type;
    int width;
    int decimals = 0;
};

// A dBase III+ file (32-byte descriptors): header, descriptors, 0x0D, the
// records (each given with its flag byte), 0x1A. count < 0: the number of
// records given.
QByteArray Dbf3(const QList<Def>& fields, const QList<QByteArray>& records, unsigned char ldid = 0x58,
                unsigned char version = 0x03, qint64 count = -1);

// A dBase 7 file: 68-byte header with the language driver name, 48-byte
// descriptors, 0x0D, extra (a field-properties block), the records, 0x1A.
QByteArray Dbf7(const QList<Def>& fields, const QList<QByteArray>& records, const QByteArray& driverName,
                const QByteArray& extra = {});

// Bytes from a text of hexadecimal pairs, spaces ignored: "80 00 00 01".
QByteArray Hex(const char* text);

// A live record of these field bytes / a deleted one.
QByteArray Live(const QByteArray& fields);
QByteArray Deleted(const QByteArray& fields);

void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

// The message of the puente::Error that call raises, or "<sin error>".
QString ErrorOf(const std::function<void()>& call);

// Runs Debian's python3 with a script; gives its exit code, output in out.
int RunPython(const QString& script, const QStringList& args, QString* out);
// Whether Debian's python3 can import the module.
bool PythonHas(const char* module);

// Names each test of a parameterised suite after its case's `name`, every
// character but letters and digits made '_' ("header length" ->
// header_length).
struct CaseNamer {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        std::string name;
        for (const char* p = info.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    }
};

// A temporary directory that lives as long as the object.
class TempDir {
public:
    TempDir();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

}  // namespace puente::testkit

// So that GoogleTest prints texts readably.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray& b, std::ostream* os) { *os << '[' << b.toHex(' ').toStdString() << ']'; }
QT_END_NAMESPACE
