#include "cli/Cli.h"

#include "common/Messages.h"
#include "forward/ForwardRun.h"
#include "platform/Paths.h"
#include "platform/CommandLine.h"
#include "return/ReturnRun.h"
#include "run/Backups.h"
#include "run/Restore.h"
#include "run/RunLog.h"
#include "run/RunSummary.h"
#include "run/WorkingDirectoryLock.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace puente {

namespace {

const char* const kUsage =
    "Uso:\n"
    "  puente exportar DOCUMENTO.xml [--htemp CARPETA] [--json | --quiet]\n"
    "      Convierte el documento de intercambio de ZELTA en las tablas de Horalis\n"
    "      (ASIGNOMT, PROFT, AULAT, GRUPOST, DIASHORAST, ASIGT).\n"
    "  puente importar DOCUMENTO.xml [--htemp CARPETA] [--json | --quiet]\n"
    "      Convierte el horario que Horalis dejó en SOLUC en el documento de resultado\n"
    "      ResultadoHoralis<DOCUMENTO>.xml, junto al documento elegido.\n"
    "  puente exportar DOCUMENTO.xml --simular [--htemp CARPETA] [--json | --quiet]\n"
    "      Convierte aparte y muestra qué cambiaría en cada tabla, sin tocar la carpeta de trabajo.\n"
    "  puente copias [--htemp CARPETA] [--json]\n"
    "      Lista las copias de seguridad de las tablas (CopiasPuente), de la más reciente a la más antigua.\n"
    "  puente restaurar [COPIA] [--htemp CARPETA] [--json | --quiet]\n"
    "      Vuelve a poner las tablas de una copia (la más reciente si no se indica), después de\n"
    "      copiar las que reemplaza, de modo que se puede deshacer con otra restauración.\n"
    "  puente --help | --version\n"
    "\n"
    "  --htemp CARPETA   carpeta de trabajo de Horalis, que debe existir (por omisión: %1)\n"
    "  --json            un objeto JSON en la salida estándar en lugar del resumen\n"
    "  --quiet           nada en la salida estándar\n"
    "  --simular         con exportar: no cambia nada, muestra las diferencias\n"
    "  --                lo que sigue no son opciones (un documento que empieza por -)\n"
    "\n"
    "Estado de salida: 0 proceso finalizado; 1 error; 2 no existe el documento, SOLUC\n"
    "o la carpeta de trabajo; 64 uso incorrecto; 74 no se pudo escribir la salida;\n"
    "75 una tabla o la carpeta de trabajo está en uso por otro programa (inténtelo más tarde).\n";

enum class Output { Text, Json, Quiet };

// Each run of `puente` is logged in the working directory as by this front end.
const QString kFrontEnd = QStringLiteral("puente");

struct Invocation {
    QString command;   // "exportar", "importar", "copias" or "restaurar"
    QString document;  // exportar, importar
    QString backup;    // restaurar: the backup named, empty for the newest
    bool simulate = false;
    QString workingDirectory;
    bool defaultWorkingDirectory = true;
    Output output = Output::Text;
};

QString Usage() { return QString::fromUtf8(kUsage).arg(QDir::toNativeSeparators(DefaultWorkingDirectory())); }

// A message on standard error, with line ends as a terminal has them.
void Say(QTextStream& err, const QString& text) { err << QString(text).replace("\r\n", "\n") << Qt::endl; }

int UsageError(QTextStream& err, const QString& problem) {
    err << problem << "\n\n" << Usage();
    err.flush();
    return kExitUsage;
}

// The exit status of a run that ended by `error`.
int StatusFor(const Error& error) {
    switch (error.kind()) {
    case ErrorKind::NoInput: return kExitNoInput;
    case ErrorKind::HeldElsewhere: return kExitBusy;
    default: return kExitError;
    }
}

// What the person reads for `error`: a missing input with its path, the way
// to choose another working directory when the default one is missing, and
// "Error: " before every other failure.
QString ErrorText(const Error& error, const Invocation& call) {
    if (error.kind() != ErrorKind::NoInput) return QStringLiteral("Error: ") + error.message();
    QString text = messages::WithMissingPath(error);
    if (call.defaultWorkingDirectory && error.place().path == call.workingDirectory)
        text += QStringLiteral(" ") + messages::WorkingDirectoryHint(call.workingDirectory);
    return text;
}

QJsonObject JsonStart(const Invocation& call) {
    QJsonObject o{{"orden", call.command}, {"carpeta", QDir::toNativeSeparators(call.workingDirectory)}};
    if (call.command == "exportar" || call.command == "importar")
        o["documento"] = QDir::toNativeSeparators(call.document);
    if (call.command == "restaurar") o["copia_pedida"] = call.backup;
    return o;
}

QJsonArray ItemsJson(const QList<ItemChange>& items) {
    QJsonArray list;
    for (const ItemChange& i : items)
        list.append(
            QJsonObject{{"clave", i.key}, {"nombre", i.label}, {"campos", QJsonArray::fromStringList(i.fields)}});
    return list;
}

QJsonArray ChangesJson(const QList<TableChanges>& changes) {
    QJsonArray list;
    for (const TableChanges& c : changes)
        list.append(QJsonObject{{"nombre", c.table},
                                {"existe", c.currentExists},
                                {"filas_ahora", c.currentRows},
                                {"filas_despues", c.newRows},
                                {"problema", c.currentProblem},
                                {"anadidos", ItemsJson(c.added)},
                                {"quitados", ItemsJson(c.removed)},
                                {"cambiados", ItemsJson(c.changed)}});
    return list;
}

QJsonObject Json(const ForwardReport& report, const Invocation& call) {
    QJsonObject o = JsonStart(call);
    o["resultado"] = "hecho";
    QJsonArray tables;
    for (const TableReport& t : report.tables)
        tables.append(
            QJsonObject{{"nombre", t.table}, {"filas", t.rows}, {"notas", QJsonArray::fromStringList(t.notes)}});
    o["tablas"] = tables;
    o["copia"] = report.backup;
    if (report.simulated) {
        o["simulado"] = true;
        o["cambios"] = ChangesJson(report.changes);
    }
    return o;
}

QJsonObject Json(const ReturnReport& report, const Invocation& call) {
    QJsonObject o = JsonStart(call);
    o["resultado"] = "hecho";
    o["resultado_documento"] = QDir::toNativeSeparators(report.resultPath);
    o["entradas"] = report.entries;
    o["pasados_por_alto"] = report.withoutDayOrHour;
    o["sin_entrada"] = report.subjectNotFound;
    o["notas"] = QJsonArray::fromStringList(report.notes);
    return o;
}

QJsonObject Json(const BackupInfo& b) {
    QJsonArray tables;
    for (const BackupTable& t : b.tables) tables.append(QJsonObject{{"nombre", t.table}, {"filas", t.rows}});
    return {{"nombre", b.name},
            {"fecha", b.time.toString(Qt::ISODate)},
            {"documento", QDir::toNativeSeparators(b.document)},
            {"programa", b.frontEnd},
            {"motivo", b.reason},
            {"restaurada", b.restored},
            {"tablas", tables}};
}

QJsonObject Json(const QList<BackupInfo>& backups, const Invocation& call) {
    QJsonObject o = JsonStart(call);
    o["resultado"] = "hecho";
    QJsonArray list;
    for (const BackupInfo& b : backups) list.append(Json(b));
    o["copias"] = list;
    return o;
}

QJsonObject Json(const RestoreReport& report, const Invocation& call) {
    QJsonObject o = JsonStart(call);
    o["resultado"] = "hecho";
    o["restaurada"] = report.restored;
    o["copia"] = report.backup;
    QJsonArray tables;
    for (const BackupTable& t : report.tables) tables.append(QJsonObject{{"nombre", t.table}, {"filas", t.rows}});
    o["tablas"] = tables;
    o["quitadas"] = QJsonArray::fromStringList(report.removed);
    return o;
}

QJsonObject Json(const Error& error, const Invocation& call) {
    QJsonObject o = JsonStart(call);
    o["resultado"] = error.kind() == ErrorKind::NoInput ? "sin_entrada" : "error";
    o["error"] = ErrorText(error, call);
    o["tipo_error"] = QString::fromLatin1(KindName(error.kind()));
    return o;
}

// Parses `args`: the invocation, or the exit status to end with.
std::optional<Invocation> Parse(const QStringList& args, QTextStream& out, QTextStream& err, int* status) {
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption htemp(QStringLiteral("htemp"), QString(), QStringLiteral("CARPETA"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption quiet(QStringLiteral("quiet"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption simulate(QStringLiteral("simular"));
    parser.addOptions({htemp, json, quiet, help, version, simulate});

    if (!parser.parse(QStringList{QStringLiteral("puente")} + args)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString& name = unknown.first();
            *status =
                UsageError(err, QStringLiteral("Opción desconocida: %1%2").arg(name.size() == 1 ? "-" : "--", name));
        } else {
            *status = UsageError(err, QStringLiteral("Falta la carpeta después de --htemp."));
        }
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        out << Usage();
        *status = kExitDone;
        return std::nullopt;
    }
    if (parser.isSet(version)) {
        out << "puente (PuenteHoralisZelta) " << PUENTE_VERSION << "\n";
        *status = kExitDone;
        return std::nullopt;
    }
    const QStringList positional = parser.positionalArguments();
    Invocation call;
    call.command = positional.isEmpty() ? QString() : FoldAsciiLower(positional[0]);
    const bool withDocument = call.command == "exportar" || call.command == "importar";
    if (positional.isEmpty() || (withDocument && positional.size() != 2)) {
        *status = UsageError(err, QStringLiteral("Indique la orden (exportar o importar) y el documento XML."));
        return std::nullopt;
    }
    if (!withDocument && call.command != "copias" && call.command != "restaurar") {
        *status = UsageError(
            err,
            QStringLiteral("Orden desconocida: %1 (use exportar, importar, copias o restaurar).").arg(positional[0]));
        return std::nullopt;
    }
    if ((call.command == "copias" && positional.size() != 1) ||
        (call.command == "restaurar" && positional.size() > 2)) {
        *status = UsageError(err, QStringLiteral("Demasiados argumentos para %1.").arg(call.command));
        return std::nullopt;
    }
    if (call.command == "restaurar" && positional.size() == 2) call.backup = positional[1];
    call.simulate = parser.isSet(simulate);
    if (call.simulate && call.command != "exportar") {
        *status = UsageError(err, QStringLiteral("--simular solo vale con exportar."));
        return std::nullopt;
    }
    if (call.command == "copias" && parser.isSet(quiet)) {
        *status = UsageError(err, QStringLiteral("--quiet no vale con copias."));
        return std::nullopt;
    }
    if (parser.isSet(json) && parser.isSet(quiet)) {
        *status = UsageError(err, QStringLiteral("Use --json o --quiet, no las dos."));
        return std::nullopt;
    }
    QString dir = DefaultWorkingDirectory();
    if (parser.isSet(htemp)) {
        dir = parser.value(htemp);
        call.defaultWorkingDirectory = false;
        if (dir.isEmpty()) {
            *status = UsageError(err, QStringLiteral("La carpeta de --htemp no puede estar vacía."));
            return std::nullopt;
        }
    }
    call.workingDirectory = QFileInfo(dir).absoluteFilePath();
    if (withDocument) call.document = positional[1].isEmpty() ? QString() : QFileInfo(positional[1]).absoluteFilePath();
    call.output = parser.isSet(json) ? Output::Json : parser.isSet(quiet) ? Output::Quiet : Output::Text;
    return call;
}

void PrintLines(QTextStream& out, const QStringList& lines) {
    for (const QString& line : lines) out << line << "\n";
}

}  // namespace

int RunCli(const QStringList& args, QTextStream& out, QTextStream& err) {
    int status = kExitDone;
    const std::optional<Invocation> parsed = Parse(args, out, err, &status);
    if (!parsed) {
        out.flush();
        return out.status() == QTextStream::Ok ? status : kExitOutputFailed;
    }
    const Invocation& call = *parsed;

    QJsonObject json;
    std::optional<RunLogEntry> log;  // what the working directory's log receives; none for a listing or simulation
    const QString direction = call.command == "exportar"   ? messages::kLogDirectionForward
                              : call.command == "importar" ? messages::kLogDirectionReturn
                                                           : messages::kLogDirectionRestore;
    try {
        if (call.command == "exportar") {
            const ForwardReport report =
                RunForward(call.document, call.workingDirectory, ForwardOptions{call.simulate, kFrontEnd});
            if (call.output == Output::Text) {
                PrintLines(out, ForwardSummary(report));
                if (report.simulated) PrintLines(out, SimulationSummary(report));
            }
            if (call.output == Output::Json) json = Json(report, call);
            if (!report.simulated) log = LogEntryOf(report, kFrontEnd);
        } else if (call.command == "importar") {
            const ReturnReport report = RunReturn(call.document, call.workingDirectory);
            if (call.output == Output::Text) PrintLines(out, ReturnSummary(report));
            if (call.output == Output::Json) json = Json(report, call);
            log = LogEntryOf(report, kFrontEnd);
        } else if (call.command == "restaurar") {
            const RestoreReport report = RestoreBackup(call.workingDirectory, call.backup, kFrontEnd);
            if (call.output == Output::Text) PrintLines(out, RestoreSummary(report));
            if (call.output == Output::Json) json = Json(report, call);
            log = LogEntryOf(report, kFrontEnd);
        } else {
            RequireWorkingDirectory(call.workingDirectory);
            const QList<BackupInfo> backups = ListBackups(call.workingDirectory);
            if (call.output == Output::Text) PrintLines(out, BackupsSummary(backups, call.workingDirectory));
            if (call.output == Output::Json) json = Json(backups, call);
        }
        status = kExitDone;
    } catch (const Error& e) {
        Say(err, ErrorText(e, call));
        if (call.command == "restaurar" && e.kind() == ErrorKind::NoInput && !call.backup.isEmpty())
            for (const QString& line : BackupsSummary(ListBackups(call.workingDirectory), call.workingDirectory))
                err << line << "\n";
        json = Json(e, call);
        status = StatusFor(e);
        if (!call.simulate && call.command != "copias") log = LogEntryOf(direction, call.document, kFrontEnd, e);
    } catch (const std::exception& e) {
        const Error internal(ErrorKind::Internal, QString::fromLocal8Bit(e.what()));
        Say(err, ErrorText(internal, call));
        json = Json(internal, call);
        status = kExitError;
        if (!call.simulate && call.command != "copias") log = LogEntryOf(direction, call.document, kFrontEnd, internal);
    }
    // A log that cannot be written fails no run; it is said, unless there is
    // no working directory to write it in (the error says so already).
    QString logProblem;
    if (log && QFileInfo(call.workingDirectory).isDir() && !AppendRunLog(call.workingDirectory, *log, &logProblem))
        Say(err, logProblem);
    if (call.output == Output::Json) out << QJsonDocument(json).toJson(QJsonDocument::Indented);
    out.flush();
    if (out.status() != QTextStream::Ok) {
        err << "Error: no se pudo escribir la salida estándar." << Qt::endl;
        return status == kExitDone ? kExitOutputFailed : status;
    }
    if (status == kExitDone && call.output != Output::Quiet && call.command != "copias")
        Say(err, messages::kProcesoFinalizado);
    err.flush();
    return status;
}

}  // namespace puente
