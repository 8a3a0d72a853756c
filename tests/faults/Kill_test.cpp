// The process killed (SIGKILL) at random moments of a large forward run and
// of a large return run, many times over.
//
// Forward: the working directory holds an old set of six tables and a SOLUC;
// `puente exportar` of another large document is killed after a random delay
// (half of the delays spread over the whole run, half over its end, where
// the backup and the tables are moved into place). Right after the kill no
// backup is half there: CopiasPuente holds nothing or the whole old set.
// Then, on a copy of what the kill left, Staging::Recover (what every run
// does first) must leave exactly the old set and no backup, or exactly the
// new set and the old one whole as its backup; and the next run of either
// direction, on the folder itself, must go through, leave no staging folder
// behind, and (a forward run) keep what it replaced as a backup of its own.
//
// Return: `puente importar` over a large SOLUC is killed the same way. The
// chosen document and the tables must be as they were, the result document
// either the old one or the whole new one, and the next run must go through.
//
// Each test goes on until 25 kills have landed while the run worked (a run
// that finished before its kill counts apart, and the delays shrink to the
// length it took: the machine may be busier or idler than when the length
// was measured). The delays come from a fixed seed (PUENTE_FAULT_SEED
// overrides it); a failure names the attempt and its delay.
#include "FaultSupport.h"

#include "exchange/Document.h"
#include "run/Staging.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <thread>

#include <csignal>

namespace puente::faults {
namespace {

using namespace std::chrono;

constexpr int kKills = 25;             // kills that land while the run works
constexpr int kAttempts = 3 * kKills;  // at most this many runs started
constexpr int kAssignments = 12000;
constexpr int kSolucRows = 12000;

unsigned Seed() {
    const QByteArray env = qgetenv("PUENTE_FAULT_SEED");
    return env.isEmpty() ? 20260110u : env.toUInt();
}

QByteArray WithoutTimestamp(const QByteArray& xml) {
    return QString::fromUtf8(xml)
        .replace(QRegularExpression("fecha_exportacion=\"[^\"]*\""), "fecha_exportacion=\"\"")
        .toUtf8();
}

// The delay of kill number k: even kills anywhere in the run, odd ones in
// its last 30 % (and a little beyond, when the run may be over).
milliseconds Delay(std::mt19937& rng, int k, double fullSeconds) {
    std::uniform_real_distribution<double> anywhere(0.0, fullSeconds), end(0.7 * fullSeconds, 1.05 * fullSeconds);
    return milliseconds(qint64(1000 * (k % 2 == 0 ? anywhere(rng) : end(rng))));
}

// The length of a whole run of `args`, in seconds: the middle one of three,
// each after `before`.
double MiddleLength(
    const QStringList& args, const std::function<void()>& before = [] {}) {
    QList<double> lengths;
    for (int i = 0; i < 3; ++i) {
        before();
        const Outcome reference = RunPuente(args);
        EXPECT_TRUE(reference.exited(0)) << ::testing::PrintToString(reference);
        lengths << reference.seconds;
    }
    std::sort(lengths.begin(), lengths.end());
    return lengths[1];
}

// Starts `args` and kills it `delay` after the start: true when the kill
// found it working. A run that had already ended must have gone through;
// *full then becomes its length when shorter, so that later kills aim
// earlier.
bool KilledWhileWorking(const QStringList& args, milliseconds delay, double* full) {
    const Running running = StartPuente(args);
    std::this_thread::sleep_until(running.started + delay);
    kill(running.pid, SIGKILL);
    const Outcome killed = Finish(running, seconds(60));
    if (killed.signal == SIGKILL) return true;
    EXPECT_TRUE(killed.exited(0)) << ::testing::PrintToString(killed);
    *full = qMin(*full, killed.seconds);
    return false;
}

// The six tables of a snapshot of a working directory (its backups, SOLUC
// and log left out).
QMap<QString, QByteArray> SixTables(const QMap<QString, QByteArray>& snapshot) {
    QMap<QString, QByteArray> six;
    for (const QString& table : ForwardTables())
        if (snapshot.contains(table + ".DBF")) six.insert(table + ".DBF", snapshot[table + ".DBF"]);
    return six;
}

class KillDuringRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFileInfo(PuenteBinary()).isExecutable()) << "build the target puente first";
        for (const char* d : {"docs", "old", "new"}) QDir(base_.path()).mkpath(d);
        oldDoc_ = Path("docs/old.xml");
        newDoc_ = Path("docs/new.xml");
        WriteAll(oldDoc_, LargeDocument(kAssignments, "V"));
        WriteAll(newDoc_, LargeDocument(kAssignments, "N"));
        ASSERT_TRUE(RunPuente({"exportar", oldDoc_, "--htemp", Path("old")}).exited(0));
        forwardSeconds_ = MiddleLength({"exportar", newDoc_, "--htemp", Path("new")}, [&] {
            QDir(Path("new")).removeRecursively();
            QDir().mkpath(Path("new"));
        });
        ASSERT_FALSE(HasFailure()) << "the reference runs must go through";
        // Each set with the same SOLUC, whose codes are those of the new set.
        WriteLargeSoluc(Path("new"), kSolucRows);
        QFile::copy(Path("new/SOLUC.DBF"), Path("old/SOLUC.DBF"));
        oldSet_ = SnapshotWithoutLock(Path("old"));
        newSet_ = SnapshotWithoutLock(Path("new"));
    }
    QString Path(const QString& relative) const { return base_.filePath(relative); }

    QTemporaryDir base_;
    QString oldDoc_, newDoc_;
    QMap<QString, QByteArray> oldSet_, newSet_;
    double forwardSeconds_ = 0;
};

