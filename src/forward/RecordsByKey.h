// A table of this run read once into memory, its records found by the text
// of one field: for a conversion that looks up many keys in a small table.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace puente {

// Key -> the texts of the fields asked for, in the order asked.
using RecordsByKey = QHash<QString, QStringList>;

// Opens `name` in `directory` exclusively, walks its live records in stored
// order and gives, for each text of the field `key` (as Field::AsString reads
// it), the texts of `fields` of the first record holding it: the record that
// Table::Locate(key, text) would find. Raises the table's own errors (a
// missing table or field, a damaged value).
RecordsByKey ReadRecordsByKey(const QString& directory, const QString& name, const QString& key,
                              const QStringList& fields);

}  // namespace puente
