// Damaged tables in the working directory, met by `puente` itself: a SOLUC
// cut short or whose header lies, a lookup table cut short. The return run
// either reads the complete records there are (a record count larger than
// the file, a last record cut) or stops with a message that names the file
// and the damage; it never crashes, never writes a result document from a
// table it refused, and changes no table. The forward run replaces damaged
// old tables with whole new ones.
#include "FaultSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace puente::faults {
namespace {

// soluc_dbase3.dbf: header 353 bytes, records of 105 bytes, 8 records.
constexpr int kHeaderLength = 353;
constexpr int kRecordLength = 105;

using Damage = std::function<void(QByteArray&)>;
Damage Cut(qsizetype size) {
    return [size](QByteArray& b) { b.truncate(size); };
}
Damage SetLE(int at, quint32 value, int bytes) {
    return [=](QByteArray& b) {
        for (int i = 0; i < bytes; ++i) b[at + i] = char((value >> (8 * i)) & 0xFF);
    };
}

struct DamageCase {
    const char* name;
    const char* table;  // the damaged one
    Damage damage;
    int exitCode;
    const char* said;  // exit 1: the error after the file's path; exit 0: the counts printed
};
void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

class DamagedTable : public ::testing::TestWithParam<DamageCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFileInfo(PuenteBinary()).isExecutable()) << "build the target puente first";
        htemp_ = base_.filePath("htemp");
        docs_ = base_.filePath("docs");
        QDir().mkpath(docs_);
        doc_ = docs_ + "/centro.xml";
        ASSERT_TRUE(QFile::copy(QStringLiteral(PUENTE_TEST_DATA "/forward/small.xml"), doc_));
        ASSERT_TRUE(PrepareWorkingDirectory(htemp_, doc_));
    }
    void Damage(const QString& table, const std::function<void(QByteArray&)>& damage) {
        const QString path = htemp_ + "/" + table + ".DBF";
        QByteArray bytes = ReadAll(path);
        damage(bytes);
        WriteAll(path, bytes);
    }
    QTemporaryDir base_;
    QString htemp_, docs_, doc_;
};

TEST_P(DamagedTable, ReturnRunReadsWhatIsWholeOrSaysWhatIsWrong) {
    const DamageCase& c = GetParam();
    Damage(c.table, c.damage);
    const QMap<QString, QByteArray> tables = SnapshotWithoutLock(htemp_);
    const QByteArray document = ReadAll(doc_);
    const QString result = docs_ + "/ResultadoHoraliscentro.xml";

    const Outcome o = RunPuente({"importar", doc_, "--htemp", htemp_});
    EXPECT_TRUE(o.exited(c.exitCode)) << ::testing::PrintToString(o);
    if (c.exitCode == 1) {
        EXPECT_TRUE(o.err.endsWith(
            QString("Error: El archivo '%1/%2.DBF' no es una tabla dBase válida: %3\n").arg(htemp_, c.table, c.said)))
            << o.err.toStdString();
        EXPECT_FALSE(QFile::exists(result));
    } else {
        EXPECT_EQ(o.out, QString("Resultado: %1\n%2").arg(result, c.said));
    }
    EXPECT_EQ(SnapshotWithoutLock(htemp_), tables);
    EXPECT_EQ(ReadAll(doc_), document);
}

