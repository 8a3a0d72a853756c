#include "cli/Cli.h"

#include "support/TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
    EXPECT_EQ(r.err, "Proceso finalizado\n");  // after the summary, with no reminder
    EXPECT_EQ(r.out,
              QString("Documento: %1\nCarpeta de trabajo: %2\n"
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
    EXPECT_EQ(r.err, "Proceso finalizado\n");
}

TEST_F(CliTest, ImportarPrintsItsNotes) {
    const QString doc = docs_.filePath("centro.xml");
    ASSERT_TRUE(QFile::copy(kSmall, doc));
    ASSERT_EQ(RunTool({"exportar", doc, "--htemp", htemp_.path()}).status, kExitDone);
    {
        Table soluc(htemp_.path(), "SOLUC");
        soluc.CreateTable(test::kSolucFields);
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
        {"no input for exportar",
         {"exportar", "%D/falta.xml", "--htemp", "%H"},
         kExitNoInput,
         "No existe archivo: %D/falta.xml\n"},
        {"no SOLUC for importar",
         {"importar", kSmall, "--htemp", "%H"},
         kExitNoInput,
         "No existe archivo XML o Solución. Falta: %H/SOLUC.DBF\n"},
        {"no document for importar",
         {"importar", "%D/falta.xml", "--htemp", "%H"},
         kExitNoInput,
         "No existe archivo XML o Solución. Falta: %D/falta.xml\n"},
        {"a working directory that does not exist",
         {"exportar", kSmall, "--htemp", "%H/nada"},
         kExitNoInput,
         "No existe la carpeta de trabajo de Horalis '%H/nada'.\n"},
        {"an error", {"exportar", "%D/roto.xml", "--htemp", "%H"}, kExitError, "Error: El archivo '"},
        {"no arguments", {}, kExitUsage, "Indique la orden (exportar o importar) y el documento XML."},
        {"unknown command",
         {"convertir", kSmall},
         kExitUsage,
         "Orden desconocida: convertir (use exportar, importar, copias o restaurar)."},
        {"unknown option", {"exportar", kSmall, "--rapido"}, kExitUsage, "Opción desconocida: --rapido\n"},
        {"unknown short option", {"exportar", kSmall, "-x"}, kExitUsage, "Opción desconocida: -x\n"},
        {"--htemp without folder", {"exportar", kSmall, "--htemp"}, kExitUsage, "Falta la carpeta después de --htemp."},
        {"three arguments", {"exportar", kSmall, "otro"}, kExitUsage, "Indique la orden"},
        {"options after --", {"exportar", "--", kSmall, "--htemp", "%H"}, kExitUsage, "Indique la orden"},
        {"json and quiet", {"exportar", kSmall, "--json", "--quiet"}, kExitUsage, "Use --json o --quiet"},
    };
    test::WriteFile(docs_.path(), "roto.xml", "<centro>");
    for (const StatusCase& c : cases) {
        QStringList args;
        for (QString a : c.args) args << a.replace("%H", htemp_.path()).replace("%D", docs_.path());
        const Outcome r = RunTool(args);
        EXPECT_EQ(r.status, c.status) << c.name;
        const QString start = QString(c.errStart).replace("%H", htemp_.path()).replace("%D", docs_.path());
        EXPECT_TRUE(r.err.startsWith(start)) << c.name << ": " << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("Deberá Abrir")) << c.name;
    }
    EXPECT_FALSE(QFile::exists(htemp_.filePath("ASIGNOMT.DBF")));
    EXPECT_FALSE(QFile::exists(htemp_.filePath("nada")));
}

TEST_F(CliTest, ADocumentNamedLikeAnOptionAfterTheDoubleDash) {
    const QString doc = docs_.filePath("-centro.xml");
    ASSERT_TRUE(QFile::copy(kSmall, doc));
    QDir::setCurrent(docs_.path());
    const Outcome r = RunTool({"exportar", "--htemp", htemp_.path(), "--", "-centro.xml"});
    EXPECT_EQ(r.status, kExitDone) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("Documento: " + QDir::toNativeSeparators(doc) + "\n")) << r.out.toStdString();
}

