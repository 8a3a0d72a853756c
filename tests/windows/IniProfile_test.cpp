// The outcome report as Horalis reads it: through the Windows profile
// functions, from the bytes that SetIniValue writes (IniCases.h).
#include "Win32TestSupport.h"
#include "windows/IniCases.h"

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace puente::inicases {
namespace {

using win32test::Wide;

std::string FileBytes(const IniCase& c, std::string_view text) {
    if (!c.utf16) return std::string(text);
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    std::string bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
    return bytes;
}

std::u16string Backslashes(std::u16string path) {
    for (char16_t& c : path) {
        if (c == u'/') c = u'\\';
    }
    return path;
}

std::u16string ReadString(const std::u16string& file, const char16_t* section, const char16_t* key) {
    wchar_t buffer[256] = {};
    const DWORD n =
        GetPrivateProfileStringW(reinterpret_cast<const wchar_t*>(section), reinterpret_cast<const wchar_t*>(key),
                                 L"<ninguno>", buffer, 256, Wide(file));
    return std::u16string(reinterpret_cast<const char16_t*>(buffer), n);
}

class IniProfileTest : public testing::TestWithParam<IniCase> {};

TEST_P(IniProfileTest, HoralisReadsTheOutcome) {
    const IniCase& c = GetParam();
    win32test::ScratchFolder folder;
    const std::u16string ini = Backslashes(folder.File(u"Horalis.ini"));
    win32test::WriteBytes(ini, FileBytes(c, c.after));

    EXPECT_EQ(ReadString(ini, kSection, kKey), c.value);
    EXPECT_EQ(static_cast<int>(GetPrivateProfileIntW(reinterpret_cast<const wchar_t*>(kSection),
                                                     reinterpret_cast<const wchar_t*>(kKey), 99, Wide(ini))),
              c.number);
    EXPECT_EQ(ReadString(ini, c.probeSection, c.probeKey), c.probeValue);
}

INSTANTIATE_TEST_SUITE_P(Win32, IniProfileTest, testing::ValuesIn(kIniCases),
                         [](const testing::TestParamInfo<IniCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace puente::inicases
