// The first step every table conversion shares: the old files go, and a new
// table with the given fields is created and opened for appending.
#pragma once

#include "tablestore/Table.h"

#include <QList>
#include <QString>

#include <memory>

namespace puente {

// Deletes NAME.DBF and NAME.MDX in `directory` (any letter case; a failed
// deletion is ignored), creates NAME with `fields` and gives it back open,
// with write-behind on: its records reach the file in batches, the last ones
// at Close.
std::unique_ptr<Table> RebuildTable(const QString& directory, const QString& name, const QList<FieldSpec>& fields,
                                    OpenMode mode = OpenMode::Shared);

}  // namespace puente