TEST_F(KillDuringRun, ForwardRunLeavesTheOldSetOrTheNewOne) {
    std::mt19937 rng(Seed());
    int killedMidRun = 0, gaveOld = 0, gaveNew = 0;
    double full = forwardSeconds_;
    int k = 0;
    for (; killedMidRun < kKills && k < kAttempts; ++k) {
        const milliseconds delay = Delay(rng, k, full);
        SCOPED_TRACE("attempt " + std::to_string(k) + " after " + std::to_string(delay.count()) + " ms (seed " +
                     std::to_string(Seed()) + ", full run " + std::to_string(full) + " s)");
        QTemporaryDir htemp;
        CopyFolder(Path("old"), htemp.path());
        killedMidRun += KilledWhileWorking({"exportar", newDoc_, "--htemp", htemp.path()}, delay, &full);

        // A backup is whole or absent, even before the next run finishes the commit.
        const QList<QMap<QString, QByteArray>> leftBackups = BackupSets(htemp.path());
        EXPECT_LE(leftBackups.size(), 1);
        for (const QMap<QString, QByteArray>& backup : leftBackups)
            EXPECT_EQ(backup, SixTables(oldSet_)) << "a backup of " << Names(backup);

        // What the next run finds first, on a copy of what the kill left.
        QTemporaryDir copy;
        CopyFolder(htemp.path(), copy.path());
        Staging::Recover(copy.path());
        const QMap<QString, QByteArray> recovered = SnapshotWithoutBackups(copy.path());
        const bool isOld = recovered == oldSet_, isNew = recovered == newSet_;
        EXPECT_TRUE(isOld || isNew) << "left: " << Names(recovered);
        // Never the new tables without the old ones kept, never a backup of a set still in place.
        const QList<QMap<QString, QByteArray>> backups = BackupSets(copy.path());
        if (isNew) {
            EXPECT_EQ(backups, (QList<QMap<QString, QByteArray>>{SixTables(oldSet_)}));
        } else {
            EXPECT_TRUE(backups.isEmpty()) << backups.size() << " backups";
        }
        gaveOld += isOld;
        gaveNew += isNew;

        // The next run, of either direction, finishes an interrupted commit, goes through and cleans up.
        const bool forward = k % 2 == 0;
        const Outcome next = RunPuente({forward ? "exportar" : "importar", newDoc_, "--htemp", htemp.path()});
        EXPECT_TRUE(next.exited(0)) << ::testing::PrintToString(next);
        EXPECT_FALSE(QFileInfo::exists(htemp.filePath(".puente-staging")));
        EXPECT_EQ(SnapshotWithoutBackups(htemp.path()), forward ? newSet_ : recovered);
        // A forward run keeps what it replaced, newest first, over the backup of the killed one.
        QList<QMap<QString, QByteArray>> wanted;
        if (forward) wanted << SixTables(recovered);
        if (isNew) wanted << SixTables(oldSet_);
        EXPECT_EQ(BackupSets(htemp.path()), wanted);
        EXPECT_EQ(ReadAll(newDoc_), LargeDocument(kAssignments, "N"));
    }
    std::printf(
        "forward run of %.2f s, %d runs started, %d killed while working; %d left the old set, %d the new one\n",
        forwardSeconds_, k, killedMidRun, gaveOld, gaveNew);
    EXPECT_EQ(killedMidRun, kKills) << "the runs ended before their kills";
}

