// The forward run: an exchange document from ZELTA becomes the six Horalis
// tables of the working directory.
//
// RunForward checks that the document exists, loads it, and rebuilds
// ASIGNOMT, PROFT, AULAT, GRUPOST, DIASHORAST and ASIGT in that order. All or
// nothing: while holding the working directory's lock, it builds the tables
// in a staging folder inside the working directory and replaces the old ones
// only once all six are complete, after checking that no other program holds
// one of them; a run that ends by an error leaves every file of the working
// directory as it was. The tables it replaces (those of the six that exist)
// are kept as a backup in CopiasPuente, committed with the new tables
// (run/Backups.h, run/Staging.h); a backup that cannot be made stops the run
// before anything is replaced.
//
// A simulated run (ForwardOptions::simulate) converts the document in a
// temporary folder outside the working directory, and reports, beside the
// usual report, what would change in each table against the tables now in
// the working directory (forward/TableChanges.h). It creates, changes and
// leaves nothing in the working directory (no lock file, no staging folder,
// no backup); it reads the current tables in shared mode, and fails as a
// real run would when another program holds one of them.
//
// It shows nothing and asks nothing: the front ends do.
#pragma once

#include "run/RunReport.h"

#include <QString>

namespace puente {

// Throws Error (NoInput, "No existe archivo") when no regular file stands at
// `document` (an empty path, a folder and a name of no file all count).
void CheckForwardInput(const QString& document);

struct ForwardOptions {
    bool simulate = false;  // convert aside and report the differences; change nothing
    QString frontEnd;       // the front end that runs it ("puente", "ventana"), for the backup's description
};

// The whole run. Returns what it wrote; throws Error on failure: NoInput as
// CheckForwardInput or when the working directory does not exist, the document's own kinds (NotWellFormed,
// NotExchangeDocument, InputOutput), HeldElsewhere when a table or the
// working directory is in use, BadValue when a field refuses a value,
// InputOutput when the backup of the old tables cannot be made (nothing
// replaced then) or a file cannot be written or moved.
ForwardReport RunForward(const QString& document, const QString& workingDirectory, const ForwardOptions& options = {});

}  // namespace puente
