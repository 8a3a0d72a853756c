#include "run/Backups.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

namespace puente {

namespace {

const QString kTimeFormat = QStringLiteral("yyyyMMdd-HHmmss");

const QRegularExpression& BackupNamePattern() {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{8}-\\d{6})(?:-([2-9]|[1-9]\\d+))?$"));
    return pattern;
}

// The order of backups: by time, then by number (none counts as 1).
struct NameKey {
    QString time;
    qint64 number = 1;
    bool operator<(const NameKey& o) const { return time != o.time ? time < o.time : number < o.number; }
};

NameKey KeyOf(const QString& name) {
    const QRegularExpressionMatch m = BackupNamePattern().match(name);
    NameKey key{m.captured(1), 1};
    if (m.hasCaptured(2)) key.number = m.captured(2).toLongLong();
    return key;
}

// The backup names under `folder`, newest first.
QStringList BackupNames(const QString& folder) {
    QStringList names;
    // A link is no backup: removing one would remove what it points at.
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo& entry : entries)
        if (IsBackupName(entry.fileName())) names << entry.fileName();
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return KeyOf(b) < KeyOf(a); });
    return names;
}

BackupInfo ReadBackup(const QString& folder, const QString& name) {
    BackupInfo info;
    info.name = name;
    info.path = QDir(folder).filePath(name);
    info.time = QDateTime::fromString(KeyOf(name).time, kTimeFormat);
    QFile file(QDir(info.path).filePath(kBackupDescriptionName));
    QJsonObject described;
    if (file.open(QIODevice::ReadOnly)) described = QJsonDocument::fromJson(file.readAll()).object();
    const QDateTime time = QDateTime::fromString(described.value("hora").toString(), Qt::ISODate);
    if (time.isValid()) info.time = time;
    info.document = described.value("documento").toString();
    info.frontEnd = described.value("frontal").toString();
    info.reason = described.value("motivo").toString();
    info.restored = described.value("restaurada").toString();

    // The tables are the files there; the description gives their order and rows.
    QStringList files;
    const QStringList entries = QDir(info.path).entryList(QDir::Files);
    for (const QString& entry : entries)
        if (entry.endsWith(".DBF", Qt::CaseInsensitive)) files << entry.chopped(4).toUpper();
    for (const QJsonValue& v : described.value("tablas").toArray()) {
        const QString table = v.toObject().value("tabla").toString();
        if (!files.contains(table)) continue;
        info.tables << BackupTable{table, v.toObject().value("filas").toInt(-1)};
        files.removeAll(table);
    }
    files.sort();
    for (const QString& table : files) info.tables << BackupTable{table, -1};
    return info;
}

}  // namespace

QString BackupsFolder(const QString& workingDirectory) {
    return QDir(workingDirectory).filePath(QString::fromLatin1(kBackupsFolderName));
}

bool IsBackupName(const QString& name) {
    const QRegularExpressionMatch m = BackupNamePattern().match(name);
    return m.hasMatch() && QDateTime::fromString(m.captured(1), kTimeFormat).isValid();
}

QString NewBackupName(const QString& backupsFolder, const QDateTime& time) {
    const QString base = time.toString(kTimeFormat);
    QString name = base;
    for (int n = 2; QFileInfo::exists(QDir(backupsFolder).filePath(name)); ++n)
        name = QStringLiteral("%1-%2").arg(base).arg(n);
    return name;
}

QList<BackupInfo> ListBackups(const QString& workingDirectory) {
    const QString folder = BackupsFolder(workingDirectory);
    QList<BackupInfo> backups;
    for (const QString& name : BackupNames(folder)) backups << ReadBackup(folder, name);
    return backups;
}

std::optional<BackupInfo> FindBackup(const QString& workingDirectory, const QString& name) {
    const QString folder = BackupsFolder(workingDirectory);
    if (name.isEmpty()) {
        const QStringList names = BackupNames(folder);
        if (names.isEmpty()) return std::nullopt;
        return ReadBackup(folder, names.first());
    }
    const QFileInfo found(QDir(folder).filePath(name));
    if (!IsBackupName(name) || !found.isDir() || found.isSymLink()) return std::nullopt;
    return ReadBackup(folder, name);
}

void PruneBackups(const QString& workingDirectory, int keep) {
    const QString folder = BackupsFolder(workingDirectory);
    QDir dir(folder);
    const QStringList names = BackupNames(folder);
    for (qsizetype i = qMax(0, keep); i < names.size(); ++i) {
        // Hidden first, so that a removal cut short is never listed.
        const QString hidden = QStringLiteral(".%1.borrar").arg(names[i]);
        if (dir.exists(hidden)) QDir(dir.filePath(hidden)).removeRecursively();
        if (dir.rename(names[i], hidden)) QDir(dir.filePath(hidden)).removeRecursively();
    }
    const QStringList leftovers =
        dir.entryList({QStringLiteral(".*.borrar"), QStringLiteral(".*.prueba")}, QDir::Dirs | QDir::Hidden);
    for (const QString& entry : leftovers) QDir(dir.filePath(entry)).removeRecursively();
}

QByteArray BackupDescriptionBytes(const BackupDescription& description, const QList<BackupTable>& tables) {
    QJsonArray list;
    for (const BackupTable& t : tables) list.append(QJsonObject{{"tabla", t.table}, {"filas", t.rows}});
    const QDateTime time = description.time.isValid() ? description.time : QDateTime::currentDateTime();
    QJsonObject object{{"hora", time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate)},
                       {"documento", description.document},
                       {"frontal", description.frontEnd},
                       {"motivo", description.reason},
                       {"tablas", list}};
    if (!description.restored.isEmpty()) object.insert("restaurada", description.restored);
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

}  // namespace puente
