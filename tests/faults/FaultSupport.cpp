#include "FaultSupport.h"
#include "support/ChildProcess.h"

#include "common/Error.h"
#include "platform/IniFile.h"
#include "run/Backups.h"
#include "run/RunLog.h"
#include "tablestore/Table.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace puente::faults {

using namespace std::chrono;

QString PuenteBinary() { return QStringLiteral(PUENTE_BIN_DIR "/puente"); }

void PrintTo(const Outcome& o, std::ostream* os) {
    *os << (o.hung     ? "hung"
            : o.signal ? "signal " + std::to_string(o.signal)
                       : "exit " + std::to_string(o.exitCode))
        << " after " << o.seconds << " s; stderr: " << o.err.toStdString() << "; stdout: " << o.out.toStdString();
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
}

int EnterRestrictions(const RunOptions& options) {
    if (!options.readOnly.isEmpty()) {
        const QByteArray dir = QFile::encodeName(options.readOnly);
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount(dir.constData(), dir.constData(), nullptr, MS_BIND, nullptr) != 0 ||
            mount(nullptr, dir.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
            return kCannotMount;
    }
    if (options.user) {
        const gid_t group = *options.user;
        if (setgroups(0, nullptr) != 0 || setgid(group) != 0 || setuid(*options.user) != 0) return kCannotChangeUser;
    }
    if (options.fileSizeLimit >= 0) {
        const rlimit fsize{rlim_t(options.fileSizeLimit), rlim_t(options.fileSizeLimit)};
        if (setrlimit(RLIMIT_FSIZE, &fsize) != 0) return 122;
    }
    return 0;
}

namespace {

bool ChildManages(const RunOptions& options) {
    return test::RunInChild([&](QString&) { return EnterRestrictions(options); }).code == 0;
}

}  // namespace

bool CanMountReadOnly() {
    static const bool can = [] {
        QTemporaryDir dir;
        RunOptions o;
        o.readOnly = dir.path();
        return ChildManages(o);
    }();
    return can;
}

bool CanChangeUser() {
    static const bool can = [] {
        RunOptions o;
        o.user = kNobody;
        return geteuid() == 0 && ChildManages(o);
    }();
    return can;
}

bool NobodyCanRunPuente() {
    static const bool can = [] {
        if (!CanChangeUser()) return false;
        RunOptions o;
        o.user = kNobody;
        const QByteArray program = QFile::encodeName(PuenteBinary());
        return test::RunInChild([&](QString&) {
                   if (const int failed = EnterRestrictions(o)) return failed;
                   return access(program.constData(), X_OK) == 0 ? 0 : 1;
               }).code == 0;
    }();
    return can;
}

Running StartPuente(const QStringList& args, const RunOptions& options) {
    // Everything the child needs is made before fork: after it, only calls
    // that are safe in a child of a threaded process.
    std::vector<QByteArray> storage;
    storage.push_back(QFile::encodeName(PuenteBinary()));
    for (const QString& a : args) storage.push_back(QFile::encodeName(a));
    std::vector<char*> argv;
    for (QByteArray& s : storage) argv.push_back(s.data());
    argv.push_back(nullptr);
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) ADD_FAILURE() << "pipe";

    Running running;
    running.started = steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (dup2(out[1], 1) < 0 || dup2(err[1], 2) < 0) _exit(120);
        if (const int failed = EnterRestrictions(options)) _exit(failed);
        execv(argv[0], argv.data());
        _exit(123);
    }
    close(out[1]);
    close(err[1]);
    fcntl(out[0], F_SETFL, O_NONBLOCK);
    fcntl(err[0], F_SETFL, O_NONBLOCK);
    running.pid = pid;
    running.out = out[0];
    running.err = err[0];
    return running;
}

namespace {

void Drain(int fd, QByteArray& into) {
    char buffer[65536];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) into.append(buffer, n);
}

}  // namespace

Outcome Finish(const Running& running, milliseconds deadline, const std::function<void()>& tick) {
    Outcome o;
    QByteArray out, err;
    int status = 0;
    rusage usage{};
    for (;;) {
        Drain(running.out, out);
        Drain(running.err, err);
        const pid_t done = wait4(running.pid, &status, WNOHANG, &usage);
        if (done == running.pid) break;
        if (steady_clock::now() - running.started > deadline) {
            kill(running.pid, SIGKILL);
            wait4(running.pid, &status, 0, &usage);
            o.hung = true;
            break;
        }
        if (tick) tick();
        std::this_thread::sleep_for(milliseconds(2));
    }
    Drain(running.out, out);
    Drain(running.err, err);
    close(running.out);
    close(running.err);
    o.maxRssKb = usage.ru_maxrss;
    o.seconds = duration<double>(steady_clock::now() - running.started).count();
    if (!o.hung) {
        if (WIFEXITED(status)) o.exitCode = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) o.signal = WTERMSIG(status);
    }
    o.out = QString::fromUtf8(out);
    o.err = QString::fromUtf8(err);
    return o;
}

