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
    ::testing::Values(CloseCase{"interactive", {}, 0, "<none>"},
                      CloseCase{"interactive after a run", {}, 1, "<none>"},
                      CloseCase{"one parameter", {"exportar"}, 1, "<none>"},
                      CloseCase{"exportar, nothing finished", {"exportar", "x"}, 0,
                                "[Transformadores]\r\nTransformado=0\r\n"},
                      CloseCase{"importar, done", {"importar", "x"}, 1, "[Transformadores]\r\nTransformado=1\r\n"},
                      CloseCase{"exportar, no input", {"exportar", "x"}, -1,
                                "[Transformadores]\r\nTransformado=-1\r\n"},
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

TEST_F(WindowFixture, AReportThatCannotBeWrittenKeepsTheWindowOpen) {
    // A folder where the report's folder should be a file: nobody, not even
    // root, can write there.
    WriteFile(reportDir_.path(), "plano", "");
    const QString blocked = reportDir_.filePath("plano/Horalis.ini");
    auto form = MakeWindow({"otra", "x"});
    form->setOutcomeReportPath(blocked);
    form->setOutcome(-1);
    form->show();

    EXPECT_FALSE(form->close());
    EXPECT_FALSE(form->hasClosed());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(dialogs_.log, QStringList{"error:No se puede escribir el archivo \"" +
                                        QDir::toNativeSeparators(blocked) +
                                        "\": compruebe que la carpeta existe y que tiene permiso para "
                                        "escribir en ella."});

    // Once the cause is mended, the next close reports and goes through.
    form->setOutcomeReportPath(ReportPath());
    EXPECT_TRUE(form->close());
    EXPECT_EQ(Report(), "[Transformadores]\r\nTransformado=-1\r\n");
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
