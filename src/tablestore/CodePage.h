// The 8-bit code pages that dBase tables are written in.
//
// A CodePage turns the bytes of a character field into text and back. Bytes
// 0x00-0x7F are ASCII in every code page here; the upper half comes from a
// table: built in for 437, 850 and 1252 (so that they never depend on the
// platform's converters), and for the other code pages a dBase language
// driver may name (852, 866, 1250, 1251) taken from Qt's converters, falling
// back to 1252 where Qt has none. Decoding never fails: the five bytes that
// 1252 leaves undefined give the control characters of the same number.
// Encoding gives one byte per character (per code point); a character the
// code page lacks becomes '?'.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <array>
#include <cstdint>

namespace puente {

class CodePage {
public:
    // The code page with this number (437, 850, 852, 866, 1250, 1251, 1252);
    // any other number gives 1252. The object lives until the program ends.
    static const CodePage& ForNumber(int number);
    // The code page that a language driver id (header byte 29) names, or 0
    // when the id is 0 or unknown.
    static int NumberForLanguageDriver(std::uint8_t id);
    // The code page that a level-7 language driver name ("DBWINWE0",
    // "DB850ES0") names, or 0 when unknown.
    static int NumberForLanguageDriverName(const QByteArray& name);

    int number() const { return number_; }
    QString Decode(const char* data, qsizetype size) const;
    QByteArray Encode(const QString& text) const;
    // Whether Encode keeps every character of `text` (none becomes '?'
    // for lack of a byte; a '?' of the text itself counts as kept).
    bool CanEncode(QStringView text) const;
    // Encode into `out`, at most `capacity` bytes (the first characters of
    // a longer text); gives the number of bytes written.
    qsizetype EncodeInto(QStringView text, char* out, qsizetype capacity) const;

private:
    CodePage(int number, const std::array<char16_t, 128>& upper);

    int number_;
    std::array<char16_t, 128> upper_;
    QHash<char16_t, char> encode_;  // upper-half characters to their byte
};

}  // namespace puente
