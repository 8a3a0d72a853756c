#include "cli/Cli.h"

#include "common/Messages.h"
#include "forward/ForwardRun.h"
#include "platform/Paths.h"
#include "return/ReturnRun.h"
#include "run/RunSummary.h"

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
    "  puente --help | --version\n"
    "\n"
    "  --htemp CARPETA   carpeta de trabajo de Horalis, que debe existir (por omisión: %1)\n"
    "  --json            un objeto JSON en la salida estándar en lugar del resumen\n"
    "  --quiet           nada en la salida estándar\n"
    "  --                lo que sigue no son opciones (un documento que empieza por -)\n"
    "\n"
    "Estado de salida: 0 proceso finalizado; 1 error; 2 no existe el documento, SOLUC\n"
    "o la carpeta de trabajo; 64 uso incorrecto; 74 no se pudo escribir la salida;\n"
    "75 una tabla o la carpeta de trabajo está en uso por otro programa (inténtelo más tarde).\n";

enum class Output { Text, Json, Quiet };

struct Invocation {
    QString command;  // "exportar" or "importar"
    QString document;
    QString workingDirectory;
    bool defaultWorkingDirectory = true;
    Output output = Output::Text;
};

QString FoldAsciiLetters(QString s) {
    for (QChar& c : s)
        if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));
    return s;
}

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
    return {{"orden", call.command},
            {"documento", QDir::toNativeSeparators(call.document)},
            {"carpeta", QDir::toNativeSeparators(call.workingDirectory)}};
}

QJsonObject Json(const ForwardReport& report, const Invocation& call) {
    QJsonObject o = JsonStart(call);
    o["resultado"] = "hecho";
    QJsonArray tables;
    for (const TableReport& t : report.tables)
        tables.append(QJsonObject{{"nombre", t.table}, {"filas", t.rows}, {"notas", QJsonArray::fromStringList(t.notes)}});
    o["tablas"] = tables;
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
    parser.addOptions({htemp, json, quiet, help, version});

    if (!parser.parse(QStringList{QStringLiteral("puente")} + args)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString& name = unknown.first();
            *status = UsageError(err, QStringLiteral("Opción desconocida: %1%2").arg(name.size() == 1 ? "-" : "--", name));
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
    if (positional.size() != 2) {
        *status = UsageError(err, QStringLiteral("Indique la orden (exportar o importar) y el documento XML."));
        return std::nullopt;
    }
    Invocation call;
    call.command = FoldAsciiLetters(positional[0]);
    if (call.command != "exportar" && call.command != "importar") {
        *status = UsageError(err, QStringLiteral("Orden desconocida: %1 (use exportar o importar).").arg(positional[0]));
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
    call.document = positional[1].isEmpty() ? QString() : QFileInfo(positional[1]).absoluteFilePath();
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
    try {
        if (call.command == "exportar") {
            const ForwardReport report = RunForward(call.document, call.workingDirectory);
            if (call.output == Output::Text) PrintLines(out, ForwardSummary(report));
            json = Json(report, call);
        } else {
            const ReturnReport report = RunReturn(call.document, call.workingDirectory);
            if (call.output == Output::Text) PrintLines(out, ReturnSummary(report));
            json = Json(report, call);
        }
        status = kExitDone;
    } catch (const Error& e) {
        Say(err, ErrorText(e, call));
        json = Json(e, call);
        status = StatusFor(e);
    } catch (const std::exception& e) {
        const Error internal(ErrorKind::Internal, QString::fromLocal8Bit(e.what()));
        Say(err, ErrorText(internal, call));
        json = Json(internal, call);
        status = kExitError;
    }
    if (call.output == Output::Json) out << QJsonDocument(json).toJson(QJsonDocument::Indented);
    out.flush();
    if (out.status() != QTextStream::Ok) {
        err << "Error: no se pudo escribir la salida estándar." << Qt::endl;
        return status == kExitDone ? kExitOutputFailed : status;
    }
    if (status == kExitDone && call.output != Output::Quiet) Say(err, messages::kProcesoFinalizado);
    err.flush();
    return status;
}

}  // namespace puente
