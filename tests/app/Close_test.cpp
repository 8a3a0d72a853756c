// FormClose: the outcome report.
#include "AppTestSupport.h"

#include "platform/Paths.h"

#include <QDir>
#include <QTest>
#include <QWindow>
#include <QFileInfo>

namespace puente {
namespace {

using test::ReportBytes;
using test::WindowFixture;
using test::WriteFile;

struct CloseCase {
    const char* name;
    QStringList parameters;
    qint32 outcome;     // the value standing when the window closes
    QByteArray report;  // "<none>": no file
};

void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }

class CloseTest : public WindowFixture, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseTest, ReportsInCommandLineModeOnly) {
    const CloseCase& c = GetParam();
    auto form = MakeWindow(c.parameters);
    form->setOutcome(c.outcome);
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(form->hasClosed());
    EXPECT_EQ(Report(), c.report);
    EXPECT_EQ(dialogs_.log, QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CloseTest,
    ::testing::Values(
        CloseCase{"interactive", {}, 0, "<none>"}, CloseCase{"interactive after a run", {}, 1, "<none>"},
        CloseCase{"one parameter", {"exportar"}, 1, "<none>"},
        CloseCase{"exportar, nothing finished", {"exportar", "x"}, 0, "[Transformadores]\r\nTransformado=0\r\n"},
        CloseCase{"importar, done", {"importar", "x"}, 1, "[Transformadores]\r\nTransformado=1\r\n"},
        CloseCase{"exportar, no input", {"exportar", "x"}, -1, "[Transformadores]\r\nTransformado=-1\r\n"},
        CloseCase{"another word", {"otra", "x"}, 0, "[Transformadores]\r\nTransformado=0\r\n"}));

TEST_F(WindowFixture, InteractiveCloseLeavesAnExistingReportAlone) {
    WriteFile(reportDir_.path(), "Horalis.ini", "[Transformadores]\nTransformado=1\n");
    auto form = MakeWindow({});
    EXPECT_TRUE(form->close());
    EXPECT_EQ(Report(), "[Transformadores]\nTransformado=1\n");
}

TEST_F(WindowFixture, ReportKeepsTheRestOfTheFile) {
    WriteFile(reportDir_.path(), "Horalis.ini",
              "; Horalis\r\n[Horalis]\r\nRuta=C:\\HTEMP\r\n\r\n[Transformadores]\r\nTransformado=1\r\n");
    auto form = MakeWindow({"importar", "x"});
    EXPECT_TRUE(form->close());
    EXPECT_EQ(Report(), "; Horalis\r\n[Horalis]\r\nRuta=C:\\HTEMP\r\n\r\n[Transformadores]\r\nTransformado=0\r\n");
}

// "Salir", its access key Alt+S and the close box of the title bar.
TEST_F(WindowFixture, EveryWayOfClosingReports) {
    const std::function<void(TMForm&)> ways[] = {
        [](TMForm& f) { QTest::mouseClick(f.BClose, Qt::LeftButton); },
        [](TMForm& f) { QTest::keyClick(&f, Qt::Key_S, Qt::AltModifier); },
        // The platform window's close, which the close box ends in.
        [](TMForm& f) { f.windowHandle()->close(); },
    };
    int i = 0;
    for (const auto& closeIt : ways) {
        QFile::remove(ReportPath());
        auto form = MakeWindow({"otra", "x"});
        form->setOutcome(i - 1);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        closeIt(*form);
        // An access key presses its button the way a click does, for a moment.
        EXPECT_TRUE(QTest::qWaitFor([&] { return form->hasClosed(); }, 2000)) << "way " << i;
        EXPECT_FALSE(form->isVisible()) << "way " << i;
        EXPECT_EQ(Report(), QByteArray("[Transformadores]\r\nTransformado=") + QByteArray::number(i - 1) + "\r\n")
            << "way " << i;
        ++i;
    }
}

// A report that cannot be written: the person is told once per attempt,
// with the reason, and either tries again or closes without the report; the
// window closes in every case.
struct UnwritableCase {
    const char* name;
    std::deque<bool> answers;  // "Reintentar" (true) or "Cerrar" (false), in order
    int mendAtQuestion;        // the question (from 1) before whose answer the cause is mended; 0: never
    int questions;             // how many times the person is asked
    bool reported;             // the report is written in the end
};

void PrintTo(const UnwritableCase& c, std::ostream* os) { *os << c.name; }

class UnwritableReport : public WindowFixture, public ::testing::WithParamInterface<UnwritableCase> {};

TEST_P(UnwritableReport, IsToldAndTheWindowClosesAnyway) {
    const UnwritableCase& c = GetParam();
    // A file where the report's folder should be: nobody, not even root, can
    // write there until the file gives way to a folder.
    const QString plano = WriteFile(reportDir_.path(), "plano", "");
    const QString blocked = reportDir_.filePath("plano/Horalis.ini");
    auto form = MakeWindow({"otra", "x"});
    form->setOutcomeReportPath(blocked);
    form->setOutcome(-1);
    form->show();
    dialogs_.retries = c.answers;
    int asked = 0;
    dialogs_.onRetry = [&] {
        if (++asked == c.mendAtQuestion) {
            ASSERT_TRUE(QFile::remove(plano));
            ASSERT_TRUE(QDir(reportDir_.path()).mkdir("plano"));
        }
    };

    EXPECT_TRUE(form->close());
    EXPECT_TRUE(form->hasClosed());
    EXPECT_FALSE(form->isVisible());
    const QString question =
        QString::fromUtf8(
            "retry:No se puede escribir el archivo \"%1\": compruebe que la carpeta existe y que tiene permiso para "
            "escribir en ella.\n\nHoralis no sabrá cómo terminó la conversión. Pulse «Reintentar» para escribir el "
            "resultado de nuevo o «Cerrar» para cerrar sin escribirlo.")
            .arg(QDir::toNativeSeparators(blocked));
    EXPECT_EQ(dialogs_.log, QStringList(c.questions, question));
    EXPECT_EQ(ReportBytes(blocked), c.reported ? "[Transformadores]\r\nTransformado=-1\r\n" : "<none>");
}

INSTANTIATE_TEST_SUITE_P(Cases, UnwritableReport,
                         ::testing::Values(UnwritableCase{"close at once", {false}, 0, 1, false},
                                           UnwritableCase{"retry after mending", {true}, 1, 1, true},
                                           UnwritableCase{"retry in vain then mend", {true, true}, 2, 2, true},
                                           UnwritableCase{"retry in vain then close", {true, false}, 0, 2, false}),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (ch == ' ') ch = '_';
                             return name;
                         });

