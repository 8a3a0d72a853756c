#include "tablestore/FieldCodec.h"

#include "common/Messages.h"
#include "tablestore/CodePage.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace puente {

namespace {

constexpr qint64 kMsecsPerDay = 86400000;
constexpr qint64 kJulianDayOfYearOne = 1721426;  // 0001-01-01, day 1 of the @ type

// ---- messages --------------------------------------------------------------

using messages::NotABoolean;
using messages::NotADate;
using messages::NotAnInteger;
using messages::NotANumber;

Error KindError(const FieldInfo& field, const CodecContext& context, const char* what) {
    return messages::FieldRefusesKind(field.name, context.table, field.type, QString::fromUtf8(what));
}

// ---- bytes -----------------------------------------------------------------

bool IsPad(char c) { return c == ' ' || c == '\0'; }

// The bytes without leading and trailing spaces and NULs.
void Trim(const char*& begin, const char*& end) {
    while (begin < end && IsPad(*begin)) ++begin;
    while (end > begin && IsPad(end[-1])) --end;
}

bool AllZero(const char* bytes, int size) {
    for (int i = 0; i < size; ++i)
        if (bytes[i] != 0) return false;
    return true;
}

quint64 BigEndian(const char* bytes, int size) {
    quint64 v = 0;
    for (int i = 0; i < size; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[i]);
    return v;
}

void PutBigEndian(quint64 v, char* bytes, int size) {
    for (int i = size - 1; i >= 0; --i, v >>= 8) bytes[i] = static_cast<char>(v & 0xFF);
}

// Text right-aligned in width, or false when it is longer.
bool PutRight(QByteArrayView text, char* bytes, int width) {
    if (text.size() > width) return false;
    std::memset(bytes, ' ', static_cast<size_t>(width - text.size()));
    std::memcpy(bytes + (width - text.size()), text.constData(), static_cast<size_t>(text.size()));
    return true;
}

// ---- number syntax ---------------------------------------------------------

// [+-] digits [. digits] [(e|E) [+-] digits], at least one digit before the
// exponent. plain: no point and no exponent.
bool IsNumberSyntax(const char* p, const char* end, bool* plain) {
    if (p < end && (*p == '+' || *p == '-')) ++p;
    int digits = 0;
    while (p < end && *p >= '0' && *p <= '9') ++p, ++digits;
    *plain = true;
    if (p < end && *p == '.') {
        *plain = false;
        ++p;
        while (p < end && *p >= '0' && *p <= '9') ++p, ++digits;
    }
    if (digits == 0) return false;
    if (p < end && (*p == 'e' || *p == 'E')) {
        *plain = false;
        ++p;
        if (p < end && (*p == '+' || *p == '-')) ++p;
        int exponentDigits = 0;
        while (p < end && *p >= '0' && *p <= '9') ++p, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return p == end;
}

// Parses ASCII that passed IsNumberSyntax.
double ToDouble(const char* p, const char* end) {
    if (p < end && *p == '+') ++p;
    double v = 0;
    if (std::from_chars(p, end, v).ec == std::errc()) return v;
    // Out of range: too small gives 0, too large infinity.
    const char* mark = std::find_if(p, end, [](char c) { return c == 'e' || c == 'E'; });
    if (mark + 1 < end && mark[1] == '-') return 0;
    return *p == '-' ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
}

// ---- readers, one per type -------------------------------------------------

FieldValue Bad(const char* bytes, int width) {
    FieldValue v;
    v.kind = FieldValue::Kind::Bad;
    v.text = QString::fromLatin1(bytes, width);
    return v;
}

FieldValue ReadCharacter(const FieldInfo& f, const char* bytes, const CodecContext& context) {
    FieldValue v;
    v.kind = FieldValue::Kind::Text;
    v.text = CharacterText(f, bytes, context);
    return v;
}

FieldValue ReadNumeric(const FieldInfo& f, const char* bytes) {
    const char* begin = bytes;
    const char* end = bytes + f.width;
    Trim(begin, end);
    if (begin == end) return {};
    if (std::all_of(begin, end, [](char c) { return c == '*'; })) return {};  // overflow mark of some writers
    bool plain = false;
    if (!IsNumberSyntax(begin, end, &plain)) return Bad(bytes, f.width);
    FieldValue v;
    const char* digits = begin + (*begin == '+' || *begin == '-' ? 1 : 0);
    if (plain && end - digits <= 18) {
        const char* from = *begin == '+' ? begin + 1 : begin;
        v.kind = FieldValue::Kind::Integer;
        std::from_chars(from, end, v.integer);
    } else {
        v.kind = FieldValue::Kind::Number;
        v.number = ToDouble(begin, end);
    }
    return v;
}

FieldValue ReadLogical(const FieldInfo& f, const char* bytes) {
    FieldValue v;
    switch (bytes[0]) {
    case 'T':
    case 't':
    case 'Y':
    case 'y':
        v.kind = FieldValue::Kind::Boolean;
        v.boolean = true;
        return v;
    case 'F':
    case 'f':
    case 'N':
    case 'n': v.kind = FieldValue::Kind::Boolean; return v;
    case ' ':
    case '?':
    case '\0': return v;
    default: return Bad(bytes, f.width);
    }
}

FieldValue ReadDate(const FieldInfo& f, const char* bytes) {
    const char* begin = bytes;
    const char* end = bytes + f.width;
    Trim(begin, end);
    if (begin == end || (end - begin == 8 && std::memcmp(begin, "00000000", 8) == 0)) return {};
    if (end - begin != 8 || !std::all_of(begin, end, [](char c) { return c >= '0' && c <= '9'; }))
        return Bad(bytes, f.width);
    const QDate date = QDate::fromString(QString::fromLatin1(begin, 8), QStringLiteral("yyyyMMdd"));
    if (!date.isValid()) return Bad(bytes, f.width);
    FieldValue v;
    v.kind = FieldValue::Kind::Date;
    v.date = date;
    return v;
}

FieldValue ReadInteger4(const FieldInfo&, const char* bytes) {
    if (AllZero(bytes, 4)) return {};
    FieldValue v;
    v.kind = FieldValue::Kind::Integer;
    v.integer = static_cast<qint32>(static_cast<quint32>(BigEndian(bytes, 4)) ^ 0x80000000u);
    return v;
}

FieldValue ReadDouble8(const FieldInfo&, const char* bytes) {
    if (AllZero(bytes, 8)) return {};
    quint64 bits = BigEndian(bytes, 8);
    bits = (bits & 0x8000000000000000ull) ? (bits & 0x7FFFFFFFFFFFFFFFull) : ~bits;
    FieldValue v;
    v.kind = FieldValue::Kind::Number;
    v.number = std::bit_cast<double>(bits);
    return v;
}

FieldValue ReadTimestamp(const FieldInfo& f, const char* bytes) {
    if (AllZero(bytes, 8)) return {};
    const double ms = std::bit_cast<double>(BigEndian(bytes, 8));
    if (!std::isfinite(ms) || ms < kMsecsPerDay || ms > 1e17) return Bad(bytes, f.width);
    const auto total = static_cast<qint64>(std::llround(ms));
    FieldValue v;
    v.kind = FieldValue::Kind::DateTime;
    v.date = QDate::fromJulianDay(kJulianDayOfYearOne + total / kMsecsPerDay - 1);
    v.msecsOfDay = total % kMsecsPerDay;
    return v;
}

// ---- writers, one per type -------------------------------------------------

QString InputText(const FieldInput& input, const CodecContext& context) {
    switch (input.kind) {
    case FieldInput::Kind::Text: return input.text;
    case FieldInput::Kind::Number: return FormatGeneral(input.number, context.decimalPoint);
    case FieldInput::Kind::Boolean: return input.boolean ? QStringLiteral("T") : QStringLiteral("F");
    }
    return {};
}

QString Spaceless(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ') ++begin;
    while (end > begin && text.at(end - 1) == u' ') --end;
    return text.mid(begin, end - begin);
}

void WriteCharacter(const FieldInfo& f, const FieldInput& input, char* bytes, const CodecContext& context) {
    const qsizetype written = input.kind == FieldInput::Kind::Text
                                  ? context.codePage->EncodeInto(input.text, bytes, f.width)
                                  : context.codePage->EncodeInto(InputText(input, context), bytes, f.width);
    std::memset(bytes + written, ' ', static_cast<size_t>(f.width - written));
}

// A whole number for a field without decimals (32 bits), from text or number.
qint32 WholeInput(const FieldInfo& f, const FieldInput& input, const CodecContext& context) {
    if (input.kind == FieldInput::Kind::Number) {
        const double r = std::nearbyint(input.number);
        if (!std::isfinite(r) || r < std::numeric_limits<qint32>::min() || r > std::numeric_limits<qint32>::max())
            throw NotAnInteger(FormatGeneral(input.number, context.decimalPoint), f.name);
        return static_cast<qint32>(r);
    }
    qint32 value = 0;
    if (!ParseInteger32(Spaceless(input.text), &value)) throw NotAnInteger(input.text, f.name);
    return value;
}

double NumberInput(const FieldInfo& f, const FieldInput& input, const CodecContext& context) {
    double value = input.number;
    if (input.kind == FieldInput::Kind::Text && !ParseNumber(Spaceless(input.text), context.decimalPoint, &value))
        throw NotANumber(input.text, f.name);
    if (!std::isfinite(value)) throw NotANumber(FormatGeneral(value, context.decimalPoint), f.name);
    return value;
}

bool IsEmptyText(const FieldInput& input) {
    return input.kind == FieldInput::Kind::Text && Spaceless(input.text).isEmpty();
}

void WriteNumeric(const FieldInfo& f, const FieldInput& input, char* bytes, const CodecContext& context) {
    if (input.kind == FieldInput::Kind::Boolean) throw KindError(f, context, "un valor lógico");
    if (IsEmptyText(input)) {
        WriteBlank(f, bytes);
        return;
    }
    // Whole numbers (counts, hours) are written from a buffer on the stack:
    // their digits, then zero decimals, as the general formatting gives them
    // without its cost.
    char whole[64];
    QByteArrayView text;
    QByteArray formatted;
    const auto wholeText = [&whole](qint64 n, int decimals) {
        char* end = std::to_chars(whole, whole + 24, n).ptr;
        if (decimals > 0) {
            *end++ = '.';
            end = std::fill_n(end, decimals, '0');
        }
        return QByteArrayView(whole, end - whole);
    };
    if (f.decimals == 0) {
        text = wholeText(WholeInput(f, input, context), 0);
    } else {
        double value = NumberInput(f, input, context);
        if (value == std::trunc(value) && std::fabs(value) < 1e15 && f.decimals < 32) {
            text = wholeText(static_cast<qint64>(value), f.decimals);
        } else {
            formatted = QByteArray::number(value, 'f', f.decimals);
            if (formatted.startsWith('-') && formatted.count('0') + 2 == formatted.size())
                formatted.remove(0, 1);  // -0.0000
            text = formatted;
        }
    }
    if (!PutRight(text, bytes, f.width))
        throw messages::NumberTooWide(QString::fromLatin1(text), f.name, context.table, f.width, f.decimals);
}

void WriteLogical(const FieldInfo& f, const FieldInput& input, char* bytes, const CodecContext& context) {
    switch (input.kind) {
    case FieldInput::Kind::Boolean: bytes[0] = input.boolean ? 'T' : 'F'; return;
    case FieldInput::Kind::Number: throw KindError(f, context, "un número");
    case FieldInput::Kind::Text: break;
    }
    const QString text = Spaceless(input.text);
    if (text.isEmpty()) {
        bytes[0] = ' ';
        return;
    }
    switch (text.at(0).unicode()) {
    case 'T':
    case 't':
    case 'Y':
    case 'y':
    case 'S':
    case 's': bytes[0] = 'T'; return;
    case 'F':
    case 'f':
    case 'N':
    case 'n': bytes[0] = 'F'; return;
    default: throw NotABoolean(input.text, f.name);
    }
}

QDate DateInput(const FieldInfo& f, const QString& text) {
    const QDate date = QDate::fromString(text.left(8), QStringLiteral("yyyyMMdd"));
    if (text.size() < 8 || !date.isValid()) throw NotADate(text, f.name);
    return date;
}

void WriteDate(const FieldInfo& f, const FieldInput& input, char* bytes, const CodecContext& context) {
    if (input.kind != FieldInput::Kind::Text) throw KindError(f, context, "un número ni un valor lógico");
    const QString text = Spaceless(input.text);
    if (text.isEmpty()) {
        WriteBlank(f, bytes);
        return;
    }
    if (text.size() != 8) throw NotADate(input.text, f.name);
    std::memcpy(bytes, DateInput(f, text).toString(QStringLiteral("yyyyMMdd")).toLatin1().constData(), 8);
}

void WriteInteger4(const FieldInfo& f, const FieldInput& input, char* bytes, const CodecContext& context) {
    if (input.kind == FieldInput::Kind::Boolean) throw KindError(f, context, "un valor lógico");
    if (IsEmptyText(input)) {
        WriteBlank(f, bytes);
        return;
    }
    const auto value = static_cast<quint32>(WholeInput(f, input, context));
    PutBigEndian(value ^ 0x80000000u, bytes, 4);
}

void WriteDouble8(const FieldInfo& f, const FieldInput& input, char* bytes, const CodecContext& context) {
    if (input.kind == FieldInput::Kind::Boolean) throw KindError(f, context, "un valor lógico");
    if (IsEmptyText(input)) {
        WriteBlank(f, bytes);
        return;
    }
    double value = NumberInput(f, input, context);
    if (value == 0) value = 0;  // no negative zero
    quint64 bits = std::bit_cast<quint64>(value);
    bits = (bits & 0x8000000000000000ull) ? ~bits : (bits | 0x8000000000000000ull);
    PutBigEndian(bits, bytes, 8);
}

void WriteTimestamp(const FieldInfo& f, const FieldInput& input, char* bytes, const CodecContext& context) {
    if (input.kind != FieldInput::Kind::Text) throw KindError(f, context, "un número ni un valor lógico");
    const QString text = Spaceless(input.text);
    if (text.isEmpty()) {
        WriteBlank(f, bytes);
        return;
    }
    // YYYYMMDD or YYYYMMDD hh:mm:ss, as the reader gives it.
    const QDate date = DateInput(f, text);
    qint64 msecs = 0;
    if (text.size() != 8) {
        const QTime time = QTime::fromString(text.mid(8), QStringLiteral(" hh:mm:ss"));
        if (!time.isValid()) throw NotADate(input.text, f.name);
        msecs = time.msecsSinceStartOfDay();
    }
    const double ms = static_cast<double>((date.toJulianDay() - kJulianDayOfYearOne + 1) * kMsecsPerDay + msecs);
    PutBigEndian(std::bit_cast<quint64>(ms), bytes, 8);
}

}  // namespace

QString CharacterText(const FieldInfo& f, const char* bytes, const CodecContext& context) {
    // Writers that pad with NULs instead of blanks end the value there, and
    // so do the readers that Horalis and its tools use: nothing after a NUL
    // is part of the value.
    const char* nul = static_cast<const char*>(std::memchr(bytes, '\0', static_cast<size_t>(f.width)));
    const char* end = nul ? nul : bytes + f.width;
    while (end > bytes && end[-1] == ' ') --end;
    return context.codePage->Decode(bytes, end - bytes);
}

// ---- per type --------------------------------------------------------------

bool IsKnownFieldType(char type) {
    switch (type) {
    case 'C':
    case 'N':
    case 'F':
    case 'L':
    case 'D':
    case 'I':
    case '+':
    case 'O':
    case '@':
    case 'M':
    case 'B':
    case 'G': return true;
    default: return false;
    }
}

int RequiredWidth(char type) {
    switch (type) {
    case 'L': return 1;
    case 'D': return 8;
    case 'I':
    case '+': return 4;
    case 'O':
    case '@': return 8;
    default: return 0;
    }
}

namespace {

// A Bad value of a field that holds text (N F L D) shows that text in the
// table's code page, as a dBase program shows it.
FieldValue AsTableText(FieldValue value, const FieldInfo& field, const char* bytes, const CodecContext& context) {
    if (value.kind == FieldValue::Kind::Bad) value.text = context.codePage->Decode(bytes, field.width);
    return value;
}

}  // namespace

FieldValue ReadField(const FieldInfo& field, const char* bytes, const CodecContext& context) {
    switch (field.type) {
    case 'C': return ReadCharacter(field, bytes, context);
    case 'N':
    case 'F': return AsTableText(ReadNumeric(field, bytes), field, bytes, context);
    case 'L': return AsTableText(ReadLogical(field, bytes), field, bytes, context);
    case 'D': return AsTableText(ReadDate(field, bytes), field, bytes, context);
    case 'I':
    case '+': return ReadInteger4(field, bytes);
    case 'O': return ReadDouble8(field, bytes);
    case '@': return ReadTimestamp(field, bytes);
    default: return {};  // M B G: the memo file is not read
    }
}

void WriteField(const FieldInfo& field, const FieldInput& input, char* bytes, const CodecContext& context) {
    switch (field.type) {
    case 'C': WriteCharacter(field, input, bytes, context); return;
    case 'N':
    case 'F': WriteNumeric(field, input, bytes, context); return;
    case 'L': WriteLogical(field, input, bytes, context); return;
    case 'D': WriteDate(field, input, bytes, context); return;
    case 'I':
    case '+': WriteInteger4(field, input, bytes, context); return;
    case 'O': WriteDouble8(field, input, bytes, context); return;
    case '@': WriteTimestamp(field, input, bytes, context); return;
    default: throw messages::MemoNotWritable(field.name, context.table, field.type);
    }
}

void WriteBlank(const FieldInfo& field, char* bytes) {
    const bool binary = field.type == 'I' || field.type == '+' || field.type == 'O' || field.type == '@';
    std::memset(bytes, binary ? 0 : ' ', static_cast<size_t>(field.width));
}

// ---- conversions -----------------------------------------------------------

QString ValueAsString(const FieldValue& value, const CodecContext& context) {
    switch (value.kind) {
    case FieldValue::Kind::Null: return {};
    case FieldValue::Kind::Text: return value.text;
    case FieldValue::Kind::Integer: return QString::number(value.integer);
    case FieldValue::Kind::Number: return FormatGeneral(value.number, context.decimalPoint);
    case FieldValue::Kind::Boolean: return value.boolean ? QStringLiteral("T") : QStringLiteral("F");
    case FieldValue::Kind::Date: return value.date.toString(QStringLiteral("yyyyMMdd"));
    case FieldValue::Kind::DateTime:
        return value.date.toString(QStringLiteral("yyyyMMdd ")) +
               QTime::fromMSecsSinceStartOfDay(static_cast<int>(value.msecsOfDay)).toString(QStringLiteral("hh:mm:ss"));
    case FieldValue::Kind::Bad: return value.text;
    }
    return {};
}

qint32 ValueAsInteger(const FieldValue& value, const QString& field, const CodecContext& context) {
    switch (value.kind) {
    case FieldValue::Kind::Null: return 0;
    case FieldValue::Kind::Boolean: return value.boolean ? 1 : 0;
    case FieldValue::Kind::Integer:
        if (value.integer < std::numeric_limits<qint32>::min() || value.integer > std::numeric_limits<qint32>::max())
            throw NotAnInteger(QString::number(value.integer), field);
        return static_cast<qint32>(value.integer);
    case FieldValue::Kind::Number: {
        // Rounded to the nearest whole number, halves to the even one.
        const double r = std::nearbyint(value.number);
        if (!std::isfinite(r) || r < std::numeric_limits<qint32>::min() || r > std::numeric_limits<qint32>::max())
            throw NotAnInteger(FormatGeneral(value.number, context.decimalPoint), field);
        return static_cast<qint32>(r);
    }
    case FieldValue::Kind::Text: {
        const QString text = Spaceless(value.text);
        qint32 result = 0;
        if (text.isEmpty()) return 0;
        if (!ParseInteger32(text, &result)) throw NotAnInteger(value.text, field);
        return result;
    }
    default: throw NotAnInteger(ValueAsString(value, context), field);
    }
}

double ValueAsFloat(const FieldValue& value, const QString& field, const CodecContext& context) {
    switch (value.kind) {
    case FieldValue::Kind::Null: return 0;
    case FieldValue::Kind::Boolean: return value.boolean ? 1 : 0;
    case FieldValue::Kind::Integer: return static_cast<double>(value.integer);
    case FieldValue::Kind::Number: return value.number;
    case FieldValue::Kind::Text: {
        const QString text = Spaceless(value.text);
        double result = 0;
        if (text.isEmpty()) return 0;
        if (!ParseNumber(text, context.decimalPoint, &result)) throw NotANumber(value.text, field);
        return result;
    }
    default: throw NotANumber(ValueAsString(value, context), field);
    }
}

bool ValueAsBoolean(const FieldValue& value, const QString& field, const CodecContext& context) {
    switch (value.kind) {
    case FieldValue::Kind::Null: return false;
    case FieldValue::Kind::Boolean: return value.boolean;
    case FieldValue::Kind::Integer: return value.integer != 0;
    case FieldValue::Kind::Number: return value.number != 0;
    case FieldValue::Kind::Text: {
        const QString text = Spaceless(value.text);
        return !text.isEmpty() && QStringLiteral("TtYySs").contains(text.at(0));
    }
    default: throw NotABoolean(ValueAsString(value, context), field);
    }
}

// ---- number text -----------------------------------------------------------

QString FormatGeneral(double value, const QString& decimalPoint) {
    if (std::isnan(value)) return QStringLiteral("NAN");
    if (std::isinf(value)) return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0) return QStringLiteral("0");
    // d.dddddddddddddde±x: 15 significant digits, correctly rounded.
    const QByteArray e = QByteArray::number(value, 'e', 14);
    const bool negative = e.startsWith('-');
    const qsizetype mark = e.indexOf('e');
    QByteArray digits = e.mid(negative ? 1 : 0, mark - (negative ? 1 : 0));
    digits.remove(1, 1);  // the point
    const int exponent = e.mid(mark + 1).toInt();
    while (digits.size() > 1 && digits.endsWith('0')) digits.chop(1);

