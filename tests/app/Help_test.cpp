// "F1 Ayuda" and the F1 key.
#include "AppTestSupport.h"

#include "platform/Help.h"

#include <QDir>
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

TEST_F(HelpWindowTest, AMissingHelpFileIsTold) {
    auto form = MakeWindow({});
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    EXPECT_EQ(dialogs_.log, QStringList{"error:No se encuentra el archivo de ayuda \"ZELTA.chm\" junto al programa "
                                        "ni en la carpeta de trabajo."});
}

TEST_F(HelpWindowTest, AMissingViewerIsTold) {
    const QString chm = WriteFile(current_.path(), "ZELTA.chm", "ITSF");
    dialogs_.helpViewerWorks = false;
    auto form = MakeWindow({});
    form->Button1Click();
    EXPECT_EQ(dialogs_.log, (QStringList{"help:" + chm + ":0",
                                         "error:No se puede abrir el archivo de ayuda \"" +
                                             QDir::toNativeSeparators(chm) +
                                             "\": no hay ningún visor de archivos CHM instalado (por ejemplo xchm)."}));
}

}  // namespace
}  // namespace puente
