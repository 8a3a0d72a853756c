#include "platform/Paths.h"

#include "QtPrint.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace puente {
namespace {

struct WineCase {
    const char* name;
    QString prefix;
    QString home;
    QString expected;
};

void PrintTo(const WineCase& c, std::ostream* os) { *os << c.name; }

class WorkingDirectoryUnderWineTest : public ::testing::TestWithParam<WineCase> {};

TEST_P(WorkingDirectoryUnderWineTest, IsHtempOnDriveC) {
    const WineCase& c = GetParam();
    EXPECT_EQ(DefaultWorkingDirectoryUnderWine(c.prefix, c.home), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WorkingDirectoryUnderWineTest,
    ::testing::Values(WineCase{"WINEPREFIX set", "/srv/wine", "/home/ana", "/srv/wine/drive_c/HTEMP"},
                      WineCase{"WINEPREFIX with a trailing slash", "/srv/wine/", "/home/ana",
                               "/srv/wine/drive_c/HTEMP"},
                      WineCase{"WINEPREFIX empty: ~/.wine", "", "/home/ana", "/home/ana/.wine/drive_c/HTEMP"},
                      WineCase{"home is the root", "", "/", "/.wine/drive_c/HTEMP"}));

#ifndef _WIN32
TEST(PathsTest, DefaultWorkingDirectoryFollowsWinePrefix) {
    const QByteArray saved = qgetenv("WINEPREFIX");
    const bool had = qEnvironmentVariableIsSet("WINEPREFIX");
    qputenv("WINEPREFIX", "/opt/horalis-wine");
    EXPECT_EQ(DefaultWorkingDirectory(), "/opt/horalis-wine/drive_c/HTEMP");
    qunsetenv("WINEPREFIX");
    EXPECT_EQ(DefaultWorkingDirectory(), QDir::homePath() + "/.wine/drive_c/HTEMP");
    if (had) qputenv("WINEPREFIX", saved);
}
#endif

TEST(PathsTest, OutcomeReportLiesBesideTheExecutableWhateverTheCurrentDirectory) {
    char prog[] = "test_platform";
    char* argv[] = {prog, nullptr};
    int argc = 1;
    QCoreApplication app(argc, argv);
    const QString before = QDir::currentPath();
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    // The test programs are built into <build>/tests, beside <build>/bin.
    const QString testsDir = QDir::cleanPath(PUENTE_BIN_DIR "/../tests");
    EXPECT_EQ(QFileInfo(ExecutableDirectory()).canonicalFilePath(), QFileInfo(testsDir).canonicalFilePath());
    EXPECT_EQ(OutcomeReportPath(), ExecutableDirectory() + "/Horalis.ini");
    QDir::setCurrent(before);
}

}  // namespace
}  // namespace puente
