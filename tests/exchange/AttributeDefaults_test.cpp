// Attributes that the document's internal DTD subset declares with a default
// or #FIXED value read, on an element that lacks them, as that value (as any
// DOM shows them); nothing from outside the document counts.
#include "ExchangeTestSupport.h"

#include "exchange/Document.h"

#include <gtest/gtest.h>

#include <optional>

namespace puente {
namespace {

struct DefaultCase {
    const char* name;
    QByteArray document;
    const char* path;  // the element read
    const char* attribute;
    std::optional<QString> value;  // what it reads as; nullopt: missing
};

void PrintTo(const DefaultCase& c, std::ostream* os) { *os << c.name; }

class AttributeDefaultTest : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(AttributeDefaultTest, ReadsAsTheDeclaredValue) {
    const DefaultCase& c = GetParam();
    Document doc;
    const LoadResult r = doc.loadFromBytes(c.document);
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    const Element e = doc.selectSingleNode(QString::fromLatin1(c.path));
    ASSERT_FALSE(e.isNull());
    EXPECT_EQ(e.attribute(QString::fromLatin1(c.attribute)), c.value);
    EXPECT_EQ(e.attributeNames().contains(QString::fromLatin1(c.attribute)), c.value.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Documents, AttributeDefaultTest,
    ::testing::Values(
        DefaultCase{"default", "<!DOCTYPE centro [<!ATTLIST centro version CDATA \"9\">]>\n<centro/>", "/centro",
                    "version", QString("9")},
        DefaultCase{"fixed",
                    "<!DOCTYPE centro [<!ATTLIST dmaterias codigo_actividad CDATA #FIXED \"FIJA\">]>\n"
                    "<centro><materias><dmaterias abrev=\"\"/></materias></centro>",
                    "/centro/materias/dmaterias", "codigo_actividad", QString("FIJA")},
        DefaultCase{"the element's own value wins",
                    "<!DOCTYPE centro [<!ATTLIST centro version CDATA \"9\">]>\n<centro version=\"8\"/>", "/centro",
                    "version", QString("8")},
        DefaultCase{"an empty default", "<!DOCTYPE centro [<!ATTLIST centro version CDATA \"\">]>\n<centro/>",
                    "/centro", "version", QString("")},
        DefaultCase{"a default naming an entity",
                    "<!DOCTYPE centro [<!ENTITY v \"9.1\"><!ATTLIST centro version CDATA \"&v;&#233;\">]>\n<centro/>",
                    "/centro", "version", QString::fromUtf8("9.1é")},
        DefaultCase{"#IMPLIED gives nothing", "<!DOCTYPE centro [<!ATTLIST centro version CDATA #IMPLIED>]>\n<centro/>",
                    "/centro", "version", std::nullopt},
        DefaultCase{"#REQUIRED but missing gives nothing",
                    "<!DOCTYPE centro [<!ATTLIST centro version CDATA #REQUIRED>]>\n<centro/>", "/centro", "version",
                    std::nullopt},
        DefaultCase{"declared for another element",
                    "<!DOCTYPE centro [<!ATTLIST aulas version CDATA \"9\">]>\n<centro/>", "/centro", "version",
                    std::nullopt}));

}  // namespace
}  // namespace puente
