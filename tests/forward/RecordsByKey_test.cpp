// A lookup table read once finds, for every key, the record that Locate
// finds: the first live one in stored order, the key compared exactly.
#include "forward/RecordsByKey.h"

#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

namespace puente {
namespace {

// Marks record `index` (from 0) of a table file deleted, as dBase does.
void MarkDeleted(const QString& path, int index) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray header = file.read(12);
    const int headerLength = quint8(header[8]) | quint8(header[9]) << 8;
    const int recordLength = quint8(header[10]) | quint8(header[11]) << 8;
    ASSERT_TRUE(file.seek(headerLength + qint64(index) * recordLength));
    ASSERT_EQ(file.write("*", 1), 1);
}

class RecordsByKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        Table table(dir.path(), "GRUPOST");
        table.CreateTable({{"IDGRUPO", FieldKind::Character, 10},
                           {"ABREV", FieldKind::Character, 10},
                           {"TURNO", FieldKind::Character, 1}});
        table.Open(OpenMode::Exclusive);
        const QList<QStringList> rows = {{"G1", "borrado", "M"},  {"G1", "1A", "M"}, {"G2", "2A", "T"},
                                         {"G1", "repetido", "T"}, {" G3", "3A", ""}, {"g2", "2a", "N"}};
        for (const QStringList& row : rows) {
            table.Append();
            table.FieldByName("IDGRUPO").SetAsString(row[0]);
            table.FieldByName("ABREV").SetAsString(row[1]);
            table.FieldByName("TURNO").SetAsString(row[2]);
            table.Post();
        }
        table.Close();
        MarkDeleted(dir.filePath("GRUPOST.DBF"), 0);
    }
    QTemporaryDir dir;
};

TEST_F(RecordsByKeyTest, FindsWhatLocateFinds) {
    const RecordsByKey records = ReadRecordsByKey(dir.path(), "GRUPOST", "IDGRUPO", {"TURNO", "ABREV"});
    EXPECT_EQ(records.size(), 4);
    EXPECT_EQ(records.value("G1"), (QStringList{"M", "1A"}));  // the deleted one and the later one passed over
    EXPECT_EQ(records.value("G2"), (QStringList{"T", "2A"}));
    EXPECT_EQ(records.value(" G3"), (QStringList{"", "3A"}));
    EXPECT_EQ(records.value("g2"), (QStringList{"N", "2a"}));
    EXPECT_FALSE(records.contains("G3"));

    Table table(dir.path(), "GRUPOST");
    table.Open(OpenMode::Shared);
    for (const QString& key : records.keys()) {
        ASSERT_TRUE(table.Locate("IDGRUPO", key)) << key.toStdString();
        EXPECT_EQ(table.FieldByName("ABREV").AsString(), records.value(key).at(1)) << key.toStdString();
    }
}

TEST_F(RecordsByKeyTest, AFieldThatIsNotThereIsSaid) {
    const Error e = test::Caught([&] { ReadRecordsByKey(dir.path(), "GRUPOST", "IDGRUPO", {"NIVEL"}); });
    EXPECT_EQ(e.message(), "Field 'NIVEL' not found");
}

TEST_F(RecordsByKeyTest, ATableHeldElsewhereIsSaid) {
    Table held(dir.path(), "GRUPOST");
    held.Open(OpenMode::Exclusive);
    const Error e = test::Caught([&] { ReadRecordsByKey(dir.path(), "GRUPOST", "IDGRUPO", {"ABREV"}); });
    EXPECT_EQ(e.kind(), ErrorKind::HeldElsewhere) << e.message().toStdString();
}

}  // namespace
}  // namespace puente
