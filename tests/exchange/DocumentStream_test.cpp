// Streaming a document: the bytes equal what the whole tree gave when saved,
// for every kind of head; the head-only reading refuses what the whole
// reading refuses (and so does the elements-only one); an unfinished stream
// leaves the earlier file.
#include "ExchangeTestSupport.h"

#include "common/Error.h"
#include "exchange/Document.h"
#include "exchange/DocumentStream.h"

#include <QDir>
#include <QFile>
#include <QStringConverter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace puente {
namespace {

// Values that libxml2 escapes, that some encodings cannot hold, and plain.
const QList<QStringList> kEntries = {
    {"M1", "1ºA", "P1", "", "T1", "3", "2"},
    {"A&B", "<x>", "\"q\" 'a'", "tab\there", "line\nbreak\rret", "5", "€ 𝄞 ñ 中"},
    {"Ñandú", "ÿ", "œ", "…", "", "0", "12.5"},
};

const char* const kNames[] = {"casig", "cgrupo", "cprofe", "caula", "cactiv", "dia", "hora"};

// The steps of the return run on the whole tree: the old root removed, the
// new one appended with its entries.
QByteArray savedWhole(const QByteArray& loaded, int entries) {
    Document doc;
    EXPECT_TRUE(doc.loadFromBytes(loaded).ok());
    doc.removeChild(doc.documentElement());
    Element centro = doc.createElement("centro");
    centro.setAttribute("codigo_interno", QStringLiteral("41 & <00>"));
    centro.setAttribute("nombre", QStringLiteral("IES Ñandú \"€\""));
    centro.setAttribute("fecha_exportacion", QStringLiteral("01/09/2025 8:30:00"));
    doc.appendChild(centro);
    Element solucion = doc.createElement("solucion_horario");
    centro.appendChild(solucion);
    for (int i = 0; i < entries; ++i) {
        Element d = doc.createElement("dsolucion");
        const QStringList& values = kEntries[i % kEntries.size()];
        for (int v = 0; v < values.size(); ++v) d.setAttribute(QString::fromLatin1(kNames[v]), values[v]);
        solucion.appendChild(d);
    }
    return doc.toBytes();
}

// The same document streamed from a head read by `headOnly` or whole.
QByteArray streamed(const QByteArray& loaded, int entries, bool headOnly) {
    Document head;
    const LoadResult result =
        headOnly ? head.loadFromBytes(loaded, QString(), Reading::HeadOnly) : head.loadFromBytes(loaded);
    EXPECT_TRUE(result.ok()) << result.message.toStdString();
    QTemporaryDir dir;
    const QString path = dir.filePath("resultado.xml");
    {
        DocumentStream stream(head, path);
        stream.startElement("centro");
        stream.attribute("codigo_interno", QStringLiteral("41 & <00>"));
        stream.attribute("nombre", QStringLiteral("IES Ñandú \"€\""));
        stream.attribute("fecha_exportacion", QStringLiteral("01/09/2025 8:30:00"));
        stream.startElement("solucion_horario");
        for (int i = 0; i < entries; ++i) {
            stream.startElement("dsolucion");
            const QStringList& values = kEntries[i % kEntries.size()];
            for (int v = 0; v < values.size(); ++v) stream.attribute(kNames[v], values[v]);
            stream.endElement();
        }
        stream.endElement();
        stream.endElement();
        stream.commit();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"resultado.xml"});
    return readBytes(path);
}

QByteArray utf16(const QString& text) {
    QStringEncoder encoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    return encoder(text);
}

struct StreamCase {
    const char* name;
    QByteArray loaded;
};
void PrintTo(const StreamCase& c, std::ostream* os) { *os << c.name; }

const QByteArray kRootWithContent =
    "<centro codigo_interno=' 1 ' nombre='N' curso='C' version='V'>\n"
    "  <materias><dmaterias codigo='M1'>texto &amp; más<!-- dentro --><?pi dentro?></dmaterias></materias>\n"
    "  <solucion_horario><dsolucion casig='viejo'/></solucion_horario>\n"
    "</centro>";

