// The summary of a run as lines of text, the same for every front end: the
// document and working directory, each table with its rows and notes, or the
// result document and its counts.
#pragma once

#include "run/Backups.h"
#include "run/RunReport.h"

#include <QStringList>

namespace puente {

// "Documento: …", "Carpeta de trabajo: …", then per table "NAME: n filas"
// followed by its notes, each as "  - note".
QStringList ForwardSummary(const ForwardReport& report);

// A simulation: its first line, then per table what would change: the rows
// now and after, and each item added (+), removed (-) and changed (~).
QStringList SimulationSummary(const ForwardReport& report);

// A restore: the backup put back, the backup of what it replaced, each
// table with its rows, the tables removed.
QStringList RestoreSummary(const RestoreReport& report);

// The backups, newest first: name, time, document and front end, then the
// tables with their rows; one line when there are none.
QStringList BackupsSummary(const QList<BackupInfo>& backups, const QString& workingDirectory);

// "Resultado: …", then the entries written and the records passed over,
// then the notes, each as "  - note".
QStringList ReturnSummary(const ReturnReport& report);

}  // namespace puente
