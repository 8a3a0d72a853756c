// Outcome reports as the program writes them into "Horalis.ini", and what
// Horalis must read back from them. The same table is checked twice:
// tests/platform (SetIniValue turns `before` into exactly `after`) and
// tests/windows (GetPrivateProfileStringW and GetPrivateProfileIntW read the
// value and the probe from `after`). Free of Qt and of Windows headers.
#pragma once

#include <string_view>

namespace puente::inicases {

inline constexpr char16_t kSection[] = u"Transformadores";
inline constexpr char16_t kKey[] = u"Transformado";

struct IniCase {
    const char* name;
    bool utf16;               // the file is UTF-16 LE with a byte order mark; else the bytes as written
    std::string_view before;  // UTF-8 text; empty: no file yet
    const char16_t* value;    // "1", "-1" or "0"
    int number;               // the value as GetPrivateProfileIntW reads it
    std::string_view after;   // UTF-8 text
    // Another entry of the file, which must read the same afterwards.
    const char16_t* probeSection;
    const char16_t* probeKey;
    const char16_t* probeValue;
};

inline constexpr IniCase kIniCases[] = {
    {"NewFile", false, "", u"1", 1, "[Transformadores]\r\nTransformado=1\r\n", u"Transformadores", u"Transformado",
     u"1"},
    {"OtherSectionKept", false, "[Horalis]\r\nRuta=C:\\HTEMP\r\n", u"-1", -1,
     "[Horalis]\r\nRuta=C:\\HTEMP\r\n\r\n[Transformadores]\r\nTransformado=-1\r\n", u"Horalis", u"Ruta", u"C:\\HTEMP"},
    {"ValueReplacedBlanksKept", false, "[Transformadores]\r\nTransformado = 0\r\nOtra=5\r\n", u"1", 1,
     "[Transformadores]\r\nTransformado = 1\r\nOtra=5\r\n", u"Transformadores", u"Otra", u"5"},
    {"NamesFoldedLineFeeds", false, "; nota\n[transformadores]\nTRANSFORMADO=1\n[Z]\nk=v\n", u"0", 0,
     "; nota\n[transformadores]\nTRANSFORMADO=0\n[Z]\nk=v\n", u"Z", u"k", u"v"},
    {"KeyAddedAfterLastEntry", false, "[Transformadores]\r\nOtra=5\r\n\r\n[Z]\r\nk=v\r\n", u"1", 1,
     "[Transformadores]\r\nOtra=5\r\nTransformado=1\r\n\r\n[Z]\r\nk=v\r\n", u"Z", u"k", u"v"},
    {"Utf16File", true, "[Horalis]\r\nNombre=A\xC3\xB1o\r\n", u"-1", -1,
     "[Horalis]\r\nNombre=A\xC3\xB1o\r\n\r\n[Transformadores]\r\nTransformado=-1\r\n", u"Horalis", u"Nombre",
     u"A\u00F1o"},
};

}  // namespace puente::inicases
