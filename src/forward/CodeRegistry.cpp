#include "forward/CodeRegistry.h"

#include "tablestore/Table.h"

namespace puente {

CodeRegistry::CodeRegistry(Case letterCase, int prefixLength, bool shortenCodes, int fieldWidth)
    : case_(letterCase), prefixLength_(prefixLength), shortenCodes_(shortenCodes), fieldWidth_(fieldWidth) {}

QString CodeRegistry::Stored(const QString& code) const { return StoredCharacterText(code, fieldWidth_); }

QString CodeRegistry::Key(const QString& code) const {
    const QString stored = Stored(code);
    return case_ == Case::Ignored ? stored.toCaseFolded() : stored;
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

bool CodeRegistry::Contains(const QString& code) const { return taken_.contains(Key(code)); }

QString CodeRegistry::Give(const QString& code, bool* numbered) {
    QString written = shortenCodes_ ? Shorten(code) : code;
    const bool taken = Contains(written);
    if (taken) {
        const QString prefix = code.left(prefixLength_);
        const QString prefixKey = case_ == Case::Ignored ? prefix.toCaseFolded() : prefix;
        qint64 n = nextNumber_.value(prefixKey, 1);
        for (;; ++n) {
            written = Candidate(prefix, n);
            if (!Contains(written)) break;
        }
        nextNumber_.insert(prefixKey, n + 1);
    }
    if (numbered) *numbered = taken;
    written = Stored(written);
    taken_.insert(case_ == Case::Ignored ? written.toCaseFolded() : written);
    return written;
}

}  // namespace puente
