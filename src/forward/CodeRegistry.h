// The code registry of one table: it hands out Horalis codes that are unique
// in the table as they are stored.
//
// Give(code) applies the numbered variant: when the code (as it would be
// written) is already taken, its first `prefixLength` characters are followed
// by 1, 2, 3 ... until a candidate is free. A candidate longer than the field
// (10 characters) is written as its first 8 characters and its last 2 (from
// the number 100 on, as much of the prefix as leaves room for the whole
// number, so that the numbering can never run out of free codes); a code
// that needs no number is shortened that way too when `shortenCodes` is on,
// else simply cut to the field's width (teachers). Every written code is
// entered in the registry, so no two rows of the table carry the same code,
// letter case compared as the registry's `Case` says.
#pragma once

#include <QHash>
#include <QSet>
#include <QString>

namespace puente {

class CodeRegistry {
public:
    enum class Case { Significant, Ignored };

    CodeRegistry(Case letterCase, int prefixLength, bool shortenCodes, int fieldWidth = 10);

    // The code to write for `code`, entered in the registry.
    QString Give(const QString& code);

    bool Contains(const QString& code) const;

private:
    QString Key(const QString& code) const;
    QString Shorten(const QString& candidate) const;
    QString Candidate(const QString& prefix, qint64 n) const;

    Case case_;
    int prefixLength_;
    bool shortenCodes_;
    int fieldWidth_;
    QSet<QString> taken_;
    // For each prefix, the first number not yet known to be taken: codes are
    // never removed, so every candidate below it stays taken.
    QHash<QString, qint64> nextNumber_;
};

}  // namespace puente
