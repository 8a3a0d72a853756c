// Interoperation with independent dBase tools on Debian: tables written here
// read by python3-dbfread and by GDAL's ogrinfo; tables written by
// python3-dbf read here.
#include "DbfTestKit.h"

#include "tablestore/Table.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace puente {
namespace {

using namespace testkit;

const QList<FieldSpec> kAulat = {
    {"ABREV", FieldKind::Character, 10}, {"NOMBRE", FieldKind::Character, 30}, {"MAXALUM", FieldKind::Integer},
    {"HORAS", FieldKind::Float},         {"ESTAREA", FieldKind::Logical},
};

// Three records: full, negative and cut, and blank but for the code.
void WriteAulat(const QString& directory) {
    Table t(directory, "AULAT");
    t.CreateTable(kAulat);
    t.Open();
    t.Append();
    t.FieldByName("ABREV").SetAsString("A101");
    t.FieldByName("NOMBRE").SetAsString(QStringLiteral("Aula de Música ñÑ ¿€?"));
    t.FieldByName("MAXALUM").SetAsString("25");
    t.FieldByName("HORAS").SetAsFloat(2.5);
    t.FieldByName("ESTAREA").SetAsBoolean(true);
    t.Post();
    t.Append();
    t.FieldByName("ABREV").SetAsString("LABORATORIO1");
    t.FieldByName("NOMBRE").SetAsString(QStringLiteral("Łódź"));
    t.FieldByName("MAXALUM").SetAsString("-2147483648");
    t.FieldByName("HORAS").SetAsFloat(-1234.5678);
    t.FieldByName("ESTAREA").SetAsBoolean(false);
    t.Post();
    t.Append();
    t.FieldByName("ABREV").SetAsString("GIM");
    t.Post();
}

TEST(TableInterop, TablesWrittenHereAreReadByDbfread) {
    if (!PythonHas("dbfread")) GTEST_SKIP() << "python3-dbfread is not installed";
    TempDir dir;
    WriteAulat(dir.path());
    const QString script = QStringLiteral(R"(
import sys, dbfread
t = dbfread.DBF(sys.argv[1], encoding='cp1252')
print(t.dbversion, hex(t.header.language_driver))
for f in t.fields:
    print(f.name, f.type, f.length, f.decimal_count)
for r in t:
    print(repr(list(r.values())))
)");
    QString out;
    ASSERT_EQ(RunPython(script, {dir.file("AULAT.DBF")}, &out), 0) << out.toStdString();
    EXPECT_EQ(out, QStringLiteral("FoxBASE+/Dbase III plus, no memory 0x58\n"
                                  "ABREV C 10 0\n"
                                  "NOMBRE C 30 0\n"
                                  "MAXALUM N 11 0\n"
                                  "HORAS N 20 4\n"
                                  "ESTAREA L 1 0\n"
                                  "['A101', 'Aula de Música ñÑ ¿€?', 25, 2.5, True]\n"
                                  "['LABORATORI', '?ód?', -2147483648, -1234.5678, False]\n"
                                  "['GIM', '', None, None, None]\n"));
}

TEST(TableInterop, TablesWrittenHereAreReadByOgrinfo) {
    const QString ogrinfo = QStandardPaths::findExecutable(QStringLiteral("ogrinfo"));
    if (ogrinfo.isEmpty()) GTEST_SKIP() << "gdal-bin is not installed";
    TempDir dir;
    WriteAulat(dir.path());
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(ogrinfo, {QStringLiteral("-al"), dir.file("AULAT.DBF")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString out = QString::fromUtf8(p.readAll());
    ASSERT_EQ(p.exitCode(), 0) << out.toStdString();
    const QStringList expected = {
        "Feature Count: 3",
        "ABREV: String (10.0)",
        "NOMBRE: String (30.0)",
        "MAXALUM: Integer64 (11.0)",
        "HORAS: Real (20.4)",
        "ESTAREA: String (1.0)",
        "  ABREV (String) = A101",
        QStringLiteral("  NOMBRE (String) = Aula de Música ñÑ ¿€?"),
        "  MAXALUM (Integer64) = 25",
        "  HORAS (Real) = 2.5000",
        "  ESTAREA (String) = T",
        "  ABREV (String) = LABORATORI",
        QStringLiteral("  NOMBRE (String) = ?ód?"),
        "  MAXALUM (Integer64) = -2147483648",
        "  HORAS (Real) = -1234.5678",
        "  ESTAREA (String) = F",
        "  ABREV (String) = GIM",
        "  NOMBRE (String) = (null)",
        "  MAXALUM (Integer64) = (null)",
    };
    const QStringList lines = out.split('\n');
    qsizetype at = 0;
    for (const QString& line : expected) {
        const qsizetype found = lines.indexOf(line, at);
        EXPECT_GE(found, 0) << "missing or out of order: " << line.toStdString() << "\n" << out.toStdString();
        if (found >= 0) at = found + 1;
    }
}

// A SOLUC as python3-dbf writes it, in a code page, with deleted records.
struct ForeignCase {
    const char* codepage;
    int ldid;
};

void PrintTo(const ForeignCase& c, std::ostream* os) { *os << c.codepage; }

class TableInteropForeign : public ::testing::TestWithParam<ForeignCase> {};

TEST_P(TableInteropForeign, TablesWrittenByPythonDbfAreReadHere) {
    if (!PythonHas("dbf")) GTEST_SKIP() << "python3-dbf is not installed";
    const ForeignCase& c = GetParam();
    TempDir dir;
    const QString script = QStringLiteral(R"(
import sys, dbf
t = dbf.Table(sys.argv[1], 'DIA N(1,0); HORA N(5,2); CODGRUPO C(10); ASIG C(10); TAREA C(10); PROF C(10); '
              'AULA C(10); SESIONES C(10); OBSERVA C(20); FIJADA L', dbf_type='db3', codepage=sys.argv[2])
t.open(dbf.READ_WRITE)
rows = [
    (1, 3, '1ESOA', 'MAT', 'LECT', 'ANA', 'A101', '11', 'Añadida por él', True),
    (9, 9, 'BORRADO', 'X', 'X', 'X', 'X', 'X', 'borrada', False),
    (2, 2.5, '1ESOB', 'LEN', 'LECT', 'MªJOSÉ', 'A102', '1', 'Ñandú ¿sí?', False),
    (None, None, '', '', '', '', '', '', '', None),
    (5, 12.25, '2BACHA', 'FIS', 'GUAR', 'EVA', 'LAB', '111', 'último', True),
    (8, 8, 'BORRADO2', 'X', 'X', 'X', 'X', 'X', 'borrada', False),
]
for row in rows:
    t.append(row)
dbf.delete(t[1])
dbf.delete(t[5])
t.close()
)");
    QString out;
    ASSERT_EQ(RunPython(script, {dir.file("soluc.dbf"), QString::fromLatin1(c.codepage)}, &out), 0)
        << out.toStdString();
    const QByteArray bytes = ReadFile(dir.file("soluc.dbf"));
    ASSERT_GT(bytes.size(), 32);
    EXPECT_EQ(static_cast<unsigned char>(bytes.at(29)), c.ldid) << "language driver python3-dbf wrote";

    Table t(dir.path(), "SOLUC");
    t.Open(OpenMode::Exclusive);
    QStringList rows;
    for (t.First(); !t.Eof(); t.Next()) {
        QStringList row;
        row << QString::number(t.FieldByName("DIA").AsInteger()) << QString::number(t.FieldByName("HORA").AsFloat())
            << t.FieldByName("HORA").AsString();
        for (const char* f : {"CODGRUPO", "ASIG", "TAREA", "PROF", "AULA", "SESIONES", "OBSERVA", "FIJADA"})
            row << t.FieldByName(f).AsString();
        rows << row.join('|');
    }
    EXPECT_EQ(rows, (QStringList{
                        QStringLiteral("1|3|3|1ESOA|MAT|LECT|ANA|A101|11|Añadida por él|T"),
                        QStringLiteral("2|2.5|2.5|1ESOB|LEN|LECT|MªJOSÉ|A102|1|Ñandú ¿sí?|F"),
                        QStringLiteral("0|0|||||||||"),
                        QStringLiteral("5|12.25|12.25|2BACHA|FIS|GUAR|EVA|LAB|111|último|T"),
                    }));
    EXPECT_EQ(t.LiveRecordCount(), 4);
    EXPECT_FALSE(t.Locate("CODGRUPO", "BORRADO"));
    ASSERT_TRUE(t.Locate("PROF", QStringLiteral("MªJOSÉ")));
    EXPECT_EQ(t.FieldByName("AULA").AsString(), "A102");
}

INSTANTIATE_TEST_SUITE_P(Cases, TableInteropForeign,
                         ::testing::Values(ForeignCase{"cp850", 0x02}, ForeignCase{"cp1252", 0x03},
                                           ForeignCase{"cp437", 0x01}),
                         [](const ::testing::TestParamInfo<ForeignCase>& info) {
                             return std::string(info.param.codepage);
                         });

}  // namespace
}  // namespace puente
