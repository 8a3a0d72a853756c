// Saving: the bytes written, what stays outside the root, and failed saves
// that leave the earlier file as it was.
#include "ExchangeTestSupport.h"

#include "common/Error.h"
#include "exchange/Document.h"
#include "text/TextHelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include <sys/resource.h>
#include <unistd.h>

namespace puente {
namespace {

struct Lesson {
    const char* casig;
    const char* cgrupo;
    const char* cprofe;
    const char* caula;
    const char* cactiv;
    qint64 dia;
    const char* hora;
};

// The result document's steps as the return run takes them: read the old
// root, remove it, append a new one with solucion_horario and its entries.
void rebuild(Document& doc, const QList<Lesson>& lessons) {
    const Element old = doc.selectSingleNode("/centro");
    const QString codigo = TrimSpaces(old.attribute("codigo_interno").value_or(""));
    const QString nombre = TrimSpaces(old.attribute("nombre").value_or(""));
    const QString curso = TrimSpaces(old.attribute("curso").value_or(""));
    const QString version = TrimSpaces(old.attribute("version").value_or(""));
    doc.removeChild(doc.documentElement().selectSingleNode("/centro"));

    Element centro = doc.createElement("centro");
    centro.setAttribute("codigo_interno", codigo);
    centro.setAttribute("nombre", nombre);
    centro.setAttribute("curso", curso);
    centro.setAttribute("fecha_exportacion", QString("01/09/2025 8:30:00"));
    centro.setAttribute("version", version);
    doc.appendChild(centro);
    doc.selectSingleNode("/centro").appendChild(doc.createElement("solucion_horario"));
    Element solucion = doc.selectSingleNode("/centro/solucion_horario");
    for (const Lesson& l : lessons) {
        Element d = doc.createElement("dsolucion");
        d.setAttribute("casig", QString::fromUtf8(l.casig));
        d.setAttribute("cgrupo", QString::fromUtf8(l.cgrupo));
        d.setAttribute("cprofe", QString::fromUtf8(l.cprofe));
        d.setAttribute("caula", QString::fromUtf8(l.caula));
        d.setAttribute("cactiv", QString::fromUtf8(l.cactiv));
        d.setAttribute("dia", l.dia);
        d.setAttribute("hora", QString::fromUtf8(l.hora));
        solucion.appendChild(d);
    }
}

const QString kResultHead = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
    "<!-- Exportado por ZELTA -->\n"
    "<?zelta-origen version=\"2\"?>\n"
    "<!-- Fin del documento -->\n"
    "<centro codigo_interno=\"4100\" nombre=\"IES Ñandú\" curso=\"2024\" "
    "fecha_exportacion=\"01/09/2025 8:30:00\" version=\"1.0\">\n");

struct ResultCase {
    const char* name;
    QList<Lesson> lessons;
    QString body;  // what follows the new root's start tag
};

void PrintTo(const ResultCase& c, std::ostream* os) { *os << c.name; }

class ResultDocumentTest : public ::testing::TestWithParam<ResultCase> {};

// The comment that followed the old root now stands before the new root;
// the declaration, the first comment and the processing instruction stay.
TEST_P(ResultDocumentTest, WritesTheNewRootAfterWhatStoodOutsideTheOld) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("ResultadoHoraliscentro.xml");
    ASSERT_TRUE(writeBytes(path, "un resultado anterior"));

    Document doc;
    ASSERT_TRUE(doc.load(fixture("centro.xml")).ok());
    rebuild(doc, GetParam().lessons);
    doc.save(path);

    const QByteArray expected = (kResultHead + GetParam().body).toLatin1();
    EXPECT_EQ(readBytes(path), expected);
    EXPECT_EQ(doc.toBytes(), expected);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"ResultadoHoraliscentro.xml"});
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ResultDocumentTest,
    ::testing::Values(ResultCase{"no_entries", {}, "  <solucion_horario/>\n</centro>\n"},
                      ResultCase{
                          "two_entries",
                          {{"M1", "1ºA", "P1", "", "T1", 3, "2"}, {"M2", "2ºB", "P1", "A&B", "", 5, "6"}},
                          QStringLiteral("  <solucion_horario>\n"
                                         "    <dsolucion casig=\"M1\" cgrupo=\"1ºA\" cprofe=\"P1\" caula=\"\" "
                                         "cactiv=\"T1\" dia=\"3\" hora=\"2\"/>\n"
                                         "    <dsolucion casig=\"M2\" cgrupo=\"2ºB\" cprofe=\"P1\" caula=\"A&amp;B\" "
                                         "cactiv=\"\" dia=\"5\" hora=\"6\"/>\n"
                                         "  </solucion_horario>\n"
                                         "</centro>\n")}));

// ---------------------------------------------------------------------------
// Layout of loaded content

struct LayoutCase {
    const char* name;
    QByteArray loaded;
    QByteArray saved;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class LayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTest, WritesLoadedContentAsItWas) {
    Document doc;
    ASSERT_TRUE(doc.loadFromBytes(GetParam().loaded).ok());
    EXPECT_EQ(doc.toBytes(), GetParam().saved);
}

