#include "forward/TableChanges.h"

#include "common/Messages.h"
#include "run/Staging.h"
#include "run/TableFiles.h"
#include "run/TableNames.h"
#include "tablestore/Table.h"

#include <QFileInfo>
#include <QHash>

namespace puente {

namespace {

struct Rows {
    QStringList fields;  // upper case, in table order
    QList<QHash<QString, QString>> values;
};

Rows ReadAll(const QString& directory, const QString& name) {
    Table table(directory, name);
    table.Open(OpenMode::Shared);
    Rows rows;
    for (const FieldInfo& f : table.Fields()) rows.fields << f.name.toUpper();
    QList<Field> fields;
    for (const QString& f : rows.fields) fields << table.FieldByName(f);
    for (table.First(); !table.Eof(); table.Next()) {
        QHash<QString, QString> row;
        for (qsizetype i = 0; i < fields.size(); ++i) row.insert(rows.fields[i], fields[i].AsString());
        rows.values << row;
    }
    return rows;
}

QString Joined(const QHash<QString, QString>& row, const QStringList& fields) {
    QStringList parts;
    for (const QString& f : fields) parts << row.value(f);
    return parts.join(QStringLiteral(" / "));
}

// Each row's key with its occurrence: "M1" first, "M1" second...
QStringList MatchKeys(const Rows& rows, const QStringList& keyFields) {
    QHash<QString, int> seen;
    QStringList keys;
    for (const QHash<QString, QString>& row : rows.values) {
        QStringList parts;
        for (const QString& f : keyFields) parts << row.value(f);
        const QString key = parts.join(QChar(0x1f));
        keys << key + QChar(0x1e) + QString::number(++seen[key]);
    }
    return keys;
}

ItemChange Item(const QHash<QString, QString>& row, const ItemIdentity& identity) {
    QStringList key;
    for (const QString& f : identity.keyFields) key << row.value(f);
    return ItemChange{key.join(QStringLiteral("/")), Joined(row, identity.labelFields), {}};
}

TableChanges Compare(const ItemIdentity& identity, const QString& newDirectory, const QString& workingDirectory) {
    TableChanges changes;
    changes.table = QString::fromLatin1(identity.table);
    changes.keyFields = identity.keyFields;
    const Rows fresh = ReadAll(newDirectory, changes.table);
    changes.newRows = int(fresh.values.size());

    Rows current;
    const QString pending = Staging::PendingTableFile(workingDirectory, changes.table);
    const QString currentDirectory = pending.isEmpty() ? workingDirectory : QFileInfo(pending).path();
    changes.currentExists = TableFileExists(currentDirectory, changes.table);
    if (changes.currentExists) {
        try {
            current = ReadAll(currentDirectory, changes.table);
        } catch (const Error& e) {
            changes.currentProblem = messages::NoteCurrentTableUnreadable(changes.table, e.message());
            current = Rows{};
        }
    }
    changes.currentRows = int(current.values.size());
    if (identity.keyFields.isEmpty()) return changes;

    const QStringList freshKeys = MatchKeys(fresh, identity.keyFields);
    const QStringList currentKeys = MatchKeys(current, identity.keyFields);
    QHash<QString, qsizetype> currentIndex, freshIndex;
    for (qsizetype i = 0; i < currentKeys.size(); ++i) currentIndex.insert(currentKeys[i], i);
    for (qsizetype i = 0; i < freshKeys.size(); ++i) freshIndex.insert(freshKeys[i], i);

    for (qsizetype i = 0; i < freshKeys.size(); ++i) {
        const QHash<QString, QString>& row = fresh.values[i];
        const auto found = currentIndex.constFind(freshKeys[i]);
        if (found == currentIndex.constEnd()) {
            changes.added << Item(row, identity);
            continue;
        }
        const QHash<QString, QString>& old = current.values[*found];
        ItemChange item = Item(row, identity);
        for (const QString& f : fresh.fields)
            if (current.fields.contains(f) && old.value(f) != row.value(f)) item.fields << f;
        if (!item.fields.isEmpty()) changes.changed << item;
    }
    for (qsizetype i = 0; i < currentKeys.size(); ++i)
        if (!freshIndex.contains(currentKeys[i])) changes.removed << Item(current.values[i], identity);
    return changes;
}

}  // namespace

const QList<ItemIdentity>& ForwardItemIdentities() {
    static const QList<ItemIdentity> identities = {
        {tables::kAsignomt, {"IDASIG"}, {"NOMBRE"}},
        {tables::kProft, {"IDPROF"}, {"NOMBRE"}},
        {tables::kAulat, {"IDAULA"}, {"NOMBRE"}},
        {tables::kGrupost, {"IDGRUPO"}, {"DESCRIP"}},
        {tables::kDiashorast, {}, {}},
        {tables::kAsigt, {"IDGRUP", "IDASIG", "IDPROF"}, {"CGRUP", "CASIG", "CPROF"}},
    };
    return identities;
}

QList<TableChanges> CompareTables(const QStringList& tables, const QString& newDirectory,
                                  const QString& workingDirectory) {
    QList<TableChanges> all;
    for (const QString& table : tables) {
        ItemIdentity identity{nullptr, {}, {}};
        for (const ItemIdentity& known : ForwardItemIdentities())
            if (table == QLatin1String(known.table)) identity = known;
        const QByteArray name = table.toLatin1();
        if (!identity.table) identity.table = name.constData();
        all << Compare(identity, newDirectory, workingDirectory);
    }
    return all;
}

}  // namespace puente