QString Counts(int entries, int filtered, int untranslated) {
    return QString(
               "Entradas dsolucion escritas: %1\n"
               "Registros de SOLUC sin día u hora (pasados por alto): %2\n"
               "Registros de SOLUC cuya materia no está en ASIGNOMT (sin entrada): %3\n")
        .arg(entries)
        .arg(filtered)
        .arg(untranslated);
}
const std::string kIntact = Counts(3, 3, 1).toStdString();
const std::string kFirstThree = Counts(1, 2, 0).toStdString();

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedTable,
    ::testing::Values(
        DamageCase{"soluc_empty", "SOLUC", Cut(0), 1, "cabecera incompleta"},
        DamageCase{"soluc_cut_in_the_fixed_header", "SOLUC", Cut(20), 1, "cabecera incompleta"},
        DamageCase{"soluc_cut_in_the_descriptors", "SOLUC", Cut(100), 1,
                   "cabecera incompleta: la cabecera ocupa 353 bytes y el archivo solo tiene 100"},
        DamageCase{"soluc_header_length_beyond_the_file", "SOLUC", SetLE(8, 60000, 2), 1,
                   "cabecera incompleta: la cabecera ocupa 60000 bytes y el archivo solo tiene 1194"},
        DamageCase{"soluc_header_length_too_short", "SOLUC", SetLE(8, 16, 2), 1,
                   "la longitud de cabecera (16) no alcanza para los descriptores de campo"},
        DamageCase{"soluc_header_length_inside_a_descriptor", "SOLUC", SetLE(8, 100, 2), 1,
                   "la longitud de cabecera (100) no alcanza para los descriptores de campo"},
        DamageCase{"soluc_header_length_one_byte_long", "SOLUC", SetLE(8, kHeaderLength + 1, 2), 1,
                   "el registro 1 no empieza por la marca de registro (' ' o '*'); la longitud de cabecera no es "
                   "la correcta o el archivo está dañado"},
        DamageCase{"soluc_header_length_two_bytes_long", "SOLUC", SetLE(8, kHeaderLength + 2, 2), 1,
                   "la longitud de cabecera (355) no es la correcta: los descriptores de campo terminan en el "
                   "byte 353"},
        DamageCase{"soluc_record_length_that_lies", "SOLUC", SetLE(10, kRecordLength + 5, 2), 1,
                   "la longitud de registro (110) no coincide con la de los campos (105)"},
        DamageCase{"soluc_record_count_far_larger_than_the_file", "SOLUC", SetLE(4, 0xFFFFFFFF, 4), 0, kIntact.c_str()},
        DamageCase{"soluc_cut_inside_the_fourth_record", "SOLUC", Cut(kHeaderLength + 3 * kRecordLength + 10), 0,
                   kFirstThree.c_str()},
        DamageCase{"soluc_cut_right_after_the_header", "SOLUC", Cut(kHeaderLength), 0,
                   "Entradas dsolucion escritas: 0\n"
                   "Registros de SOLUC sin día u hora (pasados por alto): 0\n"
                   "Registros de SOLUC cuya materia no está en ASIGNOMT (sin entrada): 0\n"},
        DamageCase{"grupost_cut_in_the_fixed_header", "GRUPOST", Cut(31), 1, "cabecera incompleta"},
        DamageCase{"asignomt_record_length_zero", "ASIGNOMT", SetLE(10, 0, 2), 1,
                   "la longitud de registro (0) no coincide con la de los campos (130)"}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.name); });

TEST(DamagedOldTables, AreReplacedByTheForwardRun) {
    ASSERT_TRUE(QFileInfo(PuenteBinary()).isExecutable()) << "build the target puente first";
    QTemporaryDir htemp, reference;
    const QString small = QStringLiteral(PUENTE_TEST_DATA "/forward/small.xml");
    ASSERT_TRUE(RunPuente({"exportar", small, "--htemp", reference.path()}).exited(0));
    // Every old table damaged in another way.
    WriteAll(htemp.filePath("ASIGNOMT.DBF"), "");
    WriteAll(htemp.filePath("PROFT.DBF"), QByteArray(31, '\x03'));
    WriteAll(htemp.filePath("AULAT.DBF"), ReadAll(reference.filePath("AULAT.DBF")).left(100));
    QByteArray grupos = ReadAll(reference.filePath("GRUPOST.DBF"));
    grupos[8] = char(0xFF);  // header length beyond the file
    grupos[9] = char(0xFF);
    WriteAll(htemp.filePath("GRUPOST.DBF"), grupos);
    QByteArray asig = ReadAll(reference.filePath("ASIGT.DBF"));
    asig[4] = char(0xFF);  // a record count far larger than the file
    WriteAll(htemp.filePath("ASIGT.DBF"), asig);
    const QMap<QString, QByteArray> damaged = Snapshot(htemp.path());
    const Outcome o = RunPuente({"exportar", small, "--htemp", htemp.path()});
    EXPECT_TRUE(o.exited(0)) << ::testing::PrintToString(o);
    EXPECT_EQ(SnapshotWithoutBackups(htemp.path()), SnapshotWithoutLock(reference.path()));
    // The damaged tables are kept as they were, as a backup.
    EXPECT_EQ(BackupSets(htemp.path()), (QList<QMap<QString, QByteArray>>{damaged}));
}

}  // namespace
}  // namespace puente::faults
