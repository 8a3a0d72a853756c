// What a run found and did, as the runs return it and the front ends show it.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace puente {

// One table of the forward run.
struct TableReport {
    QString table;      // "ASIGNOMT"
    int rows = 0;       // rows written
    QStringList notes;  // elements passed over and why, codes renumbered, tutors not found
};

// One item of a table (a subject, a teacher, a room, a group, an
// assignment) that a simulated forward run would add, remove or change.
struct ItemChange {
    QString key;         // the ZELTA identifier ("M1"); for ASIGT "IDGRUP/IDASIG/IDPROF"
    QString label;       // a readable name of the item (its NOMBRE, DESCRIP or Horalis codes)
    QStringList fields;  // for a changed item: the fields whose values differ, in table order
};

// What a simulated forward run would change in one table, against the table
// now in the working directory. Items are matched by `keyFields`; an
// identifier that several rows share is matched by its occurrence (the
// first with the first...). DIASHORAST has no items: `keyFields` is empty
// and so are the three lists.
struct TableChanges {
    QString table;
    QStringList keyFields;       // {"IDASIG"}; {"IDGRUP", "IDASIG", "IDPROF"}
    int currentRows = 0;         // rows of the table now (0 when there is none)
    int newRows = 0;             // rows the run would write
    bool currentExists = false;  // whether the table is there now
    QString currentProblem;      // why the current table could not be read (all items then count as added)
    QList<ItemChange> added, removed, changed;
};

struct ForwardReport {
    QString document;             // the exchange document converted
    QString workingDirectory;     // where the tables were written (or would be, when simulated)
    QList<TableReport> tables;    // in the order they were written
    bool simulated = false;       // a simulation: nothing in the working directory changed
    QString backup;               // the backup of the replaced tables (its name in CopiasPuente); empty when none
    QList<TableChanges> changes;  // a simulation's differences, per table in the order written
};

// One table of a backup, or of a restore: its name and rows (-1: unknown,
// the table could not be read).
struct BackupTable {
    QString table;
    int rows = -1;
};

struct RestoreReport {
    QString workingDirectory;
    QString restored;           // the backup whose tables were put back
    QString backup;             // the backup made of the tables the restore replaced; empty when none
    QList<BackupTable> tables;  // the tables put back, byte for byte
    QStringList removed;        // tables of the forward set that the restored backup lacks, removed
};

struct ReturnReport {
    QString document;          // the exchange document chosen
    QString workingDirectory;  // where SOLUC and the lookup tables were read
    QString resultPath;        // the result document written
    int entries = 0;           // dsolucion elements written
    int withoutDayOrHour = 0;  // SOLUC records with DIA or HORA 0: passed over
    int subjectNotFound = 0;   // SOLUC records whose ASIG is not in ASIGNOMT: no entry
    QStringList notes;         // values written with '?' for characters XML cannot hold
};

}  // namespace puente