    QString out = negative ? QStringLiteral("-") : QString();
    if (exponent < -4 || exponent >= 15) {
        out += QLatin1Char(digits.at(0));
        if (digits.size() > 1) out += decimalPoint + QString::fromLatin1(digits.mid(1));
        out += QLatin1Char('E') + QString::number(exponent);
    } else if (exponent >= 0) {
        const qsizetype whole = exponent + 1;
        if (digits.size() <= whole) {
            out += QString::fromLatin1(digits) + QString(whole - digits.size(), u'0');
        } else {
            out += QString::fromLatin1(digits.left(whole)) + decimalPoint + QString::fromLatin1(digits.mid(whole));
        }
    } else {
        out += QLatin1Char('0') + decimalPoint + QString(-exponent - 1, u'0') + QString::fromLatin1(digits);
    }
    return out;
}

bool ParseInteger32(QStringView text, qint32* value) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    if (i == text.size()) return false;
    qint64 v = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return false;
        v = v * 10 + (c - u'0');
        if (v > qint64(std::numeric_limits<qint32>::max()) + 1) return false;
    }
    if (negative) v = -v;
    if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max()) return false;
    *value = static_cast<qint32>(v);
    return true;
}

bool ParseNumber(QStringView text, const QString& decimalPoint, double* value) {
    QByteArray ascii;
    ascii.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (!decimalPoint.isEmpty() && text.mid(i).startsWith(decimalPoint)) {
            ascii.append('.');
            i += decimalPoint.size();
            continue;
        }
        const char16_t c = text[i].unicode();
        if (c == u'.' || c > 0x7F) return false;  // '.' only when it is the user's separator
        ascii.append(static_cast<char>(c));
        ++i;
    }
    bool plain = false;
    if (!IsNumberSyntax(ascii.constData(), ascii.constData() + ascii.size(), &plain)) return false;
    const double v = ToDouble(ascii.constData(), ascii.constData() + ascii.size());
    if (!std::isfinite(v)) return false;
    *value = v;
    return true;
}

}  // namespace puente