const QByteArray kIndented =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<centro a=\"1\">\n"
    "\t<materias>\n"
    "\t\t<dmaterias codigo=\"M1\"/>\n"
    "\n"
    "\t\t<dmaterias codigo=\"M2\"></dmaterias>\n"
    "\t</materias>\n"
    "  <!-- nota -->\n"
    "</centro>\n";

INSTANTIATE_TEST_SUITE_P(
    Documents, LayoutTest,
    ::testing::Values(
        LayoutCase{"indented_by_tabs", kIndented,
                   // An empty element written with an end tag comes back short.
                   QByteArray(kIndented).replace("\"M2\"></dmaterias>", "\"M2\"/>")},
        LayoutCase{"standalone_and_doctype",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<!DOCTYPE centro>\n<centro/>\n",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<!DOCTYPE centro>\n<centro/>\n"},
        LayoutCase{"mixed_text_and_cdata",
                   "<centro>\n<nota>texto <b>negrita</b> y <![CDATA[<crudo>]]></nota>\n</centro>",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<centro>\n<nota>texto <b>negrita</b> y <![CDATA[<crudo>]]></nota>\n</centro>\n"},
        LayoutCase{
            "single_quotes_and_crlf", "<?xml version='1.0'?>\r\n<centro nombre='a \"b\"'>\r\n<x/>\r\n</centro>\r\n",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<centro nombre=\"a &quot;b&quot;\">\n<x/>\n</centro>\n"},
        // Element-only content without any line break gets indented.
        LayoutCase{"compact_gets_indented", "<centro><materias><dmaterias codigo=\"M1\"/></materias></centro>",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<centro>\n  <materias>\n    <dmaterias codigo=\"M1\"/>\n  </materias>\n</centro>\n"}));

// ---------------------------------------------------------------------------
// Failed saves

QString failedSave(const QString& path, const QString& reason) {
    return QStringLiteral("No se pudo guardar el documento '%1': %2").arg(path, reason);
}

TEST(SaveFailureTest, PathIsAFolder) {
    QTemporaryDir dir;
    const QString path = dir.filePath("centro.xml");
    ASSERT_TRUE(QDir(dir.path()).mkdir("centro.xml"));
    ASSERT_TRUE(writeBytes(path + "/dentro.txt", "sigue aqui"));
    Document doc;
    ASSERT_TRUE(doc.loadFromBytes("<centro/>").ok());

    EXPECT_EQ(errorMessageOf([&] { doc.save(path); }), failedSave(path, "Filename refers to a directory"));
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(readBytes(path + "/dentro.txt"), "sigue aqui");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"centro.xml"});
}

TEST(SaveFailureTest, FolderDoesNotExist) {
    QTemporaryDir dir;
    const QString path = dir.filePath("no-existe/centro.xml");
    Document doc;
    ASSERT_TRUE(doc.loadFromBytes("<centro/>").ok());
    EXPECT_EQ(errorMessageOf([&] { doc.save(path); }), failedSave(path, "no existe el archivo o el directorio"));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(SaveFailureTest, DocumentWithoutRoot) {
    QTemporaryDir dir;
    const QString path = dir.filePath("centro.xml");
    ASSERT_TRUE(writeBytes(path, "anterior"));
    Document doc;
    ASSERT_TRUE(doc.loadFromBytes("<!-- antes --><centro/>").ok());
    doc.removeChild(doc.documentElement());
    EXPECT_EQ(errorMessageOf([&] { doc.save(path); }), failedSave(path, "no tiene elemento raíz"));
    EXPECT_EQ(readBytes(path), "anterior");
}

// The disk fills up while writing: a file-size limit makes every write past
// 64 bytes fail, as a full disk would.
TEST(SaveFailureTest, WriteFailsHalfwayAndLeavesTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("centro.xml");
    ASSERT_TRUE(writeBytes(path, "anterior"));
    Document doc;
    ASSERT_TRUE(doc.load(fixture("centro.xml")).ok());

    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString message = errorMessageOf([&] { doc.save(path); });
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(message, failedSave(path, "el archivo supera el tamaño máximo permitido"));
    EXPECT_EQ(readBytes(path), "anterior");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"centro.xml"});
}

TEST(SaveFailureTest, ReadOnlyFolder) {
    if (geteuid() == 0) GTEST_SKIP() << "running as root: a read-only folder does not stop root from writing";
    QTemporaryDir dir;
    const QString path = dir.filePath("centro.xml");
    ASSERT_TRUE(writeBytes(path, "anterior"));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    Document doc;
    ASSERT_TRUE(doc.loadFromBytes("<centro/>").ok());
    const QString message = errorMessageOf([&] { doc.save(path); });
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(message, failedSave(path, "permiso denegado"));
    EXPECT_EQ(readBytes(path), "anterior");
}

}  // namespace
}  // namespace puente
