// Readable Qt values in GoogleTest failure messages.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '[';
    for (qsizetype i = 0; i < l.size(); ++i) *os << (i ? ", " : "") << '"' << l[i].toStdString() << '"';
    *os << ']';
}
// Bytes with CR, LF and anything outside printable ASCII escaped.
inline void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << '"';
    for (unsigned char c : b) {
        if (c == '\r')
            *os << "\\r";
        else if (c == '\n')
            *os << "\\n";
        else if (c == '"' || c == '\\')
            *os << '\\' << c;
        else if (c >= 0x20 && c < 0x7F)
            *os << c;
        else
            *os << "\\x"
                << "0123456789ABCDEF"[c >> 4] << "0123456789ABCDEF"[c & 15];
    }
    *os << '"';
}
QT_END_NAMESPACE
