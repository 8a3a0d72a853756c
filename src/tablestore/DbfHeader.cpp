#include "tablestore/DbfHeader.h"

#include "common/Messages.h"
#include "platform/FileLock.h"
#include "tablestore/CodePage.h"
#include "tablestore/DbfLayout.h"
#include "tablestore/FieldCodec.h"

#include <cstring>

namespace puente {

namespace {

int Byte(const QByteArray& h, int at) { return static_cast<unsigned char>(h.at(at)); }
int Uint16(const QByteArray& h, int at) { return Byte(h, at) | (Byte(h, at + 1) << 8); }
qint64 Uint32(const QByteArray& h, int at) {
    return qint64(Byte(h, at)) | (qint64(Byte(h, at + 1)) << 8) | (qint64(Byte(h, at + 2)) << 16) |
           (qint64(Byte(h, at + 3)) << 24);
}

void PutUint16(char* at, int v) {
    at[0] = static_cast<char>(v & 0xFF);
    at[1] = static_cast<char>((v >> 8) & 0xFF);
}

void PutUint32(char* at, quint32 v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Bytes up to the first NUL, without surrounding spaces.
QByteArray ZeroPadded(const QByteArray& h, int at, int size) {
    QByteArray bytes = h.mid(at, size);
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0) bytes.truncate(nul);
    return bytes.trimmed();
}

QString TypeText(char type) {
    const auto c = static_cast<unsigned char>(type);
    return c >= 0x21 && c < 0x7F ? QString(QLatin1Char(type)) : QStringLiteral("0x%1").arg(c, 2, 16, QLatin1Char('0'));
}

class Reader {
public:
    explicit Reader(const QString& path) : path_(path) {}

    [[noreturn]] void Fail(const QString& reason) const { throw messages::NotADbaseTable(path_, reason); }

