// The program's own command line, as wide text.
#pragma once

#include <string>
#include <vector>

namespace puente::win32 {

// The words of GetCommandLineW(), split by SplitCommandWords (CommandWords.h),
// without the program name.
std::vector<std::u16string> ProgramWords();

}  // namespace puente::win32
