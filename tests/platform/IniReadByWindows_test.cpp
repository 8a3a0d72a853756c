// The outcome reports that tests/windows reads back with the Windows profile
// functions (windows/IniCases.h) are exactly what SetIniValue writes.
#include "platform/IniFile.h"

#include "QtPrint.h"
#include "windows/IniCases.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

namespace puente::inicases {
namespace {

QByteArray FileBytes(const IniCase& c, std::string_view text) {
    const QByteArray utf8(text.data(), static_cast<qsizetype>(text.size()));
    if (!c.utf16) return utf8;
    QStringEncoder encode(QStringEncoder::Utf16LE);
    return QByteArray("\xFF\xFE", 2) + QByteArray(encode(QString::fromUtf8(utf8)));
}

class IniReadByWindowsTest : public testing::TestWithParam<IniCase> {};

TEST_P(IniReadByWindowsTest, SetIniValueWritesTheseBytes) {
    const IniCase& c = GetParam();
    EXPECT_EQ(SetIniValue(FileBytes(c, c.before), QString::fromUtf16(kSection), QString::fromUtf16(kKey),
                          QString::fromUtf16(c.value)),
              FileBytes(c, c.after));
}

INSTANTIATE_TEST_SUITE_P(Cases, IniReadByWindowsTest, testing::ValuesIn(kIniCases),
                         [](const testing::TestParamInfo<IniCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace puente::inicases
