#include "cli/Cli.h"

#include "support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>

namespace puente {
namespace {

struct Outcome {
    int status;
    QString out, err;
};

Outcome RunTool(const QStringList& args) {
    QString out, err;
    QTextStream o(&out), e(&err);
    const int status = RunCli(args, o, e);
    o.flush();
    e.flush();
    return {status, out, err};
}

const QString kSmall = QString(PUENTE_TEST_DATA) + "/forward/small.xml";

class CliTest : public ::testing::Test {
protected:
    QTemporaryDir htemp_, docs_;
};

TEST_F(CliTest, ExportarPrintsTheSummary) {
    const Outcome r = RunTool({"exportar", kSmall, "--htemp", htemp_.path()});
    EXPECT_EQ(r.status, kExitDone) << r.err.toStdString();
    EXPECT_EQ(r.err, "Proceso finalizado\n");
    EXPECT_EQ(r.out, QString("Documento: %1\nCarpeta de trabajo: %2\n"
                             "ASIGNOMT: 3 filas\nPROFT: 2 filas\nAULAT: 2 filas\n"
                             "GRUPOST: 2 filas\n"
                             "  - Grupo 2 ('1ESO B'): ningún profesor tiene el código de tutor 'P9'; TUTOR queda vacío.\n"
                             "DIASHORAST: 0 filas\nASIGT: 3 filas\n")
                         .arg(kSmall, htemp_.path()));
}

TEST_F(CliTest, ImportarPrintsTheResultAndItsCounts) {
    const QString doc = docs_.filePath("centro.xml");
    ASSERT_TRUE(QFile::copy(kSmall, doc));
    ASSERT_EQ(RunTool({"exportar", doc, "--htemp=" + htemp_.path()}).status, kExitDone);
    ASSERT_TRUE(QFile::copy(QString(PUENTE_TEST_DATA) + "/return/soluc_dbase3.dbf", htemp_.filePath("SOLUC.DBF")));
    const Outcome r = RunTool({"IMPORTAR", doc, "--htemp", htemp_.path()});
    EXPECT_EQ(r.status, kExitDone) << r.err.toStdString();
    EXPECT_EQ(r.out, QString("Resultado: %1\nEntradas dsolucion escritas: 3\n"
                             "Registros de SOLUC sin día u hora (pasados por alto): 3\n"
                             "Registros de SOLUC cuya materia no está en ASIGNOMT (sin entrada): 1\n")
                         .arg(docs_.filePath("ResultadoHoraliscentro.xml")));
    EXPECT_TRUE(r.err.endsWith("Proceso finalizado\n")) << r.err.toStdString();
}

TEST_F(CliTest, ImportarPrintsItsNotes) {
    const QString doc = docs_.filePath("centro.xml");
    ASSERT_TRUE(QFile::copy(kSmall, doc));
    ASSERT_EQ(RunTool({"exportar", doc, "--htemp", htemp_.path()}).status, kExitDone);
    {
        Table soluc(htemp_.path(), "SOLUC");
        soluc.CreateTable({{"DIA", FieldKind::Integer, 0}, {"HORA", FieldKind::Integer, 0},
                           {"SESIONES", FieldKind::Character, 20}, {"CODGRUPO", FieldKind::Character, 10},
                           {"ASIG", FieldKind::Character, 10}, {"TAREA", FieldKind::Character, 10},
                           {"PROF", FieldKind::Character, 10}, {"AULA", FieldKind::Character, 10}});
        soluc.Open(OpenMode::Exclusive);
        soluc.Append();
        soluc.FieldByName("DIA").SetAsString("1");
        soluc.FieldByName("HORA").SetAsString("1");
        soluc.FieldByName("ASIG").SetAsString("MAT");
        soluc.FieldByName("SESIONES").SetAsString(QString::fromLatin1("1\x07"));
        soluc.Post();
    }
    const Outcome r = RunTool({"importar", doc, "--htemp", htemp_.path()});
    EXPECT_EQ(r.status, kExitDone) << r.err.toStdString();
    EXPECT_EQ(r.out, QString("Resultado: %1\nEntradas dsolucion escritas: 1\n"
                             "Registros de SOLUC sin día u hora (pasados por alto): 0\n"
                             "Registros de SOLUC cuya materia no está en ASIGNOMT (sin entrada): 0\n"
                             "  - Registro 1 de SOLUC: el valor de sesiones (SESIONES de SOLUC) tiene caracteres que "
                             "XML no admite; se escribe '1?'.\n")
                         .arg(docs_.filePath("ResultadoHoraliscentro.xml")));
}

struct StatusCase {
    const char* name;
    QStringList args;  // %H: the working directory, %D: the documents folder
    int status;
    QString errStart;
};

TEST_F(CliTest, ExitStatuses) {
    const QList<StatusCase> cases = {
        {"no input for exportar", {"exportar", "%D/falta.xml", "--htemp", "%H"}, kExitNoInput, "No existe archivo\n"},
        {"no SOLUC for importar", {"importar", kSmall, "--htemp", "%H"}, kExitNoInput,
         "Deberá Abrir el fichero XML de ZELTA,\ndesde el cual realizó la Importación a Horalis\n"
         "No existe archivo XML o Solución.\n"},
        {"an error", {"exportar", "%D/roto.xml", "--htemp", "%H"}, kExitError, "Error: El archivo '"},
        {"no arguments", {}, kExitUsage, "Indique la orden (exportar o importar) y el documento XML."},
        {"unknown command", {"convertir", kSmall}, kExitUsage, "Orden desconocida: convertir (use exportar o importar)."},
        {"unknown option", {"exportar", kSmall, "--rapido"}, kExitUsage, "Opción desconocida: --rapido"},
        {"--htemp without folder", {"exportar", kSmall, "--htemp"}, kExitUsage, "Falta la carpeta después de --htemp."},
        {"three arguments", {"exportar", kSmall, "otro"}, kExitUsage, "Indique la orden"},
    };
    test::WriteFile(docs_.path(), "roto.xml", "<centro>");
    for (const StatusCase& c : cases) {
        QStringList args;
        for (QString a : c.args) args << a.replace("%H", htemp_.path()).replace("%D", docs_.path());
        const Outcome r = RunTool(args);
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_TRUE(r.err.startsWith(c.errStart)) << c.name << ": " << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(htemp_.filePath("ASIGNOMT.DBF")));
}

TEST_F(CliTest, HelpAndVersion) {
    const Outcome help = RunTool({"--help"});
    EXPECT_EQ(help.status, kExitDone);
    EXPECT_TRUE(help.out.startsWith("Uso:\n  puente exportar DOCUMENTO.xml [--htemp CARPETA]\n"));
    const Outcome version = RunTool({"--version"});
    EXPECT_EQ(version.status, kExitDone);
    EXPECT_EQ(version.out, QString("puente (PuenteHoralisZelta) %1\n").arg(PUENTE_VERSION));
}

TEST_F(CliTest, TheProgramItselfGivesTheSameStatuses) {
    QProcess p;
    p.start(QString(PUENTE_BIN_DIR) + "/puente", {"exportar", kSmall, "--htemp", htemp_.path()});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), kExitDone) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).contains("ASIGT: 3 filas"));
    p.start(QString(PUENTE_BIN_DIR) + "/puente", {"exportar"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), kExitUsage);
}

}  // namespace
}  // namespace puente
