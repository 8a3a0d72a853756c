#include "platform/win32/CommandLine.h"

#include "platform/CommandWords.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace puente::win32 {

std::vector<std::u16string> ProgramWords() {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");
    std::vector<std::u16string> words = SplitCommandWords(reinterpret_cast<const char16_t*>(GetCommandLineW()));
    if (!words.empty()) words.erase(words.begin());
    return words;
}

}  // namespace puente::win32