const QList<StreamCase> kStreamCases = {
    {"utf8_declared", "<?xml version='1.0' encoding='UTF-8'?>\n" + kRootWithContent},
    {"no_declaration", kRootWithContent},
    {"declaration_without_encoding", "<?xml version=\"1.0\"?>" + kRootWithContent + "\n"},
    {"standalone", "<?xml version='1.0' encoding='utf-8' standalone='yes'?>" + kRootWithContent},
    {"iso_8859_1",
     "<?xml version='1.0' encoding='ISO-8859-1'?>\n<!-- Exportado por ZELTA \xd1 -->\n" + kRootWithContent},
    {"windows_1252", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<?zelta v=\"2\"?>\n" + kRootWithContent +
                         "\n<!-- fin \x80 -->\n"},
    {"utf16", utf16(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<!-- Ñandú -->\n") +
                    QString::fromUtf8(kRootWithContent))},
    {"comments_and_pis_around", "<?xml version='1.0' encoding='UTF-8'?>\n<!-- antes -->\n<?antes uno?>\n" +
                                    kRootWithContent + "\n<!-- después -->\n<?despues dos?>\n<!---->\n"},
    {"doctype_with_internal_subset",
     "<?xml version='1.0' encoding='ISO-8859-1'?>\n"
     "<!DOCTYPE centro [\n"
     "  <!-- el subconjunto -->\n"
     "  <!ENTITY ent \"entidad &#233;\">\n"
     "  <!ELEMENT centro ANY>\n"
     "  <!ATTLIST centro version CDATA \"9\" curso CDATA #FIXED 'C'>\n"
     "  <?pi en el subconjunto?>\n"
     "]>\n"
     "<centro codigo_interno='&ent;' nombre='N'><x a='&ent;'>&ent;</x></centro>\n<!-- tras -->"},
    {"doctype_system", "<!DOCTYPE centro SYSTEM \"zelta.dtd\"><centro/>"},
    {"doctype_xhtml",
     "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
     "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n<centro><p>x</p></centro>"},
    {"namespaced_root", "<z:centro xmlns:z='urn:z' xmlns='urn:d' z:a='1'><b/></z:centro>"},
    {"empty_root", "<centro/>"},
};

class StreamTest : public ::testing::TestWithParam<StreamCase> {};