    FieldLayout Descriptor(const QByteArray& h, int at, int level, int number) const {
        const bool l7 = level == 7;
        FieldLayout f;
        f.info.name = QString::fromLatin1(ZeroPadded(h, at + (l7 ? dbf::kFieldName7 : dbf::kFieldName3),
                                                     l7 ? dbf::kFieldNameSize7 : dbf::kFieldNameSize3));
        f.info.type = h.at(at + (l7 ? dbf::kFieldType7 : dbf::kFieldType3));
        f.info.width = Byte(h, at + (l7 ? dbf::kFieldWidth7 : dbf::kFieldWidth3));
        f.info.decimals = Byte(h, at + (l7 ? dbf::kFieldDecimals7 : dbf::kFieldDecimals3));
        if (f.info.name.isEmpty()) Fail(QStringLiteral("el campo %1 no tiene nombre").arg(number));
        if (!IsKnownFieldType(f.info.type))
            Fail(
                QStringLiteral("el campo '%1' es de un tipo desconocido (%2)").arg(f.info.name, TypeText(f.info.type)));
        if (f.info.width == 0) Fail(QStringLiteral("el campo '%1' tiene ancho 0").arg(f.info.name));
        const int required = RequiredWidth(f.info.type);
        if (required != 0 && f.info.width != required)
            Fail(QStringLiteral("el campo '%1' de tipo %2 tiene ancho %3 y debe tener %4")
                     .arg(f.info.name, TypeText(f.info.type))
                     .arg(f.info.width)
                     .arg(required));
        if ((f.info.type == 'N' || f.info.type == 'F') && f.info.decimals >= f.info.width && f.info.decimals > 0)
            Fail(QStringLiteral("el campo '%1' tiene %2 decimales con ancho %3")
                     .arg(f.info.name)
                     .arg(f.info.decimals)
                     .arg(f.info.width));
        return f;
    }

private:
    QString path_;
};

}  // namespace

TableLayout ReadLayout(const LockedFile& file, const QString& displayPath) {
    const Reader reader(displayPath);
    const qint64 size = file.Size();
    QByteArray h(dbf::kHeaderSize, '\0');
    if (size < dbf::kHeaderSize || file.ReadAt(0, h.data(), dbf::kHeaderSize) < dbf::kHeaderSize)
        reader.Fail(QStringLiteral("cabecera incompleta"));

    TableLayout layout;
    const int version = Byte(h, dbf::kVersion);
    switch (version & dbf::kVersionLevelMask) {
    case dbf::kLevel3: layout.level = 3; break;
    case dbf::kLevel7: layout.level = 7; break;
    default: reader.Fail(QStringLiteral("versión 0x%1 desconocida").arg(version, 2, 16, QLatin1Char('0')));
    }
    layout.headerRecordCount = Uint32(h, dbf::kRecordCount);
    layout.headerLength = Uint16(h, dbf::kHeaderLength);
    layout.recordLength = Uint16(h, dbf::kRecordLength);

    const bool l7 = layout.level == 7;
    const int start = l7 ? dbf::kDescriptorStart7 : dbf::kDescriptorStart3;
    const int step = l7 ? dbf::kDescriptorSize7 : dbf::kDescriptorSize3;
    if (layout.headerLength > size)
        reader.Fail(QStringLiteral("cabecera incompleta: la cabecera ocupa %1 bytes y el archivo solo tiene %2")
                        .arg(layout.headerLength)
                        .arg(size));
    const QString tooShort = QStringLiteral("la longitud de cabecera (%1) no alcanza para los descriptores de campo")
                                 .arg(layout.headerLength);
    if (layout.headerLength < start) reader.Fail(tooShort);

    // The header and, when there is one, the byte after it.
    const int readable = static_cast<int>(qMin<qint64>(size, layout.headerLength + 1));
    h.resize(readable);
    if (file.ReadAt(0, h.data(), readable) < readable) reader.Fail(QStringLiteral("cabecera incompleta"));

    int at = start;
    bool terminated = false;
    while (at < layout.headerLength) {
        if (h.at(at) == dbf::kHeaderTerminator) {
            terminated = true;
            break;
        }
        if (at + step > layout.headerLength) reader.Fail(tooShort);
        layout.fields.append(reader.Descriptor(h, at, layout.level, static_cast<int>(layout.fields.size()) + 1));
        at += step;
    }
    // Descriptors that fill the header exactly, without terminator, are
    // accepted; a terminator just after the header length is not.
    if (!terminated && readable > layout.headerLength && h.at(layout.headerLength) == dbf::kHeaderTerminator)
        reader.Fail(tooShort);
    if (layout.fields.isEmpty()) reader.Fail(QStringLiteral("no tiene campos"));

    int offset = 1;  // after the deletion flag
    for (FieldLayout& f : layout.fields) {
        f.offset = offset;
        offset += f.info.width;
    }
    if (offset != layout.recordLength)
        reader.Fail(QStringLiteral("la longitud de registro (%1) no coincide con la de los campos (%2)")
                        .arg(layout.recordLength)
                        .arg(offset));

    // A header length that lies by a few bytes puts the records where they
    // are not. Padding after the terminator is allowed, so the length is
    // only taken to be wrong when the file holds exactly the records the
    // header counts (and perhaps the end-of-file byte) from just after the
    // terminator, and not from where the length says.
    if (terminated && layout.headerLength > at + 1) {
        const qint64 records = qint64(layout.headerRecordCount) * layout.recordLength;
        const auto holdsTheRecords = [&](qint64 from) { return size - from == records || size - from == records + 1; };
        if (holdsTheRecords(at + 1) && !holdsTheRecords(layout.headerLength))
            reader.Fail(QStringLiteral("la longitud de cabecera (%1) no es la correcta: los descriptores de campo "
                                       "terminan en el byte %2")
                            .arg(layout.headerLength)
                            .arg(at + 1));
    }

    const qint64 complete = (size - layout.headerLength) / layout.recordLength;
    layout.recordCount = qMin(layout.headerRecordCount, complete);

    int page = CodePage::NumberForLanguageDriver(static_cast<std::uint8_t>(Byte(h, dbf::kLanguageDriver)));
    if (page == 0 && l7)
        page = CodePage::NumberForLanguageDriverName(
            ZeroPadded(h, dbf::kLanguageDriverName7, dbf::kLanguageDriverNameSize7));
    layout.codePage = page == 0 ? 1252 : page;
    return layout;
}

QByteArray UpdateBytes(QDate today, quint32 recordCount) {
    QByteArray bytes(7, '\0');
    bytes[dbf::kUpdateYear - 1] = static_cast<char>(today.year() - 1900);
    bytes[dbf::kUpdateMonth - 1] = static_cast<char>(today.month());
    bytes[dbf::kUpdateDay - 1] = static_cast<char>(today.day());
    PutUint32(bytes.data() + dbf::kRecordCount - 1, recordCount);
    return bytes;
}

QByteArray BuildHeader(const QList<FieldInfo>& fields, QDate today) {
    const int headerLength = dbf::kHeaderSize + dbf::kDescriptorSize3 * static_cast<int>(fields.size()) + 1;
    int recordLength = 1;
    for (const FieldInfo& f : fields) recordLength += f.width;

    QByteArray h(headerLength, '\0');
    char* p = h.data();
    p[dbf::kVersion] = static_cast<char>(dbf::kVersionWritten);
    const QByteArray update = UpdateBytes(today, 0);
    std::memcpy(p + dbf::kUpdateYear, update.constData(), static_cast<size_t>(update.size()));
    PutUint16(p + dbf::kHeaderLength, headerLength);
    PutUint16(p + dbf::kRecordLength, recordLength);
    p[dbf::kMdxFlag] = 0;
    p[dbf::kLanguageDriver] = static_cast<char>(dbf::kLanguageDriverWritten);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        char* d = p + dbf::kDescriptorStart3 + dbf::kDescriptorSize3 * i;
        const QByteArray name = fields[i].name.toLatin1().left(dbf::kFieldNameSize3 - 1);
        std::memcpy(d + dbf::kFieldName3, name.constData(), static_cast<size_t>(name.size()));
        d[dbf::kFieldType3] = fields[i].type;
        d[dbf::kFieldWidth3] = static_cast<char>(fields[i].width);
        d[dbf::kFieldDecimals3] = static_cast<char>(fields[i].decimals);
    }
    p[headerLength - 1] = dbf::kHeaderTerminator;
    return h;
}

}  // namespace puente
