// The runs as the window drives them: buttons, the automatic run, the
// outcome report, and errors shown by the error display.
#include "AppTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

namespace puente {
namespace {

using test::WindowFixture;
using test::WriteFile;

const QString kReminder = QString::fromUtf8(
    "message:Deberá Abrir el fichero XML de ZELTA,\r\ndesde el cual realizó la Importación a Horalis");

class RunsTest : public WindowFixture {
protected:
    QString Small() const { return QString(PUENTE_TEST_DATA) + "/forward/small.xml"; }
    // A well-formed document that is no exchange document, and what the
    // error display shows for it.
    QString NotZelta() { return WriteFile(docs_.path(), "otro.xml", "<?xml version=\"1.0\"?><otro/>"); }
    QString NotZeltaError() const {
        return "error:El archivo '" + QDir::toNativeSeparators(docs_.filePath("otro.xml")) +
               "' no es un documento de intercambio de ZELTA: su elemento raíz es 'otro' y debería ser 'centro'.";
    }
    bool TablesWritten() const { return QFile::exists(QDir(htemp_.path()).filePath("ASIGNOMT.DBF")); }
};

TEST_F(RunsTest, InteractiveCancelWithNoEarlierChoice) {
    auto form = MakeWindow({});
    form->show();
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    EXPECT_EQ(dialogs_.log, (QStringList{"file", "message:No existe archivo"}));
    EXPECT_EQ(dialogs_.dialogTitle, "Seleccionar Archivo XML obtenido de ZELTA");
    EXPECT_EQ(form->outcome(), 0);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->hasClosed());
    EXPECT_EQ(Report(), "<none>");
}

TEST_F(RunsTest, InteractiveRunConvertsAndStaysOpen) {
    dialogs_.files = {Small()};
    auto form = MakeWindow({});
    form->show();
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    EXPECT_EQ(dialogs_.log, (QStringList{"file", "message:Proceso finalizado"}));
    EXPECT_EQ(form->outcome(), 1);
    EXPECT_EQ(form->filenameXML, Small());
    EXPECT_TRUE(TablesWritten());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(Report(), "<none>");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The automatic run of command-line mode, before the window is seen.
struct AutomaticCase {
    const char* name;
    QStringList parameters;
    std::deque<std::optional<QString>> files;  // "@small": the sample document; "@missing": a name of no file
    QStringList log;
    QByteArray report;
};

void PrintTo(const AutomaticCase& c, std::ostream* os) { *os << c.name; }

class AutomaticRunTest : public RunsTest, public ::testing::WithParamInterface<AutomaticCase> {};

TEST_P(AutomaticRunTest, RunsBeforeTheWindowIsSeenAndCloses) {
    const AutomaticCase& c = GetParam();
    for (std::optional<QString> f : c.files) {
        if (f == "@small") f = Small();
        if (f == "@missing") f = docs_.filePath("nada.xml");
        dialogs_.files.push_back(f);
    }
    auto form = MakeWindow(c.parameters);
    form->show();
    EXPECT_EQ(dialogs_.log, c.log);
    EXPECT_TRUE(form->hasClosed());
    EXPECT_FALSE(form->isVisible());  // never shown
    EXPECT_EQ(Report(), c.report);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutomaticRunTest,
    ::testing::Values(AutomaticCase{"exportar_cancelled",
                                    {"exportar", "x"},
                                    {std::nullopt},
                                    {"file", "message:No existe archivo"},
                                    "[Transformadores]\r\nTransformado=-1\r\n"},
                      AutomaticCase{"EXPORTAR_name_of_no_file",
                                    {"EXPORTAR", "x"},
                                    {"@missing"},
                                    {"file", "message:No existe archivo"},
                                    "[Transformadores]\r\nTransformado=-1\r\n"},
                      AutomaticCase{"exportar_done",
                                    {"exportar", "x"},
                                    {"@small"},
                                    {"file", "message:Proceso finalizado"},
                                    "[Transformadores]\r\nTransformado=1\r\n"},
                      AutomaticCase{"importar_cancelled",
                                    {"importar", "x"},
                                    {std::nullopt},
                                    {kReminder, "file", QString::fromUtf8("message:No existe archivo XML o Solución.")},
                                    "[Transformadores]\r\nTransformado=-1\r\n"},
                      AutomaticCase{"importar_without_SOLUC",
                                    {"Importar", "x"},
                                    {"@small"},
                                    {kReminder, "file", QString::fromUtf8("message:No existe archivo XML o Solución.")},
                                    "[Transformadores]\r\nTransformado=-1\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunsTest, NothingRunsByItselfInTheOtherModes) {
    for (const QStringList& parameters :
         {QStringList{}, QStringList{"exportar"}, QStringList{"otra", "x"}, QStringList{"exportar", "x", "y"}}) {
        auto form = MakeWindow(parameters);
        form->show();
        EXPECT_TRUE(form->isVisible()) << parameters.join(' ').toStdString();
        EXPECT_EQ(dialogs_.log, QStringList()) << parameters.join(' ').toStdString();
        form->hide();
    }
}

TEST_F(RunsTest, AnErrorInCommandLineModeLeavesTheWindowOpenAndTheOutcomeAtZero) {
    dialogs_.files = {NotZelta()};
    auto form = MakeWindow({"exportar", "x"});
    form->show();
    // The error comes first, then the window is shown with its one panel.
    EXPECT_EQ(dialogs_.log, (QStringList{"file", NotZeltaError()}));
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->hasClosed());
    EXPECT_FALSE(form->Draw3D2->isHidden());
    EXPECT_TRUE(form->Draw3D3->isHidden());
    EXPECT_EQ(form->outcome(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(TablesWritten());
    EXPECT_EQ(Report(), "<none>");

    EXPECT_TRUE(form->close());
    EXPECT_EQ(Report(), "[Transformadores]\r\nTransformado=0\r\n");
}

TEST_F(RunsTest, TheWindowGoesOnAnsweringAfterAnError) {
    dialogs_.files = {NotZelta(), std::nullopt};
    auto form = MakeWindow({});
    form->show();
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    EXPECT_EQ(dialogs_.log, (QStringList{"file", NotZeltaError()}));
    // A second run, its dialog cancelled, goes on with the document chosen
    // by the first: the same error again.
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    EXPECT_EQ(dialogs_.log.mid(2), (QStringList{"file", NotZeltaError()}));
    dialogs_.files = {Small()};
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    EXPECT_EQ(dialogs_.log.mid(4), (QStringList{"file", "message:Proceso finalizado"}));
    EXPECT_EQ(form->outcome(), 1);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(RunsTest, ARunInTheOtherWordModeClosesAndReports) {
    dialogs_.files = {Small()};
    auto form = MakeWindow({"otra", "x"});
    form->show();
    EXPECT_EQ(dialogs_.log, QStringList());
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    EXPECT_EQ(dialogs_.log, (QStringList{"file", "message:Proceso finalizado"}));
    EXPECT_TRUE(form->hasClosed());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Report(), "[Transformadores]\r\nTransformado=1\r\n");
}

TEST_F(RunsTest, TheReturnRunUsesTheDocumentTheForwardRunChose) {
    dialogs_.files = {Small(), std::nullopt};
    auto form = MakeWindow({});
    form->show();
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    QTest::mouseClick(form->BImportar, Qt::LeftButton);
    // The document exists; SOLUC does not.
    EXPECT_EQ(dialogs_.log, (QStringList{"file", "message:Proceso finalizado", kReminder, "file",
                                         QString::fromUtf8("message:No existe archivo XML o Solución.")}));
    EXPECT_EQ(form->filenameXML, Small());
    EXPECT_EQ(form->outcome(), 1);
}

TEST_F(RunsTest, ACancelledDialogConvertsTheDocumentChosenLastAgain) {
    dialogs_.files = {Small(), std::nullopt};
    auto form = MakeWindow({});
    form->show();
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    QFile::remove(QDir(htemp_.path()).filePath("PROFT.DBF"));
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    EXPECT_EQ(dialogs_.log, (QStringList{"file", "message:Proceso finalizado", "file", "message:Proceso finalizado"}));
    EXPECT_EQ(form->filenameXML, Small());
    EXPECT_TRUE(QFile::exists(QDir(htemp_.path()).filePath("PROFT.DBF")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(RunsTest, ATableHeldByAnotherProgramIsShownAndTheCursorRestored) {
    dialogs_.files = {Small(), Small()};
    auto form = MakeWindow({});
    form->show();
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    {
        test::TableHeldElsewhere held(htemp_.path(), "ASIGT", OpenMode::Exclusive);
        QTest::mouseClick(form->BExportar, Qt::LeftButton);
    }
    ASSERT_EQ(dialogs_.log.size(), 4);
    EXPECT_TRUE(dialogs_.log[3].startsWith("error:La tabla 'ASIGT'")) << dialogs_.log[3].toStdString();
    EXPECT_EQ(form->outcome(), 1);  // from the first run; the failed one changes nothing
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// "Proceso finalizado" keeps its text and offers the run's summary as its
// details: each table and its rows for the forward run, the result and its
// entries for the return run.
TEST_F(RunsTest, ProcesoFinalizadoOffersTheSummaryOfEitherRun) {
    const QString doc = docs_.filePath("centro.xml");
    ASSERT_TRUE(QFile::copy(Small(), doc));
    dialogs_.files = {doc, std::nullopt};
    auto form = MakeWindow({});
    form->show();
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    ASSERT_TRUE(
        QFile::copy(QString(PUENTE_TEST_DATA) + "/return/soluc_dbase3.dbf", QDir(htemp_.path()).filePath("SOLUC.DBF")));
    QTest::mouseClick(form->BImportar, Qt::LeftButton);

    EXPECT_EQ(dialogs_.log,
              (QStringList{"file", "message:Proceso finalizado", kReminder, "file", "message:Proceso finalizado"}));
    ASSERT_EQ(dialogs_.details.size(), 3);
    const QStringList forward = dialogs_.details[0].split('\n');
    ASSERT_GE(forward.size(), 8) << dialogs_.details[0].toStdString();
    EXPECT_EQ(forward[0], "Documento: " + QDir::toNativeSeparators(doc));
    EXPECT_EQ(forward[1], "Carpeta de trabajo: " + QDir::toNativeSeparators(htemp_.path()));
    int tableLine = 2;
    for (const char* table : {"ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "DIASHORAST", "ASIGT"}) {
        while (tableLine < forward.size() && forward[tableLine].startsWith("  - ")) ++tableLine;
        ASSERT_LT(tableLine, forward.size()) << table;
        EXPECT_TRUE(QRegularExpression(QString("^%1: \\d+ filas?$").arg(table)).match(forward[tableLine]).hasMatch())
            << forward[tableLine].toStdString();
        ++tableLine;
    }
    EXPECT_EQ(dialogs_.details[1], "") << "the reminder has no details";
    const QStringList back = dialogs_.details[2].split('\n');
    ASSERT_GE(back.size(), 4) << dialogs_.details[2].toStdString();
    EXPECT_EQ(back[0], "Resultado: " + QDir::toNativeSeparators(docs_.filePath("ResultadoHoraliscentro.xml")));
    EXPECT_TRUE(back[1].contains(QRegularExpression("\\d"))) << back[1].toStdString();
}

// The messages of missing input show no details.
TEST_F(RunsTest, MissingInputShowsNoDetails) {
    auto form = MakeWindow({});
    form->show();
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    EXPECT_EQ(dialogs_.log, (QStringList{"file", "message:No existe archivo"}));
    EXPECT_EQ(dialogs_.details, QStringList{""});
}

// The file dialog opens in the folder of the document chosen last.
TEST_F(RunsTest, TheDialogOpensInTheFolderOfTheDocumentChosenLast) {
    const QString other = WriteFile(docs_.path(), "otro.xml", "<centro/>");
    dialogs_.files = {Small(), other, std::nullopt};
    auto form = MakeWindow({});
    form->show();
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    ASSERT_EQ(dialogs_.dialogDirectories.size(), 3);
    EXPECT_EQ(dialogs_.dialogDirectories[1], QFileInfo(Small()).absolutePath());
    EXPECT_EQ(dialogs_.dialogDirectories[2], QFileInfo(other).absolutePath());
}

// Every run of the window leaves one entry in the run log, however it ends.
struct LogCase {
    const char* name;
    const char* document;  // "@small", "@notzelta", "" (cancelled)
    const char* outcome;   // the entry's outcome line
    QString message;       // the last thing the person sees ("@error": the error of the document)
};

void PrintTo(const LogCase& c, std::ostream* os) { *os << c.name; }

class WindowRunLog : public RunsTest, public ::testing::WithParamInterface<LogCase> {};

TEST_P(WindowRunLog, OneEntryPerRun) {
    const LogCase& c = GetParam();
    const QString document = c.document == std::string("@small")      ? Small()
                             : c.document == std::string("@notzelta") ? NotZelta()
                                                                      : QString();
    dialogs_.files = {document.isEmpty() ? std::nullopt : std::optional<QString>(document)};
    auto form = MakeWindow({});
    form->show();
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    EXPECT_EQ(dialogs_.log.last(), c.message == "@error" ? NotZeltaError() : c.message);

    QFile log(QDir(htemp_.path()).filePath("puente.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    EXPECT_EQ(text.count("==== "), 1) << text.toStdString();
    EXPECT_TRUE(text.startsWith("==== ")) << text.toStdString();
    EXPECT_TRUE(text.section('\n', 0, 0).endsWith(" | exportar | ventana")) << text.toStdString();
    EXPECT_TRUE(text.contains(QString("\nResultado: ") + c.outcome + "\n")) << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowRunLog,
                         ::testing::Values(LogCase{"done", "@small", "finalizado", "message:Proceso finalizado"},
                                           LogCase{"no_input", "", "sin entrada", "message:No existe archivo"},
                                           LogCase{"error", "@notzelta", "error", "@error"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A log that cannot be written changes nothing the person sees.
TEST_F(RunsTest, ALogThatCannotBeWrittenIsPassedOver) {
    QDir(htemp_.path()).mkdir("puente.log");  // a folder in the log's place
    dialogs_.files = {Small()};
    auto form = MakeWindow({});
    form->show();
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    EXPECT_EQ(dialogs_.log, (QStringList{"file", "message:Proceso finalizado"}));
    EXPECT_EQ(form->outcome(), 1);
    EXPECT_TRUE(TablesWritten());
}

// The backups of the window's forward runs name it as their front end.
TEST_F(RunsTest, TheBackupOfAWindowRunNamesTheWindow) {
    dialogs_.files = {Small(), Small()};
    auto form = MakeWindow({});
    form->show();
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    QTest::mouseClick(form->BExportar, Qt::LeftButton);
    const QDir copies(QDir(htemp_.path()).filePath("CopiasPuente"));
    const QStringList backups = copies.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(backups.size(), 1);
    QFile description(QDir(copies.filePath(backups[0])).filePath("descripcion.json"));
    ASSERT_TRUE(description.open(QIODevice::ReadOnly));
    EXPECT_TRUE(description.readAll().contains("\"ventana\""));
}

}  // namespace
}  // namespace puente
