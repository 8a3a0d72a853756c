// A dBase table in the Horalis working directory, reached through a cursor.
//
// A Table names one file, <directory>/<NAME>.DBF, and is closed until Open().
// CreateTable() writes a new empty table with the given fields (dBase III+/IV,
// version byte 0x03, language driver 0x58 = Windows-1252), replacing any file
// of that name. The engine reads the tables a dBase program may write: levels
// III, IV, 5 and 7; field types C N F L D I O + @ (M B G are skipped).
//
// Cursor: First/Next/Eof walk the live records in stored order; records marked
// deleted are never seen, by the cursor nor by Locate. Locate(field, key) moves
// to the first live record in stored order whose field, read as text, equals
// the key exactly (letter case included) and tells whether one was found; when
// none is found the cursor stays where it was. A key that is not found is never
// an error.
//
// Writing: Append() starts a blank record, the Field setters fill it, Post()
// stores it after the last record and rewrites the header's record count, so
// the file is a valid table after every Post.
//
// Locking: Open(Exclusive) fails when another open of the table (in this or
// another process) holds it; Open(Shared) fails when another holds it
// exclusively. Windows uses share modes; elsewhere advisory locks that every
// open of this engine honours.
//
// Errors are puente::Error with Spanish messages naming the file, except the
// two texts that the system has always shown:
//   "Field '%s' not found"
//   "'%s' is not a valid integer value for field '%s'"
#pragma once

#include <QList>
#include <QString>

#include <memory>

namespace puente {

// The kinds of field that a table may be created with.
enum class FieldKind {
    Character,  // C(width): text in code page 1252, cut to the width
    Logical,    // L(1)
    Float,      // N(20,4)
    Integer,    // N(11,0): a whole number within 32 bits
};

struct FieldSpec {
    QString name;
    FieldKind kind = FieldKind::Character;
    int width = 0;  // for Character only
};

// A field as the file describes it.
struct FieldInfo {
    QString name;
    char type = 'C';  // the dBase type letter
    int width = 0;
    int decimals = 0;
};

enum class OpenMode { Shared, Exclusive };

class Table;
struct FieldInput;

// A field of the current record, as FieldByName gives it.
class Field {
public:
    const QString& name() const;

    // Reading. Text: character fields without trailing blanks; numbers in the
    // general format (up to 15 significant digits, no trailing zeros, the
    // user's decimal separator); logical "T"/"F"; dates "YYYYMMDD"; a blank
    // field gives the empty text. Integer and number: a blank field gives 0.
    QString AsString() const;
    qint32 AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;

    // Writing (between Append and Post).
    // Character: converted to code page 1252 (a character it lacks becomes
    // '?') and cut to the width silently. Integer: the text must be a whole
    // number within 32 bits, else "'%s' is not a valid integer value for
    // field '%s'"; empty text leaves the field blank. Float: a number.
    void SetAsString(const QString& value);
    void SetAsBoolean(bool value);
    void SetAsFloat(double value);

private:
    friend class Table;
    Field(Table& table, int index);
    Table* table_;
    int index_;
    QString name_;  // as the file names it
};

class Table {
public:
    // Binds to <directory>/<name>.DBF; name given without extension, e.g.
    // "ASIGNOMT". An existing file whose name differs only in letter case
    // (soluc.dbf) is the same table. Nothing is touched until Open or
    // CreateTable.
    Table(QString directory, QString name);
    ~Table();  // closes
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const QString& name() const { return name_; }
    QString filePath() const;  // <directory>/<NAME>.DBF

    // Whether any open of the table's file holds it, so that Open(Exclusive)
    // would fail: another program, or another Table of this program (this
    // one included, when open). A missing table is held by nobody. Opens
    // nothing for use and changes nothing.
    static bool IsHeldElsewhere(const QString& directory, const QString& name);

    // Writes a new empty table with exactly these fields in this order,
    // replacing any table of that name. The table must be closed.
    void CreateTable(const QList<FieldSpec>& fields);

    // Opens the file. A missing file, a file that is not a dBase table, or a
    // table held by another program raises an Error naming the file. Opening
    // an open table changes nothing.
    void Open(OpenMode mode = OpenMode::Shared);
    void Close();  // releases the file and its lock; closing a closed table is fine
    bool IsOpen() const;

    QList<FieldInfo> Fields() const;
    int LiveRecordCount() const;  // records not marked deleted

    void First();
    void Next();
    bool Eof() const;
    bool Locate(const QString& field, const QString& key);

    void Append();
    void Post();

    Field FieldByName(const QString& field);

private:
    friend class Field;
    struct Impl;
    Impl& Opened() const;  // raises when the table is closed
    int FieldIndex(const QString& field) const;  // raises "Field '%s' not found"
    void Settle();  // a pending Append: posted when a field was set, else dropped
    void Set(int field, const FieldInput& input);

    QString directory_;
    QString name_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace puente
