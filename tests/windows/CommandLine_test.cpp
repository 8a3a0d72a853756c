// The program's own command line, read as wide text from GetCommandLineW and
// split by the program's rule, in a child started with CreateProcessW; the
// child writes the words to a file through WriteStandard (UTF-8).
#include "Win32TestSupport.h"

#include <gtest/gtest.h>

namespace puente::win32 {
namespace {

using win32test::ReadBytes;
using win32test::RunSelf;
using win32test::ScratchFolder;

struct WordsCase {
    const char* name;
    std::u16string arguments;  // after the program's name
    std::string words;         // the child's output: one word a line, UTF-8
};

class ProgramWordsTest : public testing::TestWithParam<WordsCase> {};

TEST_P(ProgramWordsTest, TheChildReadsItsWords) {
    const WordsCase& c = GetParam();
    ScratchFolder folder;
    const std::u16string output = folder.File(u"palabras.txt");
    ASSERT_EQ(RunSelf(u"--print-words " + c.arguments, output), 0UL);
    EXPECT_EQ(ReadBytes(output), "--print-words\n" + c.words);
}

INSTANTIATE_TEST_SUITE_P(
    Win32, ProgramWordsTest,
    testing::Values(WordsCase{"TwoWords", u"exportar X", "exportar\nX\n"},
                    WordsCase{"NonAsciiPathInQuotes", u"IMPORTAR \"C:\\A\u00F1o\\mi centro.xml\"",
                              "IMPORTAR\nC:\\A\xC3\xB1o\\mi centro.xml\n"},
                    WordsCase{"EmptyQuotesAreNoWord", u"exportar \"\" \u00D1", "exportar\n\xC3\x91\n"},
                    WordsCase{"QuotesInsideAWord", u"a\"b c\"d\tlast", "ab cd\nlast\n"},
                    WordsCase{"BackslashBeforeQuoteIsPlain", u"\"C:\\HTEMP\\\" x", "C:\\HTEMP\\\nx\n"}),
    [](const testing::TestParamInfo<WordsCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace puente::win32
