// Writing tables: the header bytes, values round trips per field kind, the
// refusals with their exact messages, replacing tables, pending appends and
// write failures.
#include "DbfTestKit.h"

#include "common/Error.h"
#include "platform/Signals.h"
#include "support/ChildProcess.h"
#include "tablestore/Table.h"

#include <QDate>
#include <QDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>

namespace puente {
namespace {

using namespace testkit;

int U8(const QByteArray& b, int at) { return static_cast<unsigned char>(b.at(at)); }
int U16(const QByteArray& b, int at) { return U8(b, at) | (U8(b, at + 1) << 8); }
qint64 U32(const QByteArray& b, int at) { return U16(b, at) | (qint64(U16(b, at + 2)) << 16); }

const QList<FieldSpec> kAulat = {
    {"ABREV", FieldKind::Character, 10}, {"NOMBRE", FieldKind::Character, 30}, {"MAXALUM", FieldKind::Integer},
    {"HORAS", FieldKind::Float},         {"ESTAREA", FieldKind::Logical},
};

TEST(TableHeader, IsDbase3WithEveryByteInPlace) {
    TempDir dir;
    Table t(dir.path(), "AULAT");
    t.CreateTable(kAulat);
    t.Open();
    for (const char* abrev : {"A101", "A102"}) {
        t.Append();
        t.FieldByName("ABREV").SetAsString(abrev);
        t.FieldByName("MAXALUM").SetAsString("25");
        t.FieldByName("HORAS").SetAsFloat(2.5);
        t.FieldByName("ESTAREA").SetAsBoolean(true);
        t.Post();
    }
    t.Close();
    const QDate today = QDate::currentDate();
    const QByteArray b = ReadFile(dir.file("AULAT.DBF"));
    const int headerLength = 32 + 32 * 5 + 1;
    const int recordLength = 1 + 10 + 30 + 11 + 20 + 1;
    ASSERT_EQ(b.size(), headerLength + 2 * recordLength + 1);
    EXPECT_EQ(U8(b, 0), 0x03) << "version";
    EXPECT_EQ(U8(b, 1), today.year() - 1900) << "year";
    EXPECT_EQ(U8(b, 2), today.month());
    EXPECT_EQ(U8(b, 3), today.day());
    EXPECT_EQ(U32(b, 4), 2) << "record count";
    EXPECT_EQ(U16(b, 8), headerLength);
    EXPECT_EQ(U16(b, 10), recordLength);
    EXPECT_EQ(b.mid(12, 16), QByteArray(16, '\0')) << "reserved, flags, multi-user";
    EXPECT_EQ(U8(b, 28), 0) << "production index flag";
    EXPECT_EQ(U8(b, 29), 0x58) << "language driver";
    EXPECT_EQ(b.mid(30, 2), QByteArray(2, '\0'));
    struct Descriptor {
        QByteArray name;
        char type;
        int width;
        int decimals;
    };
    const QList<Descriptor> expected = {{"ABREV", 'C', 10, 0},
                                        {"NOMBRE", 'C', 30, 0},
                                        {"MAXALUM", 'N', 11, 0},
                                        {"HORAS", 'N', 20, 4},
                                        {"ESTAREA", 'L', 1, 0}};
    for (int i = 0; i < expected.size(); ++i) {
        const QByteArray d = b.mid(32 + 32 * i, 32);
        const Descriptor& e = expected[i];
        EXPECT_EQ(d.left(11), e.name + QByteArray(11 - e.name.size(), '\0')) << e.name.constData();
        EXPECT_EQ(d.at(11), e.type) << e.name.constData();
        EXPECT_EQ(d.mid(12, 4), QByteArray(4, '\0')) << e.name.constData();
        EXPECT_EQ(U8(d, 16), e.width) << e.name.constData();
        EXPECT_EQ(U8(d, 17), e.decimals) << e.name.constData();
        EXPECT_EQ(d.mid(18), QByteArray(14, '\0')) << e.name.constData();
    }
    EXPECT_EQ(U8(b, headerLength - 1), 0x0D);
    const QByteArray record =
        QByteArray(" A101      ") + QByteArray(30, ' ') + "         25" + "              2.5000" + "T";
    EXPECT_EQ(b.mid(headerLength, recordLength), record);
    EXPECT_EQ(U8(b, b.size() - 1), 0x1A);
}

TEST(TableHeader, EmptyTableIsHeaderAndEndMarker) {
    TempDir dir;
    Table t(dir.path(), "DIASHORAST");
    t.CreateTable({{"DIA", FieldKind::Integer}});
    const QByteArray b = ReadFile(dir.file("DIASHORAST.DBF"));
    ASSERT_EQ(b.size(), 32 + 32 + 1 + 1);
    EXPECT_EQ(U32(b, 4), 0);
    EXPECT_EQ(U8(b, 64), 0x0D);
    EXPECT_EQ(U8(b, 65), 0x1A);
}

// ---- values ----------------------------------------------------------------

struct ValueCase {
    const char* name;
    FieldSpec wanted;
    std::function<void(Field)> set;  // nothing: the field is left as Append made it
    QByteArray stored;
    QString asString;
    std::optional<qint32> asInteger;
    std::optional<double> asFloat;
    std::optional<bool> asBoolean;
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.name; }

std::function<void(Field)> Text(const QString& s) {
    return [s](Field f) { f.SetAsString(s); };
}
std::function<void(Field)> Number(double v) {
    return [v](Field f) { f.SetAsFloat(v); };
}
std::function<void(Field)> Logical(bool v) {
    return [v](Field f) { f.SetAsBoolean(v); };
}

class TableValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(TableValues, StoreAndReadBack) {
    const ValueCase& c = GetParam();
    TempDir dir;
    Table t(dir.path(), "VALORES");
    t.CreateTable({c.wanted});
    t.Open();
    t.Append();
    if (c.set) c.set(t.FieldByName(c.wanted.name));
    t.Post();
    t.Close();

