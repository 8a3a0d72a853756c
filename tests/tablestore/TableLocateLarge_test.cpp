// Locate and the cursor on tables larger than the blocks the engine keeps,
// and the index behind Locate on its own.
#include "DbfTestKit.h"

#include "tablestore/LocateIndex.h"
#include "tablestore/Table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace puente {
namespace {

using namespace testkit;

// Record i: KEY "K<i / 2>" (every key twice, so the first must win), NUM i,
// a filler to make records long; every seventh record deleted.
constexpr int kRecords = 40000;
constexpr int kFiller = 120;  // records of 1 + 8 + 8 + 120 bytes: about 5.3 MB, more than the blocks kept

bool IsDeleted(int i) { return i % 7 == 3; }

QByteArray LargeTable() {
    QList<QByteArray> records;
    records.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        const QByteArray fields = QByteArray("K" + QByteArray::number(i / 2)).leftJustified(8, ' ') +
                                  QByteArray::number(i).rightJustified(8, ' ') + QByteArray(kFiller, 'x');
        records << (IsDeleted(i) ? Deleted(fields) : Live(fields));
    }
    return Dbf3({{"KEY", 'C', 8}, {"NUM", 'N', 8}, {"FILL", 'C', kFiller}}, records);
}

// The first live record holding key K<k>, or -1.
int FirstLive(int k) {
    for (int i = 2 * k; i < 2 * k + 2; ++i)
        if (!IsDeleted(i)) return i;
    return -1;
}

TEST(TableLocateLarge, JumpsAnywhereAndWalksOnFromThere) {
    TempDir dir;
    WriteFile(dir.file("GRANDE.DBF"), LargeTable());
    Table t(dir.path(), "GRANDE");
    t.Open();
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, kRecords / 2 + 100);  // some keys are not there
    for (int n = 0; n < 3000; ++n) {
        const int k = pick(random);
        t.First();
        const int expected = k < kRecords / 2 ? FirstLive(k) : -1;
        ASSERT_EQ(t.Locate("KEY", QStringLiteral("K%1").arg(k)), expected >= 0) << k;
        if (expected < 0) continue;
        ASSERT_EQ(t.FieldByName("NUM").AsInteger(), expected) << k;
        // The walk goes on from the record found, in stored order, deleted ones passed over.
        int next = expected + 1;
        while (next < kRecords && IsDeleted(next)) ++next;
        t.Next();
        if (next < kRecords)
            ASSERT_EQ(t.FieldByName("NUM").AsInteger(), next) << k;
        else
            ASSERT_TRUE(t.Eof());
    }
    int walked = 0;
    for (t.First(); !t.Eof(); t.Next()) {
        ASSERT_FALSE(IsDeleted(t.FieldByName("NUM").AsInteger()));
        ++walked;
    }
    EXPECT_EQ(walked, t.LiveRecordCount());
    EXPECT_EQ(walked, kRecords - kRecords / 7 - (kRecords % 7 > 3 ? 1 : 0));
}

TEST(TableLocateLarge, RecordsAppendedAfterTheirBlockWasReadAreSeen) {
    TempDir dir;
    Table t(dir.path(), "PROFT");
    t.CreateTable({{"ABREV", FieldKind::Character, 6}});
    t.Open();
    QStringList expected;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 2; ++i) {
            t.Append();
            t.FieldByName("ABREV").SetAsString(QStringLiteral("P%1").arg(expected.size()));
            t.Post();
            expected << QStringLiteral("P%1").arg(expected.size());
        }
        QStringList walked;
        for (t.First(); !t.Eof(); t.Next()) walked << t.FieldByName("ABREV").AsString();
        EXPECT_EQ(walked, expected) << round;
        ASSERT_TRUE(t.Locate("ABREV", expected.last()));
        EXPECT_EQ(t.FieldByName("ABREV").AsString(), expected.last());
    }
}

struct IndexCase {
    const char* name;
    QStringList values;  // entered in this order, record i for values[i]
    QString key;
    qint64 found;  // -1: not there
};

void PrintTo(const IndexCase& c, std::ostream* os) { *os << c.name; }

class LocateIndexCases : public ::testing::TestWithParam<IndexCase> {};

TEST_P(LocateIndexCases, GivesTheFirstRecordOfTheValue) {
    const IndexCase& c = GetParam();
    LocateIndex index;
    for (qsizetype i = 0; i < c.values.size(); ++i) index.Insert(c.values[i], i);
    const std::optional<qint64> found = index.Find(c.key);
    EXPECT_EQ(found.value_or(-1), c.found);
}

const QString kLong = QStringLiteral("un valor de más de dieciséis caracteres");

INSTANTIATE_TEST_SUITE_P(
    Cases, LocateIndexCases,
    ::testing::Values(
        IndexCase{"empty index", {}, "A", -1}, IndexCase{"first of two", {"A", "B", "A"}, "A", 0},
        IndexCase{"letter case counts", {"a", "A"}, "A", 1}, IndexCase{"spaces count", {"A ", " A", "A"}, "A", 2},
        IndexCase{"empty value", {"X", "", ""}, "", 1},
        IndexCase{"sixteen characters", {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOQ"}, "ABCDEFGHIJKLMNOQ", 1},
        IndexCase{"longer values", {kLong, kLong + "x", kLong}, kLong, 0},
        IndexCase{"prefix of a longer value", {kLong}, kLong.left(20), -1},
        IndexCase{"accents", {QStringLiteral("Ñandú"), QStringLiteral("Nandu")}, QStringLiteral("Ñandú"), 0},
        IndexCase{"beyond Latin-1", {QStringLiteral("€1"), QStringLiteral("€2")}, QStringLiteral("€2"), 1}),
    CaseNamer());

TEST(LocateIndexGrowth, KeepsEveryValueThroughGrowth) {
    LocateIndex index;
    for (int i = 0; i < 50000; ++i) index.Insert(QStringLiteral("V%1").arg(i % 30000), i);
    EXPECT_EQ(index.size(), 30000);
    for (int i = 0; i < 30000; ++i) ASSERT_EQ(index.Find(QStringLiteral("V%1").arg(i)).value_or(-1), i);
    EXPECT_FALSE(index.Find(QStringLiteral("V30000")));
}

}  // namespace
}  // namespace puente
