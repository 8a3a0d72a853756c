// The elements-only reading: every element and every attribute reads as the
// whole reading gives them, whatever the attribute's value went through
// (references, DTD defaults and normalisation, namespaces); no text is kept;
// changing and writing such a document keep every attribute in its place;
// reading a file gives what reading its bytes gives.
#include "ExchangeTestSupport.h"

#include "exchange/Document.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace puente {
namespace {

// One element and its descendants as the Element API reads them: name,
// attributes in order with their values, then the children.
QStringList described(const Element& e, int depth = 0) {
    QStringList lines;
    QString line = QString(depth * 2, ' ') + e.name();
    for (const QString& name : e.attributeNames()) line += QStringLiteral(" %1=[%2]").arg(name, *e.attribute(name));
    lines << line;
    for (const Element& child : e.childElements()) lines << described(child, depth + 1);
    return lines;
}

struct ReadCase {
    const char* name;
    QByteArray loaded;
    // An attribute looked up by name on the root's first child, as the runs
    // look them up, and what it reads.
    const char* asked;
    std::optional<QString> expected;
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

const QList<ReadCase> kReadCases = {
    {"plain", "<centro a='1' b=''><m codigo='M1' nombre='Matemáticas de 1º de ESO, grupo largo'/></centro>", "nombre",
     QStringLiteral("Matemáticas de 1º de ESO, grupo largo")},
    {"empty_value", "<centro><m codigo=''/></centro>", "codigo", QString()},
    {"missing_attribute", "<centro><m codigo='1'/></centro>", "nombre", std::nullopt},
    {"character_references", "<centro><m n='&#233;&#x20AC;&amp;&lt;&gt;&quot;&apos;' o='x'/></centro>", "n",
     QStringLiteral("é€&<>\"'")},
    {"internal_entities",
     "<!DOCTYPE centro [<!ENTITY e \"uno &#233; dos\">]><centro><m n='[&e;]' o='p'/><m n='sin'/></centro>", "n",
     QStringLiteral("[uno é dos]")},
    {"dtd_defaults_and_fixed",
     "<!DOCTYPE centro [<!ATTLIST m t CDATA 'por defecto' f CDATA #FIXED 'FIJA'>]>"
     "<centro><m n='1'/><m n='2' t='propio'/></centro>",
     "f", QStringLiteral("FIJA")},
    {"dtd_normalised_tokens",
     "<!DOCTYPE centro [<!ATTLIST m n NMTOKENS #IMPLIED>]><centro><m n='  a \t b\n' o=' x\ty '/></centro>", "n",
     QStringLiteral("a b")},
    {"white_space_normalised", "<centro><m o='a\tb\nc\r\nd'/></centro>", "o", QStringLiteral("a b c d")},
    {"prefixed_attributes",
     "<centro xmlns:p='urn:p' xmlns='urn:d'><m p:n='con prefijo' n='sin prefijo' xml:lang='es'/></centro>", "p:n",
     QStringLiteral("con prefijo")},
    {"xml_lang", "<centro><m xml:lang='es-ES' n='1'/></centro>", "xml:lang", QStringLiteral("es-ES")},
    {"text_comments_and_cdata_left_out",
     "<centro>texto<!-- c --><?pi x?><m n='1'>más<![CDATA[<no>]]></m>\n  <m n='2'/></centro>", "n",
     QStringLiteral("1")},
    {"utf16",
     [] {
         // The bytes of UTF-16LE with its byte order mark, the last zero included.
         static const char bytes[] =
             "\xff\xfe<\0c\0e\0n\0t\0r\0o\0>\0<\0m\0 \0n\0=\0'\0\xd1\0'\0/\0>\0<\0/\0c\0e\0n\0t\0r\0o\0>\0";
         return QByteArray(bytes, sizeof bytes - 1);
     }(),
     "n", QStringLiteral("Ñ")},
    {"latin1", "<?xml version='1.0' encoding='ISO-8859-1'?><centro><m n='Alcal\xe1'/></centro>", "n",
     QStringLiteral("Alcalá")},
};

class ElementsOnlyReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ElementsOnlyReadTest, ReadsAsTheWholeReading) {
    const ReadCase& c = GetParam();
    Document whole, elements;
    ASSERT_TRUE(whole.loadFromBytes(c.loaded).ok());
    const LoadResult loaded = elements.loadFromBytes(c.loaded, QString(), Reading::ElementsOnly);
    ASSERT_TRUE(loaded.ok()) << loaded.message.toStdString();
    EXPECT_EQ(described(elements.documentElement()), described(whole.documentElement()));
    EXPECT_EQ(elements.encoding(), whole.encoding());
    const Element first = elements.documentElement().childElements().value(0);
    EXPECT_EQ(first.attribute(QString::fromUtf8(c.asked)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Documents, ElementsOnlyReadTest, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ElementsOnlyTest, KeepsNoTextButWritesEveryAttribute) {
    const QByteArray loaded =
        "<?xml version='1.0' encoding='UTF-8'?>\n<!-- fuera -->\n"
        "<centro xmlns:p='urn:p' a='1'>texto<m p:n='P' n='&amp;&lt;' o=''>dentro</m>"
        "<!-- dentro --><m n='Ñandú'/></centro>\n";
    Document elements;
    ASSERT_TRUE(elements.loadFromBytes(loaded, QString(), Reading::ElementsOnly).ok());
    const QByteArray written = elements.toBytes();
    EXPECT_FALSE(written.contains("texto")) << written.toStdString();
    EXPECT_FALSE(written.contains("dentro")) << written.toStdString();
    EXPECT_TRUE(written.contains("<!-- fuera -->")) << written.toStdString();

    Document whole, again;
    ASSERT_TRUE(whole.loadFromBytes(loaded).ok());
    ASSERT_TRUE(again.loadFromBytes(written).ok()) << written.toStdString();
    EXPECT_EQ(described(again.documentElement()), described(whole.documentElement()));
}

TEST(ElementsOnlyTest, WritesWhatTheWholeReadingWritesWhenThereIsNoText) {
    const QByteArray loaded =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
        "<centro xmlns:p=\"urn:p\" nombre=\"IES Alcal\xe1\"><m p:n=\"1\" n=\"a&amp;b\"/>"
        "<m n=\"\" o=\"Valor largo que no cabe en el nodo\"/></centro>\n";
    Document whole, elements;
    ASSERT_TRUE(whole.loadFromBytes(loaded).ok());
    ASSERT_TRUE(elements.loadFromBytes(loaded, QString(), Reading::ElementsOnly).ok());
    EXPECT_EQ(elements.toBytes(), whole.toBytes());
}

TEST(ElementsOnlyTest, ChangedAttributesKeepTheirPlaceAsInTheWholeReading) {
    const QByteArray loaded = "<centro><m a='1' b='2' c='3'/><m a='&#49;' b='2'/></centro>";
    Document whole, elements;
    ASSERT_TRUE(whole.loadFromBytes(loaded).ok());
    ASSERT_TRUE(elements.loadFromBytes(loaded, QString(), Reading::ElementsOnly).ok());
    for (Document* doc : {&whole, &elements}) {
        for (Element m : doc->documentElement().childElements()) {
            m.setAttribute("b", QStringLiteral("nuevo"));
            m.setAttribute("d", QStringLiteral("añadido"));
        }
    }
    EXPECT_EQ(described(elements.documentElement()), described(whole.documentElement()));
    EXPECT_EQ(elements.toBytes(), whole.toBytes());
}

TEST(ElementsOnlyTest, ReloadingFreesTheEarlierAttributesAndKeepsTheNewOnes) {
    Document doc;
    ASSERT_TRUE(doc.loadFromBytes("<centro a='primero'/>", QString(), Reading::ElementsOnly).ok());
    ASSERT_TRUE(doc.loadFromBytes("<centro a='segundo'/>", QString(), Reading::ElementsOnly).ok());
    EXPECT_EQ(doc.documentElement().attribute("a"), QString("segundo"));
    EXPECT_FALSE(doc.loadFromBytes("<centro a='x'>", QString(), Reading::ElementsOnly).ok());
    EXPECT_TRUE(doc.isEmpty());
    ASSERT_TRUE(doc.loadFromBytes("<centro a='tercero'/>").ok());
    EXPECT_EQ(doc.documentElement().attribute("a"), QString("tercero"));
}

TEST(ElementsOnlyTest, AFileReadsAsItsBytes) {
    QByteArray loaded = "<?xml version='1.0' encoding='ISO-8859-1'?>\n<centro>\n";
    // Larger than any buffer the parser reads at once.
    for (int i = 0; i < 5000; ++i)
        loaded += "  <m codigo='M" + QByteArray::number(i) + "' nombre='Educaci\xf3n F\xedsica " +
                  QByteArray::number(i) + "'/>\n";
    loaded += "</centro>\n";
    QTemporaryDir dir;
    const QString path = dir.filePath("centro.xml");
    ASSERT_TRUE(writeBytes(path, loaded));
    for (const Reading reading : {Reading::Whole, Reading::ElementsOnly}) {
        Document fromFile, fromBytes;
        ASSERT_TRUE(fromFile.load(path, reading).ok());
        ASSERT_TRUE(fromBytes.loadFromBytes(loaded, path, reading).ok());
        EXPECT_EQ(described(fromFile.documentElement()), described(fromBytes.documentElement()));
        EXPECT_EQ(fromFile.documentElement().childElements().last().attribute("nombre"),
                  QString("Educación Física 4999"));
    }
    // A broken file is refused at the same place either way.
    const QByteArray broken = loaded.left(loaded.size() - 3);
    ASSERT_TRUE(writeBytes(path, broken));
    Document fromFile, fromBytes;
    const LoadResult a = fromFile.load(path, Reading::ElementsOnly);
    const LoadResult b = fromBytes.loadFromBytes(broken, path, Reading::ElementsOnly);
    EXPECT_EQ(a.status, LoadResult::Status::NotWellFormed);
    EXPECT_EQ(a.message, b.message);
    EXPECT_EQ(a.line, b.line);
    EXPECT_EQ(a.column, b.column);
}

}  // namespace
}  // namespace puente
