// A dBase table in the Horalis working directory, reached through a cursor.
//
// A Table names one file, <directory>/<NAME>.DBF, and is closed until Open().
// The name is given without extension ("ASIGNOMT"; a trailing ".DBF" is
// dropped). An existing file whose name differs only in letter case
// (soluc.dbf) is the same table: it is the one opened and the one replaced.
// CreateTable() writes a new empty table with the given fields (dBase III+/IV,
// version byte 0x03, language driver 0x58 = Windows-1252, no production
// index), replacing any file of that name in place. The engine reads the
// tables a dBase program may write: levels III, IV, 5 and 7; field types
// C N F L D I O + @ (M B G are skipped: they read as empty); code pages 437,
// 850, 852, 866, 1250, 1251 and 1252 from the language driver (1252 when it
// names none). The header is checked before any record is read; a file that
// is not a dBase table raises "El archivo '<path>' no es una tabla dBase
// válida: <reason>". A record count larger than the file is no error: the
// complete records there are read.
//
// Cursor: Open moves to the first record. First/Next/Eof walk the live
// records in stored order; records marked deleted are never seen, by the
// cursor nor by Locate. Next on the last record sets Eof and leaves the
// fields of the last record readable; an empty table is at Eof with blank
// fields. Locate(field, key) moves to the first live record in stored order
// whose field, read as text, equals the key exactly (letter case and leading
// spaces included) and tells whether one was found; when none is found the
// cursor stays where it was. A key that is not found is never an error.
// Locate keeps, per field, an index from value to first record, built on its
// first use while the table is open and dropped by Post; walking streams
// the file in blocks of about 512 KiB, the last eight kept (a lookup table of
// up to 4 MiB is read once), so memory stays small for any size.
//
// Writing: Append() starts a blank record (spaces; zero bytes for level-7
// binary fields), the Field setters fill it, Post() stores it after the last
// record and then rewrites the header's record count and date, so the file is
// a valid table after every Post (a crash between the two leaves the record
// out). A write that fails (disk full, file-size limit) raises an Error
// naming the file, and the record is taken back so the table stays as it
// was. With write-behind on (SetWriteBehind) records are written in batches
// instead. A pending Append is posted by First/Next/Locate/Append when a field
// was set, dropped otherwise, and dropped by Close. Post without a pending
// Append does nothing. Setting a field without a pending Append raises.
//
// Locking: Open(Exclusive) fails when another open of the table (in this or
// another process) holds it; Open(Shared) fails when another holds it
// exclusively; CreateTable fails when any other holds it, before changing
// anything. Windows uses share modes; elsewhere open-file-description locks
// that every open of this engine honours (see platform/FileLock.h). A file
// that may not be written is opened for reading only (Append then raises).
// IsHeldElsewhere tells whether a table is held without opening it.
//
// Errors are puente::Error (made in common/Messages) with Spanish messages
// naming the file, table or field, except two texts that Horalis users know
// in English:
//   "Field '%s' not found"                              (DamagedTable)
//   "'%s' is not a valid integer value for field '%s'"  (BadValue)
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
struct FieldValue;

// A field of the current record, as FieldByName gives it. It reads and sets
// the record under the cursor at the time of the call; it may be used while
// its Table lives, and raises once the table is closed.
class Field {
public:
    const QString& name() const;

    // Reading. Text: character fields up to their first NUL (some writers pad
    // with NULs instead of blanks), without trailing blanks; numbers in the
    // general format (up to 15 significant digits, no trailing zeros, the
    // user's decimal separator; "1E-5" style below 0.0001 and from 10^15);
    // whole numbers of N fields exactly; logical "T"/"F"; dates "YYYYMMDD",
    // timestamps "YYYYMMDD hh:mm:ss"; a blank field gives the empty text.
    // Integer and number: a blank field gives 0; a number with decimals is
    // rounded to the nearest whole number, halves to the even one (2.5 -> 2,
    // 3.5 -> 4); a value outside 32 bits, or a text that
    // is no whole number, raises "'%s' is not a valid integer value for field
    // '%s'". Logical: T/Y true; numbers true when not 0; texts true when they
    // start with T, Y or S. A value the file holds damaged raises an Error
    // naming the field, the record and the file.
    QString AsString() const;
    qint32 AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;

    // Writing (between Append and Post).
    // Character: converted to the table's code page, 1252 for the tables
    // created here (a character it lacks becomes '?', one per character) and
    // cut to the width silently; a number is written in the general format,
    // a logical as "T"/"F". Integer (N without decimals, I, +): the text must
    // be a whole number within 32 bits, an optional sign and the digits 0-9,
    // spaces around it allowed, else "'%s' is not a valid integer value for
    // field '%s'"; a number is rounded (halves to even) and must fit 32 bits.
    // Float (N with decimals, F, O): a number, or a text in the user's
    // decimal format; it must fit the width. Empty text (or spaces) leaves
    // any field blank. A refused value leaves the field as it was.
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

// The text that a character field `width` bytes wide of a table created
// here gives back once `text` is set into it: converted to code page 1252 (a
// character it lacks becomes '?'), cut to the width, and read back as Field
// reads it (up to the first NUL, without trailing blanks).
QString StoredCharacterText(const QString& text, int width);

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
    // The file: the one open, else the existing one (letter case ignored),
    // else <directory>/<NAME>.DBF.
    QString filePath() const;

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
    // Releases the file and its lock, after writing what write-behind kept;
    // closing a closed table is fine.
    void Close();
    bool IsOpen() const;

    // Of the open table (raise when it is closed): the fields as the file
    // describes them, and the records not marked deleted.
    QList<FieldInfo> Fields() const;
    int LiveRecordCount() const;

    void First();
    void Next();
    bool Eof() const;
    // The number of the record under the cursor in the file, from 1, records
    // marked deleted counted (as dBase numbers them); 0 when there is none.
    qint64 RecordNumber() const;
    bool Locate(const QString& field, const QString& key);

    void Append();
    void Post();

    // Write-behind, for a table being built that nothing else reads yet (the
    // forward run's staging folder): Post keeps the record in memory, and the
    // records kept are written together, the header's count and date after
    // them, once about 512 KiB are kept, before First, Next or Locate, when
    // write-behind is turned off and at Close. The file is a valid table
    // after each such write. A write that fails raises there (Close too,
    // closing the table all the same) and takes back every record kept since
    // the last write; a table destroyed without Close drops them silently.
    // Off when the table is opened.
    void SetWriteBehind(bool on);

    // The field of that name, letter case ignored; "Field '%s' not found".
    Field FieldByName(const QString& field);

private:
    friend class Field;
    struct Impl;
    Impl& Opened() const;                               // raises when the table is closed
    int FieldIndex(const QString& field) const;         // raises "Field '%s' not found"
    void Settle();                                      // a pending Append: posted when a field was set, else dropped
    int Resolve(int index, const QString& name) const;  // a Field's index, checked against its name
    FieldValue ReadCurrent(int index, const QString& name) const;
    void Set(int field, const FieldInput& input);
    void WriteRecords(const QByteArray& records);  // after the last record, then the header
    void WriteGathered();                          // the records kept by write-behind

    QString directory_;
    QString name_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace puente
