// Loading: what a missing, unreadable or broken document reports, and the
// encodings an exchange document may come in.
#include "ExchangeTestSupport.h"

#include "common/Error.h"
#include "exchange/Document.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <unistd.h>

namespace puente {
namespace {

const QString kSpanish = QStringLiteral("¿Año 1º, 2ª? ¡Sí! áéíóú ÁÉÍÓÚ ñÑ üÜ");
const QString kWindows = kSpanish + QStringLiteral(" € “comillas” ‘simples’");

// ---------------------------------------------------------------------------
// Encodings

struct EncodingCase {
    const char* file;
    const char* declared;   // encoding() after load; "" when none declared
    const char* savedAs;    // encoding() of the saved copy
    QString text;           // the root's nombre
    QByteArray savedStart;  // how a saved copy begins
    QByteArray savedEnye;   // "ñ" in the saved copy
    QByteArray savedEuro;   // "€" in the saved copy
};

void PrintTo(const EncodingCase& c, std::ostream* os) { *os << c.file; }

QByteArray utf16le(const char* ascii) {
    QByteArray out;
    for (const char* p = ascii; *p; ++p) {
        out.append(*p);
        out.append('\0');
    }
    return out;
}

class EncodingTest : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(EncodingTest, ReadsAccentedText) {
    const EncodingCase& c = GetParam();
    Document doc;
    const LoadResult r = doc.load(fixture(c.file));
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(doc.encoding(), QString::fromLatin1(c.declared));
    EXPECT_EQ(doc.documentElement().attribute("nombre"), c.text);
}

TEST_P(EncodingTest, SavesInTheDeclaredEncodingAndReadsBack) {
    const EncodingCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString copy = dir.filePath("copia.xml");

    Document doc;
    ASSERT_TRUE(doc.load(fixture(c.file)).ok());
    doc.documentElement().setAttribute("copia", kWindows);
    doc.save(copy);

    const QByteArray saved = readBytes(copy);
    EXPECT_TRUE(saved.startsWith(c.savedStart)) << saved.left(60).toHex(' ').toStdString();
    EXPECT_TRUE(saved.contains(c.savedEnye)) << c.file;
    EXPECT_TRUE(saved.contains(c.savedEuro)) << c.file;

    Document again;
    ASSERT_TRUE(again.load(copy).ok());
    EXPECT_EQ(again.encoding(), QString::fromLatin1(c.savedAs));
    EXPECT_EQ(again.documentElement().attribute("nombre"), c.text);
    EXPECT_EQ(again.documentElement().attribute("copia"), kWindows);
}

const QByteArray kUtf8Decl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- Prueba";

INSTANTIATE_TEST_SUITE_P(
    Encodings, EncodingTest,
    ::testing::Values(
        EncodingCase{"encoding-utf-8.xml", "UTF-8", "UTF-8", kWindows, kUtf8Decl, "\xC3\xB1", "\xE2\x82\xAC"},
        // The byte order mark is read and not written back.
        EncodingCase{"encoding-utf-8-bom.xml", "UTF-8", "UTF-8", kWindows, kUtf8Decl, "\xC3\xB1", "\xE2\x82\xAC"},
        // No declaration at all: saved as UTF-8, saying so.
        EncodingCase{"encoding-utf-8-sin-declaracion.xml", "", "UTF-8", kWindows, kUtf8Decl, "\xC3\xB1",
                     "\xE2\x82\xAC"},
        // libxml2 writes UTF-16 little-endian, with its byte order mark.
        EncodingCase{"encoding-utf-16le-bom.xml", "UTF-16", "UTF-16", kWindows,
                     "\xFF\xFE" + utf16le("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"), QByteArray("\xF1\x00", 2),
                     QByteArray("\xAC\x20", 2)},
        EncodingCase{"encoding-utf-16be-bom.xml", "UTF-16", "UTF-16", kWindows,
                     "\xFF\xFE" + utf16le("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"), QByteArray("\xF1\x00", 2),
                     QByteArray("\xAC\x20", 2)},
        // Latin-1 has no euro sign: it goes out as a character reference.
        EncodingCase{"encoding-iso-8859-1.xml", "ISO-8859-1", "ISO-8859-1", kSpanish,
                     "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!-- Prueba", "\xF1", "&#8364;"},
        EncodingCase{"encoding-windows-1252.xml", "windows-1252", "windows-1252", kWindows,
                     "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<!-- Prueba", "\xF1", "\x80"},
        // libxml2 reads UTF-7 but does not read back what it writes in it.
        EncodingCase{"encoding-utf-7.xml", "UTF-7", "UTF-8", kWindows, kUtf8Decl, "\xC3\xB1", "\xE2\x82\xAC"}));

// ---------------------------------------------------------------------------
// Outcomes of load

struct LoadCase {
    const char* name;
    // Makes the document under `dir` and gives its path.
    std::function<QString(const QTemporaryDir& dir)> make;
    LoadResult::Status status;
    QString message;
    int line;
    int column;
};

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.name; }

std::function<QString(const QTemporaryDir&)> bytesFile(QByteArray bytes) {
    return [bytes](const QTemporaryDir& dir) {
        const QString path = dir.filePath("documento.xml");
        writeBytes(path, bytes);
        return path;
    };
}

class LoadOutcomeTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadOutcomeTest, ReportsStatusMessageAndPosition) {
    const LoadCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = c.make(dir);

