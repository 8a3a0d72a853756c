#include "platform/Help.h"

#include "QtPrint.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace puente {
namespace {

class FindHelpFileTest : public ::testing::Test {
protected:
    static void Touch(const QString& path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    }
    QTemporaryDir beside_, current_;
};

TEST_F(FindHelpFileTest, BesideTheExecutableComesFirst) {
    Touch(beside_.filePath("ZELTA.chm"));
    Touch(current_.filePath("ZELTA.chm"));
    EXPECT_EQ(FindHelpFile("ZELTA.chm", {beside_.path(), current_.path()}), beside_.filePath("ZELTA.chm"));
}

TEST_F(FindHelpFileTest, ThenTheCurrentDirectory) {
    Touch(current_.filePath("ZELTA.chm"));
    EXPECT_EQ(FindHelpFile("ZELTA.chm", {beside_.path(), current_.path()}), current_.filePath("ZELTA.chm"));
}

TEST_F(FindHelpFileTest, LetterCaseOfTheFileNameDoesNotMatter) {
    Touch(current_.filePath("zelta.CHM"));
    EXPECT_EQ(FindHelpFile("ZELTA.chm", {beside_.path(), current_.path()}), current_.filePath("zelta.CHM"));
}

TEST_F(FindHelpFileTest, AFolderOfThatNameIsNoHelpFile) {
    ASSERT_TRUE(QDir(beside_.path()).mkdir("ZELTA.chm"));
    EXPECT_EQ(FindHelpFile("ZELTA.chm", {beside_.path(), current_.path()}), "");
}

TEST_F(FindHelpFileTest, NoFileGivesAnEmptyPath) {
    Touch(beside_.filePath("ZELTA.hlp"));
    EXPECT_EQ(FindHelpFile("ZELTA.chm", {beside_.path(), QString(), current_.path()}), "");
}

TEST(HelpTest, XchmOpensTheStartPageOrAContext) {
    EXPECT_EQ(XchmArguments("/p/ZELTA.chm", kHelpStartPage), QStringList{"/p/ZELTA.chm"});
    EXPECT_EQ(XchmArguments("/p/ZELTA.chm", kMainWindowHelpContext), (QStringList{"--contextid=3", "/p/ZELTA.chm"}));
}

}  // namespace
}  // namespace puente
