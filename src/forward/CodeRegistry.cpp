#include "forward/CodeRegistry.h"

namespace puente {

CodeRegistry::CodeRegistry(Case letterCase, int prefixLength, bool shortenCodes, int fieldWidth)
    : case_(letterCase), prefixLength_(prefixLength), shortenCodes_(shortenCodes), fieldWidth_(fieldWidth) {}

QString CodeRegistry::Key(const QString& code) const {
    return case_ == Case::Ignored ? code.toCaseFolded() : code;
}

QString CodeRegistry::Shorten(const QString& candidate) const {
    if (candidate.size() <= fieldWidth_) return candidate;
    return candidate.left(fieldWidth_ - 2) + candidate.right(2);
}

QString CodeRegistry::Candidate(const QString& prefix, qint64 n) const {
    const QString number = QString::number(n);
    // First 8 + last 2 keeps a one- or two-digit number whole; a longer one
    // would lose digits and give a code already handed out, so from 100 on
    // the number is kept whole and the prefix gives way.
    if (number.size() <= 2) return Shorten(prefix + number);
    return prefix.left(qMax(0, fieldWidth_ - int(number.size()))) + number;
}

bool CodeRegistry::Contains(const QString& code) const {
    return taken_.contains(Key(code));
}

QString CodeRegistry::Give(const QString& code) {
    QString written = shortenCodes_ ? Shorten(code) : code.left(fieldWidth_);
    if (Contains(written)) {
        const QString prefix = code.left(prefixLength_);
        const QString prefixKey = Key(prefix);
        qint64 n = nextNumber_.value(prefixKey, 1);
        for (;; ++n) {
            written = Candidate(prefix, n);
            if (!Contains(written)) break;
        }
        nextNumber_.insert(prefixKey, n + 1);
    }
    taken_.insert(Key(written));
    return written;
}

}  // namespace puente