// The close box of the title bar closes too when the report cannot be written.
TEST_F(WindowFixture, TheCloseBoxClosesWhenTheReportCannotBeWritten) {
    WriteFile(reportDir_.path(), "plano", "");
    auto form = MakeWindow({"otra", "x"});
    form->setOutcomeReportPath(reportDir_.filePath("plano/Horalis.ini"));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->windowHandle()->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->hasClosed(); }, 2000));
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(dialogs_.log.size(), 1);
    EXPECT_TRUE(dialogs_.log[0].startsWith("retry:No se puede escribir el archivo")) << dialogs_.log[0].toStdString();
}

// The default report path: beside the test program, whatever the current
// directory is.
TEST_F(WindowFixture, ReportLiesBesideTheExecutableWhateverTheCurrentDirectory) {
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath("Horalis.ini");
    const QString saved = QDir::currentPath();
    const QByteArray previous = ReportBytes(beside);
    QFile::remove(beside);

    QTemporaryDir elsewhere;
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    {
        TMForm form({"importar", "x"}, htemp_.path(), &dialogs_);
        EXPECT_EQ(QFileInfo(form.outcomeReportPath()).absoluteFilePath(), QFileInfo(beside).absoluteFilePath());
        form.setOutcome(1);
        EXPECT_TRUE(form.close());
    }
    QDir::setCurrent(saved);

    EXPECT_EQ(ReportBytes(beside), "[Transformadores]\r\nTransformado=1\r\n");
    EXPECT_FALSE(QFile::exists(QDir(elsewhere.path()).filePath("Horalis.ini")));
    QFile::remove(beside);
    if (previous != "<none>") WriteFile(QCoreApplication::applicationDirPath(), "Horalis.ini", previous);
}

}  // namespace
}  // namespace puente
