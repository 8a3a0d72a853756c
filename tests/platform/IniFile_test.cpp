#include "platform/IniFile.h"

#include "QtPrint.h"
#include "common/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace puente {
namespace {

struct IniCase {
    const char* name;
    QByteArray before;  // empty: no file
    const char* value;
    QByteArray after;
};

void PrintTo(const IniCase& c, std::ostream* os) { *os << c.name; }

QByteArray Utf16(const char16_t* s) {
    QByteArray b("\xFF\xFE", 2);
    for (; *s; ++s) b.append(char(*s & 0xFF)).append(char(*s >> 8));
    return b;
}

class SetIniValueTest : public ::testing::TestWithParam<IniCase> {};

TEST_P(SetIniValueTest, ChangesOnlyTheValue) {
    const IniCase& c = GetParam();
    EXPECT_EQ(SetIniValue(c.before, "Transformadores", "Transformado", c.value), c.after) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetIniValueTest,
    ::testing::Values(
        IniCase{"no file", "", "1", "[Transformadores]\r\nTransformado=1\r\n"},
        IniCase{"value replaced, CRLF file", "[Transformadores]\r\nTransformado=0\r\n", "-1",
                "[Transformadores]\r\nTransformado=-1\r\n"},
        IniCase{"other sections, comments and blank lines kept",
                "; Horalis\r\n[General]\r\nRuta=C:\\HTEMP\r\n\r\n[Transformadores]\r\n; resultado\r\n"
                "Antes=a\r\nTransformado=0\r\nDespues=b\r\n\r\n[Otra]\r\nTransformado=7\r\n",
                "1",
                "; Horalis\r\n[General]\r\nRuta=C:\\HTEMP\r\n\r\n[Transformadores]\r\n; resultado\r\n"
                "Antes=a\r\nTransformado=1\r\nDespues=b\r\n\r\n[Otra]\r\nTransformado=7\r\n"},
        IniCase{"LF file stays LF", "[Transformadores]\nTransformado=1\n", "0", "[Transformadores]\nTransformado=0\n"},
        IniCase{"names compared without regard to A-Z case", "[transformadores]\r\nTRANSFORMADO=0\r\n", "1",
                "[transformadores]\r\nTRANSFORMADO=1\r\n"},
        IniCase{"blanks around names and after = kept", "  [ Transformadores ]\r\n\tTransformado \t=  0  \r\n", "1",
                "  [ Transformadores ]\r\n\tTransformado \t=  1\r\n"},
        IniCase{"a quoted value is replaced whole", "[Transformadores]\r\nTransformado=\"0\"\r\n", "1",
                "[Transformadores]\r\nTransformado=1\r\n"},
        IniCase{"only the first of two equal keys", "[Transformadores]\r\nTransformado=0\r\nTransformado=0\r\n", "1",
                "[Transformadores]\r\nTransformado=1\r\nTransformado=0\r\n"},
        IniCase{"only the first of two equal sections",
                "[Transformadores]\r\nA=1\r\n[Transformadores]\r\nTransformado=0\r\n", "1",
                "[Transformadores]\r\nA=1\r\nTransformado=1\r\n[Transformadores]\r\nTransformado=0\r\n"},
        IniCase{"key without = gets one", "[Transformadores]\r\nTransformado\r\n", "1",
                "[Transformadores]\r\nTransformado=1\r\n"},
        IniCase{"key added after the section's last line, before the blank line",
                "[Transformadores]\r\nA=1\r\n\r\n[Otra]\r\nB=2\r\n", "1",
                "[Transformadores]\r\nA=1\r\nTransformado=1\r\n\r\n[Otra]\r\nB=2\r\n"},
        IniCase{"key in another section only: section added", "[Otra]\nTransformado=0\n", "1",
                "[Otra]\nTransformado=0\n\n[Transformadores]\nTransformado=1\n"},
        IniCase{"a commented key does not count", "[Transformadores]\r\n;Transformado=0\r\n", "1",
                "[Transformadores]\r\n;Transformado=0\r\nTransformado=1\r\n"},
        IniCase{"a longer key does not count", "[Transformadores]\r\nTransformados=0\r\n", "1",
                "[Transformadores]\r\nTransformados=0\r\nTransformado=1\r\n"},
        IniCase{"section header at the end without a line ending", "A=1\r\n[Transformadores]", "1",
                "A=1\r\n[Transformadores]\r\nTransformado=1\r\n"},
        IniCase{"last entry without a line ending", "[Transformadores]\r\nA=1", "1",
                "[Transformadores]\r\nA=1\r\nTransformado=1\r\n"},
        IniCase{"value on the last line without a line ending", "[Transformadores]\nTransformado=0", "1",
                "[Transformadores]\nTransformado=1"},
        IniCase{"section added after text without a line ending", "[Otra]\nA=1", "1",
                "[Otra]\nA=1\n\n[Transformadores]\nTransformado=1\n"},
        IniCase{"section added after a blank last line", "[Otra]\r\nA=1\r\n\r\n", "1",
                "[Otra]\r\nA=1\r\n\r\n[Transformadores]\r\nTransformado=1\r\n"},
        IniCase{"one line without any line ending gets CRLF", "; nada", "0",
                "; nada\r\n\r\n[Transformadores]\r\nTransformado=0\r\n"},
        IniCase{"the first line ending found is used", "[Otra]\nA=1\r\n", "1",
                "[Otra]\nA=1\r\n\n[Transformadores]\nTransformado=1\n"},
        IniCase{"bytes above 127 kept", "[Otra]\r\nNombre=N\xfa\xf1\x65z\r\n[Transformadores]\r\nTransformado=0\r\n",
                "1", "[Otra]\r\nNombre=N\xfa\xf1\x65z\r\n[Transformadores]\r\nTransformado=1\r\n"},
        IniCase{"UTF-8 byte order mark before the section", "\xEF\xBB\xBF[Transformadores]\r\nTransformado=0\r\n", "1",
                "\xEF\xBB\xBF[Transformadores]\r\nTransformado=1\r\n"},
        IniCase{"UTF-8 byte order mark alone", "\xEF\xBB\xBF", "1",
                "\xEF\xBB\xBF[Transformadores]\r\nTransformado=1\r\n"},
        IniCase{"UTF-16 file stays UTF-16", Utf16(u"[Transformadores]\r\nTransformado=0\r\n; ñ\r\n"), "-1",
                Utf16(u"[Transformadores]\r\nTransformado=-1\r\n; ñ\r\n")},
        IniCase{"a bracket inside the name", "[Transformadores] ; ok ]\r\n", "1",
                "[Transformadores] ; ok ]\r\n\r\n[Transformadores]\r\nTransformado=1\r\n"}));

class WriteIniValueTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    static QString Failure(const QString& path) {
        try {
            WriteIniValue(path, "Transformadores", "Transformado", "1");
        } catch (const Error& e) {
            return e.message();
        }
        return "<no error>";
    }
    QTemporaryDir dir_;
};

