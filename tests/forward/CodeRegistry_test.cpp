#include "forward/CodeRegistry.h"

#include "support/TestSupport.h"

namespace puente {
namespace {

struct RegistryCase {
    const char* name;
    CodeRegistry::Case letterCase;
    int prefix;
    bool shorten;
    QStringList given;
    QStringList written;
};

void PrintTo(const RegistryCase& c, std::ostream* os) { *os << c.name; }

class CodeRegistryTest : public ::testing::TestWithParam<RegistryCase> {};

TEST_P(CodeRegistryTest, WritesUniqueCodes) {
    const RegistryCase& c = GetParam();
    CodeRegistry registry(c.letterCase, c.prefix, c.shorten);
    QStringList written;
    for (const QString& code : c.given) written << registry.Give(code);
    EXPECT_EQ(written, c.written) << c.name;
}

QStringList Repeat(const QString& s, int n) {
    QStringList l;
    for (int i = 0; i < n; ++i) l << s;
    return l;
}

QStringList Numbered(const QString& prefix, int from, int to) {
    QStringList l;
    for (int i = from; i <= to; ++i) l << prefix + QString::number(i);
    return l;
}

const auto kSig = CodeRegistry::Case::Significant;
const auto kIgn = CodeRegistry::Case::Ignored;

INSTANTIATE_TEST_SUITE_P(
    Cases, CodeRegistryTest,
    ::testing::Values(
        RegistryCase{"MAT three times", kSig, 9, true, Repeat("MAT", 3), {"MAT", "MAT1", "MAT2"}},
        RegistryCase{"ABCDEFGHIJ eleven times", kSig, 9, true, Repeat("ABCDEFGHIJ", 11),
                     QStringList{"ABCDEFGHIJ"} + Numbered("ABCDEFGHI", 1, 9) + QStringList{"ABCDEFGH10"}},
        RegistryCase{"ABCDEFGHIJ twelve times: the twelfth is no repeat", kSig, 9, true, Repeat("ABCDEFGHIJ", 12),
                     QStringList{"ABCDEFGHIJ"} + Numbered("ABCDEFGHI", 1, 9) + QStringList{"ABCDEFGH10", "ABCDEFGH11"}},
        RegistryCase{"subjects: letter case significant", kSig, 9, true, {"Mat", "MAT", "mat"}, {"Mat", "MAT", "mat"}},
        RegistryCase{"teachers: PGR then pgr", kIgn, 9, false, {"PGR", "pgr"}, {"PGR", "pgr1"}},
        RegistryCase{"empty codes", kIgn, 9, false, {"", "", ""}, {"", "1", "2"}},
        RegistryCase{"empty codes with 1 taken", kIgn, 9, false, {"1", "", "", ""}, {"1", "", "2", "3"}},
        RegistryCase{"rooms: SdUM twice", kIgn, 8, true, {"SdUM", "SdUM"}, {"SdUM", "SdUM1"}},
        RegistryCase{"rooms: prefix of 8", kIgn, 8, true, {"Laborato", "Laborato"}, {"Laborato", "Laborato1"}},
        RegistryCase{"groups: M1ESOA thrice", kIgn, 9, true, Repeat("M1ESOA", 3), {"M1ESOA", "M1ESOA1", "M1ESOA2"}},
        RegistryCase{"groups: 11 characters shortened", kIgn, 9, true, {"Manana1ESOA"}, {"Manana1EOA"}},
        RegistryCase{"a shortened code that clashes is numbered",
                     kIgn,
                     9,
                     true,
                     {"Manana1EOA", "Manana1ESOA"},
                     {"Manana1EOA", "Manana1ES1"}},
        RegistryCase{"teachers: long abbreviation cut to the field", kIgn, 9, false, {"ABCDEFGHIJKL"}, {"ABCDEFGHIJ"}},
        RegistryCase{"teachers: codes equal after the cut are numbered",
                     kIgn,
                     9,
                     false,
                     {"ABCDEFGHIJK", "ABCDEFGHIJL"},
                     {"ABCDEFGHIJ", "ABCDEFGHI1"}},
        RegistryCase{"teachers: numbered from 10 on stay unique", kIgn, 9, false, Repeat("ABCDEFGHIJ", 12),
                     QStringList{"ABCDEFGHIJ"} + Numbered("ABCDEFGHI", 1, 9) + QStringList{"ABCDEFGH10", "ABCDEFGH11"}},
        RegistryCase{
            "a taken numbered code is skipped", kSig, 9, true, {"MAT1", "MAT", "MAT"}, {"MAT1", "MAT", "MAT2"}},
        // Codes compared as the table gives them back: in code page 1252,
        // cut to 10, without trailing blanks.
        RegistryCase{"teachers: two characters that 1252 lacks", kIgn, 9, false, {"Ω", "Δ"}, {"?", "?1"}},
        RegistryCase{"subjects: two characters that 1252 lacks", kSig, 9, true, {"Ω", "Δ", "?"}, {"?", "?1", "?2"}},
        RegistryCase{"a numbered code taken as stored", kIgn, 9, false, {"Ω", "Ω", "?1"}, {"?", "?1", "?11"}},
        RegistryCase{"teachers: ignored letter case after conversion",
                     kIgn,
                     9,
                     false,
                     {"ñ", "Ñ", "ω", "Ω"},
                     {"ñ", "Ñ1", "?", "?1"}},
        RegistryCase{
            "teachers: a blank at the cut", kIgn, 9, false, {"ABCDEFGHI J", "ABCDEFGHI"}, {"ABCDEFGHI", "ABCDEFGHI1"}},
        RegistryCase{"teachers: a blank at the cut, second",
                     kIgn,
                     9,
                     false,
                     {"ABCDEFGHI", "ABCDEFGHI J"},
                     {"ABCDEFGHI", "ABCDEFGHI1"}},
        RegistryCase{"rooms: a trailing blank", kIgn, 8, true, {"Abcdefg ", "Abcdefg"}, {"Abcdefg", "Abcdefg1"}},
        RegistryCase{
            "rooms: a trailing blank, second", kIgn, 8, true, {"Abcdefg", "Abcdefg "}, {"Abcdefg", "Abcdefg 1"}}));

TEST(CodeRegistry, TellsWhetherACodeWasNumbered) {
    CodeRegistry registry(CodeRegistry::Case::Ignored, 9, false);
    struct Step {
        QString code;
        QString written;
        bool numbered;
    };
    const QList<Step> steps = {{"Ω", "?", false},
                               {"Δ", "?1", true},
                               {"ABCDEFGHIJKL", "ABCDEFGHIJ", false},
                               {"ABCDEFGHIJ", "ABCDEFGHI1", true}};
    for (const Step& s : steps) {
        bool numbered = !s.numbered;
        EXPECT_EQ(registry.Give(s.code, &numbered), s.written) << s.code.toStdString();
        EXPECT_EQ(numbered, s.numbered) << s.code.toStdString();
    }
}

TEST(CodeRegistry, NeverRunsOutOfCodesAndNeverRepeats) {
    CodeRegistry registry(CodeRegistry::Case::Ignored, 9, true);
    QSet<QString> seen;
    for (int i = 0; i < 1500; ++i) {
        const QString code = registry.Give("ABCDEFGHIJ");
        EXPECT_LE(code.size(), 10) << code.toStdString();
        EXPECT_FALSE(seen.contains(code.toCaseFolded())) << "repeated " << code.toStdString() << " at " << i;
        seen.insert(code.toCaseFolded());
    }
}

}  // namespace
}  // namespace puente
