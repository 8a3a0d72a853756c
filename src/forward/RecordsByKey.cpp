#include "forward/RecordsByKey.h"

#include "tablestore/Table.h"

#include <QList>

namespace puente {

RecordsByKey ReadRecordsByKey(const QString& directory, const QString& name, const QString& key,
                              const QStringList& fields) {
    Table table(directory, name);
    table.Open(OpenMode::Exclusive);
    Field keyField = table.FieldByName(key);
    QList<Field> wanted;
    for (const QString& field : fields) wanted.append(table.FieldByName(field));

    RecordsByKey records;
    for (table.First(); !table.Eof(); table.Next()) {
        const QString text = keyField.AsString();
        if (records.contains(text)) continue;  // the first one is the one found
        QStringList texts;
        texts.reserve(wanted.size());
        for (const Field& field : wanted) texts.append(field.AsString());
        records.insert(text, texts);
    }
    table.Close();
    return records;
}

}  // namespace puente
