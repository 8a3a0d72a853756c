// Locking: two opens of one table, in this process and from a child process,
// exclusive against exclusive and shared; creating a held table; the test
// for a held table.
#include "DbfTestKit.h"

#include "common/Error.h"
#include "tablestore/Table.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace puente {
namespace {

using namespace testkit;

struct LockCase {
    const char* name;
    OpenMode first;
    OpenMode second;
    bool conflict;
};

void PrintTo(const LockCase& c, std::ostream* os) { *os << c.name; }

QString InUse(const TempDir& dir) {
    return QStringLiteral("La tabla 'PROFT' (%1) está en uso por otro programa")
        .arg(QDir::toNativeSeparators(dir.file("PROFT.DBF")));
}

void MakeProft(const TempDir& dir) { WriteFile(dir.file("PROFT.DBF"), Dbf3({{"ABREV", 'C', 4}}, {Live("ANA ")})); }

// Runs body in a forked child process, which sends its result (or the
// message of the Error it raised) as one line; with waitForParent the child
// ends only when Finish() tells it to, so that what it opened stays open.
class Child {
public:
    explicit Child(const std::function<QString()>& body, bool waitForParent) : waitForParent_(waitForParent) {
        int toParent[2];
        int toChild[2];
        if (pipe(toParent) != 0 || pipe(toChild) != 0) throw Error(ErrorKind::InputOutput, "pipe");
        pid_ = fork();
        if (pid_ == 0) {
            close(toParent[0]);
            close(toChild[1]);
            QByteArray text;
            try {
                text = body().toUtf8();
            } catch (const Error& e) {
                text = e.message().toUtf8();
            }
            text.append('\n');
            if (write(toParent[1], text.constData(), static_cast<size_t>(text.size())) != text.size()) _exit(2);
            char c;
            if (waitForParent && read(toChild[0], &c, 1) != 1) _exit(3);
            _exit(0);
        }
        close(toParent[1]);
        close(toChild[0]);
        fromChild_ = toParent[0];
        toChild_ = toChild[1];
    }
    // The child's line.
    QString Line() {
        QByteArray line;
        char c;
        while (read(fromChild_, &c, 1) == 1 && c != '\n') line.append(c);
        return QString::fromUtf8(line);
    }
    // Lets the child end and waits for it; gives its exit code.
    int Finish() {
        // A child that does not wait has already ended: nothing to tell it.
        const char c = 'x';
        if (waitForParent_ && write(toChild_, &c, 1) != 1) return -1;
        int status = 0;
        waitpid(pid_, &status, 0);
        close(fromChild_);
        close(toChild_);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    bool waitForParent_;
    pid_t pid_ = -1;
    int fromChild_ = -1;
    int toChild_ = -1;
};

class TableLocks : public ::testing::TestWithParam<LockCase> {};

TEST_P(TableLocks, SecondOpenInThisProcess) {
    const LockCase& c = GetParam();
    TempDir dir;
    MakeProft(dir);
    Table first(dir.path(), "PROFT");
    Table second(dir.path(), "PROFT");
    first.Open(c.first);
    EXPECT_EQ(ErrorOf([&] { second.Open(c.second); }), c.conflict ? InUse(dir) : QStringLiteral("<sin error>"));
    EXPECT_EQ(second.IsOpen(), !c.conflict);
    first.Close();
    second.Close();
    second.Open(c.second);  // free once the first is closed
    EXPECT_EQ(second.FieldByName("ABREV").AsString(), "ANA");
}

TEST_P(TableLocks, SecondOpenInAnotherProcess) {
    const LockCase& c = GetParam();
    TempDir dir;
    MakeProft(dir);
    Table held(dir.path(), "PROFT");
    held.Open(c.first);
    Child child(
        [&] {
            Table t(dir.path(), "PROFT");
            t.Open(c.second);
            return t.FieldByName("ABREV").AsString();
        },
        false);
    EXPECT_EQ(child.Line(), c.conflict ? InUse(dir) : QStringLiteral("ANA"));
    EXPECT_EQ(child.Finish(), 0);
}

TEST_P(TableLocks, HeldByAnotherProcess) {
    const LockCase& c = GetParam();
    TempDir dir;
    MakeProft(dir);
    Child child(
        [&] {
            static Table t(dir.path(), "PROFT");  // stays open until the child ends
            t.Open(c.first);
            return QStringLiteral("abierta");
        },
        true);
    ASSERT_EQ(child.Line(), "abierta");
    Table t(dir.path(), "PROFT");
    EXPECT_EQ(ErrorOf([&] { t.Open(c.second); }), c.conflict ? InUse(dir) : QStringLiteral("<sin error>"));
    t.Close();
    EXPECT_EQ(child.Finish(), 0);
    t.Open(c.second);  // free once the child has ended
    EXPECT_TRUE(t.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableLocks,
    ::testing::Values(LockCase{"exclusive_then_exclusive", OpenMode::Exclusive, OpenMode::Exclusive, true},
                      LockCase{"exclusive_then_shared", OpenMode::Exclusive, OpenMode::Shared, true},
                      LockCase{"shared_then_exclusive", OpenMode::Shared, OpenMode::Exclusive, true},
                      LockCase{"shared_then_shared", OpenMode::Shared, OpenMode::Shared, false}),
    [](const ::testing::TestParamInfo<LockCase>& info) { return std::string(info.param.name); });

TEST(TableLocking, CreatingATableHeldElsewhereIsRefusedAndChangesNothing) {
    TempDir dir;
    MakeProft(dir);
    const QByteArray before = ReadFile(dir.file("PROFT.DBF"));
    Child child(
        [&] {
            static Table t(dir.path(), "PROFT");
            t.Open(OpenMode::Shared);
            return QStringLiteral("abierta");
        },
        true);
    ASSERT_EQ(child.Line(), "abierta");
    Table t(dir.path(), "PROFT");
    EXPECT_EQ(ErrorOf([&] { t.CreateTable({{"OTRO", FieldKind::Integer}}); }), InUse(dir));
    EXPECT_EQ(ReadFile(dir.file("PROFT.DBF")), before);
    EXPECT_EQ(child.Finish(), 0);
    t.CreateTable({{"OTRO", FieldKind::Integer}});
    t.Open();
    EXPECT_EQ(t.Fields().at(0).name, "OTRO");
}

TEST(TableLocking, IsHeldElsewhereTellsWithoutOpening) {
    TempDir dir;
    EXPECT_FALSE(Table::IsHeldElsewhere(dir.path(), "PROFT")) << "missing table";
    MakeProft(dir);
    EXPECT_FALSE(Table::IsHeldElsewhere(dir.path(), "PROFT"));
    for (const OpenMode mode : {OpenMode::Shared, OpenMode::Exclusive}) {
        Table t(dir.path(), "PROFT");
        t.Open(mode);
        EXPECT_TRUE(Table::IsHeldElsewhere(dir.path(), "proft"));
        t.Close();
        EXPECT_FALSE(Table::IsHeldElsewhere(dir.path(), "PROFT"));
    }
    // Testing leaves the table free for an exclusive open.
    Table t(dir.path(), "PROFT");
    t.Open(OpenMode::Exclusive);
    EXPECT_TRUE(t.IsOpen());
}

// A file this user may not write opens for reading only; an exclusive open
// of it keeps out exclusive opens, not shared ones. The child drops root's
// rights, which would write any file.
TEST(TableLocking, ReadOnlyFileOpensForReadingOnly) {
    TempDir dir;
    MakeProft(dir);
    QFile::setPermissions(dir.path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(dir.file("PROFT.DBF"), QFile::ReadOwner | QFile::ReadOther);
    Child child(
        [&] {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return QStringLiteral("setuid");
            static Table t(dir.path(), "PROFT");
            t.Open(OpenMode::Exclusive);
            return t.FieldByName("ABREV").AsString() + '|' + ErrorOf([&] { t.Append(); });
        },
        true);
    EXPECT_EQ(child.Line(), QStringLiteral("ANA|No se puede escribir en la tabla 'PROFT' (%1): solo se puede leer")
                                .arg(QDir::toNativeSeparators(dir.file("PROFT.DBF"))));
    Table exclusive(dir.path(), "PROFT");
    EXPECT_EQ(ErrorOf([&] { exclusive.Open(OpenMode::Exclusive); }), InUse(dir));
    Table shared(dir.path(), "PROFT");
    EXPECT_EQ(ErrorOf([&] { shared.Open(OpenMode::Shared); }), "<sin error>");
    EXPECT_EQ(child.Finish(), 0);
}

TEST(TableLocking, OpeningAnOpenTableChangesNothing) {
    TempDir dir;
    MakeProft(dir);
    Table t(dir.path(), "PROFT");
    t.Open(OpenMode::Exclusive);
    t.Open(OpenMode::Exclusive);
    t.Open(OpenMode::Shared);
    EXPECT_EQ(t.FieldByName("ABREV").AsString(), "ANA");
    t.Close();
    t.Close();
    EXPECT_FALSE(t.IsOpen());
}

}  // namespace
}  // namespace puente
