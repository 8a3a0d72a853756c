#include "platform/CommandLine.h"

#include "QtPrint.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

namespace puente {
namespace {

struct SplitCase {
    const char* name;
    QString line;
    QStringList words;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, GivesTheWords) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(SplitCommandLine(c.line), c.words) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCommandLineTest,
    ::testing::Values(SplitCase{"plain words", "prog exportar x", {"prog", "exportar", "x"}},
                      SplitCase{"codes 1 to 32 separate",
                                QString("prog\texportar") + QChar(1) + "x" + QChar(31) + "y\r\nz",
                                {"prog", "exportar", "x", "y", "z"}},
                      SplitCase{"code 33 does not separate", "prog !x", {"prog", "!x"}},
                      SplitCase{"no-break space does not separate",
                                QString("prog a") + QChar(0xA0) + "b",
                                {"prog", QString("a") + QChar(0xA0) + "b"}},
                      SplitCase{"separators around the words", "  prog \t x  ", {"prog", "x"}},
                      SplitCase{"empty line", "", {}}, SplitCase{"only separators", " \t ", {}},
                      SplitCase{"quotes group spaces and are dropped",
                                R"("C:\Archivos de programa\P.exe" exportar "mi archivo.xml")",
                                {R"(C:\Archivos de programa\P.exe)", "exportar", "mi archivo.xml"}},
                      SplitCase{"quotes inside a word", R"(prog ex"por"tar)", {"prog", "exportar"}},
                      SplitCase{"quoted spaces join the parts of a word", R"(prog a" b "c)", {"prog", "a b c"}},
                      SplitCase{
                          "empty quotes are a separator", R"(prog "" exportar "" x "")", {"prog", "exportar", "x"}},
                      SplitCase{"empty quotes right before a word", R"(prog ""exportar x)", {"prog", "exportar", "x"}},
                      SplitCase{"two pairs of empty quotes", R"(prog """"exportar)", {"prog", "exportar"}},
                      SplitCase{"empty quotes inside a word are dropped", R"(prog ex""portar)", {"prog", "exportar"}},
                      SplitCase{"an unclosed quote runs to the end", R"(prog "exportar x)", {"prog", "exportar x"}},
                      SplitCase{"a lone quote at the end is not a word", R"(prog exportar ")", {"prog", "exportar"}},
                      SplitCase{"three quotes at the end are not a word", R"(prog exportar """)", {"prog", "exportar"}},
                      SplitCase{"a backslash is an ordinary character", R"(prog a\"b c")", {"prog", R"(a\b c)"}},
                      SplitCase{"NUL ends the line", QString("prog a") + QChar(0) + "b", {"prog", "a"}}));

struct FoldCase {
    const char* name;
    QString text;
    QString folded;
};

void PrintTo(const FoldCase& c, std::ostream* os) { *os << c.name; }

class FoldAsciiLowerTest : public ::testing::TestWithParam<FoldCase> {};

TEST_P(FoldAsciiLowerTest, FoldsOnlyAToZ) {
    const FoldCase& c = GetParam();
    EXPECT_EQ(FoldAsciiLower(c.text), c.folded) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FoldAsciiLowerTest,
    ::testing::Values(FoldCase{"upper case", "EXPORTAR", "exportar"}, FoldCase{"mixed case", "ImPoRtAr", "importar"},
                      FoldCase{"neighbours of A and Z stay", "@AZ[`az{", "@az[`az{"},
                      FoldCase{"accented capitals stay", QString::fromUtf8("ÁÉÑ"), QString::fromUtf8("ÁÉÑ")},
                      FoldCase{"dotted capital I stays", QString::fromUtf8("İMPORTAR"), QString::fromUtf8("İmportar")},
                      FoldCase{"Kelvin sign stays", QString(QChar(0x212A)), QString(QChar(0x212A))},
                      FoldCase{"empty", "", ""}));

struct ModeCase {
    const char* name;
    QStringList parameters;
    bool commandLine;
    Command command;
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }

class ModeFromParametersTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ModeFromParametersTest, SelectsTheMode) {
    const ModeCase& c = GetParam();
    const RunMode mode = ModeFromParameters(c.parameters);
    EXPECT_EQ(mode.commandLine, c.commandLine) << c.name;
    EXPECT_EQ(mode.command, c.command) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ModeFromParametersTest,
    ::testing::Values(ModeCase{"no parameters", {}, false, Command::None},
                      ModeCase{"exportar alone", {"exportar"}, false, Command::None},
                      ModeCase{"three parameters", {"exportar", "x", "y"}, false, Command::None},
                      ModeCase{"exportar", {"exportar", "x"}, true, Command::Exportar},
                      ModeCase{"EXPORTAR", {"EXPORTAR", "x"}, true, Command::Exportar},
                      ModeCase{"Exportar", {"Exportar", "x"}, true, Command::Exportar},
                      ModeCase{"importar", {"importar", "x"}, true, Command::Importar},
                      ModeCase{"IMPORTAR", {"IMPORTAR", "x"}, true, Command::Importar},
                      ModeCase{"dotted capital I is not i", {QString::fromUtf8("İMPORTAR"), "x"}, true, Command::Other},
                      ModeCase{"a trailing space counts", {"exportar ", "x"}, true, Command::Other},
                      ModeCase{"another word", {"otra", "x"}, true, Command::Other},
                      ModeCase{"the second word is not read", {"importar", "exportar"}, true, Command::Importar}));

#ifndef _WIN32
TEST(ProgramParametersTest, LeavesOutTheProgramAndEmptyParameters) {
    char prog[] = "prog", a[] = "exportar", empty[] = "", b[] = "x y";
    char* argv[] = {prog, a, empty, b, nullptr};
    int argc = 4;
    EXPECT_EQ(ProgramParameters(argc, argv), (QStringList{"exportar", "x y"}));
}

// Parameters that Qt takes as its own options: the application object
// removes them from argv, yet they were given and count.
struct QtOptionCase {
    const char* name;
    QStringList given;  // the parameters, program name excluded
    Command command;    // the mode they select
    bool commandLine;
};

void PrintTo(const QtOptionCase& c, std::ostream* os) { *os << c.name; }

class QtOptionTest : public ::testing::TestWithParam<QtOptionCase> {};

TEST_P(QtOptionTest, CountAsGiven) {
    const QtOptionCase& c = GetParam();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QList<QByteArray> bytes = {"prog"};
    for (const QString& p : c.given) bytes << p.toLocal8Bit();
    std::vector<char*> argv;
    for (QByteArray& b : bytes) argv.push_back(b.data());
    argv.push_back(nullptr);
    int argc = int(bytes.size());

    // As the program's main does: taken before the application object.
    const QStringList parameters = ProgramParameters(argc, argv.data());
    QGuiApplication app(argc, argv.data());
    ASSERT_LT(QCoreApplication::arguments().size(), bytes.size()) << "Qt took none of them: no case";

    EXPECT_EQ(parameters, c.given);
    const RunMode mode = ModeFromParameters(parameters);
    EXPECT_EQ(mode.command, c.command);
    EXPECT_EQ(mode.commandLine, c.commandLine);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QtOptionTest,
    ::testing::Values(QtOptionCase{"importar -reverse", {"importar", "-reverse"}, Command::Importar, true},
                      QtOptionCase{"-reverse x", {"-reverse", "x"}, Command::Other, true},
                      QtOptionCase{"exportar x -reverse: three", {"exportar", "x", "-reverse"}, Command::None, false},
                      QtOptionCase{"-qwindowtitle T", {"-qwindowtitle", "T"}, Command::Other, true}));
#endif

}  // namespace
}  // namespace puente
