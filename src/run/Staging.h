// All-or-nothing replacement of the Horalis tables.
//
// The forward run builds its tables in a staging folder inside the working
// directory (".puente-staging"), and Commit() moves them into place only once
// all are complete:
//   1. every staged file is flushed to disk;
//   2. a COMMIT file listing the tables is written atomically in the folder;
//   3. each table is renamed over the old one (old .MDX files removed);
//   4. the folder is removed.
// A run that dies before step 2 leaves the working directory as it was; one
// that dies after it is finished by the next run. Recover() does both: it
// rolls a committed folder forward and removes an uncommitted one. Both runs
// call it first, while holding the working directory's lock
// (run/WorkingDirectoryLock.h).
#pragma once

#include <QString>
#include <QStringList>

namespace puente {

class Staging {
public:
    // Finishes or discards what an interrupted forward run left behind.
    static void Recover(const QString& workingDirectory);

    // A new, empty staging folder (any earlier one is recovered first).
    explicit Staging(QString workingDirectory);
    // Removes the folder and its files when Commit has not run.
    ~Staging();
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;

    const QString& directory() const { return directory_; }

    // Replaces `tables` (NAME.DBF, any old NAME.MDX removed) of the working
    // directory by the staged ones. Throws Error (InputOutput) when a file
    // cannot be written or moved; from the COMMIT file on, Recover finishes
    // the job.
    void Commit(const QStringList& tables);

private:
    QString workingDirectory_;
    QString directory_;
    bool committed_ = false;
};

// Throws Error (HeldElsewhere) naming the table when one of `tables` exists
// in `directory` and another program holds it.
void CheckTablesFree(const QString& directory, const QStringList& tables);

}  // namespace puente
