#include "text/TextHelpers.h"

namespace puente {

namespace {
constexpr QChar kSpace(u' ');
}

QString TrimTrailingSpaces(QString s) {
    qsizetype end = s.size();
    while (end > 0 && s.at(end - 1) == kSpace) --end;
    s.truncate(end);
    return s;
}

QString TrimLeadingSpaces(QString s) {
    qsizetype start = 0;
    while (start < s.size() && s.at(start) == kSpace) ++start;
    return s.mid(start);
}

QString TrimSpaces(QString s) { return TrimLeadingSpaces(TrimTrailingSpaces(std::move(s))); }

QString LeftPart(const QString& s, qint32 n) {
    if (s.size() > n) return n <= 0 ? QString() : s.left(n);
    return s;
}

QString RightPart(const QString& s, qint32 n) {
    if (s.size() > n) return n <= 0 ? QString() : s.right(n);
    return s;
}

QString WordInitials(const QString& s) {
    QString result;
    for (qsizetype p = 0; p + 1 < s.size(); ++p) {
        if (s.at(p) == kSpace) result.append(s.at(p + 1));
    }
    return result;
}

QString RemoveSpaces(QString s) {
    s = TrimSpaces(std::move(s));
    s.remove(kSpace);
    return s;
}

}  // namespace puente
