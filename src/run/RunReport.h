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

struct ForwardReport {
    QString document;          // the exchange document converted
    QString workingDirectory;  // where the tables were written
    QList<TableReport> tables; // in the order they were written
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