TEST_F(WriteIniValueTest, CreatesAMissingFile) {
    WriteIniValue(Path("Horalis.ini"), "Transformadores", "Transformado", "-1");
    EXPECT_EQ(Read(Path("Horalis.ini")), "[Transformadores]\r\nTransformado=-1\r\n");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Horalis.ini"});
}

TEST_F(WriteIniValueTest, RewritesAnExistingFileKeepingTheRest) {
    const QByteArray before = "; no tocar\r\n[Transformadores]\r\nTransformado=0\r\n[Horalis]\r\nX=1\r\n";
    QFile f(Path("Horalis.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(before);
    f.close();
    WriteIniValue(Path("Horalis.ini"), "Transformadores", "Transformado", "1");
    EXPECT_EQ(Read(Path("Horalis.ini")), "; no tocar\r\n[Transformadores]\r\nTransformado=1\r\n[Horalis]\r\nX=1\r\n");
}

TEST_F(WriteIniValueTest, AFolderThatIsAFileCannotBeWritten) {
    QFile f(Path("plano"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString path = Path("plano/Horalis.ini");
    EXPECT_EQ(Failure(path), "No se puede escribir el archivo \"" + QDir::toNativeSeparators(path) +
                                 "\": compruebe que la carpeta existe y que tiene permiso para escribir en ella");
}

TEST_F(WriteIniValueTest, AFolderInPlaceOfTheFileCannotBeRead) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("Horalis.ini"));
    const QString path = Path("Horalis.ini");
    EXPECT_EQ(Failure(path), "No se puede leer el archivo \"" + QDir::toNativeSeparators(path) +
                                 "\" para anotar el resultado: compruebe que es un archivo y que tiene permiso "
                                 "para leerlo");
    EXPECT_TRUE(QFileInfo(path).isDir());
}

}  // namespace
}  // namespace puente
