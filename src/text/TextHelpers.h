// Pure functions on texts, used to clean attribute values and to build the
// short Horalis codes.
//
// A text is a QString: a sequence of UTF-16 code units, and every length or
// position here counts code units. Only U+0020 is a space: tabs, line breaks
// and the no-break space are ordinary characters. No function fails, keeps
// state or changes its argument.
#pragma once

#include <QString>

namespace puente {

// The text without its trailing spaces.
QString TrimTrailingSpaces(QString s);
// The text without its leading spaces.
QString TrimLeadingSpaces(QString s);
// The text without its leading and trailing spaces; spaces inside stay.
QString TrimSpaces(QString s);
// The first n characters, or the whole text when it is not longer than n.
// n of 0 or less gives the empty text (for a text longer than n).
QString LeftPart(const QString& s, qint32 n);
// The last n characters, or the whole text when it is not longer than n.
QString RightPart(const QString& s, qint32 n);
// The characters that follow each space of the text, in order. The first
// character is never taken; a trailing space adds nothing; of two spaces in a
// row the first adds the second.
QString WordInitials(const QString& s);
// The text with no space left in it, the other characters in their order.
QString RemoveSpaces(QString s);

}  // namespace puente
