#include "DbfTestKit.h"

#include "common/Error.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace puente::testkit {

namespace {

void Put16(QByteArray& b, int at, int v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void Put32(QByteArray& b, int at, qint64 v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

int RecordLength(const QList<Def>& fields) {
    int length = 1;
    for (const Def& f : fields) length += f.width;
    return length;
}

}  // namespace

QByteArray Dbf3(const QList<Def>& fields, const QList<QByteArray>& records, unsigned char ldid, unsigned char version,
                qint64 count) {
    const int headerLength = 32 + 32 * static_cast<int>(fields.size()) + 1;
    QByteArray b(headerLength, '\0');
    b[0] = static_cast<char>(version);
    b[1] = 126;  // 2026-03-15
    b[2] = 3;
    b[3] = 15;
    Put32(b, 4, count < 0 ? records.size() : count);
    Put16(b, 8, headerLength);
    Put16(b, 10, RecordLength(fields));
    b[29] = static_cast<char>(ldid);
    for (int i = 0; i < fields.size(); ++i) {
        const int at = 32 + 32 * i;
        const QByteArray name(fields[i].name);
        b.replace(at, name.size(), name);
        b[at + 11] = fields[i].type;
        b[at + 16] = static_cast<char>(fields[i].width);
        b[at + 17] = static_cast<char>(fields[i].decimals);
    }
    b[headerLength - 1] = 0x0D;
    for (const QByteArray& r : records) b += r;
    b += '\x1A';
    return b;
}

QByteArray Dbf7(const QList<Def>& fields, const QList<QByteArray>& records, const QByteArray& driverName,
                const QByteArray& extra) {
    const int headerLength = 68 + 48 * static_cast<int>(fields.size()) + 1 + static_cast<int>(extra.size());
    QByteArray b(headerLength, '\0');
    b[0] = 0x04;
    b[1] = 126;
    b[2] = 3;
    b[3] = 15;
    Put32(b, 4, records.size());
    Put16(b, 8, headerLength);
    Put16(b, 10, RecordLength(fields));
    b.replace(32, driverName.size(), driverName);
    for (int i = 0; i < fields.size(); ++i) {
        const int at = 68 + 48 * i;
        const QByteArray name(fields[i].name);
        b.replace(at, name.size(), name);
        b[at + 32] = fields[i].type;
        b[at + 33] = static_cast<char>(fields[i].width);
        b[at + 34] = static_cast<char>(fields[i].decimals);
    }
    const int terminator = 68 + 48 * static_cast<int>(fields.size());
    b[terminator] = 0x0D;
    b.replace(terminator + 1, extra.size(), extra);
    for (const QByteArray& r : records) b += r;
    b += '\x1A';
    return b;
}

QByteArray Hex(const char* text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

QByteArray Live(const QByteArray& fields) { return ' ' + fields; }
QByteArray Deleted(const QByteArray& fields) { return '*' + fields; }

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

QString ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.message();
    }
    return QStringLiteral("<sin error>");
}

int RunPython(const QString& script, const QStringList& args, QString* out) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(DEBIAN_PYTHON), QStringList{QStringLiteral("-c"), script} + args);
    if (!p.waitForFinished(60000)) return -1;
    if (out) *out = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

bool PythonHas(const char* module) {
    return RunPython(QStringLiteral("import %1").arg(QString::fromLatin1(module)), {}, nullptr) == 0;
}

TempDir::TempDir() : dir_(QDir::tempPath() + QStringLiteral("/tablestore-XXXXXX")) {}

}  // namespace puente::testkit
