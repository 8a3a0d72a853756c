// Attribute values as they are kept in the tree: short ones inside their
// text node (loaded with XML_PARSE_COMPACT, or set), longer ones apart. Each
// reads back, is replaced, written and freed the same way on either side of
// the boundary.
#include "ExchangeTestSupport.h"

#include <gtest/gtest.h>

namespace puente {
namespace {

// Values around the 16 bytes (UTF-8, with the ending zero) that fit in a
// text node: ASCII and two-byte characters on both sides.
QList<QString> BoundaryValues() {
    return {QString(),
            QStringLiteral("1"),
            QString(14, u'a'),
            QString(15, u'a'),
            QString(16, u'a'),
            QString(17, u'a'),
            QStringLiteral("ñ") + QString(13, u'b'),  // 15 bytes
            QStringLiteral("ñ") + QString(14, u'b'),  // 16 bytes
            QStringLiteral("ñandú ¿qué? € y más texto"),
            QStringLiteral("a&b<c>\"d\"")};
}

QString Attributes(const QList<QString>& values) {
    QString text;
    for (qsizetype i = 0; i < values.size(); ++i) {
        QString escaped = values[i];
        escaped.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;").replace('"', "&quot;");
        text += QStringLiteral(" a%1=\"%2\"").arg(i).arg(escaped);
    }
    return text;
}

void ExpectValues(const Element& e, const QList<QString>& values, const char* where) {
    for (qsizetype i = 0; i < values.size(); ++i)
        EXPECT_EQ(e.attribute(QStringLiteral("a%1").arg(i)), values[i]) << where << " a" << i;
}

TEST(AttributeStorage, LoadedValuesReadBackAndAreReplacedAcrossTheBoundary) {
    const QList<QString> values = BoundaryValues();
    Document doc;
    ASSERT_TRUE(doc.loadFromBytes("<centro" + Attributes(values).toUtf8() + "/>").ok());
    Element root = doc.documentElement();
    ExpectValues(root, values, "loaded");

    // Every value replaced by the one of the other end of the list: short by
    // long and long by short.
    QList<QString> replaced(values.rbegin(), values.rend());
    for (qsizetype i = 0; i < replaced.size(); ++i) root.setAttribute(QStringLiteral("a%1").arg(i), replaced[i]);
    ExpectValues(root, replaced, "replaced");

    Document again;
    ASSERT_TRUE(again.loadFromBytes(doc.toBytes()).ok());
    ExpectValues(again.documentElement(), replaced, "written and loaded");

    doc.removeChild(root);  // frees values of both kinds
    EXPECT_TRUE(doc.isEmpty());
}

TEST(AttributeStorage, ValuesSetOnNewElementsReadBackBeforeAndAfterWriting) {
    const QList<QString> values = BoundaryValues();
    for (const bool loaded : {false, true}) {
        Document doc;
        if (loaded) {
            ASSERT_TRUE(doc.loadFromBytes("<centro/>").ok());
        } else {
            doc.appendChild(doc.createElement("centro"));
        }
        Element e = doc.createElement("dsolucion");
        for (qsizetype i = 0; i < values.size(); ++i) e.setAttribute(QStringLiteral("a%1").arg(i), values[i]);
        ExpectValues(e, values, loaded ? "loaded, unattached" : "new, unattached");
        doc.documentElement().appendChild(e);
        Element unattached = doc.createElement("suelto");  // freed with the document
        unattached.setAttribute("a0", QString(40, u'z'));

        Document again;
        ASSERT_TRUE(again.loadFromBytes(doc.toBytes()).ok());
        ExpectValues(again.selectSingleNode("/centro/dsolucion"), values, loaded ? "loaded, written" : "new, written");
    }
}

}  // namespace
}  // namespace puente