    const QByteArray file = ReadFile(dir.file("VALORES.DBF"));
    EXPECT_EQ(file.mid(32 + 32 + 1 + 1, c.stored.size()), c.stored);
    t.Open();
    ASSERT_FALSE(t.Eof());
    const Field f = t.FieldByName(c.wanted.name);
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

const FieldSpec kInt{"MAXALUM", FieldKind::Integer};
const FieldSpec kFloat{"HORAS", FieldKind::Float};
const FieldSpec kLogical{"ESTAREA", FieldKind::Logical};
FieldSpec Chars(int width) { return {"NOMBRE", FieldKind::Character, width}; }

INSTANTIATE_TEST_SUITE_P(
    Cases, TableValues,
    ::testing::Values(
        ValueCase{"text padded", Chars(6), Text("12"), "12    ", "12", 12, 12, false},
        ValueCase{"text cut to the width", Chars(4), Text("ABCDEFG"), "ABCD", "ABCD", {}, {}, {}},
        ValueCase{"leading spaces kept, trailing dropped", Chars(8), Text("  AB  "), "  AB    ", "  AB", {}, {}, {}},
        ValueCase{"empty text", Chars(5), Text(""), "     ", "", 0, 0, false},
        ValueCase{"text never set", Chars(3), nullptr, "   ", "", 0, 0, false},
        ValueCase{"Spanish letters in 1252",
                  Chars(18),
                  Text(QStringLiteral("áéíóúñüÁÉÍÓÚÑÜ¿¡ºª")),
                  Hex("E1 E9 ED F3 FA F1 FC C1 C9 CD D3 DA D1 DC BF A1 BA AA"),
                  QStringLiteral("áéíóúñüÁÉÍÓÚÑÜ¿¡ºª"),
                  {},
                  {},
                  {}},
        ValueCase{
            "euro sign", Chars(3), Text(QStringLiteral("€ 5")), Hex("80 20 35"), QStringLiteral("€ 5"), {}, {}, {}},
        ValueCase{"letters 1252 lacks",
                  Chars(4),
                  Text(QStringLiteral("Łódź")),
                  Hex("3F F3 64 3F"),
                  QStringLiteral("?ód?"),
                  {},
                  {},
                  {}},
        ValueCase{"ideographs", Chars(2), Text(QStringLiteral("漢字")), "??", "??", {}, {}, {}},
        ValueCase{"character outside 16 bits is one ?", Chars(2), Text(QStringLiteral("😀x")), "?x", "?x", {}, {}, {}},
        ValueCase{"byte 1252 leaves undefined", Chars(1), Text(QString(QChar(0x81))), "?", "?", {}, {}, {}},
        ValueCase{"text cut after encoding",
                  Chars(3),
                  Text(QStringLiteral("ñandú")),
                  Hex("F1 61 6E"),
                  QStringLiteral("ñan"),
                  {},
                  {},
                  {}},
        ValueCase{"logical into text", Chars(5), Logical(true), "T    ", "T", {}, {}, true},
        ValueCase{"number into text", Chars(6), Number(2.5), "2.5   ", "2.5", {}, 2.5, {}},
        ValueCase{"integer", kInt, Text("25"), "         25", "25", 25, 25, true},
        ValueCase{"integer lowest", kInt, Text("-2147483648"), "-2147483648", "-2147483648",
                  std::numeric_limits<qint32>::min(), -2147483648.0, true},
        ValueCase{"integer highest", kInt, Text("2147483647"), " 2147483647", "2147483647",
                  std::numeric_limits<qint32>::max(), 2147483647.0, true},
        ValueCase{"integer with plus sign", kInt, Text("+7"), "          7", "7", 7, 7, true},
        ValueCase{"integer with leading zeros", kInt, Text("007"), "          7", "7", 7, 7, true},
        ValueCase{"integer with surrounding spaces", kInt, Text(" 42 "), "         42", "42", 42, 42, true},
        ValueCase{"integer zero", kInt, Text("0"), "          0", "0", 0, 0, false},
        ValueCase{"integer from empty text", kInt, Text(""), QByteArray(11, ' '), "", 0, 0, false},
        ValueCase{"integer never set", kInt, nullptr, QByteArray(11, ' '), "", 0, 0, false},
        ValueCase{"integer from number, half to even", kInt, Number(2.5), "          2", "2", 2, 2, true},
        ValueCase{"float", kFloat, Number(2.5), "              2.5000", "2.5", 2, 2.5, true},
        ValueCase{"float half rounds to even up", kFloat, Number(3.5), "              3.5000", "3.5", 4, 3.5, true},
        ValueCase{"float negative", kFloat, Number(-0.125), "             -0.1250", "-0.125", 0, -0.125, true},
        ValueCase{"float from text", kFloat, Text("1.75"), "              1.7500", "1.75", 2, 1.75, true},
        ValueCase{"float large", kFloat, Number(1234567890.1234), "     1234567890.1234", "1234567890.1234", 1234567890,
                  1234567890.1234, true},
        ValueCase{"float zero", kFloat, Number(0), "              0.0000", "0", 0, 0, false},
        ValueCase{"float negative zero", kFloat, Number(-0.0), "              0.0000", "0", 0, 0, false},
        ValueCase{"float from a 32-bit float", kFloat, Number(double(0.1f)), "              0.1000", "0.1", 0, 0.1,
                  true},
        ValueCase{"float more decimals than the field", kFloat, Number(1.23456), "              1.2346", "1.2346", 1,
                  1.2346, true},
        ValueCase{"float from empty text", kFloat, Text(""), QByteArray(20, ' '), "", 0, 0, false},
        ValueCase{"logical true", kLogical, Logical(true), "T", "T", 1, 1, true},
        ValueCase{"logical false", kLogical, Logical(false), "F", "F", 0, 0, false},
        ValueCase{"logical never set", kLogical, nullptr, " ", "", 0, 0, false},
        ValueCase{"logical from text S", kLogical, Text("S"), "T", "T", 1, 1, true},
        ValueCase{"logical from text n", kLogical, Text("n"), "F", "F", 0, 0, false},
        ValueCase{"logical from empty text", kLogical, Text(""), " ", "", 0, 0, false}),
    CaseNamer());

// ---- refusals ----------------------------------------------------------------

struct RefusalCase {
    const char* name;
    std::function<void(Table&)> call;  // on the open AULAT table after Append
    QString message;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class TableRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(TableRefusals, RaiseExactMessage) {
    const RefusalCase& c = GetParam();
    TempDir dir;
    Table t(dir.path(), "AULAT");
    t.CreateTable(kAulat);
    t.Open();
    t.Append();
    EXPECT_EQ(ErrorOf([&] { c.call(t); }), c.message);
}

std::function<void(Table&)> SetText(const char* field, const QString& value) {
    return [field, value](Table& t) { t.FieldByName(field).SetAsString(value); };
}
std::function<void(Table&)> SetNumber(const char* field, double value) {
    return [field, value](Table& t) { t.FieldByName(field).SetAsFloat(value); };
}
QString NotInteger(const char* text) {
    return QStringLiteral("'%1' is not a valid integer value for field 'MAXALUM'").arg(QString::fromUtf8(text));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableRefusals,
    ::testing::Values(
        RefusalCase{"integer with words", SetText("MAXALUM", "25 alumnos"), NotInteger("25 alumnos")},
        RefusalCase{"integer with decimals", SetText("MAXALUM", "24.5"), NotInteger("24.5")},
        RefusalCase{"integer above 32 bits", SetText("MAXALUM", "2147483648"), NotInteger("2147483648")},
        RefusalCase{"integer below 32 bits", SetText("MAXALUM", "-2147483649"), NotInteger("-2147483649")},
        RefusalCase{"integer of many digits", SetText("MAXALUM", "99999999999999999999"),
                    NotInteger("99999999999999999999")},
        RefusalCase{"integer letters", SetText("MAXALUM", "abc"), NotInteger("abc")},
        RefusalCase{"integer exponent", SetText("MAXALUM", "1e3"), NotInteger("1e3")},
        RefusalCase{"integer hexadecimal", SetText("MAXALUM", "0x1A"), NotInteger("0x1A")},
        RefusalCase{"integer sign only", SetText("MAXALUM", "-"), NotInteger("-")},
        RefusalCase{"integer inner space", SetText("MAXALUM", "2 5"), NotInteger("2 5")},
        RefusalCase{"integer full-width digits", SetText("MAXALUM", QStringLiteral("１２")), NotInteger("１２")},
        RefusalCase{"integer tab around", SetText("MAXALUM", "\t12"), NotInteger("\t12")},
        RefusalCase{"integer from a number too large", SetNumber("MAXALUM", 3e9), NotInteger("3000000000")},
        RefusalCase{"float with comma in C locale", SetText("HORAS", "2,5"),
                    QStringLiteral("'2,5' no es un número válido para el campo 'HORAS'")},
        RefusalCase{"float letters", SetText("HORAS", "dos"),
                    QStringLiteral("'dos' no es un número válido para el campo 'HORAS'")},
        RefusalCase{"float not a number", SetNumber("HORAS", std::nan("")),
                    QStringLiteral("'NAN' no es un número válido para el campo 'HORAS'")},
        RefusalCase{
            "float too wide", SetNumber("HORAS", 1e20),
            QStringLiteral(
                "El número 100000000000000000000.0000 no cabe en el campo 'HORAS' de la tabla 'AULAT' (ancho 20, "
                "4 decimales)")},
        RefusalCase{"logical from a number", SetNumber("ESTAREA", 1),
                    QStringLiteral("El campo 'ESTAREA' de la tabla 'AULAT' es de tipo L y no admite un número")},
        RefusalCase{"logical from other text", SetText("ESTAREA", QStringLiteral("quizá")),
                    QStringLiteral("'quizá' no es un valor lógico válido para el campo 'ESTAREA'")},
        RefusalCase{"integer from logical", [](Table& t) { t.FieldByName("MAXALUM").SetAsBoolean(true); },
                    QStringLiteral("El campo 'MAXALUM' de la tabla 'AULAT' es de tipo N y no admite un valor lógico")},
        RefusalCase{"unknown field", [](Table& t) { t.FieldByName("IDAULA"); }, "Field 'IDAULA' not found"},
        RefusalCase{"unknown field in Locate", [](Table& t) { t.Locate("IDAULA", "A1"); }, "Field 'IDAULA' not found"},
        RefusalCase{
            "set after Post",
            [](Table& t) {
                t.Post();
                t.FieldByName("ABREV").SetAsString("X");
            },
            QStringLiteral("No se puede asignar el campo 'ABREV' de la tabla 'AULAT' sin añadir antes un registro")},
        RefusalCase{"field of a closed table",
                    [](Table& t) {
                        t.Close();
                        t.FieldByName("ABREV");
                    },
                    QStringLiteral("La tabla 'AULAT' no está abierta")},
        RefusalCase{"field kept after Close",
                    [](Table& t) {
                        Field f = t.FieldByName("ABREV");
                        t.Close();
                        f.AsString();
                    },
                    QStringLiteral("La tabla 'AULAT' no está abierta")}),
    CaseNamer());

TEST(TableWrite, RefusedValueLeavesFieldAsItWas) {
    TempDir dir;
    Table t(dir.path(), "AULAT");
    t.CreateTable(kAulat);
    t.Open();
    t.Append();
    t.FieldByName("MAXALUM").SetAsString("30");
    EXPECT_NE(ErrorOf([&] { t.FieldByName("MAXALUM").SetAsString("30 alumnos"); }), "<sin error>");
    EXPECT_EQ(t.FieldByName("MAXALUM").AsInteger(), 30);
}

TEST(TableWrite, FieldNamesAreFoundWhateverTheirCase) {
    TempDir dir;
    Table t(dir.path(), "AULAT");
    t.CreateTable({{"maxAlum", FieldKind::Integer}});
    t.Open();
    EXPECT_EQ(t.Fields().at(0).name, "MAXALUM");
    t.Append();
    t.FieldByName("maxalum").SetAsString("12");
    t.Post();
    EXPECT_EQ(t.FieldByName("MaxAlum").name(), "MAXALUM");
    EXPECT_EQ(t.FieldByName("MAXALUM").AsInteger(), 12);
    EXPECT_TRUE(t.Locate("maxalum", "12"));
}

TEST(TableWrite, FieldKeptAcrossReopeningFollowsItsName) {
    TempDir dir;
    Table t(dir.path(), "AULAT");
    t.CreateTable({{"ABREV", FieldKind::Character, 4}, {"IDAULA", FieldKind::Character, 4}});
    t.Open();
    Field id = t.FieldByName("IDAULA");
    t.Close();
    t.CreateTable({{"IDAULA", FieldKind::Character, 4}});
    t.Open();
    t.Append();
    id.SetAsString("X1");
    t.Post();
    EXPECT_EQ(id.AsString(), "X1");
    t.Close();
    t.CreateTable({{"ABREV", FieldKind::Character, 4}});
    t.Open();
    EXPECT_EQ(ErrorOf([&] { id.AsString(); }), "Field 'IDAULA' not found");
}

// ---- creating --------------------------------------------------------------

struct CreateCase {
    const char* name;
    QList<FieldSpec> fields;
    QString reason;
};

void PrintTo(const CreateCase& c, std::ostream* os) { *os << c.name; }

class TableCreateRefusals : public ::testing::TestWithParam<CreateCase> {};

TEST_P(TableCreateRefusals, NameTheReason) {
    const CreateCase& c = GetParam();
    TempDir dir;
    Table t(dir.path(), "ASIGT");
    const QString path = QDir::toNativeSeparators(dir.file("ASIGT.DBF"));
    EXPECT_EQ(ErrorOf([&] { t.CreateTable(c.fields); }),
              QStringLiteral("No se puede crear la tabla 'ASIGT' (%1): %2").arg(path, c.reason));
    EXPECT_FALSE(QFile::exists(path));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableCreateRefusals,
    ::testing::Values(
        CreateCase{"no fields", {}, "no tiene campos"},
        CreateCase{
            "name starting with a digit",
            {{"1AB", FieldKind::Logical}},
            QStringLiteral(
                "el nombre de campo '1AB' no es válido (de 1 a 10 letras A-Z, cifras o _, empezando por letra)")},
        CreateCase{"name too long",
                   {{"DEMASIADOLARGO", FieldKind::Logical}},
                   QStringLiteral(
                       "el nombre de campo 'DEMASIADOLARGO' no es válido (de 1 a 10 letras A-Z, cifras o _, empezando "
                       "por letra)")},
        CreateCase{
            "name with accent",
            {{QStringLiteral("AÑO"), FieldKind::Integer}},
            QStringLiteral(
                "el nombre de campo 'AÑO' no es válido (de 1 a 10 letras A-Z, cifras o _, empezando por letra)")},
        CreateCase{"name repeated",
                   {{"abrev", FieldKind::Logical}, {"ABREV", FieldKind::Integer}},
                   QStringLiteral("el campo 'ABREV' está repetido")},
        CreateCase{"text width 0",
                   {{"ABREV", FieldKind::Character, 0}},
                   "el campo de texto 'ABREV' tiene ancho 0 (debe estar entre 1 y 254)"},
        CreateCase{"text width 255",
                   {{"ABREV", FieldKind::Character, 255}},
                   "el campo de texto 'ABREV' tiene ancho 255 (debe estar entre 1 y 254)"}));

TEST(TableCreate, ReplacesTableOfThatNameWhateverItsLetterCase) {
    TempDir dir;
    WriteFile(dir.file("proft.dbf"), Dbf3({{"VIEJO", 'C', 3}}, {Live("abc"), Live("def")}));
    Table t(dir.path(), "PROFT");
    t.CreateTable({{"ABREV", FieldKind::Character, 10}});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"proft.dbf"});
    t.Open();
    ASSERT_EQ(t.Fields().size(), 1);
    EXPECT_EQ(t.Fields().at(0).name, "ABREV");
    EXPECT_EQ(t.LiveRecordCount(), 0);
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(ReadFile(dir.file("proft.dbf")).size(), 32 + 32 + 1 + 1);
}

TEST(TableCreate, RefusedWhileOpen) {
    TempDir dir;
    Table t(dir.path(), "PROFT");
    t.CreateTable({{"ABREV", FieldKind::Character, 10}});
    t.Open();
    EXPECT_EQ(ErrorOf([&] {
                  t.CreateTable({{"ABREV", FieldKind::Character, 10}});
              }),
              QStringLiteral("No se puede crear la tabla 'PROFT' (%1): la tabla está abierta")
                  .arg(QDir::toNativeSeparators(dir.file("PROFT.DBF"))));
}

TEST(TableCreate, NameMayCarryTheExtension) {
    TempDir dir;
    Table t(dir.path(), "ASIGNOMT.DBF");
    EXPECT_EQ(t.name(), "ASIGNOMT");
    t.CreateTable({{"COD", FieldKind::Character, 5}});
    EXPECT_TRUE(QFile::exists(dir.file("ASIGNOMT.DBF")));
    EXPECT_EQ(t.filePath(), dir.file("ASIGNOMT.DBF"));
}

// ---- posting -----------------------------------------------------------------

TEST(TablePost, FileIsValidAfterEveryPost) {
    TempDir dir;
    Table t(dir.path(), "GRUPOST");
    t.CreateTable({{"ABREV", FieldKind::Character, 4}, {"MARCO", FieldKind::Integer}});
    t.Open();
    const int headerLength = 32 + 64 + 1;
    const int recordLength = 1 + 4 + 11;
    for (int n = 1; n <= 3; ++n) {
        t.Append();
        t.FieldByName("ABREV").SetAsString(QStringLiteral("G%1").arg(n));
        t.Post();
        const QByteArray b = ReadFile(dir.file("GRUPOST.DBF"));
        ASSERT_EQ(b.size(), headerLength + n * recordLength + 1) << n;
        EXPECT_EQ(U32(b, 4), n);
        EXPECT_EQ(U8(b, b.size() - 1), 0x1A) << n;
        EXPECT_EQ(b.mid(headerLength + (n - 1) * recordLength, 3), QStringLiteral(" G%1").arg(n).toLatin1()) << n;
        EXPECT_EQ(t.FieldByName("ABREV").AsString(), QStringLiteral("G%1").arg(n)) << "cursor on the posted record";
    }
    t.First();
    QStringList seen;
    for (; !t.Eof(); t.Next()) seen << t.FieldByName("ABREV").AsString();
    EXPECT_EQ(seen, (QStringList{"G1", "G2", "G3"}));
}

TEST(TablePost, PendingAppendIsPostedByAMoveOnlyWhenSomethingWasSet) {
    TempDir dir;
    Table t(dir.path(), "GRUPOST");
    t.CreateTable({{"ABREV", FieldKind::Character, 4}});
    t.Open();
    t.Append();
    t.FieldByName("ABREV").SetAsString("A");
    t.First();  // posts A
    t.Append();
    t.First();  // nothing set: dropped
    t.Append();
    t.FieldByName("ABREV").SetAsString("B");
    t.Close();  // dropped
    t.Open();
    EXPECT_EQ(t.LiveRecordCount(), 1);
    EXPECT_EQ(t.FieldByName("ABREV").AsString(), "A");
    t.Post();  // nothing pending: nothing happens
    EXPECT_EQ(t.LiveRecordCount(), 1);
}

TEST(TablePost, LocateSeesRecordsPostedAfterItsFirstUse) {
    TempDir dir;
    Table t(dir.path(), "PROFT");
    t.CreateTable({{"ABREV", FieldKind::Character, 4}, {"IDPROF", FieldKind::Character, 4}});
    t.Open();
    t.Append();
    t.FieldByName("ABREV").SetAsString("ANA");
    t.FieldByName("IDPROF").SetAsString("1");
    t.Post();
    EXPECT_FALSE(t.Locate("IDPROF", "2"));
    t.Append();
    t.FieldByName("ABREV").SetAsString("LUIS");
    t.FieldByName("IDPROF").SetAsString("2");
    t.Post();
    ASSERT_TRUE(t.Locate("IDPROF", "2"));
    EXPECT_EQ(t.FieldByName("ABREV").AsString(), "LUIS");
}

// A child process with a file-size limit appends until the limit stops it.
TEST(TablePost, WriteBeyondFileSizeLimitRaisesAndLeavesTableValid) {
    TempDir dir;
    Table created(dir.path(), "GRANDE");
    created.CreateTable({{"TXT", FieldKind::Character, 20}});
    const int headerLength = 32 + 32 + 1;
    const int recordLength = 21;
    const qint64 limit = headerLength + 10 * recordLength + 5;  // the 11th record fits only in part

    const test::ChildOutcome child = test::RunInChild([&](QString& said) {
        IgnoreFileSizeSignal();
        test::LimitFileSize(limit);
        said = ErrorOf([&] {
            Table t(dir.path(), "GRANDE");
            t.Open(OpenMode::Exclusive);
            for (int i = 0; i < 100; ++i) {
                t.Append();
                t.FieldByName("TXT").SetAsString(QStringLiteral("registro %1").arg(i));
                t.Post();
            }
        });
        return 0;
    });
    ASSERT_EQ(child.code, 0);

    EXPECT_EQ(child.said,
              QStringLiteral("No se pudo escribir en el archivo '%1': el archivo supera el tamaño máximo permitido")
                  .arg(QDir::toNativeSeparators(dir.file("GRANDE.DBF"))));
    const QByteArray b = ReadFile(dir.file("GRANDE.DBF"));
    EXPECT_EQ(b.size(), headerLength + 10 * recordLength + 1);
    EXPECT_EQ(U32(b, 4), 10);
    EXPECT_EQ(U8(b, b.size() - 1), 0x1A);
    Table t(dir.path(), "GRANDE");
    t.Open();
    EXPECT_EQ(t.LiveRecordCount(), 10);
}

}  // namespace
}  // namespace puente
