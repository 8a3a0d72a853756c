// Damaged files: one valid fixture (tests/data/tablestore/SOLUC.DBF, written
// by python3-dbf, see make_fixtures.py) corrupted one byte or one cut at a
// time, each with the exact message it must give.
#include "DbfTestKit.h"

#include "common/Error.h"
#include "tablestore/Table.h"

#include <QDir>

#include <gtest/gtest.h>

#include <functional>

namespace puente {
namespace {

using namespace testkit;

// The fixture: header 321 bytes (9 descriptors), records of 67 bytes, three
// records of which the second is deleted, then 0x1A: 523 bytes.
QByteArray Fixture() { return ReadFile(QStringLiteral(PUENTE_TEST_DATA "/tablestore/SOLUC.DBF")); }

constexpr int kHeaderLength = 321;
constexpr int kRecordLength = 67;
constexpr int kDia = 32;              // first descriptor: DIA N(1,0)
constexpr int kHora = 64;             // second: HORA N(4,1)
constexpr int kFijada = 32 + 8 * 32;  // ninth: FIJADA L

struct DamageCase {
    const char* name;
    std::function<void(QByteArray&)> damage;
    QString reason;  // after "El archivo '<path>' no es una tabla dBase válida: "
};

void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

std::function<void(QByteArray&)> Cut(int size) {
    return [size](QByteArray& b) { b.truncate(size); };
}
std::function<void(QByteArray&)> Set(int at, const QByteArray& bytes) {
    return [at, bytes](QByteArray& b) { b.replace(at, bytes.size(), bytes); };
}

class TableDamage : public ::testing::TestWithParam<DamageCase> {};

TEST_P(TableDamage, IsRefusedWithItsReason) {
    const DamageCase& c = GetParam();
    QByteArray bytes = Fixture();
    ASSERT_EQ(bytes.size(), 523) << "fixture";
    c.damage(bytes);
    TempDir dir;
    WriteFile(dir.file("SOLUC.DBF"), bytes);
    Table t(dir.path(), "SOLUC");
    EXPECT_EQ(ErrorOf([&] { t.Open(OpenMode::Exclusive); }),
              QStringLiteral("El archivo '%1' no es una tabla dBase válida: %2")
                  .arg(QDir::toNativeSeparators(dir.file("SOLUC.DBF")), c.reason));
    EXPECT_FALSE(t.IsOpen());
    EXPECT_FALSE(Table::IsHeldElsewhere(dir.path(), "SOLUC")) << "a refused file is released";
}

const QString kNoFlag = QStringLiteral(
    "el registro %1 no empieza por la marca de registro (' ' o '*'); la longitud de cabecera no es la correcta o el "
    "archivo está dañado");
const QString kHeaderTooShort =
    QStringLiteral("la longitud de cabecera (%1) no alcanza para los descriptores de campo");

INSTANTIATE_TEST_SUITE_P(
    Cases, TableDamage,
    ::testing::Values(
        DamageCase{"empty file", Cut(0), "cabecera incompleta"},
        DamageCase{"cut in the fixed header", Cut(31), "cabecera incompleta"},
        DamageCase{"cut in the descriptors", Cut(200),
                   "cabecera incompleta: la cabecera ocupa 321 bytes y el archivo solo tiene 200"},
        DamageCase{"cut before the terminator", Cut(320),
                   "cabecera incompleta: la cabecera ocupa 321 bytes y el archivo solo tiene 320"},
        DamageCase{"version of dBase II", Set(0, Hex("02")), QStringLiteral("versión 0x02 desconocida")},
        DamageCase{"version of Visual FoxPro", Set(0, Hex("30")), QStringLiteral("versión 0x30 desconocida")},
        DamageCase{"header length below the fixed header", Set(8, Hex("10 00")), kHeaderTooShort.arg(16)},
        DamageCase{"header length inside the first descriptor", Set(8, Hex("30 00")), kHeaderTooShort.arg(48)},
        DamageCase{"header length inside the last descriptor", Set(8, Hex("21 01")), kHeaderTooShort.arg(289)},
        DamageCase{"header length without the terminator", Set(8, Hex("40 01")), kHeaderTooShort.arg(320)},
        DamageCase{"header length beyond the file", Set(8, Hex("FF FF")),
                   "cabecera incompleta: la cabecera ocupa 65535 bytes y el archivo solo tiene 523"},
        DamageCase{
            "header length two bytes long", Set(8, Hex("43 01")),
            "la longitud de cabecera (323) no es la correcta: los descriptores de campo terminan en el byte 321"},
        // One byte long, with the end-of-file byte making up for it: the
        // sizes agree, but every record would be read one byte off.
        DamageCase{"header length one byte long", Set(8, Hex("42 01")), kNoFlag.arg(1)},
        DamageCase{"flag of the third record", Set(kHeaderLength + 2 * kRecordLength, "X"), kNoFlag.arg(3)},
        DamageCase{"record length one more", Set(10, Hex("44 00")),
                   "la longitud de registro (68) no coincide con la de los campos (67)"},
        DamageCase{"record length zero", Set(10, Hex("00 00")),
                   "la longitud de registro (0) no coincide con la de los campos (67)"},
        DamageCase{"field width grown", Set(kDia + 16, Hex("02")),
                   "la longitud de registro (67) no coincide con la de los campos (68)"},
        DamageCase{"no field descriptors", Set(kDia, Hex("0D")), "no tiene campos"},
        DamageCase{"field without name", Set(kDia, Hex("00")), "el campo 1 no tiene nombre"},
        DamageCase{"field name of spaces", Set(kDia, "   "), "el campo 1 no tiene nombre"},
        DamageCase{"unknown type letter", Set(kDia + 11, "X"), "el campo 'DIA' es de un tipo desconocido (X)"},
        DamageCase{"type byte zero", Set(kDia + 11, Hex("00")), "el campo 'DIA' es de un tipo desconocido (0x00)"},
        DamageCase{"width zero", Set(kDia + 16, Hex("00")), "el campo 'DIA' tiene ancho 0"},
        DamageCase{"logical of width 2", Set(kFijada + 16, Hex("02")),
                   "el campo 'FIJADA' de tipo L tiene ancho 2 y debe tener 1"},
        DamageCase{"decimals as many as the width", Set(kHora + 17, Hex("04")),
                   "el campo 'HORA' tiene 4 decimales con ancho 4"}),
    CaseNamer());

// Damage that still leaves a readable table: what is there is read.
struct SurvivableCase {
    const char* name;
    std::function<void(QByteArray&)> damage;
    QStringList groups;  // CODGRUPO of the records walked
};

void PrintTo(const SurvivableCase& c, std::ostream* os) { *os << c.name; }

class TableSurvivableDamage : public ::testing::TestWithParam<SurvivableCase> {};

TEST_P(TableSurvivableDamage, ReadsTheCompleteRecords) {
    const SurvivableCase& c = GetParam();
    QByteArray bytes = Fixture();
    c.damage(bytes);
    TempDir dir;
    WriteFile(dir.file("SOLUC.DBF"), bytes);
    Table t(dir.path(), "SOLUC");
    t.Open(OpenMode::Exclusive);
    QStringList groups;
    for (t.First(); !t.Eof(); t.Next()) groups << t.FieldByName("CODGRUPO").AsString();
    EXPECT_EQ(groups, c.groups);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableSurvivableDamage,
    ::testing::Values(SurvivableCase{"intact", [](QByteArray&) {}, {"1ESOA", "2BACHA"}},
                      SurvivableCase{"record count far too large", Set(4, Hex("FF FF FF FF")), {"1ESOA", "2BACHA"}},
                      SurvivableCase{"record count one too large", Set(4, Hex("04")), {"1ESOA", "2BACHA"}},
                      SurvivableCase{"no end marker", Cut(522), {"1ESOA", "2BACHA"}},
                      SurvivableCase{"last record cut short", Cut(kHeaderLength + 2 * kRecordLength + 30), {"1ESOA"}},
                      SurvivableCase{"cut right after the header", Cut(kHeaderLength), {}},
                      SurvivableCase{"record count zero", Set(4, Hex("00")), {}},
                      // Padding after the terminator, counted in the header length, as some writers leave it.
                      SurvivableCase{"padding after the terminator",
                                     [](QByteArray& b) {
                                         b.insert(kHeaderLength, QByteArray(2, '\0'));
                                         b.replace(8, 2, Hex("43 01"));
                                     },
                                     {"1ESOA", "2BACHA"}}),
    CaseNamer());

TEST(TableDamageValues, FixtureReadsAsWritten) {
    TempDir dir;
    WriteFile(dir.file("SOLUC.DBF"), Fixture());
    Table t(dir.path(), "SOLUC");
    t.Open();
    QStringList rows;
    for (t.First(); !t.Eof(); t.Next()) {
        QStringList row;
        for (const char* f : {"DIA", "HORA", "CODGRUPO", "ASIG", "TAREA", "PROF", "AULA", "SESIONES", "FIJADA"})
            row << t.FieldByName(f).AsString();
        rows << row.join('|');
    }
    EXPECT_EQ(rows, (QStringList{"1|3|1ESOA|MAT|LECT|ANA|A101|11|T", "5|6|2BACHA|FIS|GUAR|EVA|LAB|111|"}));
}

TEST(TableDamageValues, DamagedValueIsNamedWithItsRecord) {
    QByteArray bytes = Fixture();
    bytes[kHeaderLength + 2 * kRecordLength + 1] = 'x';  // DIA of the third record
    TempDir dir;
    WriteFile(dir.file("SOLUC.DBF"), bytes);
    Table t(dir.path(), "SOLUC");
    t.Open();
    EXPECT_EQ(t.FieldByName("DIA").AsInteger(), 1);
    t.Next();
    EXPECT_EQ(ErrorOf([&] { t.FieldByName("DIA").AsInteger(); }),
              QStringLiteral("El campo 'DIA' del registro 3 de la tabla '%1' no tiene un valor válido de tipo N: 'x'")
                  .arg(QDir::toNativeSeparators(dir.file("SOLUC.DBF"))));
    EXPECT_EQ(t.FieldByName("CODGRUPO").AsString(), "2BACHA") << "other fields still read";
}

}  // namespace
}  // namespace puente

