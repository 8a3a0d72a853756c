#include "platform/win32/Files.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

namespace puente::win32 {

namespace {

HANDLE AsHandle(FileHandle h) { return static_cast<HANDLE>(h); }

OVERLAPPED At(std::int64_t offset) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return where;
}

// ReadFile and WriteFile take at most a DWORD of bytes; a gibibyte at a time.
constexpr std::int64_t kChunk = std::int64_t{1} << 30;

}  // namespace

ErrorCode OpenFile(const wchar_t* path, bool write, Sharing sharing, bool create, FileHandle* handle) {
    *handle = nullptr;
    const DWORD desired = write ? (GENERIC_READ | GENERIC_WRITE) : GENERIC_READ;
    const DWORD share = sharing == Sharing::None ? 0 : (FILE_SHARE_READ | FILE_SHARE_WRITE);
    const DWORD disposition = create && write ? OPEN_ALWAYS : OPEN_EXISTING;
    HANDLE h = CreateFileW(path, desired, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    // A folder is refused with ERROR_ACCESS_DENIED (it opens only with backup semantics).
    if (h == INVALID_HANDLE_VALUE) return GetLastError();
    *handle = h;
    return kOk;
}

void CloseFile(FileHandle handle) {
    if (handle != nullptr) CloseHandle(AsHandle(handle));
}

OpenFailure ClassifyOpenError(ErrorCode code, bool create) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return create ? OpenFailure::Other : OpenFailure::NotFound;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return OpenFailure::InUse;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return OpenFailure::Denied;
    default: return OpenFailure::Other;
    }
}

ErrorCode FileSize(FileHandle handle, std::int64_t* size) {
    LARGE_INTEGER n{};
    if (!GetFileSizeEx(AsHandle(handle), &n)) return GetLastError();
    *size = n.QuadPart;
    return kOk;
}

ErrorCode ReadAt(FileHandle handle, std::int64_t offset, char* data, std::int64_t size, std::int64_t* done) {
    *done = 0;
    while (*done < size) {
        OVERLAPPED where = At(offset + *done);
        const DWORD chunk = static_cast<DWORD>(std::min(size - *done, kChunk));
        DWORD n = 0;
        if (!ReadFile(AsHandle(handle), data + *done, chunk, &n, &where)) {
            const DWORD code = GetLastError();
            if (code == ERROR_HANDLE_EOF) break;
            return code;
        }
        if (n == 0) break;
        *done += n;
    }
    return kOk;
}

ErrorCode WriteAt(FileHandle handle, std::int64_t offset, const char* data, std::int64_t size) {
    std::int64_t done = 0;
    while (done < size) {
        OVERLAPPED where = At(offset + done);
        const DWORD chunk = static_cast<DWORD>(std::min(size - done, kChunk));
        DWORD n = 0;
        if (!WriteFile(AsHandle(handle), data + done, chunk, &n, &where)) return GetLastError();
        if (n == 0) return ERROR_DISK_FULL;
        done += n;
    }
    return kOk;
}

ErrorCode Resize(FileHandle handle, std::int64_t size) {
    LARGE_INTEGER to{};
    to.QuadPart = size;
    if (!SetFilePointerEx(AsHandle(handle), to, nullptr, FILE_BEGIN) || !SetEndOfFile(AsHandle(handle)))
        return GetLastError();
    return kOk;
}

ErrorCode FlushFile(const wchar_t* path) {
    HANDLE h = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError();
    const ErrorCode result = FlushFileBuffers(h) ? kOk : GetLastError();
    CloseHandle(h);
    return result;
}

bool IsHeldElsewhere(const wchar_t* path) {
    HANDLE h = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(h);
    return false;
}

std::wstring SystemMessage(ErrorCode code) {
    wchar_t* text = nullptr;
    const DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring words = n > 0 && text != nullptr ? std::wstring(text, n) : std::wstring();
    if (text != nullptr) LocalFree(text);
    while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' ')) words.pop_back();
    return words;
}

}  // namespace puente::win32
