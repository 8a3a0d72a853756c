// Benchmarks, not run by ctest (DISABLED_). Run them with
//   test_tablestore --gtest_also_run_disabled_tests --gtest_filter='TableBench.*'
// They print their figures; they assert only that the work was done.
#include "DbfTestKit.h"

#include "tablestore/Table.h"

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace puente {
namespace {

using namespace testkit;

const QList<FieldSpec> kSoluc = {
    {"DIA", FieldKind::Integer},
    {"HORA", FieldKind::Float},
    {"CODGRUPO", FieldKind::Character, 10},
    {"ASIG", FieldKind::Character, 10},
    {"TAREA", FieldKind::Character, 10},
    {"PROF", FieldKind::Character, 10},
    {"AULA", FieldKind::Character, 10},
    {"SESIONES", FieldKind::Character, 10},
};

// Peak resident memory of this process, in KiB.
long PeakKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

void Fill(Table& t, int records) {
    for (int i = 0; i < records; ++i) {
        t.Append();
        t.FieldByName("DIA").SetAsString(QString::number(1 + i % 5));
        t.FieldByName("HORA").SetAsFloat(1 + i % 7);
        t.FieldByName("CODGRUPO").SetAsString(QStringLiteral("G%1").arg(i % 300));
        t.FieldByName("ASIG").SetAsString(QStringLiteral("A%1").arg(i));
        t.FieldByName("TAREA").SetAsString("LECT");
        t.FieldByName("PROF").SetAsString(QStringLiteral("P%1").arg(i % 900));
        t.FieldByName("AULA").SetAsString(QStringLiteral("AULA%1").arg(i % 80));
        t.FieldByName("SESIONES").SetAsString("111");
        t.Post();
    }
}

TEST(TableBench, DISABLED_Write100000RecordsAndWalkThem) {
    constexpr int kRecords = 100000;
    TempDir dir;
    Table t(dir.path(), "SOLUC");
    t.CreateTable(kSoluc);
    t.Open(OpenMode::Exclusive);
    QElapsedTimer timer;
    timer.start();
    Fill(t, kRecords);
    const qint64 writeMs = timer.elapsed();
    t.Close();

    t.Open(OpenMode::Exclusive);
    timer.restart();
    qint64 days = 0;
    int walked = 0;
    for (t.First(); !t.Eof(); t.Next()) {
        days += t.FieldByName("DIA").AsInteger();
        if (!t.FieldByName("ASIG").AsString().isEmpty() && t.FieldByName("HORA").AsFloat() > 0) ++walked;
    }
    const qint64 walkMs = timer.elapsed();
    EXPECT_EQ(walked, kRecords);
    std::printf("write %d records (8 fields, Append/set/Post each): %lld ms\n", kRecords,
                static_cast<long long>(writeMs));
    std::printf("walk %d records reading 3 fields: %lld ms (sum %lld)\n", kRecords, static_cast<long long>(walkMs),
                static_cast<long long>(days));
}

TEST(TableBench, DISABLED_Walk1MillionRecords) {
    constexpr int kRecords = 1000000;
    TempDir dir;
    {
        Table t(dir.path(), "SOLUC");
        t.CreateTable(kSoluc);
        t.Open(OpenMode::Exclusive);
        t.Append();
        t.FieldByName("DIA").SetAsString("3");
        t.FieldByName("HORA").SetAsFloat(2.5);
        t.FieldByName("ASIG").SetAsString("MAT");
        t.Post();
    }
    // Repeat the one record by hand, then set the count: quicker than a million Posts.
    const QByteArray first = ReadFile(dir.file("SOLUC.DBF"));
    const int header = static_cast<unsigned char>(first[8]) | (static_cast<unsigned char>(first[9]) << 8);
    const int length = static_cast<unsigned char>(first[10]) | (static_cast<unsigned char>(first[11]) << 8);
    QByteArray head = first.left(header);
    for (int i = 0; i < 4; ++i) head[4 + i] = static_cast<char>((kRecords >> (8 * i)) & 0xFF);
    const QByteArray chunk = first.mid(header, length).repeated(1000);
    QFile file(dir.file("SOLUC.DBF"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(head);
    for (int i = 0; i < kRecords / 1000; ++i) file.write(chunk);
    file.write("\x1A");
    file.close();
    const long before = PeakKiB();

    Table t(dir.path(), "SOLUC");
    t.Open(OpenMode::Exclusive);
    QElapsedTimer timer;
    timer.start();
    int walked = 0;
    for (t.First(); !t.Eof(); t.Next())
        if (t.FieldByName("DIA").AsInteger() == 3 && t.FieldByName("ASIG").AsString() == QLatin1String("MAT")) ++walked;
    const qint64 walkMs = timer.elapsed();
    EXPECT_EQ(walked, kRecords);
    std::printf(
        "walk %d records (%d bytes each) reading 2 fields: %lld ms; peak memory %ld KiB (before the walk "
        "%ld KiB)\n",
        kRecords, length, static_cast<long long>(walkMs), PeakKiB(), before);
}

TEST(TableBench, DISABLED_Locate100000TimesIn2000Records) {
    constexpr int kRecords = 2000;
    constexpr int kLocates = 100000;
    TempDir dir;
    Table t(dir.path(), "SOLUC");
    t.CreateTable(kSoluc);
    t.Open(OpenMode::Exclusive);
    Fill(t, kRecords);
    t.Close();
    t.Open(OpenMode::Exclusive);

    std::mt19937 random(42);
    std::uniform_int_distribution<int> pick(0, kRecords * 5 / 4);  // a fifth of the keys are not there
    QStringList keys;
    for (int i = 0; i < kLocates; ++i) keys << QStringLiteral("A%1").arg(pick(random));
    QElapsedTimer timer;
    timer.start();
    int found = 0;
    for (const QString& key : keys) {
        t.First();
        if (t.Locate("ASIG", key) && t.FieldByName("PROF").AsString().startsWith('P')) ++found;
    }
    const qint64 ms = timer.elapsed();
    EXPECT_GT(found, kLocates / 2);
    std::printf("%d First+Locate (+ one field read when found, %d found) on %d records: %lld ms\n", kLocates, found,
                kRecords, static_cast<long long>(ms));
}

}  // namespace
}  // namespace puente
