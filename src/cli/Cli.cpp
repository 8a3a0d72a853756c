#include "cli/Cli.h"

#include "common/Error.h"
#include "common/UserInterface.h"
#include "forward/ForwardRun.h"
#include "forward/Session.h"
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

// The person in front of a headless run: the document comes from the command
// line and every message goes to standard error.
class HeadlessUserInterface : public UserInterface {
public:
    HeadlessUserInterface(QString document, QTextStream& err) : document_(std::move(document)), err_(err) {}
    bool ChooseExchangeFile(QString& path) override {
        path = document_;
        return true;
    }
    void ShowMessage(const QString& text) override { err_ << QString(text).replace("\r\n", "\n") << Qt::endl; }
    void SetWaitCursor(bool) override {}
    void CloseWindow() override {}

private:
    QString document_;
    QTextStream& err_;
};

QString FoldAsciiLetters(QString s) {
    for (QChar& c : s)
        if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));
    return s;
}

void PrintForward(const ForwardReport& report, const QString& dir, QTextStream& out) {
    out << "Documento: " << QDir::toNativeSeparators(report.document) << "\n";
    out << "Carpeta de trabajo: " << QDir::toNativeSeparators(dir) << "\n";
    for (const TableReport& t : report.tables) {
        out << t.table << ": " << t.rows << (t.rows == 1 ? " fila" : " filas") << "\n";
        for (const QString& note : t.notes) out << "  - " << note << "\n";
    }
}

void PrintImport(const ImportReport& report, QTextStream& out) {
    out << "Resultado: " << QDir::toNativeSeparators(report.resultPath) << "\n";
    out << "Entradas dsolucion escritas: " << report.entries << "\n";
    out << "Registros de SOLUC sin día u hora (pasados por alto): " << report.filteredOut << "\n";
    out << "Registros de SOLUC cuya materia no está en ASIGNOMT (sin entrada): " << report.untranslated << "\n";
    for (const QString& note : report.notes) out << "  - " << note << "\n";
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

    Session session;
    session.commandLineMode = false;
    session.workingDirectory = QFileInfo(htemp).absoluteFilePath();
    HeadlessUserInterface ui(positional[1].isEmpty() ? QString() : QFileInfo(positional[1]).absoluteFilePath(), err);
    try {
        RunEnd end;
        if (command == "exportar") {
            ForwardReport report;
            end = ExportRun(session, ui, &report);
            if (end == RunEnd::Done) PrintForward(report, session.workingDirectory, out);
        } else {
            ImportReport report;
            end = ImportRun(session, ui, &report);
            if (end == RunEnd::Done) PrintImport(report, out);
        }
        out.flush();
        err.flush();
        return end == RunEnd::Done ? kExitDone : kExitNoInput;
    } catch (const Error& e) {
        err << "Error: " << e.message() << Qt::endl;
    } catch (const std::exception& e) {
        err << "Error: " << QString::fromLocal8Bit(e.what()) << Qt::endl;
    }
    out.flush();
    return kExitError;
}

}  // namespace puente
