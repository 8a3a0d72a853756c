// Text to the standard output and error of a Windows console program.
//
// A console shows UTF-16 text only when it is given as such (WriteConsoleW);
// bytes written to it are read in the console's code page (850 for a Spanish
// Windows), so "Año" would come out wrong. A pipe or a file gets UTF-8, which
// the programs that read them (and the tests) expect.
#pragma once

#include "platform/win32/Win32Types.h"

#include <string_view>

namespace puente::win32 {

enum class StandardStream { Output, Error };

// Writes text to the handle: with WriteConsoleW when it is a console, as
// UTF-8 bytes otherwise. Gives kOk when every character was written.
ErrorCode WriteText(FileHandle handle, std::u16string_view text);

// WriteText to the program's standard output or error (GetStdHandle); a
// program without one gives ERROR_INVALID_HANDLE.
ErrorCode WriteStandard(StandardStream stream, std::u16string_view text);

}  // namespace puente::win32
