// Spanish text to a console (UTF-16), to a file and to a pipe (UTF-8).
#include "ChildCodes.h"
#include "Win32TestSupport.h"
#include "platform/win32/Console.h"

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

constexpr std::u16string_view kText = u"A\u00F1o: \u00BFcanci\u00F3n? \u20AC \U0001F600\n";
// The same in UTF-8.
constexpr char kUtf8[] =
    "A\xC3\xB1o: \xC2\xBF"
    "canci\xC3\xB3n? \xE2\x82\xAC \xF0\x9F\x98\x80\n";

TEST(Win32Console, AFileGetsUtf8) {
    ScratchFolder folder;
    const std::u16string path = folder.File(u"salida.txt");
    HANDLE h = CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WriteText(h, kText), kOk);
    EXPECT_EQ(WriteText(h, u""), kOk);
    EXPECT_EQ(WriteText(h, kText), kOk);
    CloseHandle(h);
    EXPECT_EQ(ReadBytes(path), std::string(kUtf8) + kUtf8);
}

TEST(Win32Console, APipeGetsUtf8) {
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 1 << 16));
    EXPECT_EQ(WriteText(writeEnd, kText), kOk);
    CloseHandle(writeEnd);
    std::string bytes;
    char buffer[256];
    DWORD n = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
    CloseHandle(readEnd);
    EXPECT_EQ(bytes, kUtf8);
}

TEST(Win32Console, AConsoleGetsTheCharacters) {
    // In a child with a console of its own (main.cpp, --console-echo): it
    // writes the line to a console screen buffer, reads the characters back
    // from the screen and sends them here as UTF-8.
    ScratchFolder folder;
    const std::u16string output = folder.File(u"pantalla.txt");
    const unsigned long code = win32test::RunSelf(u"--console-echo", output);
    if (code == win32test::kNoConsole)
        GTEST_SKIP() << "no console: under Wine the program must run from a terminal (tools/test-windows does)";
    ASSERT_EQ(code, 0UL) << ReadBytes(output);
    EXPECT_EQ(ReadBytes(output),
              "A\xC3\xB1o \xC2\xBF"
              "canci\xC3\xB3n? \xE2\x82\xAC");
}

TEST(Win32Console, NoHandleIsAnError) {
    EXPECT_EQ(WriteText(nullptr, kText), static_cast<ErrorCode>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(WriteText(INVALID_HANDLE_VALUE, kText), static_cast<ErrorCode>(ERROR_INVALID_HANDLE));
}

}  // namespace
}  // namespace puente::win32
