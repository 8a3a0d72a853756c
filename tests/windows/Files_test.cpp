// The table files' Win32 calls: share modes, reads and writes at offsets,
// size and truncation, flushing, all in a folder whose name is not ASCII.
#include "Win32TestSupport.h"
#include "platform/win32/Files.h"

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace puente::win32 {
namespace {

using win32test::ReadBytes;
using win32test::ScratchFolder;
using win32test::Wide;
using win32test::WriteBytes;

struct Opened {
    FileHandle handle = nullptr;
    ErrorCode code = kOk;
    Opened(const std::u16string& path, bool write, Sharing sharing, bool create = false) {
        code = OpenFile(Wide(path), write, sharing, create, &handle);
    }
    ~Opened() { CloseFile(handle); }
};

// A second open of a file that one open already holds.
struct SharingCase {
    const char* name;
    Sharing first;
    Sharing second;
    bool secondWrites;
    ErrorCode expected;
};

class SharingTest : public testing::TestWithParam<SharingCase> {};

TEST_P(SharingTest, SecondOpenIsAllowedOrRefusedAtOnce) {
    const SharingCase& c = GetParam();
    ScratchFolder folder;
    const std::u16string table = folder.File(u"PROFT.DBF");
    WriteBytes(table, "datos");
    Opened first(table, true, c.first);
    ASSERT_EQ(first.code, kOk);
    Opened second(table, c.secondWrites, c.second);
    EXPECT_EQ(second.code, c.expected);
    EXPECT_EQ(second.handle == nullptr, c.expected != kOk);
    if (c.expected == ERROR_SHARING_VIOLATION) {
        EXPECT_EQ(ClassifyOpenError(second.code, false), OpenFailure::InUse);
        EXPECT_TRUE(IsHeldElsewhere(Wide(table)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Win32, SharingTest,
    testing::Values(
        SharingCase{"SharedThenShared", Sharing::ReadWrite, Sharing::ReadWrite, true, kOk},
        SharingCase{"SharedThenExclusive", Sharing::ReadWrite, Sharing::None, true, ERROR_SHARING_VIOLATION},
        SharingCase{"ExclusiveThenShared", Sharing::None, Sharing::ReadWrite, true, ERROR_SHARING_VIOLATION},
        SharingCase{"ExclusiveThenReader", Sharing::None, Sharing::ReadWrite, false, ERROR_SHARING_VIOLATION},
        SharingCase{"ExclusiveThenExclusive", Sharing::None, Sharing::None, true, ERROR_SHARING_VIOLATION}),
    [](const testing::TestParamInfo<SharingCase>& info) { return std::string(info.param.name); });

TEST(Win32Files, ClosingReleasesTheFile) {
    ScratchFolder folder;
    const std::u16string table = folder.File(u"AULAT.DBF");
    WriteBytes(table, "x");
    {
        Opened held(table, true, Sharing::None);
        ASSERT_EQ(held.code, kOk);
        EXPECT_TRUE(IsHeldElsewhere(Wide(table)));
    }
    EXPECT_FALSE(IsHeldElsewhere(Wide(table)));
    Opened again(table, true, Sharing::None);
    EXPECT_EQ(again.code, kOk);
}

TEST(Win32Files, FailedOpensAreClassified) {
    ScratchFolder folder;
    // (A read-only file is left out: the tests run as root under Wine,
    // where the file's mode does not stop a write.)
    struct Case {
        const char* name;
        std::u16string path;
        bool write;
        bool create;
        OpenFailure expected;
    } cases[] = {
        {"missing file", folder.File(u"NOHAY.DBF"), false, false, OpenFailure::NotFound},
        {"missing folder", folder.File(u"no/NOHAY.DBF"), true, false, OpenFailure::NotFound},
        {"missing folder, create", folder.File(u"no/NOHAY.DBF"), true, true, OpenFailure::Other},
        {"a folder", folder.path(), false, false, OpenFailure::Denied},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Opened opened(c.path, c.write, Sharing::ReadWrite, c.create);
        EXPECT_NE(opened.code, kOk);
        EXPECT_EQ(opened.handle, nullptr);
        EXPECT_EQ(ClassifyOpenError(opened.code, c.create), c.expected) << "error " << opened.code;
    }
}

TEST(Win32Files, CreateMakesAMissingFileAndKeepsAnExistingOne) {
    ScratchFolder folder;
    const std::u16string made = folder.File(u"ASIGT.DBF");
    {
        Opened opened(made, true, Sharing::None, true);
        ASSERT_EQ(opened.code, kOk);
    }
    EXPECT_EQ(ReadBytes(made), "");
    WriteBytes(made, "contenido");
    {
        Opened opened(made, true, Sharing::None, true);
        ASSERT_EQ(opened.code, kOk);
    }
    EXPECT_EQ(ReadBytes(made), "contenido");
}

TEST(Win32Files, WritesAndReadsAtOffsetsSizeAndTruncation) {
    ScratchFolder folder;
    const std::u16string table = folder.File(u"GRUPOST.DBF");
    Opened file(table, true, Sharing::None, true);
    ASSERT_EQ(file.code, kOk);

    ASSERT_EQ(WriteAt(file.handle, 0, "0123456789", 10), kOk);
    ASSERT_EQ(WriteAt(file.handle, 4, "ab", 2), kOk);  // inside
    ASSERT_EQ(WriteAt(file.handle, 12, "Z", 1), kOk);  // past the end: a gap of two zero bytes
    std::int64_t size = -1;
    ASSERT_EQ(FileSize(file.handle, &size), kOk);
    EXPECT_EQ(size, 13);

    char buffer[32] = {};
    std::int64_t done = -1;
    ASSERT_EQ(ReadAt(file.handle, 2, buffer, 4, &done), kOk);
    EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(done)), "23ab");
    ASSERT_EQ(ReadAt(file.handle, 8, buffer, 20, &done), kOk);  // short at the end
    EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(done)), std::string("89\0\0Z", 5));
    ASSERT_EQ(ReadAt(file.handle, 13, buffer, 4, &done), kOk);  // at the end
    EXPECT_EQ(done, 0);
    ASSERT_EQ(ReadAt(file.handle, 100, buffer, 4, &done), kOk);  // past it
    EXPECT_EQ(done, 0);

    ASSERT_EQ(Resize(file.handle, 6), kOk);
    ASSERT_EQ(FileSize(file.handle, &size), kOk);
    EXPECT_EQ(size, 6);
    ASSERT_EQ(Resize(file.handle, 8), kOk);  // grows with zero bytes
    ASSERT_EQ(ReadAt(file.handle, 0, buffer, 32, &done), kOk);
    EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(done)), std::string("0123ab\0\0", 8));
    // A write after the truncation lands at its offset, not at an old file pointer.
    ASSERT_EQ(WriteAt(file.handle, 1, "X", 1), kOk);
    // Held without sharing, the file cannot be opened to be flushed.
    EXPECT_EQ(FlushFile(Wide(table)), static_cast<ErrorCode>(ERROR_SHARING_VIOLATION));
    CloseFile(file.handle);
    file.handle = nullptr;
    EXPECT_EQ(FlushFile(Wide(table)), kOk);
    EXPECT_EQ(ReadBytes(table), std::string("0X23ab\0\0", 8));
}

TEST(Win32Files, AReaderCannotWrite) {
    ScratchFolder folder;
    const std::u16string table = folder.File(u"ASIGNOMT.DBF");
    WriteBytes(table, "abc");
    Opened reader(table, false, Sharing::ReadWrite);
    ASSERT_EQ(reader.code, kOk);
    EXPECT_EQ(WriteAt(reader.handle, 0, "z", 1), static_cast<ErrorCode>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadBytes(table), "abc");
}

TEST(Win32Files, FlushingAMissingFileGivesTheError) {
    ScratchFolder folder;
    EXPECT_EQ(FlushFile(Wide(folder.File(u"NOHAY.DBF"))), static_cast<ErrorCode>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(IsHeldElsewhere(Wide(folder.File(u"NOHAY.DBF"))));
}

TEST(Win32Files, TheSystemWordsAnErrorAsWideText) {
    EXPECT_FALSE(SystemMessage(ERROR_SHARING_VIOLATION).empty());
    const std::wstring words = SystemMessage(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(words.empty());
    EXPECT_NE(words.back(), L'\n');
    EXPECT_NE(words.back(), L'\r');
}

}  // namespace
}  // namespace puente::win32