namespace puente {
namespace {

// Opens and reads a damaged copy completely. A damaged file must give its
// records or a puente::Error: the file refused as a whole, or one value
// refused naming its field; nothing else (no other exception, no crash, no
// read out of bounds under the sanitizers).
void OpenAndReadAll(const QByteArray& bytes, const TempDir& dir) {
    WriteFile(dir.file("SOLUC.DBF"), bytes);
    Table t(dir.path(), "SOLUC");
    const QString refused = QStringLiteral("El archivo '%1' no es una tabla dBase válida: ")
                                .arg(QDir::toNativeSeparators(dir.file("SOLUC.DBF")));
    const QString opening = ErrorOf([&] { t.Open(); });
    if (!t.IsOpen()) {
        EXPECT_TRUE(opening.startsWith(refused)) << opening.toStdString();
        return;
    }
    const QList<FieldInfo> fields = t.Fields();
    for (t.First(); !t.Eof(); t.Next())
        for (const FieldInfo& f : fields) {
            const QString reading = ErrorOf([&] {
                t.FieldByName(f.name).AsString();
                t.FieldByName(f.name).AsFloat();
            });
            if (reading != QLatin1String("<sin error>")) {
                EXPECT_TRUE(reading.startsWith(QStringLiteral("El campo '%1' del registro").arg(f.name)) ||
                            reading.contains(QStringLiteral("para el campo '%1'").arg(f.name)))
                    << reading.toStdString();
            }
        }
}

TEST(TableDamageSweep, EveryOneByteChangeOfTheHeaderOpensOrRaises) {
    const QByteArray fixture = Fixture();
    TempDir dir;
    for (int at = 0; at < kHeaderLength; ++at) {
        const char original = fixture.at(at);
        for (const char value : {'\x00', '\xFF', '\x0D', ' ', static_cast<char>(original ^ 0x01)}) {
            QByteArray bytes = fixture;
            bytes[at] = value;
            SCOPED_TRACE(at);
            OpenAndReadAll(bytes, dir);
        }
    }
}

TEST(TableDamageSweep, EveryCutOpensOrRaises) {
    const QByteArray fixture = Fixture();
    TempDir dir;
    for (int size = 0; size < fixture.size(); ++size) {
        SCOPED_TRACE(size);
        OpenAndReadAll(fixture.left(size), dir);
    }
}

}  // namespace
}  // namespace puente
