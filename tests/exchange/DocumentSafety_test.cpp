// Hostile and oversized documents: external entities are never read,
// expansion and nesting are bounded, big documents load whole, and damaged
// bytes never crash the loader. Timings belong in bench/, not here.
#include "ExchangeTestSupport.h"

#include "common/Error.h"
#include "exchange/Document.h"

#include <QUrl>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace puente {
namespace {

// Every attribute value of every element, and the serialised document.
QString everythingReadable(const Document& doc) {
    QString all = QString::fromUtf8(doc.toBytes());
    QList<Element> pending = {doc.documentElement()};
    while (!pending.isEmpty()) {
        const Element e = pending.takeLast();
        if (e.isNull()) continue;
        for (const QString& name : e.attributeNames()) all += e.attribute(name).value_or(QString());
        pending += e.childElements();
    }
    return all;
}

// ---------------------------------------------------------------------------
// External entities and DTDs

const QByteArray kSecret = "SECRETO-4f1c9e";

struct ExternalCase {
    const char* name;
    const char* document;  // FILE: URL of a file holding kSecret; DTD: URL of a DTD declaring s as kSecret
                           // and kSecret as the default of centro's attribute d
    LoadResult::Status status;
    QString message;
};

void PrintTo(const ExternalCase& c, std::ostream* os) { *os << c.name; }

class ExternalEntityTest : public ::testing::TestWithParam<ExternalCase> {};

TEST_P(ExternalEntityTest, NeverReadsTheFile) {
    const ExternalCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.filePath("secreto.txt"), kSecret));
    ASSERT_TRUE(writeBytes(dir.filePath("secreto.dtd"),
                           "<!ENTITY s \"" + kSecret + "\"><!ATTLIST centro d CDATA \"" + kSecret + "\">"));
    const QString text = QString::fromUtf8(c.document)
                             .replace("FILE", QUrl::fromLocalFile(dir.filePath("secreto.txt")).toString())
                             .replace("DTD", QUrl::fromLocalFile(dir.filePath("secreto.dtd")).toString());
    const QString path = dir.filePath("documento.xml");
    ASSERT_TRUE(writeBytes(path, text.toUtf8()));

    Document doc;
    const LoadResult r = doc.load(path);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.message, c.message);
    EXPECT_FALSE(everythingReadable(doc).contains(QString::fromUtf8(kSecret)));
}

INSTANTIATE_TEST_SUITE_P(
    Documents, ExternalEntityTest,
    ::testing::Values(
        ExternalCase{"entity_in_content",
                     "<!DOCTYPE centro [<!ENTITY x SYSTEM \"FILE\">]>\n<centro a=\"1\"><b>&x;</b></centro>",
                     LoadResult::Status::Ok, ""},
        ExternalCase{"entity_in_attribute", "<!DOCTYPE centro [<!ENTITY x SYSTEM \"FILE\">]>\n<centro a=\"&x;\"/>",
                     LoadResult::Status::NotWellFormed, "Attribute references external entity 'x'"},
        ExternalCase{"entity_in_attribute_through_internal",
                     "<!DOCTYPE centro [<!ENTITY x SYSTEM \"FILE\"><!ENTITY y \"[&x;]\">]>\n<centro a=\"&y;\"/>",
                     LoadResult::Status::NotWellFormed, "Attribute references external entity 'x'"},
        ExternalCase{"external_dtd", "<!DOCTYPE centro SYSTEM \"DTD\">\n<centro a=\"&s;\"/>", LoadResult::Status::Ok,
                     ""},
        ExternalCase{"parameter_entity", "<!DOCTYPE centro [<!ENTITY % p SYSTEM \"DTD\"> %p;]>\n<centro a=\"&s;\"/>",
                     LoadResult::Status::NotWellFormed, "Entity 's' not defined"},
        ExternalCase{"attribute_default_in_external_dtd", "<!DOCTYPE centro SYSTEM \"DTD\">\n<centro/>",
                     LoadResult::Status::Ok, ""},
        ExternalCase{"attribute_default_through_parameter_entity",
                     "<!DOCTYPE centro [<!ENTITY % p SYSTEM \"DTD\"> %p;]>\n<centro/>", LoadResult::Status::Ok, ""}));

