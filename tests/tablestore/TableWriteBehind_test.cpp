// Write-behind: records kept in memory reach the file, whole and in order, at
// each point the contract names; a failing write raises there and leaves a
// valid table.
#include "DbfTestKit.h"

#include "common/Error.h"
#include "platform/Signals.h"
#include "support/ChildProcess.h"
#include "tablestore/Table.h"

#include <QDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace puente {
namespace {

using namespace testkit;

const QList<FieldSpec> kFields = {{"COD", FieldKind::Character, 8}, {"HORAS", FieldKind::Float}};
constexpr int kHeaderLength = 32 + 2 * 32 + 1;
constexpr int kRecordLength = 1 + 8 + 20;

qint64 HeaderCount(const QByteArray& b) {
    qint64 n = 0;
    for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(b.at(4 + i));
    return n;
}

void PostRecords(Table& t, int from, int to) {
    for (int i = from; i < to; ++i) {
        t.Append();
        t.FieldByName("COD").SetAsString(QStringLiteral("C%1").arg(i));
        t.FieldByName("HORAS").SetAsFloat(i);
        t.Post();
    }
}

// The file of a table holding records 0..count-1, written record by record.
QByteArray Reference(int count) {
    TempDir dir;
    Table t(dir.path(), "REF");
    t.CreateTable(kFields);
    t.Open();
    PostRecords(t, 0, count);
    t.Close();
    return ReadFile(dir.file("REF.DBF"));
}

struct WriteCase {
    const char* name;
    std::function<void(Table&)> trigger;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class TableWriteBehind : public ::testing::TestWithParam<WriteCase> {};

TEST_P(TableWriteBehind, KeptRecordsReachTheFileWhereTheContractSays) {
    TempDir dir;
    Table t(dir.path(), "REF");
    t.CreateTable(kFields);
    t.Open();
    t.SetWriteBehind(true);
    PostRecords(t, 0, 3);
    EXPECT_EQ(t.LiveRecordCount(), 3) << "kept records count";
    EXPECT_EQ(t.FieldByName("COD").AsString(), "C2") << "cursor on the last posted record";
    const QByteArray before = ReadFile(dir.file("REF.DBF"));
    EXPECT_EQ(before.size(), kHeaderLength + 1) << "nothing written yet";
    EXPECT_EQ(HeaderCount(before), 0);

    GetParam().trigger(t);
    t.Close();
    EXPECT_EQ(ReadFile(dir.file("REF.DBF")), Reference(3));
}

INSTANTIATE_TEST_SUITE_P(Points, TableWriteBehind,
                         ::testing::Values(WriteCase{"close", [](Table&) {}},
                                           WriteCase{"first",
                                                     [](Table& t) {
                                                         t.First();
                                                         EXPECT_EQ(t.FieldByName("COD").AsString(), "C0");
                                                     }},
                                           WriteCase{"next",
                                                     [](Table& t) {
                                                         t.Next();
                                                         EXPECT_TRUE(t.Eof());
                                                         EXPECT_EQ(t.FieldByName("COD").AsString(), "C2");
                                                     }},
                                           WriteCase{"locate",
                                                     [](Table& t) {
                                                         ASSERT_TRUE(t.Locate("COD", "C1"));
                                                         EXPECT_EQ(t.FieldByName("HORAS").AsString(), "1");
                                                     }},
                                           WriteCase{"turned off", [](Table& t) { t.SetWriteBehind(false); }}),
                         CaseNamer());

TEST(TableWriteBehindBatches, LargeRunsAreWrittenAsTheyGoAndTheFileStaysValid) {
    constexpr int kRecords = 40000;  // about 1.1 MiB
    TempDir dir;
    Table t(dir.path(), "REF");
    t.CreateTable(kFields);
    t.Open();
    t.SetWriteBehind(true);
    PostRecords(t, 0, kRecords);
    const QByteArray partial = ReadFile(dir.file("REF.DBF"));
    const qint64 written = HeaderCount(partial);
    EXPECT_GT(written, 0) << "a batch was written without being asked";
    EXPECT_LT(written, kRecords);
    EXPECT_EQ(partial.size(), kHeaderLength + written * kRecordLength + 1);
    EXPECT_EQ(partial.back(), '\x1A');
    t.Close();
    EXPECT_EQ(ReadFile(dir.file("REF.DBF")), Reference(kRecords));
}

TEST(TableWriteBehindBatches, CountsRecordsInTheFileAndKeptAlike) {
    TempDir dir;
    Table t(dir.path(), "REF");
    t.CreateTable(kFields);
    t.Open();
    PostRecords(t, 0, 4);  // in the file
    t.SetWriteBehind(true);
    PostRecords(t, 4, 7);  // kept
    EXPECT_EQ(t.LiveRecordCount(), 7);
    t.Close();
    t.Open();
    t.SetWriteBehind(true);
    EXPECT_EQ(t.LiveRecordCount(), 7);  // counted from the file, then kept up
    PostRecords(t, 7, 9);
    EXPECT_EQ(t.LiveRecordCount(), 9);
    t.Close();
    EXPECT_EQ(ReadFile(dir.file("REF.DBF")), Reference(9));
}

TEST(TableWriteBehindBatches, TableDestroyedWithoutCloseWritesWhatItKept) {
    TempDir dir;
    {
        Table t(dir.path(), "REF");
        t.CreateTable(kFields);
        t.Open();
        t.SetWriteBehind(true);
        PostRecords(t, 0, 5);
    }
    EXPECT_EQ(ReadFile(dir.file("REF.DBF")), Reference(5));
}

TEST(TableWriteBehindBatches, UnsetAppendDroppedWhileRecordsAreKept) {
    TempDir dir;
    Table t(dir.path(), "REF");
    t.CreateTable(kFields);
    t.Open();
    t.SetWriteBehind(true);
    PostRecords(t, 0, 2);
    t.Append();  // nothing set: dropped by the next move
    t.Append();
    t.FieldByName("COD").SetAsString("C2");
    t.FieldByName("HORAS").SetAsFloat(2);
    t.Post();
    t.Append();
    t.Next();  // drops it, writes the kept records, stays on the last one
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.FieldByName("COD").AsString(), "C2");
    t.Close();
    EXPECT_EQ(ReadFile(dir.file("REF.DBF")), Reference(3));
}

// A child process with a file-size limit keeps records in memory; Close
// cannot write them, raises, and leaves the table as it was.
TEST(TableWriteBehindBatches, CloseBeyondFileSizeLimitRaisesAndLeavesTableValid) {
    TempDir dir;
    Table created(dir.path(), "GRANDE");
    created.CreateTable(kFields);
    const qint64 limit = kHeaderLength + 10 * kRecordLength + 5;  // 100 records do not fit

    const test::ChildOutcome child = test::RunInChild([&](QString& said) {
        IgnoreFileSizeSignal();
        test::LimitFileSize(limit);
        Table t(dir.path(), "GRANDE");
        said = ErrorOf([&] {
            t.Open(OpenMode::Exclusive);
            t.SetWriteBehind(true);
            PostRecords(t, 0, 100);
        });
        said += " | " + ErrorOf([&] { t.Close(); });
        said += QStringLiteral(" | %1").arg(t.IsOpen() ? "abierta" : "cerrada");
        return 0;
    });
    ASSERT_EQ(child.code, 0);

    EXPECT_EQ(child.said,
              QStringLiteral("<sin error> | No se pudo escribir en el archivo '%1': el archivo supera el tamaño máximo "
                             "permitido | cerrada")
                  .arg(QDir::toNativeSeparators(dir.file("GRANDE.DBF"))));
    const QByteArray b = ReadFile(dir.file("GRANDE.DBF"));
    EXPECT_EQ(b.size(), kHeaderLength + 1);
    EXPECT_EQ(HeaderCount(b), 0);
    EXPECT_EQ(b.back(), '\x1A');
    Table t(dir.path(), "GRANDE");
    t.Open();
    EXPECT_EQ(t.LiveRecordCount(), 0);
}

}  // namespace
}  // namespace puente
