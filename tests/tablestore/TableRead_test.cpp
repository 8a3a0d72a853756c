// Reading tables laid out byte by byte: values per type, code pages, level 7,
// deleted records, Locate, record counts that disagree with the file, file
// names in any letter case, and the user's decimal separator.
#include "DbfTestKit.h"

#include "common/Error.h"
#include "tablestore/Table.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include <unistd.h>

namespace puente {
namespace {

using namespace testkit;

// ---- values per type -------------------------------------------------------

struct ReadCase {
    const char* name;
    Def field;
    QByteArray stored;
    QString asString;
    std::optional<qint32> asInteger;
    std::optional<double> asFloat;
    std::optional<bool> asBoolean;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class TableReadValues : public ::testing::TestWithParam<ReadCase> {};

TEST_P(TableReadValues, GiveTextIntegerNumberAndLogical) {
    const ReadCase& c = GetParam();
    TempDir dir;
    WriteFile(dir.file("SOLUC.DBF"), Dbf3({c.field}, {Live(c.stored)}));
    Table t(dir.path(), "SOLUC");
    t.Open(OpenMode::Exclusive);
    ASSERT_FALSE(t.Eof());
    const Field f = t.FieldByName(c.field.name);
    EXPECT_EQ(f.AsString(), c.asString);
    if (c.asInteger) {
        EXPECT_EQ(f.AsInteger(), *c.asInteger);
    }
    if (c.asFloat) {
        EXPECT_DOUBLE_EQ(f.AsFloat(), *c.asFloat);
    }
    if (c.asBoolean) {
        EXPECT_EQ(f.AsBoolean(), *c.asBoolean);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableReadValues,
    ::testing::Values(
        ReadCase{"N whole", {"DIA", 'N', 5, 0}, "    3", "3", 3, 3, true},
        ReadCase{"N trailing zeros dropped", {"HORA", 'N', 5, 2}, " 2.50", "2.5", 2, 2.5, true},
        ReadCase{"N rounds halves to even up", {"HORA", 'N', 5, 2}, " 3.50", "3.5", 4, 3.5, true},
        ReadCase{"N all decimals zero", {"HORA", 'N', 5, 2}, " 1.00", "1", 1, 1, true},
        ReadCase{"N negative half", {"HORA", 'N', 5, 2}, "-0.50", "-0.5", 0, -0.5, true},
        ReadCase{"N with plus sign", {"DIA", 'N', 5, 0}, "  +4 ", "4", 4, 4, true},
        ReadCase{"N blank", {"DIA", 'N', 5, 0}, "     ", "", 0, 0, false},
        ReadCase{"N overflow stars", {"DIA", 'N', 5, 0}, "*****", "", 0, 0, false},
        ReadCase{"N blank with NULs", {"DIA", 'N', 3, 0}, QByteArray(3, '\0'), "", 0, 0, false},
        ReadCase{"N fifteen significant digits",
                 {"HORAS", 'N', 20, 4},
                 "   123456789012.3456",
                 "123456789012.346",
                 {},
                 123456789012.3456,
                 true},
        ReadCase{"N small number", {"HORAS", 'N', 10, 5}, "   0.00010", "0.0001", 0, 0.0001, true},
        ReadCase{"N smaller number in scientific form", {"HORAS", 'N', 10, 5}, "   0.00005", "5E-5", 0, 0.00005, true},
        ReadCase{"N large whole number",
                 {"VALOR", 'N', 20, 0},
                 "   99999999999999999",
                 "99999999999999999",
                 {},
                 99999999999999999.0,
                 true},
        ReadCase{"F", {"HORAS", 'F', 10, 3}, "  1234.500", "1234.5", 1234, 1234.5, true},
        ReadCase{"F with exponent", {"HORAS", 'F', 10, 0}, "     1.5e3", "1500", 1500, 1500, true},
        ReadCase{"L T", {"ESTAREA", 'L', 1, 0}, "T", "T", 1, 1, true},
        ReadCase{"L t", {"ESTAREA", 'L', 1, 0}, "t", "T", 1, 1, true},
        ReadCase{"L Y", {"ESTAREA", 'L', 1, 0}, "Y", "T", 1, 1, true},
        ReadCase{"L y", {"ESTAREA", 'L', 1, 0}, "y", "T", 1, 1, true},
        ReadCase{"L F", {"ESTAREA", 'L', 1, 0}, "F", "F", 0, 0, false},
        ReadCase{"L f", {"ESTAREA", 'L', 1, 0}, "f", "F", 0, 0, false},
        ReadCase{"L N", {"ESTAREA", 'L', 1, 0}, "N", "F", 0, 0, false},
        ReadCase{"L n", {"ESTAREA", 'L', 1, 0}, "n", "F", 0, 0, false},
        ReadCase{"L question mark", {"ESTAREA", 'L', 1, 0}, "?", "", 0, 0, false},
        ReadCase{"L blank", {"ESTAREA", 'L', 1, 0}, " ", "", 0, 0, false},
        ReadCase{"D", {"FECHA", 'D', 8, 0}, "20260315", "20260315", {}, {}, {}},
        ReadCase{"D blank", {"FECHA", 'D', 8, 0}, "        ", "", 0, 0, false},
        ReadCase{"D zeros", {"FECHA", 'D', 8, 0}, "00000000", "", 0, 0, false},
        ReadCase{"C trailing NULs dropped", {"AULA", 'C', 6, 0}, QByteArray("A1\0\0\0\0", 6), "A1", {}, {}, {}},
        ReadCase{"C ends at the first NUL", {"AULA", 'C', 8, 0}, QByteArray("A1\0B2 XY", 8), "A1", {}, {}, {}},
        ReadCase{"C a NUL first is empty", {"AULA", 'C', 6, 0}, QByteArray("\0A1   ", 6), "", {}, {}, {}},
        ReadCase{"C blanks before the NULs dropped", {"AULA", 'C', 6, 0}, QByteArray("A 1 \0\0", 6), "A 1", {}, {}, {}},
        ReadCase{"C NUL then blanks", {"AULA", 'C', 6, 0}, QByteArray("12\0   ", 6), "12", 12, 12, {}},
        ReadCase{"C number as integer", {"AULA", 'C', 6, 0}, "  12  ", "  12", 12, 12, false},
        ReadCase{"C S as logical", {"AULA", 'C', 3, 0}, "Si ", "Si", {}, {}, true},
        ReadCase{"M skipped", {"NOTAS", 'M', 10, 0}, "        12", "", 0, 0, false},
        ReadCase{"B skipped", {"DATOS", 'B', 10, 0}, "         3", "", 0, 0, false},
        ReadCase{"G skipped", {"OLE", 'G', 10, 0}, "         4", "", 0, 0, false}),
    CaseNamer());

// ---- values that cannot be read ----------------------------------------------

struct BadValueCase {
    const char* name;
    Def field;
    QByteArray stored;
    std::function<void(const Field&)> read;
    QString message;  // %1: the file
};

void PrintTo(const BadValueCase& c, std::ostream* os) { *os << c.name; }

class TableBadValues : public ::testing::TestWithParam<BadValueCase> {};

TEST_P(TableBadValues, RaiseExactMessage) {
    const BadValueCase& c = GetParam();
    TempDir dir;
    WriteFile(dir.file("SOLUC.DBF"), Dbf3({c.field}, {Live(c.stored)}));
    Table t(dir.path(), "SOLUC");
    t.Open();
    const Field f = t.FieldByName(c.field.name);
    EXPECT_EQ(ErrorOf([&] { c.read(f); }), c.message.arg(QDir::toNativeSeparators(dir.file("SOLUC.DBF"))));
}

const auto kAsString = [](const Field& f) { f.AsString(); };
const auto kAsInteger = [](const Field& f) { f.AsInteger(); };
const auto kAsFloat = [](const Field& f) { f.AsFloat(); };

INSTANTIATE_TEST_SUITE_P(
    Cases, TableBadValues,
    ::testing::Values(
        BadValueCase{"N letters",
                     {"DIA", 'N', 5, 0},
                     "  x1 ",
                     kAsString,
                     QStringLiteral("El campo 'DIA' del registro 1 de la tabla '%1' no tiene un valor válido de tipo "
                                    "N: '  x1 '")},
        BadValueCase{"N with a letter of the table's code page",
                     {"DIA", 'N', 5, 0},
                     "  1\x80 ",
                     kAsString,
                     QStringLiteral("El campo 'DIA' del registro 1 de la tabla '%1' no tiene un valor válido de tipo "
                                    "N: '  1€ '")},
        BadValueCase{"N two points",
                     {"HORA", 'N', 5, 2},
                     "1.2.3",
                     kAsFloat,
                     QStringLiteral("El campo 'HORA' del registro 1 de la tabla '%1' no tiene un valor válido de tipo "
                                    "N: '1.2.3'")},
        BadValueCase{"N inner space",
                     {"DIA", 'N', 5, 0},
                     " 1 2 ",
                     kAsInteger,
                     QStringLiteral("El campo 'DIA' del registro 1 de la tabla '%1' no tiene un valor válido de tipo "
                                    "N: ' 1 2 '")},
        BadValueCase{"L other letter",
                     {"ESTAREA", 'L', 1, 0},
                     "X",
                     kAsString,
                     QStringLiteral("El campo 'ESTAREA' del registro 1 de la tabla '%1' no tiene un valor válido de "
                                    "tipo L: 'X'")},
        BadValueCase{"D impossible date",
                     {"FECHA", 'D', 8, 0},
                     "20261345",
                     kAsString,
                     QStringLiteral("El campo 'FECHA' del registro 1 de la tabla '%1' no tiene un valor válido de "
                                    "tipo D: '20261345'")},
        BadValueCase{"N beyond 32 bits as integer",
                     {"VALOR", 'N', 12, 0},
                     "  3000000000",
                     kAsInteger,
                     QStringLiteral("'3000000000' is not a valid integer value for field 'VALOR'")},
        BadValueCase{"C words as integer",
                     {"AULA", 'C', 6, 0},
                     "Aula 1",
                     kAsInteger,
                     QStringLiteral("'Aula 1' is not a valid integer value for field 'AULA'")},
        BadValueCase{"C words as number",
                     {"AULA", 'C', 6, 0},
                     "Aula 1",
                     kAsFloat,
                     QStringLiteral("'Aula 1' no es un número válido para el campo 'AULA'")},
        BadValueCase{"D as integer",
                     {"FECHA", 'D', 8, 0},
                     "20260315",
                     kAsInteger,
                     QStringLiteral("'20260315' is not a valid integer value for field 'FECHA'")}),
    CaseNamer());

// ---- code pages --------------------------------------------------------------

struct CodePageCase {
    const char* name;
    unsigned char ldid;
    QByteArray level7Name;  // empty: a dBase III file
    QString text;           // of the bytes A4 A5 82 E9 80
};

void PrintTo(const CodePageCase& c, std::ostream* os) { *os << c.name; }

class TableCodePages : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(TableCodePages, DecodeCharacterFields) {
    const CodePageCase& c = GetParam();
    TempDir dir;
    const QByteArray bytes = Hex("A4 A5 82 E9 80");
    const QByteArray file = c.level7Name.isEmpty() ? Dbf3({{"NOMBRE", 'C', 5}}, {Live(bytes)}, c.ldid)
                                                   : Dbf7({{"NOMBRE", 'C', 5}}, {Live(bytes)}, c.level7Name);
    WriteFile(dir.file("PROFT.DBF"), file);
    Table t(dir.path(), "PROFT");
    t.Open();
    EXPECT_EQ(t.FieldByName("NOMBRE").AsString(), c.text);
}

const QString k1252 = QStringLiteral("¤¥‚é€");
const QString k437 = QStringLiteral("ñÑéΘÇ");
const QString k850 = QStringLiteral("ñÑéÚÇ");

INSTANTIATE_TEST_SUITE_P(
    Cases, TableCodePages,
    ::testing::Values(CodePageCase{"ldid 01 cp437", 0x01, {}, k437}, CodePageCase{"ldid 02 cp850", 0x02, {}, k850},
                      CodePageCase{"ldid 03 cp1252", 0x03, {}, k1252}, CodePageCase{"ldid 14 cp850", 0x14, {}, k850},
                      CodePageCase{"ldid 18 cp437", 0x18, {}, k437}, CodePageCase{"ldid 57 cp1252", 0x57, {}, k1252},
                      CodePageCase{"ldid 58 cp1252", 0x58, {}, k1252}, CodePageCase{"ldid 59 cp1252", 0x59, {}, k1252},
                      CodePageCase{"ldid 64 cp852", 0x64, {}, QStringLiteral("ĄąéÚÇ")},
                      CodePageCase{"ldid 65 cp866", 0x65, {}, QStringLiteral("деВщА")},
                      CodePageCase{"ldid C8 cp1250", 0xC8, {}, QStringLiteral("¤Ą‚é€")},
                      CodePageCase{"ldid C9 cp1251", 0xC9, {}, QStringLiteral("¤Ґ‚йЂ")},
                      CodePageCase{"ldid 00 defaults to cp1252", 0x00, {}, k1252},
                      CodePageCase{"unknown ldid defaults to cp1252", 0x7B, {}, k1252},
                      CodePageCase{"level 7 DBWINUS0", 0, "DBWINUS0", k1252},
                      CodePageCase{"level 7 DBWINES0", 0, "DBWINES0", k1252},
                      CodePageCase{"level 7 DB850ES0", 0, "DB850ES0", k850},
                      CodePageCase{"level 7 DB437US0", 0, "DB437US0", k437},
                      CodePageCase{"level 7 DB866RU0", 0, "DB866RU0", QStringLiteral("деВщА")},
                      CodePageCase{"level 7 no name", 0, QByteArray(1, '\0'), k1252}),
    CaseNamer());

TEST(TableCodePagesWrite, TextIsWrittenInTheTablesCodePage) {
    TempDir dir;
    WriteFile(dir.file("PROFT.DBF"), Dbf3({{"NOMBRE", 'C', 4}}, {}, 0x02));
    Table t(dir.path(), "PROFT");
    t.Open();
    t.Append();
    t.FieldByName("NOMBRE").SetAsString(QStringLiteral("Ñuño"));
    t.Post();
    t.Close();
    EXPECT_EQ(ReadFile(dir.file("PROFT.DBF")).mid(32 + 32 + 1, 5), QByteArray(" ") + Hex("A5 75 A4 6F"));
}

// ---- level 7 -----------------------------------------------------------------

const QList<Def> kLevel7Fields = {{"AULA", 'C', 6}, {"HORA", 'N', 6, 2}, {"ACTIVA", 'L', 1}, {"FECHA", 'D', 8},
                                  {"DIA", 'I', 4},  {"NUM", '+', 4},     {"HORAS", 'O', 8},  {"MARCA", '@', 8}};

QByteArray Level7Table() {
    const QByteArray properties = Hex("00 00 03 00 00 00 00 00 11 22 33 44 55 66 77 88");  // a field-properties block
    return Dbf7(kLevel7Fields,
                {Live(QByteArray("Aula 1  2.50T20260315") + Hex("80 00 00 01") + Hex("80 00 00 07") +
                      Hex("C0 45 D3 33 33 33 33 33") + Hex("42 CC 41 8B A9 9A 00 00")),
                 Deleted(QByteArray("Borrad  9.99F20260101") + Hex("80 00 00 09") + Hex("80 00 00 08") +
                         Hex("80 00 00 00 00 00 00 00") + Hex("00 00 00 00 00 00 00 00")),
                 Live(QByteArray(21, ' ') + Hex("7F FF FF FF") + Hex("80 00 00 0A") + Hex("3F 97 00 51 EB 85 1E B7") +
                      Hex("00 00 00 00 00 00 00 00")),
                 Live(QByteArray("Aula 3  0.00F        ") + Hex("80 00 00 00") + Hex("00 00 00 00") +
                      Hex("80 00 00 00 00 00 00 00") + Hex("00 00 00 00 00 00 00 00"))},
                "DBWINES0", properties);
}

TEST(TableLevel7, ReadsEveryTypeFromItsBytes) {
    TempDir dir;
    WriteFile(dir.file("SOLUC.DBF"), Level7Table());
    Table t(dir.path(), "SOLUC");
    t.Open();
    ASSERT_EQ(t.Fields().size(), kLevel7Fields.size());
    EXPECT_EQ(t.Fields().at(6).name, "HORAS");
    EXPECT_EQ(t.Fields().at(6).type, 'O');
    const QStringList names = {"AULA", "HORA", "ACTIVA", "FECHA", "DIA", "NUM", "HORAS", "MARCA"};
    const QList<QStringList> expected = {
        {"Aula 1", "2.5", "T", "20260315", "1", "7", "43.65", "19700101 00:00:00"},
        {"", "", "", "", "-1", "10", "-199.99", ""},
        {"Aula 3", "0", "F", "", "0", "", "0", ""},
    };
    QList<QStringList> seen;
    for (t.First(); !t.Eof(); t.Next()) {
        QStringList row;
        for (const QString& name : names) row << t.FieldByName(name).AsString();
        seen << row;
    }
    EXPECT_EQ(seen, expected);
    ASSERT_TRUE(t.Locate("DIA", "-1"));
    EXPECT_EQ(t.FieldByName("DIA").AsInteger(), -1);
    EXPECT_DOUBLE_EQ(t.FieldByName("HORAS").AsFloat(), -199.99);
    EXPECT_EQ(t.FieldByName("HORAS").AsInteger(), -200);
    EXPECT_EQ(t.FieldByName("MARCA").AsInteger(), 0) << "blank timestamp";
}

TEST(TableLevel7, WritesBinaryTypesAsDbase7Does) {
    TempDir dir;
    WriteFile(dir.file("SOLUC.DBF"), Dbf7(kLevel7Fields, {}, "DBWINUS0"));
    Table t(dir.path(), "SOLUC");
    t.Open();
    t.Append();
    t.FieldByName("DIA").SetAsString("-1");
    t.FieldByName("NUM").SetAsFloat(7);
    t.FieldByName("HORAS").SetAsFloat(43.65);
    t.FieldByName("MARCA").SetAsString("19700101 00:00:00");
    t.Post();
    t.Append();
    t.FieldByName("HORAS").SetAsString("-199.99");
    t.FieldByName("DIA").SetAsString("0");
    t.Post();
    t.Close();
    const QByteArray b = ReadFile(dir.file("SOLUC.DBF"));
    const int first = 68 + 48 * 8 + 1;
    const int length = 1 + 6 + 6 + 1 + 8 + 4 + 4 + 8 + 8;
    EXPECT_EQ(b.mid(first, length), QByteArray(" ") + QByteArray(21, ' ') + Hex("7F FF FF FF") + Hex("80 00 00 07") +
                                        Hex("C0 45 D3 33 33 33 33 33") + Hex("42 CC 41 8B A9 9A 00 00"));
    EXPECT_EQ(b.mid(first + length + 22, 24), Hex("80 00 00 00") + Hex("00 00 00 00") + Hex("3F 97 00 51 EB 85 1E B7") +
                                                  Hex("00 00 00 00 00 00 00 00"));
}

// ---- deleted records ---------------------------------------------------------

struct DeletedCase {
    const char* name;
    QByteArray flags;  // one per record: ' ' live, '*' deleted; record i holds code "R<i>"
    QStringList walk;  // codes that First/Next/Eof give
};

void PrintTo(const DeletedCase& c, std::ostream* os) { *os << c.name; }

class TableDeletedRecords : public ::testing::TestWithParam<DeletedCase> {};

TEST_P(TableDeletedRecords, AreNeverSeen) {
    const DeletedCase& c = GetParam();
    QList<QByteArray> records;
    for (int i = 0; i < c.flags.size(); ++i) records << c.flags.at(i) + QStringLiteral("R%1").arg(i).toLatin1() + "X";
    TempDir dir;
    WriteFile(dir.file("SOLUC.DBF"), Dbf3({{"COD", 'C', 2}, {"ASIG", 'C', 1}}, records));
    Table t(dir.path(), "SOLUC");
    t.Open();
    QStringList walk;
    for (t.First(); !t.Eof(); t.Next()) {
        walk << t.FieldByName("COD").AsString();
        EXPECT_EQ(t.RecordNumber(), walk.last().mid(1).toInt() + 1) << "numbered in the file, deleted ones counted";
    }
    EXPECT_EQ(walk, c.walk);
    EXPECT_EQ(t.LiveRecordCount(), c.walk.size());
    for (int i = 0; i < c.flags.size(); ++i) {
        const QString code = QStringLiteral("R%1").arg(i);
        EXPECT_EQ(t.Locate("COD", code), c.walk.contains(code)) << code.toStdString();
    }
    // Locate on a value that every record holds finds the first live one.
    if (c.walk.isEmpty()) {
        EXPECT_FALSE(t.Locate("ASIG", "X"));
    } else {
        ASSERT_TRUE(t.Locate("ASIG", "X"));
        EXPECT_EQ(t.FieldByName("COD").AsString(), c.walk.first());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TableDeletedRecords,
                         ::testing::Values(DeletedCase{"none deleted", "   ", {"R0", "R1", "R2"}},
                                           DeletedCase{"first deleted", "*  ", {"R1", "R2"}},
                                           DeletedCase{"middle deleted", " * ", {"R0", "R2"}},
                                           DeletedCase{"last deleted", "  *", {"R0", "R1"}},
                                           DeletedCase{"every other", "* * *", {"R1", "R3"}},
                                           DeletedCase{"all deleted", "***", {}}, DeletedCase{"no records", "", {}}),
                         CaseNamer());

// ---- Locate --------------------------------------------------------------------

struct LocateCase {
    const char* name;
    const char* field;
    QString key;
    QString found;  // ID of the record found; empty: not found
};

void PrintTo(const LocateCase& c, std::ostream* os) { *os << c.name; }

class TableLocate : public ::testing::TestWithParam<LocateCase> {};

TEST_P(TableLocate, FindsFirstExactMatchInStoredOrder) {
    const LocateCase& c = GetParam();
    TempDir dir;
    WriteFile(
        dir.file("ASIGNOMT.DBF"),
        Dbf3({{"ID", 'C', 2}, {"COD", 'C', 5}, {"DIA", 'N', 3}},
             {Live("1 MAT    1"), Live("2 mat    2"), Live("3  MAT   3"), Live("4 LEN    1"), Live("5 MAT    3"),
              Live("6         "), Deleted("7 FIS    4"), Live("8 FIS    4"), Live(QByteArray("9 QUI\0Z  5", 10))}));
    Table t(dir.path(), "ASIGNOMT");
    t.Open();
    t.Locate("ID", "4");  // somewhere in the middle
    EXPECT_EQ(t.Locate(c.field, c.key), !c.found.isEmpty());
    EXPECT_EQ(t.FieldByName("ID").AsString(), c.found.isEmpty() ? QStringLiteral("4") : c.found)
        << "not found: the cursor stays where it was";
    EXPECT_FALSE(t.Eof());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableLocate,
    ::testing::Values(
        LocateCase{"first of three", "COD", "MAT", "1"}, LocateCase{"letter case counts", "COD", "mat", "2"},
        LocateCase{"leading space counts", "COD", " MAT", "3"}, LocateCase{"mixed case not found", "COD", "Mat", ""},
        LocateCase{"trailing space not found", "COD", "MAT ", ""}, LocateCase{"part not found", "COD", "MA", ""},
        LocateCase{"empty key finds the blank", "COD", "", "6"}, LocateCase{"deleted passed over", "COD", "FIS", "8"},
        LocateCase{"number as text", "DIA", "3", "3"}, LocateCase{"number with padding not found", "DIA", "  3", ""},
        LocateCase{"blank number is empty text", "DIA", "", "6"},
        LocateCase{"field name in any case", "cod", "LEN", "4"},
        LocateCase{"a value ends at its NUL", "COD", "QUI", "9"}, LocateCase{"nothing after the NUL", "COD", "Z", ""}),
    CaseNamer());

// ---- record counts and cursor --------------------------------------------------

TEST(TableRecordCount, LargerThanTheFileGivesTheCompleteRecords) {
    TempDir dir;
    QByteArray file = Dbf3({{"COD", 'C', 3}}, {Live("AAA"), Live("BBB"), Live("CCC")}, 0x58, 0x03, 5);
    file.chop(1);   // no end marker
    file += " DD";  // and a record cut short
    WriteFile(dir.file("SOLUC.DBF"), file);
    Table t(dir.path(), "SOLUC");
    t.Open();
    QStringList walk;
    for (t.First(); !t.Eof(); t.Next()) walk << t.FieldByName("COD").AsString();
    EXPECT_EQ(walk, (QStringList{"AAA", "BBB", "CCC"}));
    EXPECT_EQ(t.LiveRecordCount(), 3);
    EXPECT_FALSE(t.Locate("COD", "DD"));
}

TEST(TableRecordCount, SmallerThanTheFileIsObeyed) {
    TempDir dir;
    WriteFile(dir.file("SOLUC.DBF"), Dbf3({{"COD", 'C', 3}}, {Live("AAA"), Live("BBB"), Live("CCC")}, 0x58, 0x03, 2));
    Table t(dir.path(), "SOLUC");
    t.Open();
    EXPECT_EQ(t.LiveRecordCount(), 2);
    EXPECT_FALSE(t.Locate("COD", "CCC"));
}

TEST(TableCursor, NextAtTheEndStaysOnTheLastRecord) {
    TempDir dir;
    WriteFile(dir.file("SOLUC.DBF"), Dbf3({{"COD", 'C', 3}}, {Live("AAA"), Live("BBB"), Deleted("CCC")}));
    Table t(dir.path(), "SOLUC");
    t.Open();
    EXPECT_EQ(t.FieldByName("COD").AsString(), "AAA") << "Open moves to the first record";
    t.Next();
    t.Next();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.FieldByName("COD").AsString(), "BBB");
    t.Next();
    EXPECT_TRUE(t.Eof());
    t.First();
    EXPECT_FALSE(t.Eof());
    EXPECT_EQ(t.FieldByName("COD").AsString(), "AAA");
}

TEST(TableCursor, EmptyTableIsAtEofWithBlankFields) {
    TempDir dir;
    WriteFile(dir.file("SOLUC.DBF"), Dbf3({{"COD", 'C', 3}, {"DIA", 'N', 2}}, {}));
    Table t(dir.path(), "SOLUC");
    t.Open();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.FieldByName("COD").AsString(), "");
    EXPECT_EQ(t.FieldByName("DIA").AsInteger(), 0);
    EXPECT_FALSE(t.Locate("COD", ""));
}

// ---- files -----------------------------------------------------------------------

TEST(TableFiles, FoundWhateverTheLetterCaseOfTheirName) {
    TempDir dir;
    WriteFile(dir.file("soluc.dbf"), Dbf3({{"COD", 'C', 3}}, {Live("AAA")}));
    Table t(dir.path(), "SOLUC");
    EXPECT_EQ(t.filePath(), dir.file("soluc.dbf"));
    t.Open();
    EXPECT_EQ(t.FieldByName("COD").AsString(), "AAA");
    EXPECT_EQ(t.filePath(), dir.file("soluc.dbf"));
}

TEST(TableFiles, MissingTableIsNamed) {
    TempDir dir;
    Table t(dir.path(), "SOLUC");
    EXPECT_EQ(ErrorOf([&] { t.Open(); }),
              QStringLiteral("No existe la tabla 'SOLUC' (%1)").arg(QDir::toNativeSeparators(dir.file("SOLUC.DBF"))));
    EXPECT_FALSE(t.IsOpen());
    Table inMissingDirectory(dir.file("no-existe"), "SOLUC");
    EXPECT_EQ(ErrorOf([&] { inMissingDirectory.Open(); }),
              QStringLiteral("No existe la tabla 'SOLUC' (%1)")
                  .arg(QDir::toNativeSeparators(dir.file("no-existe/SOLUC.DBF"))));
}

// ---- the user's decimal separator ------------------------------------------------

// Runs in a child process started with a Spanish locale (see below).
TEST(SpanishLocaleChild, NumbersUseTheUserDecimalSeparator) {
    if (qEnvironmentVariableIsEmpty("PUENTE_TABLESTORE_SPANISH_CHILD")) GTEST_SKIP() << "run by TableLocale";
    TempDir dir;
    WriteFile(dir.file("SOLUC.DBF"),
              Dbf3({{"HORA", 'N', 5, 2}, {"HORAS", 'N', 20, 4}}, {Live(" 2.50" + QByteArray(20, ' '))}));
    Table t(dir.path(), "SOLUC");
    t.Open();
    EXPECT_EQ(t.FieldByName("HORA").AsString(), "2,5");
    EXPECT_TRUE(t.Locate("HORA", "2,5"));
    t.Append();
    t.FieldByName("HORAS").SetAsString("1,25");
    EXPECT_EQ(t.FieldByName("HORAS").AsString(), "1,25");
    EXPECT_EQ(ErrorOf([&] { t.FieldByName("HORAS").SetAsString("1.25"); }),
              QStringLiteral("'1.25' no es un número válido para el campo 'HORAS'"));
    t.Post();
    t.Close();
    EXPECT_EQ(ReadFile(dir.file("SOLUC.DBF")).mid(32 + 64 + 1 + 26, 26), QByteArray(6, ' ') + "              1.2500");
}

TEST(TableLocale, NumbersUseTheUserDecimalSeparator) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "es_ES.UTF-8");
    env.insert("PUENTE_TABLESTORE_SPANISH_CHILD", "1");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget(),
                {QStringLiteral("--gtest_filter=SpanishLocaleChild.*")});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromUtf8(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

}  // namespace
}  // namespace puente
