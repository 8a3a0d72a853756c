// Helpers of the fault tests: the `puente` tool run as a separate process
// (under a file-size limit, as another user, killed at a chosen moment),
// large exchange documents and SOLUC tables, and snapshots of the places a
// run may change.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>

#include <sys/types.h>

namespace puente::faults {

// The tool this build made.
QString PuenteBinary();

struct RunOptions {
    qint64 fileSizeLimit = -1;                   // bytes (RLIMIT_FSIZE, as `ulimit -f`); -1: none
    std::optional<uid_t> user;                   // run as this user and its group (needs root)
    QString readOnly;                            // a folder seen read-only (a bind mount in a
                                                 // mount namespace of its own; needs root)
    std::chrono::milliseconds deadline{120000};  // killed (and reported hung) after this
};

struct Outcome {
    int exitCode = -1;  // when it exited
    int signal = 0;     // when a signal ended it
    bool hung = false;  // killed at the deadline
    QString out, err;
    double seconds = 0;
    long maxRssKb = 0;  // the most memory it held
    bool exited(int code) const { return !hung && signal == 0 && exitCode == code; }
};
void PrintTo(const Outcome& o, std::ostream* os);

// Options with just a file-size limit.
inline RunOptions FileSizeLimit(qint64 bytes) {
    RunOptions o;
    o.fileSizeLimit = bytes;
    return o;
}

// What a child process does before it runs the code under test: the
// read-only mount, then the user, then the file-size limit. 0 when all went
// well, else the step that failed (an exit code for the child). Call only
// in a child made by fork.
int EnterRestrictions(const RunOptions& options);
inline constexpr int kCannotMount = 124;
inline constexpr int kCannotChangeUser = 121;
// Whether this system lets a test make a folder read-only (as root, with
// mount namespaces) / run a child as another user.
bool CanMountReadOnly();
bool CanChangeUser();
// Whether the user "nobody" can start the `puente` of this build (not when
// the build lies under a folder that only its owner may enter, as one made
// by mktemp -d).
bool NobodyCanRunPuente();
// The user "nobody".
inline constexpr uid_t kNobody = 65534;

// A started `puente`. Its output comes through pipes (a file-size limit
// does not reach them), read while it runs.
struct Running {
    pid_t pid = -1;
    int out = -1, err = -1;  // the reading ends
    std::chrono::steady_clock::time_point started;
};
Running StartPuente(const QStringList& args, const RunOptions& options = {});
// Waits until it ends or the deadline passes (then kills it); `tick`, when
// given, is called every few milliseconds while it runs.
Outcome Finish(const Running& running, std::chrono::milliseconds deadline, const std::function<void()>& tick = {});
// Start and finish.
Outcome RunPuente(const QStringList& args, const RunOptions& options = {});

// Every regular file under `dir` (named pipes left out) with its bytes, paths relative to `dir`; the
// last-update date of the tables (header bytes 1-3) blanked, so that sets made
// on different days compare equal.
QMap<QString, QByteArray> Snapshot(const QString& dir);
// The same without the working directory's lock file, which a killed run
// may leave (the next run takes it over: its process is gone), and without
// the run log, which every run appends to, failed ones included (in any
// folder of the snapshot).
QMap<QString, QByteArray> SnapshotWithoutLock(const QString& dir);
// The same without the backups (CopiasPuente) and the run log either: the
// files a run's tables are compared by.
QMap<QString, QByteArray> SnapshotWithoutBackups(const QString& dir);
// The tables (snapshots without the description) of each backup of `dir`,
// newest first.
QList<QMap<QString, QByteArray>> BackupSets(const QString& dir);
// Only the files named, by name (missing ones left out).
QMap<QString, QByteArray> SnapshotOf(const QString& dir, const QStringList& names);
// Copies every file of `from` (recursively) into the empty folder `to`.
void CopyFolder(const QString& from, const QString& to);
// The names of the files directly in `dir`, hidden ones included, the run
// log left out, sorted with letter case (upper case first).
QStringList FilesIn(const QString& dir);
// Files of a snapshot, listed for messages.
std::string Names(const QMap<QString, QByteArray>& snapshot);

// An exchange document with this many assignments (and subjects, teachers,
// rooms and groups in proportion); `tag` goes into every name and code, so
// that two tags give two different sets of tables.
QByteArray LargeDocument(int assignments, const QString& tag);

// A SOLUC table of `rows` placed lessons, whose codes are those of the
// tables in `htemp` (as the forward run wrote them).
void WriteLargeSoluc(const QString& htemp, int rows);

const QStringList& ForwardTables();  // the six tables the forward run writes

// Reports a finished conversion in the INI file `ini` as the window does
// for Horalis (WriteIniValue): 0 when written, 1 when refused with an Error,
// whose message goes to `said`. For a child process (test::RunInChild).
int ReportConversionInIni(const QString& ini, QString& said);

// A working directory ready for either run: `htemp` as the forward run of
// `document` leaves it, and the small SOLUC of the test data (8 records,
// tests/data/return/soluc_dbase3.dbf). False, with the failure reported,
// when something did not go through.
bool PrepareWorkingDirectory(const QString& htemp, const QString& document);

QByteArray ReadAll(const QString& path);
void WriteAll(const QString& path, const QByteArray& bytes);

}  // namespace puente::faults
