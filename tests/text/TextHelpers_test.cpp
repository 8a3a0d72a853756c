#include "text/TextHelpers.h"

#include <gtest/gtest.h>

#include <functional>

namespace puente {
namespace {

struct Case {
    const char* name;
    std::function<QString()> call;
    QString expected;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class TextHelpersTest : public ::testing::TestWithParam<Case> {};

TEST_P(TextHelpersTest, GivesExpectedText) {
    const Case& c = GetParam();
    EXPECT_EQ(c.call(), c.expected) << c.name;
}

const QString kNbsp = QString(QChar(0x00A0));
const QString kLong = QString("AB ").repeated(200);  // 600 characters, 200 spaces

INSTANTIATE_TEST_SUITE_P(
    Examples, TextHelpersTest,
    ::testing::Values(
        Case{"TrimSpaces of two spaces, MAT, one space", [] { return TrimSpaces("  MAT "); }, "MAT"},
        Case{"TrimSpaces of three spaces", [] { return TrimSpaces("   "); }, ""},
        Case{"TrimSpaces keeps inner spaces", [] { return TrimSpaces(" A  B "); }, "A  B"},
        Case{"TrimSpaces keeps tab and line break", [] { return TrimSpaces("\tMAT\n"); }, "\tMAT\n"},
        Case{"TrimSpaces keeps no-break space", [] { return TrimSpaces(kNbsp + "MAT" + kNbsp); },
             kNbsp + "MAT" + kNbsp},
        Case{"TrimSpaces stops at a tab", [] { return TrimSpaces(" \t MAT \t "); }, "\t MAT \t"},
        Case{"TrimLeadingSpaces", [] { return TrimLeadingSpaces("  A "); }, "A "},
        Case{"TrimTrailingSpaces", [] { return TrimTrailingSpaces("  A "); }, "  A"},
        Case{"LeftPart(Biologia, 1)", [] { return LeftPart("Biologia", 1); }, "B"},
        Case{"LeftPart(ABC, 5)", [] { return LeftPart("ABC", 5); }, "ABC"},
        Case{"LeftPart(ABC, 3)", [] { return LeftPart("ABC", 3); }, "ABC"},
        Case{"LeftPart(ABC, 0)", [] { return LeftPart("ABC", 0); }, ""},
        Case{"LeftPart(ABC, -1)", [] { return LeftPart("ABC", -1); }, ""},
        Case{"RightPart(ABC, 1)", [] { return RightPart("ABC", 1); }, "C"},
        Case{"RightPart(ABC, 0)", [] { return RightPart("ABC", 0); }, ""},
        Case{"RightPart(ABC, -3)", [] { return RightPart("ABC", -3); }, ""},
        Case{"RightPart(ABC, 3)", [] { return RightPart("ABC", 3); }, "ABC"},
        Case{"WordInitials(Lengua Castellana y Literatura)",
             [] { return WordInitials("Lengua Castellana y Literatura"); }, "CyL"},
        Case{"WordInitials(Biologia)", [] { return WordInitials("Biologia"); }, ""},
        Case{"WordInitials of Aula and a space", [] { return WordInitials("Aula "); }, ""},
        Case{"WordInitials of a space and Aula", [] { return WordInitials(" Aula"); }, "A"},
        Case{"WordInitials of two spaces in a row", [] { return WordInitials("A  B"); }, " B"},
        Case{"WordInitials counts code units (surrogate pair after a space)",
             [] { return WordInitials(QString::fromUtf8("a \xF0\x9F\x98\x80")); }, QString(QChar(0xD83D))},
        Case{"RemoveSpaces(MAT 1 A)", [] { return RemoveSpaces("MAT 1 A"); }, "MAT1A"},
        Case{"RemoveSpaces leaves tabs and no-break spaces", [] { return RemoveSpaces(" a\tb" + kNbsp + "c d "); },
             "a\tb" + kNbsp + "cd"},
        Case{"RemoveSpaces of a long text", [] { return RemoveSpaces(kLong); }, QString("AB").repeated(200)},
        Case{"empty: TrimSpaces", [] { return TrimSpaces(""); }, ""},
        Case{"empty: LeftPart", [] { return LeftPart("", 3); }, ""},
        Case{"empty: RightPart", [] { return RightPart("", -1); }, ""},
        Case{"empty: WordInitials", [] { return WordInitials(""); }, ""},
        Case{"empty: RemoveSpaces", [] { return RemoveSpaces(""); }, ""}));

}  // namespace
}  // namespace puente
