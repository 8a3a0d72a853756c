#include "tablestore/CodePage.h"

#include <QStringDecoder>

#include <map>
#include <memory>
#include <mutex>

namespace puente {

namespace {

// Bytes 0x80-0xFF of code page 437.
constexpr std::array<char16_t, 128> kUpper437 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  // E8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  // F8
};

// Bytes 0x80-0xFF of code page 850.
constexpr std::array<char16_t, 128> kUpper850 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,  // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,  // E0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,  // E8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // F8
};

// Bytes 0x80-0xFF of code page 1252.
constexpr std::array<char16_t, 128> kUpper1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,  // A8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,  // B8
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,  // C0
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,  // C8
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,  // D0
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,  // D8
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,  // E0
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,  // E8
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,  // F0
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,  // F8
};

// The bytes that code page 1252 leaves undefined: decoded to the control
// character of the same number, never encoded.
bool UndefinedIn1252(char16_t c) { return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D; }

const char* QtName(int number) {
    switch (number) {
    case 852: return "IBM852";
    case 866: return "IBM866";
    case 1250: return "windows-1250";
    case 1251: return "windows-1251";
    default: return nullptr;
    }
}

// The upper half of a code page through Qt's converters, one byte at a time;
// false when Qt does not know the code page.
bool UpperFromQt(int number, std::array<char16_t, 128>& upper) {
    const char* name = QtName(number);
    if (name == nullptr) return false;
    QStringDecoder decoder(name);
    if (!decoder.isValid()) return false;
    for (int b = 0x80; b <= 0xFF; ++b) {
        const char byte = static_cast<char>(b);
        const QString c = decoder.decode(QByteArrayView(&byte, 1));
        decoder.resetState();
        upper[b - 0x80] = c.size() == 1 ? c.at(0).unicode() : char16_t(0xFFFD);
    }
    return true;
}

}  // namespace

CodePage::CodePage(int number, const std::array<char16_t, 128>& upper) : number_(number), upper_(upper) {
    for (int i = 0; i < 128; ++i) {
        const char16_t c = upper_[i];
        if (c == 0xFFFD || (number_ == 1252 && UndefinedIn1252(c))) continue;
        if (!encode_.contains(c)) encode_.insert(c, static_cast<char>(0x80 + i));
    }
}

const CodePage& CodePage::ForNumber(int number) {
    static const CodePage cp437(437, kUpper437);
    static const CodePage cp850(850, kUpper850);
    static const CodePage cp1252(1252, kUpper1252);
    switch (number) {
    case 437: return cp437;
    case 850: return cp850;
    case 1252: return cp1252;
    default: break;
    }
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<CodePage>> others;
    std::lock_guard<std::mutex> hold(mutex);
    auto found = others.find(number);
    if (found != others.end()) return *found->second;
    std::array<char16_t, 128> upper{};
    if (!UpperFromQt(number, upper)) return cp1252;
    auto page = std::unique_ptr<CodePage>(new CodePage(number, upper));
    const CodePage& result = *page;
    others.emplace(number, std::move(page));
    return result;
}

int CodePage::NumberForLanguageDriver(std::uint8_t id) {
    switch (id) {
    case 0x01: return 437;   // DOS USA
    case 0x02: return 850;   // DOS multilingual
    case 0x03: return 1252;  // Windows ANSI (FoxPro)
    case 0x14: return 850;   // Spanish OEM
    case 0x18: return 437;   // Spanish OEM
    case 0x57: return 1252;  // ANSI, DBWINUS0
    case 0x58: return 1252;  // Western European ANSI, DBWINWE0
    case 0x59: return 1252;  // Spanish ANSI, DBWINES0
    case 0x64: return 852;   // Eastern European MS-DOS
    case 0x65: return 866;   // Russian MS-DOS
    case 0xC8: return 1250;  // Eastern European Windows
    case 0xC9: return 1251;  // Russian Windows
    default: return 0;
    }
}

int CodePage::NumberForLanguageDriverName(const QByteArray& name) {
    if (name.startsWith("DBWIN")) return 1252;
    if (name.startsWith("DB437")) return 437;
    if (name.startsWith("DB850")) return 850;
    if (name.startsWith("DB852")) return 852;
    if (name.startsWith("DB866")) return 866;
    return 0;
}

QString CodePage::Decode(const char* data, qsizetype size) const {
    QString text(size, Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        out[i] = b < 0x80 ? QChar(b) : QChar(upper_[b - 0x80]);
    }
    return text;
}

QByteArray CodePage::Encode(const QString& text) const {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bytes.truncate(EncodeInto(text, bytes.data(), bytes.size()));
    return bytes;
}

bool CodePage::CanEncode(QStringView text) const {
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c >= 0x80 && !encode_.contains(c)) return false;  // surrogates included: never in a code page
    }
    return true;
}

qsizetype CodePage::EncodeInto(QStringView text, char* out, qsizetype capacity) const {
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size() && n < capacity; ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out[n++] = static_cast<char>(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out[n++] = '?';  // one character outside the 16-bit range
            ++i;
        } else {
            out[n++] = encode_.value(c, '?');
        }
    }
    return n;
}

}  // namespace puente
