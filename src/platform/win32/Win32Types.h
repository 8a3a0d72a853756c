// The few Win32 types that the Qt-free Windows pieces share, without
// <windows.h>, so that their headers can be included anywhere.
//
// The functions of src/platform/win32/ take wide text (UTF-16, wchar_t on
// Windows) and give the system's error code (GetLastError()) as their result:
// kOk when the call did what it says. They are built only on Windows; the
// Qt classes of src/platform/ wrap them, and tests/windows runs them alone.
#pragma once

namespace puente::win32 {

using ErrorCode = unsigned long;  // a DWORD from GetLastError()
inline constexpr ErrorCode kOk = 0;

using FileHandle = void*;  // a HANDLE; nullptr when there is none

}  // namespace puente::win32
