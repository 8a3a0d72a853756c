// The backups of the Horalis tables that a run replaces.
//
// Every run that replaces tables (the forward run, a restore) keeps the
// tables it replaces, those of the set that exist, in a folder of their own
// under "CopiasPuente" in the working directory, named by the local time it
// was made: "AAAAMMDD-HHMMSS" ("20260110-093005"), then "-2", "-3"... when
// several fall in one second. Beside the tables (NAME.DBF, byte for byte
// as they were) lies "descripcion.json": the time, the document and the
// front end of the run, why it was made ("exportar", "restaurar"), the backup
// a restore put back, and the rows of each table.
//
// A backup is prepared inside the staging folder and reaches CopiasPuente by
// one rename, recorded in the COMMIT file (run/Staging.h): after any
// interruption it is either whole there or not there at all. The 20 newest
// are kept; older ones are renamed to a hidden name and then removed, so
// that a removal cut short leaves no half backup among the listed ones.
#pragma once

#include "run/RunReport.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace puente {

inline constexpr char kBackupsFolderName[] = "CopiasPuente";
inline constexpr char kBackupDescriptionName[] = "descripcion.json";
inline constexpr int kKeptBackups = 20;
// Why a backup was made.
inline constexpr char kBackupReasonForward[] = "exportar";
inline constexpr char kBackupReasonRestore[] = "restaurar";

struct BackupInfo {
    QString name;               // "20260110-093005", "20260110-093005-2"
    QString path;               // its folder
    QDateTime time;             // when it was made (from its description, else from its name)
    QString document;           // the document of the run that replaced these tables; empty for a restore
    QString frontEnd;           // the front end that ran it ("puente", "ventana"); may be empty
    QString reason;             // kBackupReasonForward or kBackupReasonRestore; empty when not described
    QString restored;           // for a restore: the backup it put back
    QList<BackupTable> tables;  // the tables it holds, with their rows (-1 when unknown)
};

// What a new backup is described with.
struct BackupDescription {
    QDateTime time;  // when it is made; invalid: now
    QString document;
    QString frontEnd;
    QString reason;
    QString restored;
};

// <workingDirectory>/CopiasPuente.
QString BackupsFolder(const QString& workingDirectory);

// Whether `name` is the name of a backup ("AAAAMMDD-HHMMSS" with an optional
// "-N", N from 2): anything else (a path, "..", a hidden name) is not.
bool IsBackupName(const QString& name);

// The name for a backup made at `time` that no entry of `backupsFolder`
// takes: the time's name, else with "-2", "-3"...
QString NewBackupName(const QString& backupsFolder, const QDateTime& time);

// The backups of the working directory, newest first (by name: time, then
// number). None when there is no CopiasPuente. Reads only; never throws.
QList<BackupInfo> ListBackups(const QString& workingDirectory);

// The backup named `name`, or the newest when `name` is empty; nothing when
// there is no such backup (a name that is no backup name included).
std::optional<BackupInfo> FindBackup(const QString& workingDirectory, const QString& name);

// Removes all but the `keep` newest backups (and what an earlier removal cut
// short left). A backup that cannot be removed stays; never throws.
void PruneBackups(const QString& workingDirectory, int keep = kKeptBackups);

// The bytes of descripcion.json for a backup of `tables` (UTF-8 JSON).
QByteArray BackupDescriptionBytes(const BackupDescription& description, const QList<BackupTable>& tables);

}  // namespace puente
