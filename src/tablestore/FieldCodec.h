// One reader and one writer per dBase field type, and the conversions
// between a field's value and the text, integer, number and logical that the
// Field accessors give.
//
// Readers take the field's bytes in the record and never fail: bytes that are
// not a value of the type give a Bad value carrying the raw text, for the
// table to report with the record it came from. Blank rules per type:
//   C        ends at the first NUL (NUL padding), trailing spaces dropped;
//            blank = empty text
//   N F      ASCII number, right aligned; all spaces (or all '*') = Null
//   L        T t Y y true, F f N n false, space ? NUL = Null
//   D        YYYYMMDD; spaces or 00000000 = Null
//   I +      4 bytes big-endian, value XOR 0x80000000; all zero = Null
//   O        8-byte IEEE double big-endian, sign bit set for values >= 0,
//            every bit inverted for negative ones; all zero = Null
//   @        8-byte IEEE double big-endian, milliseconds from 0001-01-01
//            counted as day 1; all zero = Null
//   M B G    memo block pointers: always Null (the memo file is not read)
//
// Writers raise puente::Error for a value the field cannot take; a blank
// written value is spaces for C N F L D M B G and zero bytes for I + O @.
#pragma once

#include "tablestore/Table.h"

#include <QDate>
#include <QString>

namespace puente {

class CodePage;

struct FieldValue {
    enum class Kind { Null, Text, Integer, Number, Boolean, Date, DateTime, Bad };
    Kind kind = Kind::Null;
    QString text;        // Text; Bad: the raw bytes as text (in the table's code page for N F L D)
    qint64 integer = 0;  // Integer
    double number = 0;   // Number
    bool boolean = false;
    QDate date;             // Date, DateTime
    qint64 msecsOfDay = 0;  // DateTime
};

// What a setter gives to a writer.
struct FieldInput {
    enum class Kind { Text, Number, Boolean };
    Kind kind = Kind::Text;
    QString text;
    double number = 0;
    bool boolean = false;
};

// What readers, writers and conversions need besides the field.
struct CodecContext {
    const CodePage* codePage = nullptr;
    QString decimalPoint;  // the user's decimal separator
    QString table;         // table name, for messages
};

// Whether the engine knows this type letter, and the width it requires
// (0: any width from 1 to 255).
bool IsKnownFieldType(char type);
int RequiredWidth(char type);

FieldValue ReadField(const FieldInfo& field, const char* bytes, const CodecContext& context);
// The text of a C field, as ReadField gives it (a C field is never Bad).
QString CharacterText(const FieldInfo& field, const char* bytes, const CodecContext& context);
void WriteField(const FieldInfo& field, const FieldInput& input, char* bytes, const CodecContext& context);
void WriteBlank(const FieldInfo& field, char* bytes);

// The value as the Field accessors give it; errors name the field.
QString ValueAsString(const FieldValue& value, const CodecContext& context);
qint32 ValueAsInteger(const FieldValue& value, const QString& field, const CodecContext& context);
double ValueAsFloat(const FieldValue& value, const QString& field, const CodecContext& context);
bool ValueAsBoolean(const FieldValue& value, const QString& field, const CodecContext& context);

// A number in the general format: up to 15 significant digits, no trailing
// zeros, decimalPoint between the whole and the fractional part; scientific
// ("1.5E20", "1E-5") below 0.0001 or from 10^15 on.
QString FormatGeneral(double value, const QString& decimalPoint);
// A whole number within 32 bits: an optional sign and the digits 0-9, with
// nothing else (the caller drops surrounding spaces).
bool ParseInteger32(QStringView text, qint32* value);
// A number with an optional sign, digits and at most one decimalPoint, and
// an optional exponent (e or E); nothing else.
bool ParseNumber(QStringView text, const QString& decimalPoint, double* value);

}  // namespace puente
