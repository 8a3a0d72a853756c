#include "platform/win32/HtmlHelp.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace puente::win32 {

namespace {

// From htmlhelp.h.
constexpr UINT kHhDisplayTopic = 0x0000;
constexpr UINT kHhHelpContext = 0x000F;

using HtmlHelpWFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

struct Entry {
    HtmlHelpWFn function = nullptr;
    ErrorCode error = kOk;  // why function is missing
};

const Entry& HtmlHelpEntry() {
    static const Entry entry = [] {
        Entry e;
        HMODULE module = LoadLibraryW(L"hhctrl.ocx");
        if (module == nullptr) {
            e.error = GetLastError() != kOk ? GetLastError() : ERROR_MOD_NOT_FOUND;
            return e;
        }
        // Through void (*)(), the one function type that converts to any other without a warning.
        e.function = reinterpret_cast<HtmlHelpWFn>(reinterpret_cast<void (*)()>(GetProcAddress(module, "HtmlHelpW")));
        if (e.function == nullptr) e.error = ERROR_PROC_NOT_FOUND;
        return e;
    }();
    return entry;
}

}  // namespace

bool HtmlHelpAvailable() { return HtmlHelpEntry().function != nullptr; }

ErrorCode ShowHtmlHelp(const wchar_t* file, int context) {
    const Entry& entry = HtmlHelpEntry();
    if (entry.function == nullptr) return entry.error;
    SetLastError(kOk);
    const HWND shown = context == 0 ? entry.function(nullptr, file, kHhDisplayTopic, 0)
                                    : entry.function(nullptr, file, kHhHelpContext, static_cast<DWORD_PTR>(context));
    if (shown != nullptr) return kOk;
    // HTML Help sets no error code of its own for a file it cannot show.
    const ErrorCode code = GetLastError();
    return code != kOk ? code : ERROR_FILE_NOT_FOUND;
}

}  // namespace puente::win32
