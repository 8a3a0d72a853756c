// The forward run's commit as Staging does it on Windows: each staged table
// is flushed and renamed over the old one with std::filesystem::rename on
// paths made from UTF-16 text (QString::toStdU16String), with "/" separators
// as Qt gives them, here in a working directory "Año/HTEMP".
#include "Win32TestSupport.h"
#include "platform/win32/Files.h"

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <filesystem>
#include <system_error>

namespace puente::win32 {
namespace {

using win32test::Exists;
using win32test::ReadBytes;
using win32test::ScratchFolder;
using win32test::Wide;
using win32test::WriteBytes;

// The rename of MoveIntoPlace (src/forward/Staging.cpp).
std::error_code MoveIntoPlace(const std::u16string& source, const std::u16string& target) {
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(source), std::filesystem::path(target), ec);
    return ec;
}

struct Working {
    ScratchFolder folder;
    std::u16string htemp = folder.File(u"HTEMP");
    std::u16string staged = htemp + u"/.puente-staging";
    Working() { std::filesystem::create_directories(std::filesystem::path(staged)); }
    std::u16string Table(std::u16string_view name) const { return htemp + u"/" + std::u16string(name); }
    std::u16string Staged(std::u16string_view name) const { return staged + u"/" + std::u16string(name); }
};

TEST(Win32Commit, StagedTablesReplaceTheOldOnesInAFolderWithANonAsciiName) {
    Working w;
    ASSERT_NE(w.htemp.find(u"A\u00F1o/HTEMP"), std::u16string::npos);
    const std::u16string tables[] = {u"ASIGNOMT.DBF", u"PROFT.DBF", u"AULAT.DBF"};
    WriteBytes(w.Table(u"ASIGNOMT.DBF"), "tabla vieja");  // one old table; the others are new
    for (const std::u16string& t : tables) WriteBytes(w.Staged(t), "nueva " + std::string(t.begin(), t.end()));

    for (const std::u16string& t : tables) {
        ASSERT_EQ(FlushFile(Wide(w.Staged(t))), kOk);
        const std::error_code ec = MoveIntoPlace(w.Staged(t), w.Table(t));
        ASSERT_FALSE(ec) << ec.message();
    }
    for (const std::u16string& t : tables) {
        EXPECT_EQ(ReadBytes(w.Table(t)), "nueva " + std::string(t.begin(), t.end()));
        EXPECT_FALSE(Exists(w.Staged(t)));
    }
    std::error_code ec;
    EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::path(w.staged), ec));
    EXPECT_FALSE(ec);
}

TEST(Win32Commit, ATableHeldByAnotherProgramIsNotReplaced) {
    Working w;
    WriteBytes(w.Table(u"PROFT.DBF"), "tabla vieja");
    WriteBytes(w.Staged(u"PROFT.DBF"), "tabla nueva");
    FileHandle held = nullptr;  // as Horalis holds an open table
    ASSERT_EQ(OpenFile(Wide(w.Table(u"PROFT.DBF")), true, Sharing::ReadWrite, false, &held), kOk);

    const std::error_code ec = MoveIntoPlace(w.Staged(u"PROFT.DBF"), w.Table(u"PROFT.DBF"));
    CloseFile(held);
    EXPECT_TRUE(ec);
    EXPECT_FALSE(ec.message().empty());
    EXPECT_EQ(ReadBytes(w.Table(u"PROFT.DBF")), "tabla vieja");
    EXPECT_EQ(ReadBytes(w.Staged(u"PROFT.DBF")), "tabla nueva");

    // Once it is let go, the commit goes through.
    const std::error_code again = MoveIntoPlace(w.Staged(u"PROFT.DBF"), w.Table(u"PROFT.DBF"));
    ASSERT_FALSE(again) << again.message();
    EXPECT_EQ(ReadBytes(w.Table(u"PROFT.DBF")), "tabla nueva");
}

}  // namespace
}  // namespace puente::win32
