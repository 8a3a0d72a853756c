// The run log: one entry per run in its fixed layout, renewed at 1 MiB, and
// a log that cannot be written said, never thrown.
#include "run/RunLog.h"

#include "common/Messages.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <functional>

namespace puente {
namespace {

using test::ReadFile;
using test::WriteFile;

const QDateTime kTime(QDate(2026, 1, 10), QTime(9, 30, 5));

RunLogEntry ForwardEntry() {
    ForwardReport report;
    report.document = "/docs/centro.xml";
    report.workingDirectory = "/h";
    report.tables = {TableReport{"ASIGNOMT", 3, {"Materia 2 sin código"}}, TableReport{"PROFT", 1, {}}};
    report.backup = "20260110-093005";
    RunLogEntry entry = LogEntryOf(report, "puente");
    entry.time = kTime;
    return entry;
}

TEST(RunLogTest, EntriesOfEachKindOfRun) {
    EXPECT_EQ(RunLogText(ForwardEntry()),
              "==== 2026-01-10 09:30:05 | exportar | puente\n"
              "Documento: /docs/centro.xml\n"
              "Resultado: finalizado\n"
              "ASIGNOMT: 3 filas\n"
              "PROFT: 1 fila\n"
              "Copia de seguridad de las tablas reemplazadas: 20260110-093005\n"
              "  - ASIGNOMT: Materia 2 sin código\n"
              "\n");

    ReturnReport back;
    back.document = "/docs/centro.xml";
    back.resultPath = "/docs/ResultadoHoraliscentro.xml";
    back.entries = 7;
    back.withoutDayOrHour = 1;
    RunLogEntry entry = LogEntryOf(back, "ventana");
    entry.time = kTime;
    EXPECT_EQ(RunLogText(entry),
              "==== 2026-01-10 09:30:05 | importar | ventana\n"
              "Documento: /docs/centro.xml\n"
              "Resultado: finalizado\n"
              "Resultado: /docs/ResultadoHoraliscentro.xml\n"
              "Entradas dsolucion escritas: 7\n"
              "Registros de SOLUC sin día u hora (pasados por alto): 1\n"
              "Registros de SOLUC cuya materia no está en ASIGNOMT (sin entrada): 0\n"
              "\n");

    RestoreReport restore;
    restore.restored = "20260110-093005";
    restore.backup = "20260110-093100";
    restore.tables = {BackupTable{"PROFT", 2}};
    restore.removed = {"ASIGT"};
    entry = LogEntryOf(restore, "puente");
    entry.time = kTime;
    EXPECT_EQ(RunLogText(entry),
              "==== 2026-01-10 09:30:05 | restaurar | puente\n"
              "Resultado: finalizado\n"
              "Copia de seguridad restaurada: 20260110-093005\n"
              "PROFT: 2 filas\n"
              "ASIGT: quitada (la copia de seguridad no la contenía)\n"
              "Copia de seguridad de las tablas reemplazadas: 20260110-093100\n"
              "\n");

    // A failed run: its error, on one line whatever line ends its text has.
    entry = LogEntryOf(messages::kLogDirectionForward, "/docs/roto.xml", "puente",
                       Error(ErrorKind::NotWellFormed, "El archivo no es XML:\r\nfalta </centro>"));
    entry.time = kTime;
    EXPECT_EQ(RunLogText(entry),
              "==== 2026-01-10 09:30:05 | exportar | puente\n"
              "Documento: /docs/roto.xml\n"
              "Resultado: error\n"
              "Error: El archivo no es XML: falta </centro>\n"
              "\n");
    EXPECT_EQ(LogEntryOf(messages::kLogDirectionReturn, "", "puente", messages::NoReturnInput("/h/SOLUC.DBF")).outcome,
              "sin entrada");
}

TEST(RunLogTest, OneEntryPerRunAppended) {
    QTemporaryDir htemp;
    WriteFile(htemp.path(), "puente.log", "earlier entries\n\n");
    QString reason;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(AppendRunLog(htemp.path(), ForwardEntry(), &reason)) << reason.toStdString();
    const QByteArray entry = RunLogText(ForwardEntry()).toUtf8();
    EXPECT_EQ(ReadFile(htemp.filePath("puente.log")), "earlier entries\n\n" + entry + entry + entry);
    EXPECT_FALSE(QFileInfo::exists(htemp.filePath("puente.log.1")));
}

struct RenewalCase {
    const char* name;
    qint64 logSize;  // bytes of the log before the entry; -1: an entry short of the limit
    bool renewed;
};
void PrintTo(const RenewalCase& c, std::ostream* os) { *os << c.name; }

class RunLogRenewal : public ::testing::TestWithParam<RenewalCase> {};

TEST_P(RunLogRenewal, AtOneMebibyteTheLogBecomesTheOlderOne) {
    const RenewalCase& c = GetParam();
    QTemporaryDir htemp;
    const QByteArray entry = RunLogText(ForwardEntry()).toUtf8();
    const qint64 size = c.logSize >= 0 ? c.logSize : kRunLogLimit - entry.size();
    const QByteArray earlier(size, 'x');
    WriteFile(htemp.path(), "puente.log", earlier);
    WriteFile(htemp.path(), "puente.log.1", "the older log, replaced");
    QString reason;
    EXPECT_TRUE(AppendRunLog(htemp.path(), ForwardEntry(), &reason)) << reason.toStdString();
    if (c.renewed) {
        EXPECT_EQ(ReadFile(htemp.filePath("puente.log")), entry);
        EXPECT_EQ(ReadFile(htemp.filePath("puente.log.1")), earlier);
    } else {
        EXPECT_EQ(ReadFile(htemp.filePath("puente.log")), earlier + entry);
        EXPECT_EQ(ReadFile(htemp.filePath("puente.log.1")), "the older log, replaced");
    }
    EXPECT_LE(QFileInfo(htemp.filePath("puente.log")).size(), kRunLogLimit);
}

INSTANTIATE_TEST_SUITE_P(Cases, RunLogRenewal,
                         ::testing::Values(RenewalCase{"small", 100, false},
                                           RenewalCase{"the entry just fits", -1, false},
                                           RenewalCase{"one byte over", kRunLogLimit - 10, true},
                                           RenewalCase{"at the limit", kRunLogLimit, true}),
                         [](const ::testing::TestParamInfo<RenewalCase>& info) {
                             return "Case" + std::to_string(info.index);
                         });

struct UnwritableCase {
    const char* name;
    std::function<QString(const QString& base)> prepare;  // gives the working directory
    QString reasonStart;
    bool entryWritten;
};
void PrintTo(const UnwritableCase& c, std::ostream* os) { *os << c.name; }

class RunLogUnwritable : public ::testing::TestWithParam<UnwritableCase> {};

TEST_P(RunLogUnwritable, ReturnsFalseWithTheReasonAndThrowsNothing) {
    const UnwritableCase& c = GetParam();
    QTemporaryDir base;
    const QString dir = c.prepare(base.path());
    QString reason;
    bool written = true;
    EXPECT_NO_THROW(written = AppendRunLog(dir, ForwardEntry(), &reason));
    EXPECT_FALSE(written);
    EXPECT_TRUE(reason.startsWith(QString(c.reasonStart).replace("{log}", dir + "/puente.log")))
        << reason.toStdString();
    EXPECT_EQ(ReadFile(dir + "/puente.log").endsWith(RunLogText(ForwardEntry()).toUtf8()), c.entryWritten);
    EXPECT_TRUE(c.entryWritten || QFileInfo(dir).isDir() || !QFileInfo::exists(dir));  // nothing made
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunLogUnwritable,
    ::testing::Values(
        UnwritableCase{"no working directory", [](const QString& b) { return b + "/HTEMP"; },
                       "No se pudo escribir el registro de ejecuciones '{log}': no existe la carpeta de trabajo",
                       false},
        UnwritableCase{"the log is a folder",
                       [](const QString& b) {
                           QDir().mkpath(b + "/puente.log");
                           return b;
                       },
                       "No se pudo escribir el registro de ejecuciones '{log}': ", false},
        UnwritableCase{"the older log is a folder that cannot be replaced",
                       [](const QString& b) {
                           WriteFile(b, "puente.log", QByteArray(kRunLogLimit, 'x'));
                           QDir().mkpath(b + "/puente.log.1/dentro");
                           return b;
                       },
                       "No se pudo renovar el registro de ejecuciones '{log}'", true}),
    [](const ::testing::TestParamInfo<UnwritableCase>& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace puente
