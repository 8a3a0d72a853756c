// "F1 Ayuda" and the F1 key.
#include "AppTestSupport.h"

#include "platform/Help.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QTest>

namespace puente {
namespace {

using test::WindowFixture;
using test::WriteFile;

// The help file is looked for beside the executable and in the current
// directory; the tests move into a directory of their own.
class HelpWindowTest : public WindowFixture {
protected:
    void SetUp() override {
        saved_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(current_.path()));
        ASSERT_TRUE(FindHelpFile("ZELTA.chm", {QCoreApplication::applicationDirPath()}).isEmpty())
            << "a ZELTA.chm beside the test program spoils these tests";
    }
    void TearDown() override { QDir::setCurrent(saved_); }

    QTemporaryDir current_;
    QString saved_;
};

TEST_F(HelpWindowTest, AyudaOpensTheStartPage) {
    const QString chm = WriteFile(current_.path(), "ZELTA.chm", "ITSF");
    auto form = MakeWindow({});
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    EXPECT_EQ(dialogs_.log, QStringList{"help:" + chm + ":0"});
}

TEST_F(HelpWindowTest, F1OpensTopicThree) {
    const QString chm = WriteFile(current_.path(), "ZELTA.chm", "ITSF");
    auto form = MakeWindow({});
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->BImportar->setFocus();
    QTest::keyClick(form->BImportar, Qt::Key_F1);
    EXPECT_EQ(dialogs_.log, QStringList{"help:" + chm + ":3"});
}

// When ZELTA.chm cannot be shown, the program's own page opens in the
// browser; when that fails too, the error display tells both.
struct OwnPageCase {
    const char* name;
    bool chm;           // ZELTA.chm is there
    bool viewer;        // a viewer opens it
    QStringList pages;  // the candidates, relative to a folder: "+name" exists, "-name" does not
    bool browser;       // the browser opens the page
    int context;
    QStringList log;  // "@chm": ZELTA.chm; "@url": the page found, as a file URL; "@first": the first candidate
};

void PrintTo(const OwnPageCase& c, std::ostream* os) { *os << c.name; }

class OwnHelpPage : public HelpWindowTest, public ::testing::WithParamInterface<OwnPageCase> {};

const QString kChmMissing = QString::fromUtf8(
    "No se encuentra el archivo de ayuda \"ZELTA.chm\" junto al programa ni en la carpeta de trabajo.");
const QString kViewerMissing = QString::fromUtf8(
    "No se puede abrir el archivo de ayuda \"@chm\": no hay ningún visor de archivos CHM instalado (por ejemplo "
    "xchm).");

TEST_P(OwnHelpPage, OpensWhenTheHelpFileCannotBeShown) {
    const OwnPageCase& c = GetParam();
    const QString chm = c.chm ? WriteFile(current_.path(), "ZELTA.chm", "ITSF") : QString();
    dialogs_.helpViewerWorks = c.viewer;
    dialogs_.browserWorks = c.browser;
    QTemporaryDir pages;
    QStringList candidates;
    QString found;
    for (const QString& p : c.pages) {
        const QString path = pages.filePath(p.mid(1));
        candidates << path;
        if (p.startsWith('+')) {
            QDir().mkpath(QFileInfo(path).absolutePath());
            WriteFile(QFileInfo(path).absolutePath(), QFileInfo(path).fileName(), "<html></html>");
            if (found.isEmpty()) found = path;
        }
    }
    auto form = MakeWindow({});
    form->setOwnHelpPages(candidates);
    form->ShowHelp(c.context);

    QUrl url = QUrl::fromLocalFile(found);
    if (c.context == kMainWindowHelpContext) url.setFragment("ventana");
    QStringList expected;
    for (QString line : c.log) {
        line.replace("@chm", chm);
        line.replace("@url", url.toString());
        line.replace("@found", QDir::toNativeSeparators(found));
        line.replace("@first", QDir::toNativeSeparators(candidates.value(0)));
        expected << line;
    }
    // The viewer's message names the file with the system's separators.
    for (QString& line : expected)
        if (line.startsWith("error:")) line.replace(chm, QDir::toNativeSeparators(chm));
    EXPECT_EQ(dialogs_.log, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OwnHelpPage,
    ::testing::Values(
        OwnPageCase{"viewer_works", true, true, {"+ayuda/ayuda.html"}, true, 0, {"help:@chm:0"}},
        OwnPageCase{"no_chm", false, true, {"+ayuda/ayuda.html"}, true, 0, {"browser:@url"}},
        OwnPageCase{"no_chm_F1", false, true, {"+ayuda/ayuda.html"}, true, 3, {"browser:@url"}},
        OwnPageCase{"no_viewer", true, false, {"+ayuda/ayuda.html"}, true, 0, {"help:@chm:0", "browser:@url"}},
        OwnPageCase{"installed_page",
                    false,
                    true,
                    {"-bin/ayuda/ayuda.html", "+share/puentehoraliszelta/ayuda/ayuda.html"},
                    true,
                    0,
                    {"browser:@url"}},
        OwnPageCase{"no_chm_no_page",
                    false,
                    true,
                    {"-ayuda/ayuda.html", "-share/ayuda.html"},
                    true,
                    0,
                    {"error:" + kChmMissing + " Tampoco se encuentra la ayuda del programa \"@first\"."}},
        OwnPageCase{"no_viewer_no_browser",
                    true,
                    false,
                    {"+ayuda/ayuda.html"},
                    false,
                    0,
                    {"help:@chm:0", "browser:@url",
                     "error:" + kViewerMissing +
                         " Tampoco se puede abrir la ayuda del programa \"@found\": no hay ningún navegador que la "
                         "abra."}}),
    [](const auto& info) { return std::string(info.param.name); });

// The page is looked for beside the executable, then where an installed
// program's shared files lie; the build puts it beside the program.
TEST_F(HelpWindowTest, TheBuildPutsThePageBesideTheProgram) {
    const QStringList paths = OwnHelpPagePaths();
    ASSERT_EQ(paths.size(), 2);
    EXPECT_EQ(paths[0], QDir(QCoreApplication::applicationDirPath()).filePath("ayuda/ayuda.html"));
    EXPECT_EQ(paths[1], QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                        "/../share/puentehoraliszelta/ayuda/ayuda.html"));
    QFile page(QString(PUENTE_BIN_DIR) + "/ayuda/ayuda.html");
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << page.fileName().toStdString();
    const QString html = QString::fromUtf8(page.readAll());
    for (const char* part : {"lang=\"es\"", "C:\\HTEMP", "drive_c/HTEMP", "Horalis.ini", "CopiasPuente",
                             "puente copias", "puente restaurar [COPIA]", "puente.log", "No existe archivo",
                             "No existe archivo XML o Solución.", "id=\"ventana\""})
        EXPECT_TRUE(html.contains(QString::fromUtf8(part))) << part;
}

// Both ways of asking for help reach the page when there is no help file.
TEST_F(HelpWindowTest, AyudaAndF1OpenTheOwnPageWithoutTheHelpFile) {
    const QString built = QString(PUENTE_BIN_DIR) + "/ayuda/ayuda.html";
    auto form = MakeWindow({});
    form->setOwnHelpPages({QDir(current_.path()).filePath("ayuda/ayuda.html"), built});
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QTest::keyClick(form->BImportar, Qt::Key_F1);
    const QUrl page = QUrl::fromLocalFile(QFileInfo(built).absoluteFilePath());
    EXPECT_EQ(dialogs_.log, (QStringList{"browser:" + page.toString(), "browser:" + page.toString() + "#ventana"}));
}

}  // namespace
}  // namespace puente
