// The test program of the Win32 pieces. Started with one of these first
// arguments it is instead the child that a test starts:
//   --print-words   writes the words of its own command line, one a line, to
//                   its standard output (CommandLine_test.cpp);
//   --console-echo  writes a line to a console of its own, reads it back from
//                   the screen and writes that to its standard output
//                   (Console_test.cpp).
#include "platform/win32/CommandLine.h"
#include "platform/win32/Console.h"

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cwchar>
#include <string>

#include "ChildCodes.h"

namespace {

using namespace puente::win32;

int PrintWords() {
    std::u16string text;
    for (const std::u16string& word : ProgramWords()) text += word + u"\n";
    return WriteStandard(StandardStream::Output, text) == kOk ? 0 : 3;
}

// A screen buffer of this process's console that takes text, or
// INVALID_HANDLE_VALUE. (Wine gives a working console only to a program run
// from a terminal.)
HANDLE NewScreen() {
    HANDLE screen = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              CONSOLE_TEXTMODE_BUFFER, nullptr);
    DWORD mode = 0;
    if (screen != INVALID_HANDLE_VALUE && !GetConsoleMode(screen, &mode)) {
        CloseHandle(screen);
        return INVALID_HANDLE_VALUE;
    }
    return screen;
}

int ConsoleEcho() {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);  // the parent's file; AllocConsole replaces the standard handles
    auto fail = [out](const char16_t* what) {
        const std::string code = std::to_string(GetLastError());
        WriteText(out, std::u16string(what) + u", error " + std::u16string(code.begin(), code.end()));
        return 4;
    };
    // The console inherited from the parent, else a new one.
    HANDLE screen = NewScreen();
    if (screen == INVALID_HANDLE_VALUE) {
        FreeConsole();
        if (AllocConsole()) screen = NewScreen();
    }
    if (screen == INVALID_HANDLE_VALUE) return puente::win32test::kNoConsole;
    const std::u16string line = u"A\u00F1o \u00BFcanci\u00F3n? \u20AC";
    if (WriteText(screen, line) != kOk) return fail(u"WriteText");
    std::u16string shown(line.size(), u' ');
    DWORD n = 0;
    if (!ReadConsoleOutputCharacterW(screen, reinterpret_cast<wchar_t*>(shown.data()), static_cast<DWORD>(shown.size()),
                                     COORD{0, 0}, &n))
        return fail(u"ReadConsoleOutputCharacterW");
    shown.resize(n);
    return WriteText(out, shown) == kOk ? 0 : 5;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wcscmp(argv[1], L"--print-words") == 0) return PrintWords();
    if (argc > 1 && std::wcscmp(argv[1], L"--console-echo") == 0) return ConsoleEcho();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