Outcome RunPuente(const QStringList& args, const RunOptions& options) {
    return Finish(StartPuente(args, options), options.deadline);
}

namespace {

QByteArray Normalised(const QString& name, QByteArray bytes) {
    if (name.endsWith(".DBF", Qt::CaseInsensitive) && bytes.size() >= 4) bytes.replace(1, 3, "DDD");
    return bytes;
}

}  // namespace

QMap<QString, QByteArray> Snapshot(const QString& dir) {
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = QDir(dir).relativeFilePath(path);
        files.insert(name, Normalised(name, ReadAll(path)));
    }
    // Empty folders count too: a staging folder left behind is a fault.
    QDirIterator dirs(dir, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (dirs.hasNext()) {
        const QString path = dirs.next();
        if (QDir(path).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
            files.insert(QDir(dir).relativeFilePath(path) + "/", {});
    }
    return files;
}

QMap<QString, QByteArray> SnapshotWithoutLock(const QString& dir) {
    QMap<QString, QByteArray> files = Snapshot(dir);
    const QStringList left = {".puente.lock", kRunLogName, QString(kRunLogName) + ".1"};
    for (const QString& name : files.keys())
        if (left.contains(QFileInfo(name).fileName())) files.remove(name);
    return files;
}

QMap<QString, QByteArray> SnapshotWithoutBackups(const QString& dir) {
    QMap<QString, QByteArray> files = SnapshotWithoutLock(dir);
    for (const QString& name : files.keys())
        if (name.startsWith(QString(kBackupsFolderName) + "/") || name.startsWith(kRunLogName)) files.remove(name);
    return files;
}

QList<QMap<QString, QByteArray>> BackupSets(const QString& dir) {
    QList<QMap<QString, QByteArray>> sets;
    for (const BackupInfo& backup : ListBackups(dir)) {
        QMap<QString, QByteArray> files = Snapshot(backup.path);
        files.remove(kBackupDescriptionName);
        sets << files;
    }
    return sets;
}

QMap<QString, QByteArray> SnapshotOf(const QString& dir, const QStringList& names) {
    QMap<QString, QByteArray> files;
    for (const QString& name : names) {
        const QString path = QDir(dir).filePath(name);
        if (QFileInfo(path).isFile()) files.insert(name, Normalised(name, ReadAll(path)));
    }
    return files;
}

void CopyFolder(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = QDir(to).filePath(QDir(from).relativeFilePath(path));
        QDir().mkpath(QFileInfo(target).path());
        if (!QFile::copy(path, target)) ADD_FAILURE() << "cannot copy " << path.toStdString();
    }
}

QStringList FilesIn(const QString& dir) {
    QStringList files = QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    files.removeAll(kRunLogName);
    files.removeAll(QString(kRunLogName) + ".1");
    return files;
}

std::string Names(const QMap<QString, QByteArray>& snapshot) {
    return QStringList(snapshot.keys()).join(", ").toStdString();
}

