// All-or-nothing replacement of the Horalis tables, with a backup of the
// replaced ones.
//
// A run builds its tables in a staging folder inside the working directory
// (".puente-staging"), may prepare there a backup of the tables it will
// replace (PrepareBackup: "CopiasPuente/<name>/" inside the folder, the old
// tables hard-linked into it where the file system allows, copied
// otherwise, see run/Backups.h), and Commit() moves everything into place
// only once all is complete:
//   1. every staged file is flushed to disk;
//   2. a COMMIT file is written atomically in the folder: one line per table
//      to put in place, "QUITAR NAME" per table to remove, "COPIA <name>"
//      for the backup;
//   3. the backup is moved into CopiasPuente by one rename (the whole
//      CopiasPuente folder when the working directory has none yet);
//   4. each table is renamed over the old one (old .MDX files removed), each
//      table to remove is deleted;
//   5. the folder is removed, then backups beyond the 20 newest.
// A run that dies before step 2 leaves the working directory as it was (no
// backup either); one that dies after it is finished by the next run, the
// backup whole. Recover() does both: it rolls a committed folder forward and
// removes an uncommitted one. Every run calls it first, while holding the
// working directory's lock (run/WorkingDirectoryLock.h).
#pragma once

#include "run/Backups.h"

#include <QString>
#include <QStringList>

namespace puente {

class Staging {
public:
    // Finishes or discards what an interrupted run left behind.
    static void Recover(const QString& workingDirectory);

    // The staged file that an interrupted, committed run will put in place
    // of `table` (what Recover would move), or empty when none waits. Reads
    // only.
    static QString PendingTableFile(const QString& workingDirectory, const QString& table);

    // A new, empty staging folder (any earlier one is recovered first).
    explicit Staging(QString workingDirectory);
    // Removes the folder and its files when Commit has not run.
    ~Staging();
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;

    const QString& directory() const { return directory_; }

    // Prepares, inside the staging folder, the backup of those of `tables`
    // that exist in the working directory now, and returns the name it
    // will have in CopiasPuente; empty (and nothing prepared) when none of
    // them exists. Call it once, after the new tables are staged and before
    // Commit. Throws Error (InputOutput) when the backup cannot be made
    // (CopiasPuente no folder or not writable, a table that cannot be linked
    // nor copied, the description not written); the working directory is
    // then as it was.
    QString PrepareBackup(const QStringList& tables, const BackupDescription& description);

    // Replaces `tables` (NAME.DBF, any old NAME.MDX removed) of the working
    // directory by the staged ones, removes `removed` (NAME.DBF and NAME.MDX),
    // and places the prepared backup. Throws Error (InputOutput) when a file
    // cannot be written or moved; from the COMMIT file on, Recover finishes
    // the job. Backups beyond the newest 20 are removed afterwards.
    void Commit(const QStringList& tables, const QStringList& removed = {});

private:
    QString workingDirectory_;
    QString directory_;
    QString backup_;  // the name of the prepared backup; empty when none
    bool committed_ = false;
};

// Throws Error (HeldElsewhere) naming the table when one of `tables` exists
// in `directory` and another program holds it.
void CheckTablesFree(const QString& directory, const QStringList& tables);

}  // namespace puente
