// Reading and writing the header and field descriptors of a dBase file.
//
// ReadLayout checks the whole header before any record is read and raises
// puente::Error "El archivo '<path>' no es una tabla dBase válida: <reason>"
// for anything it cannot trust: a file shorter than its header, an unknown
// version, a header length that does not hold the field descriptors, a field
// without name, of an unknown type or of an impossible width, no fields at
// all, or a record length that is not 1 + the sum of the widths. A record
// count larger than the records in the file is no error: the layout tells
// how many complete records there are.
#pragma once

#include "tablestore/Table.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

namespace puente {

class LockedFile;

struct FieldLayout {
    FieldInfo info;
    int offset = 0;  // from the start of the record (the deletion flag is byte 0)
};

struct TableLayout {
    int level = 3;         // 3 (III+, IV, 5) or 7
    int headerLength = 0;  // where the first record starts
    int recordLength = 0;
    qint64 headerRecordCount = 0;  // as the header says
    qint64 recordCount = 0;        // complete records in the file, at most the header's count
    int codePage = 1252;
    QList<FieldLayout> fields;
};

// Reads the layout of the open file; displayPath names it in messages.
TableLayout ReadLayout(const LockedFile& file, const QString& displayPath);

// The header of a new, empty dBase III+/IV table with these fields (names
// upper case, types C, L or N), dated today, up to and including the 0x0D
// terminator.
QByteArray BuildHeader(const QList<FieldInfo>& fields, QDate today);

// The 7 header bytes from kUpdateYear to the end of the record count.
QByteArray UpdateBytes(QDate today, quint32 recordCount);

}  // namespace puente