// A listening socket on the loopback: a document naming it must not make
// the loader connect. The load runs on a worker thread while this one
// accepts and at once closes any connection, so that a loader that does
// connect fails the test instead of waiting for an answer.
TEST(ExternalEntityTest, NeverConnectsToTheNetwork) {
    const int server = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ASSERT_GE(server, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(server, 4), 0);
    socklen_t length = sizeof address;
    ASSERT_EQ(getsockname(server, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const QByteArray url = "http://127.0.0.1:" + QByteArray::number(ntohs(address.sin_port)) + "/x";

    for (const QByteArray& text : {"<!DOCTYPE centro [<!ENTITY x SYSTEM \"" + url + "\">]>\n<centro>&x;</centro>",
                                   "<!DOCTYPE centro SYSTEM \"" + url + "\">\n<centro/>",
                                   "<!DOCTYPE centro [<!ENTITY % p SYSTEM \"" + url + "\"> %p;]>\n<centro/>"}) {
        std::atomic<bool> done = false;
        std::thread loader([&] {
            Document doc;
            doc.loadFromBytes(text, "documento.xml");
            done = true;
        });
        int connections = 0;
        while (!done) {
            const int client = accept(server, nullptr, nullptr);
            if (client >= 0) {
                ++connections;
                close(client);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        loader.join();
        EXPECT_EQ(connections, 0) << text.toStdString();
    }
    close(server);
}

// ---------------------------------------------------------------------------
// Internal entities

TEST(InternalEntityTest, AttributeValuesGetTheirText) {
    Document doc;
    const LoadResult r = doc.loadFromBytes(
        "<!DOCTYPE centro [\n"
        "<!ENTITY ies \"IES &quot;Ñandú&quot; &f;\">\n"
        "<!ENTITY f \"F&#38;#62;\">\n"
        "<!ENTITY w \"a&#9;b&#10;c\">\n"
        "]>\n"
        "<centro nombre=\"[&ies;]\" blanco=\"&w;\" directo=\"a&#9;b\">&ies;</centro>");
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    const Element root = doc.documentElement();
    EXPECT_EQ(root.attribute("nombre"), QStringLiteral("[IES \"Ñandú\" F>]"));
    // White space from an entity's text becomes a space, from a character
    // reference it stays.
    EXPECT_EQ(root.attribute("blanco"), QString("a b c"));
    EXPECT_EQ(root.attribute("directo"), QString("a\tb"));
}

// "]]>" is fine in an attribute value but not in element content, whichever
// of the two names the entity first.
struct CdataEndCase {
    const char* name;
    QByteArray document;
    bool loads;
    int line;
};

void PrintTo(const CdataEndCase& c, std::ostream* os) { *os << c.name; }

class CdataEndEntityTest : public ::testing::TestWithParam<CdataEndCase> {};

TEST_P(CdataEndEntityTest, RefusedInContentOnly) {
    const CdataEndCase& c = GetParam();
    Document doc;
    const LoadResult r = doc.loadFromBytes(c.document);
    if (c.loads) {
        ASSERT_TRUE(r.ok()) << r.message.toStdString();
        EXPECT_EQ(doc.documentElement().attribute("nombre"), QString("]]>"));
        Document again;  // and what is written out loads again
        EXPECT_TRUE(again.loadFromBytes(doc.toBytes()).ok());
        return;
    }
    EXPECT_EQ(r.status, LoadResult::Status::NotWellFormed);
    EXPECT_EQ(r.message, QString("Sequence ']]>' not allowed in content"));
    EXPECT_EQ(r.line, c.line);
    EXPECT_TRUE(doc.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Documents, CdataEndEntityTest,
    ::testing::Values(
        CdataEndCase{"attribute_only", "<!DOCTYPE centro [<!ENTITY a \"]]>\">]>\n<centro nombre=\"&a;\"/>", true, 0},
        CdataEndCase{"attribute_then_content",
                     "<!DOCTYPE centro [<!ENTITY a \"]]>\">]>\n<centro nombre=\"&a;\">\n<b>&a;</b></centro>", false, 3},
        CdataEndCase{"nested_attribute_then_content",
                     "<!DOCTYPE centro [<!ENTITY a \"]]>\"><!ENTITY b \"x&a;\">]>\n"
                     "<centro nombre=\"&a;\"><b>&b;</b></centro>",
                     false, 2},
        // Refused by libxml2 itself, at the line within the entity's text.
        CdataEndCase{"content_first", "<!DOCTYPE centro [<!ENTITY a \"]]>\">]>\n<centro nombre=\"x\">&a;</centro>",
                     false, 1}));

struct ExpansionCase {
    const char* name;
    QByteArray document;
    QString message;
    int line;
    int column;
};

void PrintTo(const ExpansionCase& c, std::ostream* os) { *os << c.name; }

// Ten levels of ten references each: 10^10 copies of "lol" if expanded.
QByteArray laughs(const QByteArray& use) {
    QByteArray text = "<?xml version=\"1.0\"?>\n<!DOCTYPE centro [\n<!ENTITY l0 \"lol\">\n";
    for (int i = 1; i <= 10; ++i) {
        text += "<!ENTITY l" + QByteArray::number(i) + " \"" +
                QByteArray("&l" + QByteArray::number(i - 1) + ";").repeated(10) + "\">\n";
    }
    return text + "]>\n" + use;
}

// One 50,000-character entity named 50,000 times: 2.5 GB if expanded.
QByteArray quadratic(const char* before, const char* after) {
    return "<!DOCTYPE centro [<!ENTITY e \"" + QByteArray(50000, 'A') + "\">]>\n" + before +
           QByteArray("&e;").repeated(50000) + after;
}

class ExpansionTest : public ::testing::TestWithParam<ExpansionCase> {};

TEST_P(ExpansionTest, Refused) {
    const ExpansionCase& c = GetParam();
    Document doc;
    const LoadResult r = doc.loadFromBytes(c.document);
    EXPECT_EQ(r.status, LoadResult::Status::NotWellFormed);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.line, c.line);
    EXPECT_EQ(r.column, c.column);
    EXPECT_TRUE(doc.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Documents, ExpansionTest,
    ::testing::Values(ExpansionCase{"laughs_in_content", laughs("<centro>&l10;</centro>"),
                                    "Detected an entity reference loop", 1, 5},
                      ExpansionCase{"laughs_in_attribute", laughs("<centro a=\"&l10;\"/>"),
                                    "Detected an entity reference loop", 15, 17},
                      ExpansionCase{"quadratic_in_attribute", quadratic("<centro a=\"", "\"/>"),
                                    "las entidades de los atributos dan más de 10000000 bytes de texto (al llegar al "
                                    "atributo 'a' del elemento 'centro')",
                                    2, 0}));

// In element content references stay references: nothing is expanded.
TEST(ExpansionTest, QuadraticInContentStaysSmall) {
    const QByteArray text = quadratic("<centro a=\"x\">", "</centro>");
    Document doc;
    ASSERT_TRUE(doc.loadFromBytes(text).ok());
    EXPECT_EQ(doc.documentElement().attribute("a"), QString("x"));
    EXPECT_LT(doc.toBytes().size(), 2 * text.size());
}

// ---------------------------------------------------------------------------
// Size and depth

struct SizeCase {
    const char* name;
    std::function<QByteArray()> document;
    LoadResult::Status status;
    QString message;
    int line;
    int column;
};

void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }

class SizeLimitTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SizeLimitTest, LoadsOrRefusesCleanly) {
    const SizeCase& c = GetParam();
    Document doc;
    const LoadResult r = doc.loadFromBytes(c.document());
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.line, c.line);
    EXPECT_EQ(r.column, c.column);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, SizeLimitTest,
    ::testing::Values(SizeCase{"nested_100000_deep",
                               [] { return QByteArray("<a>").repeated(100000) + QByteArray("</a>").repeated(100000); },
                               LoadResult::Status::NotWellFormed,
                               "Excessive depth in document: 256 use XML_PARSE_HUGE option", 1, 772},
                      SizeCase{"attribute_of_20_MB",
                               [] { return "<centro a=\"" + QByteArray(20'000'000, 'x') + "\"/>"; },
                               LoadResult::Status::NotWellFormed, "AttValue length too long", 1, 11},
                      // Text in element content has no such limit; nothing here reads it.
                      SizeCase{"text_of_20_MB", [] { return "<centro>" + QByteArray(20'000'000, 'x') + "</centro>"; },
                               LoadResult::Status::Ok, "", 0, 0}));

TEST(SizeLimitTest, AttributeOf9MBLoads) {
    Document doc;
    ASSERT_TRUE(doc.loadFromBytes("<centro a=\"" + QByteArray(9'000'000, 'x') + "\"/>").ok());
    EXPECT_EQ(doc.documentElement().attribute("a").value_or(QString()).size(), 9'000'000);
}

// A 50 MB document with 250,000 assignments, as a big school's export.
TEST(SizeLimitTest, FiftyMegabytesLoadAndSelect) {
    constexpr int kCount = 250'000;
    QByteArray text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<centro nombre=\"Grande\">\n<asignaturas>\n";
    text.reserve(52'000'000);
    for (int i = 0; i < kCount; ++i) {
        const QByteArray n = QByteArray::number(i);
        text += "  <dasignatura codigo=\"" + n + "\" materia=\"MAT" + n + "\" grupo=\"1ºESO-A\" profesor=\"P" + n +
                "\" aula=\"A" + n +
                "\" horas=\"4,5\" nombre=\"Matemáticas orientadas a las enseñanzas "
                "académicas del alumnado de la etapa\"/>\n";
    }
    text += "</asignaturas>\n</centro>\n";
    ASSERT_GT(text.size(), 50'000'000);
    QTemporaryDir dir;
    const QString path = dir.filePath("grande.xml");
    ASSERT_TRUE(writeBytes(path, text));
    text.clear();

    Document doc;
    ASSERT_TRUE(doc.load(path).ok());
    const QList<Element> all = doc.selectNodes("/centro/asignaturas/dasignatura");
    ASSERT_EQ(all.size(), kCount);
    qint64 sum = 0;
    for (const Element& e : all) sum += e.attribute("codigo").value_or("0").toLongLong();
    EXPECT_EQ(sum, qint64(kCount) * (kCount - 1) / 2);
    EXPECT_EQ(all.last().attribute("profesor"), QString("P249999"));
}

// ---------------------------------------------------------------------------
// Damaged bytes

// Every byte of a small valid document replaced, in turn, by bytes that
// break XML: the load never crashes, and it either succeeds or says where.
TEST(DamagedBytesTest, EveryPositionGivesAResult) {
    const QByteArray valid = readBytes(fixture("centro.xml"));
    ASSERT_FALSE(valid.isEmpty());
    int refused = 0;
    for (const char replacement : {'<', '&', '"', '\0', '\xFF', '/'}) {
        for (qsizetype i = 0; i < valid.size(); ++i) {
            QByteArray damaged = valid;
            damaged[i] = replacement;
            Document doc;
            const LoadResult r = doc.loadFromBytes(damaged);
            if (r.ok()) {
                EXPECT_FALSE(doc.isEmpty()) << i;
                continue;
            }
            ++refused;
            ASSERT_EQ(r.status, LoadResult::Status::NotWellFormed) << "byte " << i;
            EXPECT_FALSE(r.message.isEmpty()) << "byte " << i;
            EXPECT_GE(r.line, 1) << "byte " << i;
            EXPECT_TRUE(doc.isEmpty()) << "byte " << i;
        }
    }
    EXPECT_GT(refused, valid.size());  // most damage is noticed
}

}  // namespace
}  // namespace puente