TEST_P(StreamTest, WritesWhatTheWholeTreeSaved) {
    for (int entries : {0, 1, 3, 5000}) {
        SCOPED_TRACE(entries);
        const QByteArray expected = savedWhole(GetParam().loaded, entries);
        EXPECT_EQ(streamed(GetParam().loaded, entries, true), expected);
        EXPECT_EQ(streamed(GetParam().loaded, entries, false), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Heads, StreamTest, ::testing::ValuesIn(kStreamCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StreamTest, KeepsTheRootsAttributesWithTheirDefaults) {
    Document head;
    ASSERT_TRUE(head.loadFromBytes(kStreamCases[8].loaded, QString(), Reading::HeadOnly).ok());
    const Element root = head.documentElement();
    EXPECT_EQ(root.attributeNames(), (QStringList{"codigo_interno", "nombre", "version", "curso"}));
    EXPECT_EQ(root.attribute("codigo_interno").value_or("-"), QStringLiteral("entidad é"));
    EXPECT_EQ(root.attribute("version").value_or("-"), QStringLiteral("9"));
    EXPECT_TRUE(root.childElements().isEmpty());
}

// ---------------------------------------------------------------------------
// The partial readings refuse what the whole reading refuses

struct RefusedCase {
    const char* name;
    QByteArray loaded;
};
void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

QByteArray manyEntityAttributes() {
    // 20 elements each asking for 1 MB through entities: over the budget at
    // the eleventh, deep inside the root.
    QByteArray doc = "<!DOCTYPE centro [<!ENTITY k \"" + QByteArray(1000, 'k') +
                     "\">"
                     "<!ENTITY m \"" +
                     QByteArray("&k;").repeated(1000) + "\">]>\n<centro><a>\n";
    for (int i = 0; i < 20; ++i) doc += "<b n='" + QByteArray::number(i) + "' v='&m;'/>\n";
    return doc + "</a></centro>";
}

const QList<RefusedCase> kRefusedCases = {
    {"unclosed", "<centro><materias></centro>"},
    {"text_after_root", "<centro/>texto"},
    {"undeclared_prefix_inside", "<centro>\n<a>\n<x:b/></a></centro>"},
    {"bad_character_inside", "<centro><a>\x01</a></centro>"},
    {"bad_utf8_inside", "<?xml version='1.0' encoding='UTF-8'?><centro><a>\xff\xfe</a></centro>"},
    {"undeclared_entity", "<centro><a>&nada;</a></centro>"},
    {"cdata_end_through_entity",
     "<!DOCTYPE centro [<!ENTITY e \"]]&#62;\"><!ENTITY f \"x&e;\">]>\n<centro a='&f;'>\n<a>\n<b>&f;</b></a></centro>"},
    {"attribute_entities_over_budget", manyEntityAttributes()},
    {"entities_nested_too_deep",
     [] {
         QByteArray dtd = "<!DOCTYPE centro [<!ENTITY e0 \"x\">";
         for (int i = 1; i <= 45; ++i)
             dtd += "<!ENTITY e" + QByteArray::number(i) + " \"&e" + QByteArray::number(i - 1) + ";\">";
         return dtd + "]>\n<centro>\n<a v='&e45;'/></centro>";
     }()},
    {"entity_loop", "<!DOCTYPE centro [<!ENTITY a \"&b;\"><!ENTITY b \"&a;\">]><centro><x>&a;</x></centro>"},
    {"empty", ""},
};

class PartialReadingRefusedTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(PartialReadingRefusedTest, AsTheWholeReadingDoes) {
    Document whole;
    const LoadResult expected = whole.loadFromBytes(GetParam().loaded);
    EXPECT_FALSE(expected.ok());
    for (const Reading reading : {Reading::HeadOnly, Reading::ElementsOnly}) {
        SCOPED_TRACE(reading == Reading::HeadOnly ? "HeadOnly" : "ElementsOnly");
        Document partial;
        const LoadResult got = partial.loadFromBytes(GetParam().loaded, QString(), reading);
        EXPECT_EQ(got.status, expected.status);
        EXPECT_EQ(got.message, expected.message);
        EXPECT_EQ(got.line, expected.line);
        EXPECT_EQ(got.column, expected.column);
        EXPECT_TRUE(partial.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Documents, PartialReadingRefusedTest, ::testing::ValuesIn(kRefusedCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Entities that stay within the limits load both ways, and the attribute
// budget counts the whole document in both.
TEST(HeadAcceptedTest, AsTheWholeReadingDoes) {
    const QByteArray within =
        "<!DOCTYPE centro [<!ENTITY e \"uno &#233; dos\">]>\n<centro v='&e;'><a v='&e;&amp;'>&e;</a>"
        "<a>&e;</a></centro>";
    Document whole, head;
    ASSERT_TRUE(whole.loadFromBytes(within).ok());
    ASSERT_TRUE(head.loadFromBytes(within, QString(), Reading::HeadOnly).ok());
    EXPECT_EQ(head.documentElement().attribute("v"), whole.documentElement().attribute("v"));
}

// ---------------------------------------------------------------------------
// Failures

TEST(StreamFailure, AnUnfinishedStreamLeavesTheEarlierFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("resultado.xml");
    ASSERT_TRUE(writeBytes(path, "anterior"));
    Document head;
    ASSERT_TRUE(head.loadFromBytes(kRootWithContent, QString(), Reading::HeadOnly).ok());
    {
        DocumentStream stream(head, path);
        stream.startElement("centro");
        for (int i = 0; i < 100000; ++i) {  // more than one buffer's worth
            stream.startElement("dsolucion");
            stream.attribute("casig", QStringLiteral("M%1").arg(i));
            stream.endElement();
        }
    }
    EXPECT_EQ(readBytes(path), "anterior");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"resultado.xml"});
}

TEST(StreamFailure, AFolderInThePlaceOfTheFileIsReportedAtTheStart) {
    QTemporaryDir dir;
    const QString path = dir.filePath("resultado.xml");
    ASSERT_TRUE(QDir(dir.path()).mkdir("resultado.xml"));
    Document head;
    ASSERT_TRUE(head.loadFromBytes(kRootWithContent, QString(), Reading::HeadOnly).ok());
    try {
        DocumentStream stream(head, path);
        stream.startElement("centro");
        stream.endElement();
        stream.commit();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::InputOutput);
        EXPECT_TRUE(e.message().contains("resultado.xml")) << e.message().toStdString();
    }
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST(StreamFailure, RefusesWhatXmlCannotHoldAndCallsOutOfOrder) {
    QTemporaryDir dir;
    Document head;
    ASSERT_TRUE(head.loadFromBytes("<centro/>", QString(), Reading::HeadOnly).ok());
    DocumentStream stream(head, dir.filePath("r.xml"));
    EXPECT_THROW(stream.attribute("a", QStringLiteral("x")), Error);
    stream.startElement("centro");
    try {
        stream.attribute("a", QString(QChar(0x1)));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::BadValue);
    }
    EXPECT_THROW(stream.attribute("no valido", QStringLiteral("x")), Error);
    stream.startElement("hijo");
    stream.endElement();
    EXPECT_THROW(stream.attribute("a", QStringLiteral("x")), Error);
    EXPECT_THROW(stream.commit(), Error);  // centro still open
    stream.endElement();
    EXPECT_THROW(stream.endElement(), Error);
    EXPECT_THROW(stream.startElement("otro"), Error);
    stream.commit();
    EXPECT_EQ(readBytes(dir.filePath("r.xml")),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<centro>\n  <hijo/>\n</centro>\n");
}

}  // namespace
}  // namespace puente
