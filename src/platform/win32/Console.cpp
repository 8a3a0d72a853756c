#include "platform/win32/Console.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <string>

namespace puente::win32 {

namespace {

// WriteConsoleW is given at most this many characters at a time (old consoles
// refuse buffers much larger than 64 KiB); a pair of surrogates is not split.
constexpr std::size_t kConsoleChunk = 8192;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

ErrorCode ToConsole(HANDLE h, std::u16string_view text) {
    while (!text.empty()) {
        std::size_t n = std::min(text.size(), kConsoleChunk);
        if (n < text.size() && n > 1 && IsHighSurrogate(text[n - 1])) --n;
        DWORD written = 0;
        if (!WriteConsoleW(h, text.data(), static_cast<DWORD>(n), &written, nullptr)) return GetLastError();
        if (written == 0) return ERROR_WRITE_FAULT;
        text.remove_prefix(written);
    }
    return kOk;
}

ErrorCode ToBytes(HANDLE h, std::u16string_view text) {
    if (text.empty()) return kOk;
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return GetLastError();
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, length, bytes.data(), size, nullptr, nullptr);
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(h, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr))
            return GetLastError();
        if (written == 0) return ERROR_WRITE_FAULT;
        done += written;
    }
    return kOk;
}

}  // namespace

ErrorCode WriteText(FileHandle handle, std::u16string_view text) {
    HANDLE h = static_cast<HANDLE>(handle);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
    DWORD mode = 0;
    return GetConsoleMode(h, &mode) ? ToConsole(h, text) : ToBytes(h, text);
}

ErrorCode WriteStandard(StandardStream stream, std::u16string_view text) {
    return WriteText(GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE), text);
}

}  // namespace puente::win32
