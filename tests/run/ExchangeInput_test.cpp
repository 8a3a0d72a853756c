// The exchange document as the runs take it in: the one place where a load
// that failed becomes an Error, with its kind and place.
#include "run/ExchangeInput.h"

#include "exchange/Document.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

namespace puente {
namespace {

struct LoadCase {
    const char* name;
    QByteArray bytes;  // the file's content; "@none": no file; "@folder": a folder
    ErrorKind kind;
    QString messageStart;  // {doc}: the document's path
    int line;              // where the error is placed; -1: not checked
};
void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.name; }

class LoadExchangeDocumentTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadExchangeDocumentTest, RefusesWhatIsNoExchangeDocument) {
    const LoadCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("centro.xml");
    if (c.bytes == "@folder")
        ASSERT_TRUE(QDir(dir.path()).mkdir("centro.xml"));
    else if (c.bytes != "@none")
        test::WriteFile(dir.path(), "centro.xml", c.bytes);
    try {
        LoadExchangeDocument(path, Reading::ElementsOnly);
        FAIL() << "loaded";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), c.kind) << KindName(e.kind());
        const QString start = QString(c.messageStart).replace("{doc}", QDir::toNativeSeparators(path));
        EXPECT_TRUE(e.message().startsWith(start)) << e.message().toStdString();
        EXPECT_EQ(e.place().path, path);
        if (c.line >= 0) {
            EXPECT_EQ(e.place().line, c.line);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadExchangeDocumentTest,
    ::testing::Values(
        LoadCase{"gone", "@none", ErrorKind::NoInput, "No existe el archivo '{doc}'.", 0},
        LoadCase{"a folder", "@folder", ErrorKind::InputOutput, "No se puede leer el archivo '{doc}': ", 0},
        LoadCase{"not well-formed", "<centro>\n<materias>\n</centro>", ErrorKind::NotWellFormed,
                 "El archivo '{doc}' no es un documento XML válido: ", 3},
        LoadCase{"empty", "", ErrorKind::NotWellFormed, "El archivo '{doc}' no es un documento XML válido: ", -1},
        LoadCase{"another root", "<escuela/>", ErrorKind::NotExchangeDocument,
                 "El archivo '{doc}' no es un documento de intercambio de ZELTA: su elemento raíz es 'escuela'", 0}));

TEST(LoadExchangeDocument, GivesTheDocumentOfACentro) {
    QTemporaryDir dir;
    const QString path = test::WriteFile(dir.path(), "c.xml", "<centro nombre='IES'><materias/></centro>");
    const std::unique_ptr<Document> doc = LoadExchangeDocument(path, Reading::ElementsOnly);
    EXPECT_EQ(doc->documentElement().attribute("nombre"), QString("IES"));
}

TEST(FileExists, OnlyARegularFileCounts) {
    QTemporaryDir dir;
    const QString file = test::WriteFile(dir.path(), "a.xml", "x");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.filePath("b.xml")));
    EXPECT_FALSE(FileExists(QString()));
}

}  // namespace
}  // namespace puente