TEST_F(CliTest, TheWorkingDirectoryByDefaultIsNamedWithHowToChooseAnother) {
    const QByteArray saved = qgetenv("WINEPREFIX");
    qputenv("WINEPREFIX", QFile::encodeName(htemp_.filePath("sin-wine")));
    const Outcome r = RunTool({"exportar", kSmall});
    qputenv("WINEPREFIX", saved);
    EXPECT_EQ(r.status, kExitNoInput);
    EXPECT_TRUE(r.err.contains(htemp_.filePath("sin-wine/drive_c/HTEMP"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("--htemp")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("WINEPREFIX")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(htemp_.filePath("sin-wine")));
}

TEST_F(CliTest, JsonAgreesWithTheTables) {
    const Outcome r = RunTool({"exportar", kSmall, "--htemp", htemp_.path(), "--json"});
    ASSERT_EQ(r.status, kExitDone) << r.err.toStdString();
    QJsonParseError parseError;
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8(), &parseError).object();
    ASSERT_EQ(parseError.error, QJsonParseError::NoError) << r.out.toStdString();
    EXPECT_EQ(o["orden"].toString(), "exportar");
    EXPECT_EQ(o["resultado"].toString(), "hecho");
    EXPECT_EQ(o["documento"].toString(), QDir::toNativeSeparators(kSmall));
    EXPECT_EQ(o["carpeta"].toString(), QDir::toNativeSeparators(htemp_.path()));
    const QJsonArray tables = o["tablas"].toArray();
    ASSERT_EQ(tables.size(), 6);
    for (const QJsonValue& v : tables) {
        const QJsonObject t = v.toObject();
        EXPECT_EQ(t["filas"].toInt(), test::ReadRows(htemp_.path(), t["nombre"].toString()).size())
            << t["nombre"].toString().toStdString();
    }
    EXPECT_EQ(tables[3].toObject()["notas"].toArray().size(), 1);  // GRUPOST: the tutor not found
}

TEST_F(CliTest, JsonOfTheReturnRunAndOfAFailure) {
    const QString doc = docs_.filePath("centro.xml");
    ASSERT_TRUE(QFile::copy(kSmall, doc));
    const Outcome missing = RunTool({"importar", doc, "--htemp", htemp_.path(), "--json"});
    EXPECT_EQ(missing.status, kExitNoInput);
    QJsonObject o = QJsonDocument::fromJson(missing.out.toUtf8()).object();
    EXPECT_EQ(o["orden"].toString(), "importar");
    EXPECT_EQ(o["resultado"].toString(), "sin_entrada");
    EXPECT_TRUE(o["error"].toString().startsWith("No existe archivo XML o Solución.")) << missing.out.toStdString();

    ASSERT_EQ(RunTool({"exportar", doc, "--htemp", htemp_.path(), "--quiet"}).status, kExitDone);
    ASSERT_TRUE(QFile::copy(QString(PUENTE_TEST_DATA) + "/return/soluc_dbase3.dbf", htemp_.filePath("SOLUC.DBF")));
    const Outcome done = RunTool({"importar", doc, "--htemp", htemp_.path(), "--json"});
    EXPECT_EQ(done.status, kExitDone) << done.err.toStdString();
    o = QJsonDocument::fromJson(done.out.toUtf8()).object();
    EXPECT_EQ(o["resultado"].toString(), "hecho");
    EXPECT_EQ(o["resultado_documento"].toString(),
              QDir::toNativeSeparators(docs_.filePath("ResultadoHoraliscentro.xml")));
    EXPECT_EQ(o["entradas"].toInt(), 3);
    EXPECT_EQ(o["pasados_por_alto"].toInt(), 3);
    EXPECT_EQ(o["sin_entrada"].toInt(), 1);
}

TEST_F(CliTest, QuietPrintsNothingOnStandardOutput) {
    const Outcome r = RunTool({"exportar", kSmall, "--htemp", htemp_.path(), "--quiet"});
    EXPECT_EQ(r.status, kExitDone);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(QFile::exists(htemp_.filePath("ASIGT.DBF")));
}

TEST_F(CliTest, ATableHeldByAnotherProgramAsksToTryLater) {
    ASSERT_EQ(RunTool({"exportar", kSmall, "--htemp", htemp_.path(), "--quiet"}).status, kExitDone);
    test::TableHeldElsewhere held(htemp_.path(), "PROFT", OpenMode::Exclusive);
    const Outcome r = RunTool({"exportar", kSmall, "--htemp", htemp_.path()});
    EXPECT_EQ(r.status, kExitBusy);
    EXPECT_TRUE(r.err.startsWith("Error: La tabla 'PROFT'")) << r.err.toStdString();
}

// The tables of the working directory, byte for byte (their header's date aside).
QMap<QString, QByteArray> Tables(const QString& dir) {
    QMap<QString, QByteArray> tables;
    for (const QString& name : QDir(dir).entryList({"*.DBF"}, QDir::Files)) {
        QByteArray bytes = test::ReadFile(QDir(dir).filePath(name));
        bytes.replace(1, 3, "DDD");
        tables.insert(name, bytes);
    }
    return tables;
}

int LogEntries(const QString& dir) {
    return int(QString::fromUtf8(test::ReadFile(QDir(dir).filePath("puente.log"))).count("\n==== ")) +
           (test::ReadFile(QDir(dir).filePath("puente.log")).startsWith("==== ") ? 1 : 0);
}

TEST_F(CliTest, AWrongImportIsUndoneByRestoringTheBackup) {
    const QString other = test::WriteFile(
        docs_.path(), "otro.xml", "<centro><materias><dmaterias abrev='OTRA' codigo='O1'/></materias></centro>");
    ASSERT_EQ(RunTool({"exportar", kSmall, "--htemp", htemp_.path(), "--quiet"}).status, kExitDone);
    const QMap<QString, QByteArray> good = Tables(htemp_.path());
    const Outcome wrong = RunTool({"exportar", other, "--htemp", htemp_.path()});
    ASSERT_EQ(wrong.status, kExitDone);
    EXPECT_TRUE(wrong.out.contains("Copia de las tablas reemplazadas: ")) << wrong.out.toStdString();
    EXPECT_NE(Tables(htemp_.path()), good);

    const Outcome restored = RunTool({"restaurar", "--htemp", htemp_.path()});
    EXPECT_EQ(restored.status, kExitDone) << restored.err.toStdString();
    EXPECT_TRUE(restored.out.startsWith("Copia restaurada: ")) << restored.out.toStdString();
    EXPECT_EQ(Tables(htemp_.path()), good);

    const Outcome list = RunTool({"copias", "--htemp", htemp_.path(), "--json"});
    ASSERT_EQ(list.status, kExitDone);
    const QJsonArray backups = QJsonDocument::fromJson(list.out.toUtf8()).object()["copias"].toArray();
    ASSERT_EQ(backups.size(), 2);  // the tables the wrong import replaced, and those the restore replaced
    EXPECT_EQ(backups[0].toObject()["motivo"].toString(), "restaurar");
    // Named by the run that replaced its tables: the wrong import.
    EXPECT_EQ(backups[1].toObject()["documento"].toString(), QDir::toNativeSeparators(other));
    EXPECT_EQ(LogEntries(htemp_.path()), 3);  // two forward runs and the restore; the listing is not logged
}

TEST_F(CliTest, ANamedBackupThatIsNotThereIsNoInputWithTheList) {
    ASSERT_EQ(RunTool({"exportar", kSmall, "--htemp", htemp_.path(), "--quiet"}).status, kExitDone);
    ASSERT_EQ(RunTool({"exportar", kSmall, "--htemp", htemp_.path(), "--quiet"}).status, kExitDone);
    const Outcome r = RunTool({"restaurar", "20000101-000000", "--htemp", htemp_.path()});
    EXPECT_EQ(r.status, kExitNoInput);
    EXPECT_TRUE(r.err.contains("20000101-000000")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("ASIGNOMT 3, PROFT 2")) << r.err.toStdString();  // the backup there is
}

TEST_F(CliTest, ASimulationChangesNothingAndSaysWhatWouldChange) {
    ASSERT_EQ(RunTool({"exportar", kSmall, "--htemp", htemp_.path(), "--quiet"}).status, kExitDone);
    const QMap<QString, QByteArray> before = test::Snapshot(htemp_.path());
    const QString other = test::WriteFile(docs_.path(), "otro.xml",
                                          "<centro><materias><dmaterias abrev='OTRA' nombre='Otra' codigo='O1'/>"
                                          "</materias></centro>");
    const Outcome r = RunTool({"exportar", other, "--htemp", htemp_.path(), "--simular"});
    EXPECT_EQ(r.status, kExitDone) << r.err.toStdString();
    EXPECT_EQ(test::Snapshot(htemp_.path()), before);
    EXPECT_TRUE(r.out.contains("Simulación: no se ha cambiado nada")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("  + O1 (")) << r.out.toStdString();
    const Outcome json = RunTool({"exportar", other, "--htemp", htemp_.path(), "--simular", "--json"});
    const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_TRUE(o["simulado"].toBool());
    EXPECT_EQ(o["cambios"].toArray()[0].toObject()["anadidos"].toArray().size(), 1);
    EXPECT_EQ(test::Snapshot(htemp_.path()), before);
}

TEST_F(CliTest, NewWordsAndOptionsRefusedWhereTheyDoNotFit) {
    const QList<StatusCase> cases = {
        {"simular with importar", {"importar", kSmall, "--simular"}, kExitUsage, "--simular solo vale con exportar."},
        {"copias with an argument", {"copias", "x"}, kExitUsage, "Demasiados argumentos para copias."},
        {"restaurar with two", {"restaurar", "a", "b"}, kExitUsage, "Demasiados argumentos para restaurar."},
        {"copias without a working directory",
         {"copias", "--htemp", "%H/nada"},
         kExitNoInput,
         "No existe la carpeta de trabajo"},
        {"restaurar without backups", {"restaurar", "--htemp", "%H"}, kExitNoInput, ""},
    };
    for (const StatusCase& c : cases) {
        QStringList args;
        for (QString a : c.args) args << a.replace("%H", htemp_.path());
        const Outcome r = RunTool(args);
        EXPECT_EQ(r.status, c.status) << c.name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith(c.errStart)) << c.name << ": " << r.err.toStdString();
    }
}

TEST_F(CliTest, HelpAndVersion) {
    const Outcome help = RunTool({"--help"});
    EXPECT_EQ(help.status, kExitDone);
    EXPECT_TRUE(help.out.startsWith("Uso:\n  puente exportar DOCUMENTO.xml [--htemp CARPETA] [--json | --quiet]\n"));
    EXPECT_TRUE(help.out.contains("75 una tabla o la carpeta de trabajo está en uso")) << help.out.toStdString();
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

TEST_F(CliTest, OutputThatCannotBeWrittenIsAFailure) {
    if (!QFile::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    for (const QStringList& args : {QStringList{"--help"}, QStringList{"exportar", kSmall, "--htemp", htemp_.path()},
                                    QStringList{"exportar", kSmall, "--htemp", htemp_.path(), "--json"}}) {
        QProcess p;
        p.setStandardOutputFile("/dev/full");
        p.start(QString(PUENTE_BIN_DIR) + "/puente", args);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), kExitOutputFailed) << args.join(' ').toStdString();
    }
}

}  // namespace
}  // namespace puente