const QStringList& ForwardTables() {
    static const QStringList tables = {"ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "DIASHORAST", "ASIGT"};
    return tables;
}

QByteArray LargeDocument(int assignments, const QString& tag) {
    const int subjects = qMax(1, assignments / 15);
    const int teachers = qMax(1, assignments / 20);
    const int rooms = qMax(1, assignments / 50);
    const int groups = qMax(1, assignments / 30);
    QString xml;
    xml.reserve(assignments * 120);
    xml += QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<centro codigo_interno=\"28%1\" nombre=\"IES Grande %1\" curso=\"2026\" version=\"3\">\n")
               .arg(tag);
    xml += "<materias>\n";
    for (int i = 0; i < subjects; ++i)
        xml += QStringLiteral(
                   "<dmaterias abrev=\"%1M%2\" nombre=\"Materia %2 %1\" codigo_actividad=\"A%2\" "
                   "denivel=\"ESO\" decurso=\"%3\" codigo=\"%1S%2\"/>\n")
                   .arg(tag)
                   .arg(i)
                   .arg(1 + i % 4);
    xml += "</materias>\n<profesores>\n";
    for (int i = 0; i < teachers; ++i)
        xml += QStringLiteral(
                   "<profesor abrev=\"%1P%2\" nombre=\"Nombre%2\" apellido1=\"Núñez%1\" apellido2=\"Gil\" "
                   "departamen=\"Dep%3\" documento=\"%2X\" codigo=\"%1T%2\"/>\n")
                   .arg(tag)
                   .arg(i)
                   .arg(i % 7);
    xml += "</profesores>\n<aulas>\n";
    for (int i = 0; i < rooms; ++i)
        xml += QStringLiteral("<daula nombre=\"Aula %2 %1\" capacidad_alumnos=\"%3\" codigo=\"%1R%2\"/>\n")
                   .arg(tag)
                   .arg(i)
                   .arg(20 + i % 15);
    xml += "</aulas>\n<grupos>\n";
    for (int i = 0; i < groups; ++i)
        xml += QStringLiteral(
                   "<dgrupo nombre=\"%2ESO %1\" codigo_nivel=\"ESO\" turno=\"M\" curso=\"%3\" "
                   "codigo_tutor=\"%1T%4\" codigo=\"%1G%2\"/>\n")
                   .arg(tag)
                   .arg(i)
                   .arg(1 + i % 4)
                   .arg(i % teachers);
    xml += "</grupos>\n<asignaturas>\n";
    for (int i = 0; i < assignments; ++i)
        xml += QStringLiteral("<dasignatura cgrupo=\"%1G%2\" casig=\"%1S%3\" cprofe=\"%1T%4\" nhoras=\"%5\"/>\n")
                   .arg(tag)
                   .arg(i % groups)
                   .arg(i % subjects)
                   .arg(i % teachers)
                   .arg(1 + i % 5);
    xml += "</asignaturas>\n</centro>\n";
    return xml.toUtf8();
}

void WriteLargeSoluc(const QString& htemp, int rows) {
    auto column = [&](const QString& table, const QString& field) {
        Table t(htemp, table);
        t.Open(OpenMode::Shared);
        QStringList values;
        for (t.First(); !t.Eof(); t.Next()) values << t.FieldByName(field).AsString();
        return values;
    };
    const QStringList subjects = column("ASIGNOMT", "COD"), teachers = column("PROFT", "ABREV"),
                      rooms = column("AULAT", "ABREV"), groups = column("GRUPOST", "ABREV");
    Table soluc(htemp, "SOLUC");
    soluc.CreateTable({{"DIA", FieldKind::Integer},
                       {"HORA", FieldKind::Float},
                       {"SESIONES", FieldKind::Character, 10},
                       {"CODGRUPO", FieldKind::Character, 10},
                       {"ASIG", FieldKind::Character, 10},
                       {"TAREA", FieldKind::Character, 10},
                       {"PROF", FieldKind::Character, 10},
                       {"AULA", FieldKind::Character, 10}});
    soluc.Open(OpenMode::Exclusive);
    for (int i = 0; i < rows; ++i) {
        soluc.Append();
        soluc.FieldByName("DIA").SetAsString(QString::number(1 + i % 5));
        soluc.FieldByName("HORA").SetAsFloat(1 + i % 7);
        soluc.FieldByName("SESIONES").SetAsString("1");
        soluc.FieldByName("CODGRUPO").SetAsString(groups[i % groups.size()]);
        soluc.FieldByName("ASIG").SetAsString(subjects[i % subjects.size()]);
        soluc.FieldByName("TAREA").SetAsString(subjects[(i + 1) % subjects.size()]);
        soluc.FieldByName("PROF").SetAsString(teachers[i % teachers.size()]);
        soluc.FieldByName("AULA").SetAsString(rooms[i % rooms.size()]);
        soluc.Post();
    }
}

bool PrepareWorkingDirectory(const QString& htemp, const QString& document) {
    QDir().mkpath(htemp);
    const Outcome forward = RunPuente({"exportar", document, "--htemp", htemp});
    EXPECT_TRUE(forward.exited(0)) << ::testing::PrintToString(forward);
    const bool copied = QFile::copy(QStringLiteral(PUENTE_TEST_DATA "/return/soluc_dbase3.dbf"), htemp + "/SOLUC.DBF");
    EXPECT_TRUE(copied) << "SOLUC into " << htemp.toStdString();
    return forward.exited(0) && copied;
}

int ReportConversionInIni(const QString& ini, QString& said) {
    try {
        WriteIniValue(ini, "Transformadores", "Transformado", "1");
    } catch (const Error& e) {
        said = e.message();
        return 1;
    }
    return 0;
}

}  // namespace puente::faults
