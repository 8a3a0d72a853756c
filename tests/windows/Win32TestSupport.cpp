#include "Win32TestSupport.h"

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>

namespace puente::win32test {

namespace {

std::u16string WithSlashes(std::u16string text) {
    for (char16_t& c : text) {
        if (c == u'\\') c = u'/';
    }
    return text;
}

}  // namespace

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    root_ = std::filesystem::path(temp) /
            (L"puente-win32-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++));
    const std::filesystem::path folder = root_ / std::filesystem::path(u"A\u00F1o");
    std::filesystem::create_directories(folder);
    path_ = WithSlashes(folder.u16string());
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::u16string ScratchFolder::File(std::u16string_view name) const { return path_ + u"/" + std::u16string(name); }

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

std::string ReadBytes(const std::u16string& path) {
    HANDLE h = CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot open for reading, error " << GetLastError();
        return {};
    }
    std::string bytes;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
    CloseHandle(h);
    return bytes;
}

void WriteBytes(const std::u16string& path, std::string_view bytes) {
    HANDLE h = CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << "cannot create, error " << GetLastError();
    DWORD n = 0;
    const BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    CloseHandle(h);
    ASSERT_TRUE(ok && n == bytes.size()) << "cannot write, error " << GetLastError();
}

bool Exists(const std::u16string& path) { return GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES; }

unsigned long RunSelf(const std::u16string& arguments, const std::u16string& output) {
    wchar_t self[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH + 1);
    std::wstring line = L"\"" + std::wstring(self) + L"\" " + std::wstring(arguments.begin(), arguments.end());

    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE out = CreateFileW(Wide(output), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot create the child's output, error " << GetLastError();
        return ~0UL;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    const BOOL started =
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(out);
    if (!started) {
        ADD_FAILURE() << "cannot start the child, error " << GetLastError();
        return ~0UL;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

}  // namespace puente::win32test
