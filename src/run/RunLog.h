// The run log: one entry per run, appended to "puente.log" in the working
// directory (UTF-8 text), for the person who wants to know later what was
// converted, when, from where, and how it ended.
//
// An entry is a header line "==== <time> | <direction> | <front end>"
// followed by the document, the outcome, the summary (rows per table, the
// result's counts, the backup made or restored), the notes and the error
// text, each on a line of its own, and an empty line. When the entry would
// take the log past 1 MiB, the log becomes "puente.log.1" (replacing an
// older one) and a new log begins with the entry.
//
// The front ends append an entry after each run of either direction and
// after each restore; a simulated forward run is not logged, as it leaves
// the working directory untouched.
#pragma once

#include "common/Error.h"
#include "run/RunReport.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace puente {

inline constexpr char kRunLogName[] = "puente.log";
inline constexpr char kRunLogOlderName[] = "puente.log.1";
inline constexpr qint64 kRunLogLimit = 1024 * 1024;

struct RunLogEntry {
    QDateTime time;       // when the run ended; invalid: now
    QString direction;    // messages::kLogDirectionForward, ...Return, ...Restore
    QString frontEnd;     // "puente", "ventana"
    QString document;     // the exchange document; empty for a restore
    QString outcome;      // messages::kLogOutcomeDone, ...NoInput, ...Failed
    QStringList summary;  // one line each
    QStringList notes;    // one line each
    QString error;        // the error's message, for a run that failed
};

// The entries of the runs, made from what they returned or threw.
RunLogEntry LogEntryOf(const ForwardReport& report, const QString& frontEnd);
RunLogEntry LogEntryOf(const ReturnReport& report, const QString& frontEnd);
RunLogEntry LogEntryOf(const RestoreReport& report, const QString& frontEnd);
// A run that ended by `error`: outcome NoInput for an error of kind NoInput,
// Failed for any other.
RunLogEntry LogEntryOf(const QString& direction, const QString& document, const QString& frontEnd, const Error& error);

// The entry as it is written, its last line ended.
QString RunLogText(const RunLogEntry& entry);

// Appends `entry` to the log of `workingDirectory`, renewing the log first
// when the entry would take it past kRunLogLimit. Never throws and never
// creates the working directory. True when the entry was written and the log
// renewed as needed; false with the reason (Spanish, complete) in `reason`
// otherwise: the entry was not written, or it was but the log could not be
// renewed (the reason says which).
bool AppendRunLog(const QString& workingDirectory, const RunLogEntry& entry, QString* reason);

}  // namespace puente