    Document doc;
    ASSERT_TRUE(doc.loadFromBytes("<centro><materias/></centro>").ok());  // earlier content goes
    const LoadResult r = doc.load(path);

    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.line, c.line);
    EXPECT_EQ(r.column, c.column);
    if (c.status != LoadResult::Status::Ok) {
        EXPECT_TRUE(doc.isEmpty());
        EXPECT_TRUE(doc.documentElement().isNull());
        EXPECT_TRUE(doc.selectNodes("/centro").isEmpty());
        EXPECT_TRUE(doc.selectNodes("/centro/materias").isEmpty());
        EXPECT_TRUE(doc.selectSingleNode("/centro").isNull());
        EXPECT_EQ(doc.encoding(), QString());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, LoadOutcomeTest,
    ::testing::Values(
        LoadCase{"well_formed", [](const QTemporaryDir&) { return fixture("centro.xml"); }, LoadResult::Status::Ok, "",
                 0, 0},
        LoadCase{"missing", [](const QTemporaryDir& dir) { return dir.filePath("no-existe.xml"); },
                 LoadResult::Status::Missing, "no existe el archivo o el directorio", 0, 0},
        LoadCase{"a_folder", [](const QTemporaryDir& dir) { return dir.path(); }, LoadResult::Status::Unreadable,
                 "es un directorio", 0, 0},
        LoadCase{"tag_mismatch", [](const QTemporaryDir&) { return fixture("mal-formado.xml"); },
                 LoadResult::Status::NotWellFormed, "Opening and ending tag mismatch: b line 2 and centro", 2, 32},
        LoadCase{"empty_file", bytesFile(""), LoadResult::Status::NotWellFormed, "Document is empty", 1, 1},
        LoadCase{"no_root_after_declaration", bytesFile("<?xml version=\"1.0\"?>\n"), LoadResult::Status::NotWellFormed,
                 "Start tag expected, '<' not found", 2, 1},
        LoadCase{"two_roots", bytesFile("<centro/>\n<centro/>\n"), LoadResult::Status::NotWellFormed,
                 "Extra content at the end of the document", 2, 1},
        LoadCase{"unquoted_attribute", bytesFile("<centro\n  nombre=x/>"), LoadResult::Status::NotWellFormed,
                 "AttValue: \" or ' expected", 2, 10},
        LoadCase{"undeclared_prefix", bytesFile("<centro>\n<x:materias/></centro>"), LoadResult::Status::NotWellFormed,
                 "Namespace prefix x on materias is not defined", 2, 12},
        LoadCase{"latin1_bytes_declared_utf8",
                 bytesFile("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<centro nombre=\"Espa\xF1"
                           "a\"/>"),
                 LoadResult::Status::NotWellFormed,
                 "Input is not proper UTF-8, indicate encoding !\nBytes: 0xF1 0x61 0x22 0x2F", 2, 21},
        LoadCase{"unknown_encoding", bytesFile("<?xml version=\"1.0\" encoding=\"x-desconocida\"?>\n<centro/>"),
                 LoadResult::Status::NotWellFormed, "Unsupported encoding x-desconocida", 1, 45},
        // 0x81 has no character in windows-1252 (Windows itself maps it to
        // U+0081); glibc's converter refuses it.
        LoadCase{"windows1252_undefined_byte",
                 bytesFile("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<centro nombre=\"x\x81y\"/>"),
                 LoadResult::Status::NotWellFormed,
                 "input conversion failed due to input error, bytes 0x81 0x79 0x22 0x2F", 2, 18}));

TEST(LoadOutcomeTest, UnreadableWithoutPermission) {
    if (geteuid() == 0) GTEST_SKIP() << "running as root: file permissions do not stop root from reading";
    QTemporaryDir dir;
    const QString path = dir.filePath("cerrado.xml");
    ASSERT_TRUE(writeBytes(path, "<centro/>"));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
    Document doc;
    const LoadResult r = doc.load(path);
    EXPECT_EQ(r.status, LoadResult::Status::Unreadable);
    EXPECT_EQ(r.message, "permiso denegado");
    EXPECT_TRUE(doc.isEmpty());
}

TEST(LoadOutcomeTest, FromBytesReportsThePosition) {
    Document doc;
    const LoadResult r = doc.loadFromBytes("<centro>\n  <materias>\n</centro>", "memoria.xml");
    EXPECT_EQ(r.status, LoadResult::Status::NotWellFormed);
    EXPECT_EQ(r.message, "Opening and ending tag mismatch: materias line 2 and centro");
    EXPECT_EQ(r.line, 3);
    EXPECT_EQ(r.column, 10);
}

}  // namespace
}  // namespace puente
