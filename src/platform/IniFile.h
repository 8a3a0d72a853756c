// Writing one value into an INI file, as Windows profile functions do, but
// keeping every other byte of the file.
//
// The file is a sequence of lines. A line whose first non-blank character is
// "[" and that holds a "]" is a section header; the section's name is what
// lies between the "[" and the last "]", without surrounding blanks. Every
// other line of a section is an entry: the key is the text before the first
// "=" (the whole line when there is none), without surrounding blanks.
// Section and key names are compared with A to Z folded, as Windows does;
// comment lines (";...") are entries whose key never matches a real one.
//
// WriteIniValue sets the key of the section to the value:
//   - the first section of that name and its first entry with that key are
//     used; the entry's value (after the "=" and the blanks that follow it, to
//     the end of the line) is replaced, the key and the blanks kept;
//   - a missing key is added as "key=value" after the section's last
//     non-blank line; a missing section is added at the end of the file, after
//     a blank line when the file has text;
//   - a missing file is created with just the section and the key;
//   - every other byte stays as it was: other sections, comments, blank lines,
//     the line endings. New lines take the file's line ending (the first one
//     found: CRLF or LF); a file without any line ending gets CRLF, the line
//     ending of the Windows programs that read it.
// The file is read as bytes (a UTF-8 byte order mark is kept and skipped);
// a file that starts with a UTF-16 little-endian byte order mark is read and
// written as UTF-16.
//
// The file is replaced atomically: a reader sees the old file or the new
// one, never a part. On failure a puente::Error names the file, and the file
// is as it was.
#pragma once

#include <QByteArray>
#include <QString>

namespace puente {

// The new contents of an INI file whose contents were `file` (empty for a
// missing file) once section/key is set to value. Pure; no I/O.
QByteArray SetIniValue(const QByteArray& file, const QString& section, const QString& key, const QString& value);

// Reads the file at path (a missing file counts as empty), sets the value and
// writes the file back atomically. Throws puente::Error when the file cannot
// be read or written.
void WriteIniValue(const QString& path, const QString& section, const QString& key, const QString& value);

}  // namespace puente
