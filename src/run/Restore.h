// Putting a backup's tables back (run/Backups.h).
//
// RestoreBackup makes the forward set of the working directory what it was
// when the backup was made: the backup's tables are copied (never linked:
// Horalis writes its tables in place, and the backup must stay as it is)
// into a staging folder and put in place by the same commit as the forward
// run's, the tables of the set that the backup lacks are removed, and the
// tables it replaces are themselves backed up first, so that a restore is
// undone by restoring the backup it made. Restored tables are byte for byte
// the backed-up ones. All or nothing, as the forward run.
#pragma once

#include "run/RunReport.h"

#include <QString>

namespace puente {

// Restores the backup `name` ("20260110-093005"), or the newest when `name`
// is empty; `frontEnd` goes into the description of the backup it makes.
// Throws Error: NoInput when there is no backup at all or none of that name
// (a name that is no backup name included); HeldElsewhere when another
// conversion holds the working directory or another program one of the
// tables; InputOutput when a file cannot be copied, written or moved, the
// backup of the replaced tables cannot be made (nothing changed then) or
// the backup holds no table.
RestoreReport RestoreBackup(const QString& workingDirectory, const QString& name = QString(),
                            const QString& frontEnd = QString());

}  // namespace puente
