#include "cli/Cli.h"

#include "common/Messages.h"
#include "forward/ForwardRun.h"
#include "platform/Paths.h"
#include "return/ReturnRun.h"

#include <QDir>
#include <QFileInfo>

namespace puente {

namespace {

const char* const kUsage =
    "Uso:\n"
    "  puente exportar DOCUMENTO.xml [--htemp CARPETA]\n"
    "      Convierte el documento de intercambio de ZELTA en las tablas de Horalis\n"
    "      (ASIGNOMT, PROFT, AULAT, GRUPOST, DIASHORAST, ASIGT).\n"
    "  puente importar DOCUMENTO.xml [--htemp CARPETA]\n"
    "      Convierte el horario que Horalis dejó en SOLUC en el documento de resultado\n"
    "      ResultadoHoralis<DOCUMENTO>.xml, junto al documento elegido.\n"
    "  puente --help | --version\n"
    "\n"
    "  --htemp CARPETA   carpeta de trabajo de Horalis (por omisión: %1)\n"
    "\n"
    "Estado de salida: 0 proceso finalizado; 1 error; 2 no existe el archivo de entrada;\n"
    "64 uso incorrecto.\n";

// A message of the run, on standard error, with line ends as the terminal has them.
void Say(QTextStream& err, const QString& text) { err << QString(text).replace("\r\n", "\n") << Qt::endl; }

QString FoldAsciiLetters(QString s) {
    for (QChar& c : s)
        if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));
    return s;
}

void PrintForward(const ForwardReport& report, QTextStream& out) {
    out << "Documento: " << QDir::toNativeSeparators(report.document) << "\n";
    out << "Carpeta de trabajo: " << QDir::toNativeSeparators(report.workingDirectory) << "\n";
    for (const TableReport& t : report.tables) {
        out << t.table << ": " << t.rows << (t.rows == 1 ? " fila" : " filas") << "\n";
        for (const QString& note : t.notes) out << "  - " << note << "\n";
    }
}

void PrintReturn(const ReturnReport& report, QTextStream& out) {
    out << "Resultado: " << QDir::toNativeSeparators(report.resultPath) << "\n";
    out << "Entradas dsolucion escritas: " << report.entries << "\n";
    out << "Registros de SOLUC sin día u hora (pasados por alto): " << report.withoutDayOrHour << "\n";
    out << "Registros de SOLUC cuya materia no está en ASIGNOMT (sin entrada): " << report.subjectNotFound << "\n";
}

int Usage(QTextStream& err, const QString& problem) {
    err << problem << "\n\n" << QString(kUsage).arg(QDir::toNativeSeparators(DefaultWorkingDirectory()));
    err.flush();
    return kExitUsage;
}

}  // namespace

int RunCli(const QStringList& args, QTextStream& out, QTextStream& err) {
    QString htemp = DefaultWorkingDirectory();
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == "--help" || a == "-h") {
            out << QString(kUsage).arg(QDir::toNativeSeparators(DefaultWorkingDirectory()));
            return kExitDone;
        }
        if (a == "--version") {
            out << "puente (PuenteHoralisZelta) " << PUENTE_VERSION << "\n";
            return kExitDone;
        }
        if (a == "--htemp") {
            if (i + 1 >= args.size()) return Usage(err, "Falta la carpeta después de --htemp.");
            htemp = args[++i];
        } else if (a.startsWith("--htemp=")) {
            htemp = a.mid(8);
        } else if (a.startsWith("--")) {
            return Usage(err, QString("Opción desconocida: %1").arg(a));
        } else {
            positional << a;
        }
    }
    if (positional.size() != 2) return Usage(err, "Indique la orden (exportar o importar) y el documento XML.");
    const QString command = FoldAsciiLetters(positional[0]);
    if (command != "exportar" && command != "importar")
        return Usage(err, QString("Orden desconocida: %1 (use exportar o importar).").arg(positional[0]));
    if (htemp.isEmpty()) return Usage(err, "La carpeta de --htemp no puede estar vacía.");

    const QString workingDirectory = QFileInfo(htemp).absoluteFilePath();
    const QString document = positional[1].isEmpty() ? QString() : QFileInfo(positional[1]).absoluteFilePath();
    try {
        if (command == "exportar") {
            const ForwardReport report = RunForward(document, workingDirectory);
            Say(err, messages::kProcesoFinalizado);
            PrintForward(report, out);
        } else {
            Say(err, messages::kReturnReminder);
            const ReturnReport report = RunReturn(document, workingDirectory);
            Say(err, messages::kProcesoFinalizado);
            PrintReturn(report, out);
        }
        out.flush();
        err.flush();
        return kExitDone;
    } catch (const Error& e) {
        if (e.kind() == ErrorKind::NoInput) {
            Say(err, e.message());
            out.flush();
            return kExitNoInput;
        }
        err << "Error: " << e.message() << Qt::endl;
    } catch (const std::exception& e) {
        err << "Error: " << QString::fromLocal8Bit(e.what()) << Qt::endl;
    }
    out.flush();
    return kExitError;
}

}  // namespace puente