TEST_F(KillDuringRun, ReturnRunLeavesTheOldResultOrTheWholeNewOne) {
    const QString htemp = Path("new");
    const QString result = Path("docs/ResultadoHoralisnew.xml");
    const double measured = MiddleLength({"importar", newDoc_, "--htemp", htemp});
    ASSERT_FALSE(HasFailure()) << "the reference runs must go through";
    double full = measured;
    const QByteArray wanted = WithoutTimestamp(ReadAll(result));
    const QByteArray oldResult = "<?xml version=\"1.0\"?>\n<centro>resultado anterior</centro>\n";
    const QByteArray document = ReadAll(newDoc_);
    const QMap<QString, QByteArray> tables = SnapshotWithoutBackups(htemp);

    std::mt19937 rng(Seed());
    int killedMidRun = 0, gaveOld = 0, gaveNew = 0;
    QStringList leftovers;
    int k = 0;
    for (; killedMidRun < kKills && k < kAttempts; ++k) {
        const milliseconds delay = Delay(rng, k, full);
        SCOPED_TRACE("attempt " + std::to_string(k) + " after " + std::to_string(delay.count()) + " ms (seed " +
                     std::to_string(Seed()) + ", full run " + std::to_string(full) + " s)");
        WriteAll(result, oldResult);
        killedMidRun += KilledWhileWorking({"importar", newDoc_, "--htemp", htemp}, delay, &full);

        const QByteArray left = ReadAll(result);
        const bool isOld = left == oldResult, isNew = WithoutTimestamp(left) == wanted;
        EXPECT_TRUE(isOld || isNew) << "a result of " << left.size() << " bytes";
        gaveOld += isOld;
        gaveNew += isNew;
        EXPECT_EQ(ReadAll(newDoc_), document);
        EXPECT_EQ(SnapshotWithoutBackups(htemp), tables);
        for (const QString& f : FilesIn(Path("docs")))
            if (f != "new.xml" && f != "old.xml" && f != "ResultadoHoralisnew.xml") {
                leftovers << f;
                QFile::remove(Path("docs/" + f));
            }

        const Outcome next = RunPuente({"importar", newDoc_, "--htemp", htemp});
        EXPECT_TRUE(next.exited(0)) << ::testing::PrintToString(next);
        EXPECT_EQ(WithoutTimestamp(ReadAll(result)), wanted);
    }
    std::printf(
        "return run of %.2f s, %d runs started, %d killed while working; %d left the old result, %d the new "
        "one; temporary files left beside the document: %lld\n",
        measured, k, killedMidRun, gaveOld, gaveNew, qint64(leftovers.size()));
    EXPECT_EQ(killedMidRun, kKills) << "the runs ended before their kills";
}

}  // namespace
}  // namespace puente::faults
