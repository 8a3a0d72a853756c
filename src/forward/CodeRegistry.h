// The code registry of one table: it hands out Horalis codes that are unique
// in the table as they are stored.
//
// Give(code) applies the numbered variant: when the code (as it would be
// stored) is already taken, its first `prefixLength` characters are followed
// by 1, 2, 3 ... until a candidate is free. A candidate longer than the field
// (10 characters) is written as its first 8 characters and its last 2 (from
// the number 100 on, as much of the prefix as leaves room for the whole
// number, so that the numbering can never run out of free codes); a code
// that needs no number is shortened that way too when `shortenCodes` is on,
// else simply cut to the field's width (teachers).
//
// Codes are registered and compared as a reader of the table gets them
// back: converted to the table's code page (a character it lacks becomes
// '?'), cut to the field's width, without trailing blanks. So "Ω" and "Δ"
// (both stored "?"), or "ABCDEFGHI J" and "ABCDEFGHI" in a field of 10 (both
// read back "ABCDEFGHI"), are one code, and the second is numbered. Every
// given code is entered in the registry, so no two rows of the table read
// back the same code, letter case compared as the registry's `Case` says.
#pragma once

#include <QHash>
#include <QSet>
#include <QString>

namespace puente {

class CodeRegistry {
public:
    enum class Case { Significant, Ignored };

    CodeRegistry(Case letterCase, int prefixLength, bool shortenCodes, int fieldWidth = 10);

    // The code for `code`, as the table stores it and gives it back, entered
    // in the registry. *numbered (when given) tells whether it had to be
    // numbered because its stored form was taken.
    QString Give(const QString& code, bool* numbered = nullptr);

    // Whether the stored form of `code` is taken.
    bool Contains(const QString& code) const;

    // `code` as the table stores it and gives it back.
    QString Stored(const QString& code) const;

private:
    QString Key(const QString& code) const;
    QString Shorten(const QString& candidate) const;
    QString Candidate(const QString& prefix, qint64 n) const;

    Case case_;
    int prefixLength_;
    bool shortenCodes_;
    int fieldWidth_;
    QSet<QString> taken_;  // Key of each stored code
    // For each prefix, the first number not yet known to be taken: codes are
    // never removed, so every candidate below it stays taken.
    QHash<QString, qint64> nextNumber_;
};

}  // namespace puente
