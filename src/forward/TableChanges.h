// What a forward run would change in the tables of the working directory:
// the items of each table that it would add, remove and change.
//
// Items are matched by their ZELTA identifier: IDASIG in ASIGNOMT, IDPROF in
// PROFT, IDAULA in AULAT, IDGRUPO in GRUPOST; an assignment of ASIGT by the
// group, subject and teacher it joins (IDGRUP, IDASIG, IDPROF), which is
// what the document itself names an assignment by (it has no identifier of
// its own). Several rows with one identifier (a document may repeat one) are
// matched by occurrence: the first with the first, the second with the
// second. An item is changed when a field that both tables have holds
// another value (read as text). DIASHORAST has no items.
#pragma once

#include "run/RunReport.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace puente {

// How the items of a table are identified and named.
struct ItemIdentity {
    const char* table;
    QStringList keyFields;    // empty: the table has no items
    QStringList labelFields;  // joined by " / " to name an item
};

// The identity of each table of the forward run, in its order.
const QList<ItemIdentity>& ForwardItemIdentities();

// The changes of each of `tables` (written in `newDirectory`) against the
// table of that name now in `workingDirectory`, or the one that an
// interrupted commit there is to put in place. The current tables are read
// in shared mode; nothing is written. A current table that cannot be read
// gives `currentProblem` and counts as empty. Throws Error when a new table
// cannot be read.
QList<TableChanges> CompareTables(const QStringList& tables, const QString& newDirectory,
                                  const QString& workingDirectory);

}  // namespace puente
