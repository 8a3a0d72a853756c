#include "run/TableFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace puente {

bool TableFileExists(const QString& directory, const QString& name) {
    const QString wanted = name + ".DBF";
    const QStringList entries = QDir(directory).entryList(QDir::Files);
    for (const QString& entry : entries)
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString TableFilePath(const QString& directory, const QString& name) {
    const QString wanted = name + ".DBF";
    if (QFileInfo(QDir(directory).filePath(wanted)).isFile()) return QDir(directory).filePath(wanted);
    const QStringList entries = QDir(directory).entryList(QDir::Files);
    for (const QString& entry : entries)
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0) return QDir(directory).filePath(entry);
    return QString();
}

bool RemoveTableFile(const QString& directory, const QString& name, const QString& extension) {
    const QString wanted = name + "." + extension;
    QDir dir(directory);
    bool allGone = true;
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (entry.compare(wanted, Qt::CaseInsensitive) != 0) continue;
        if (!QFile::remove(dir.filePath(entry))) allGone = false;
    }
    return allGone;
}

}  // namespace puente
