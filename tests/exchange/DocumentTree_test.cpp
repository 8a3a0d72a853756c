// Selecting elements by path, reading attributes, and changing the tree.
#include "ExchangeTestSupport.h"

#include "common/Error.h"
#include "exchange/Document.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace puente {
namespace {

// The codigo of each element (its name when it has none), in order.
QStringList codes(const QList<Element>& elements) {
    QStringList out;
    for (const Element& e : elements) out.append(e.attribute("codigo").value_or(e.name()));
    return out;
}

class CentroFixture {
protected:
    CentroFixture() { loaded_ = doc_.load(fixture("centro.xml")).ok(); }
    Document doc_;
    bool loaded_ = false;
};

// ---------------------------------------------------------------------------
// selectNodes

struct SelectCase {
    const char* name;
    const char* askedOn;  // path of the element asked, or nullptr for the document
    const char* path;
    QStringList expected;
};

void PrintTo(const SelectCase& c, std::ostream* os) { *os << c.name; }

class SelectTest : public ::testing::TestWithParam<SelectCase>, protected CentroFixture {};

TEST_P(SelectTest, GivesMatchesInDocumentOrder) {
    const SelectCase& c = GetParam();
    ASSERT_TRUE(loaded_);
    if (!c.askedOn) {
        EXPECT_EQ(codes(doc_.selectNodes(c.path)), c.expected);
        const Element first = doc_.selectSingleNode(c.path);
        EXPECT_EQ(first.isNull() ? QString() : codes({first}).first(), c.expected.value(0));
    } else {
        const Element on = doc_.selectSingleNode(c.askedOn);
        ASSERT_FALSE(on.isNull());
        EXPECT_EQ(codes(on.selectNodes(c.path)), c.expected);
        const Element first = on.selectSingleNode(c.path);
        EXPECT_EQ(first.isNull() ? QString() : codes({first}).first(), c.expected.value(0));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SelectTest,
    ::testing::Values(SelectCase{"root", nullptr, "/centro", {"centro"}},
                      // Both <materias> lists, in order; <otro> and the nested dmaterias not.
                      SelectCase{"across_two_lists", nullptr, "/centro/materias/dmaterias", {"M1", "M2", "M3"}},
                      SelectCase{"one_level_deeper", nullptr, "/centro/materias/dmaterias/dmaterias", {"anidado"}},
                      SelectCase{"single_match", nullptr, "/centro/profesores/profesor", {"P1"}},
                      SelectCase{"no_such_element", nullptr, "/centro/aulas/daula", {}},
                      SelectCase{"not_from_the_root", nullptr, "/materias/dmaterias", {}},
                      SelectCase{"wrong_root", nullptr, "/colegio", {}},
                      SelectCase{"names_are_case_sensitive", nullptr, "/Centro/materias", {}},
                      SelectCase{"prefixed_elements_by_prefix", nullptr, "/centro/x:materias/x:dmaterias", {"X1"}},
                      SelectCase{"prefixed_elements_not_by_local_name", nullptr, "/centro/materias/x:dmaterias", {}},
                      SelectCase{"relative_from_document", nullptr, "centro/profesores", {"profesores"}},
                      // Absolute paths start at the root whatever element is asked.
                      SelectCase{"absolute_from_a_deep_element",
                                 "/centro/materias/dmaterias/dmaterias",
                                 "/centro/materias/dmaterias",
                                 {"M1", "M2", "M3"}},
                      SelectCase{"absolute_from_a_sibling_list",
                                 "/centro/profesores",
                                 "/centro/solucion_horario/dsolucion",
                                 {"dsolucion"}},
                      // Without the leading '/', from the element asked.
                      SelectCase{"relative_from_an_element", "/centro/materias", "dmaterias", {"M1", "M2"}},
                      SelectCase{"relative_two_steps", "/centro", "materias/dmaterias", {"M1", "M2", "M3"}}));

TEST(SelectDefaultNamespace, MatchesByNameAsWritten) {
    Document doc;
    ASSERT_TRUE(doc.loadFromBytes("<centro xmlns=\"urn:zelta\"><materias><dmaterias codigo=\"A\"/>"
                                  "<dmaterias codigo=\"B\"/></materias></centro>")
                    .ok());
    EXPECT_EQ(codes(doc.selectNodes("/centro/materias/dmaterias")), (QStringList{"A", "B"}));
}

struct BadPathCase {
    const char* path;
};

void PrintTo(const BadPathCase& c, std::ostream* os) { *os << '"' << c.path << '"'; }

class BadPathTest : public ::testing::TestWithParam<BadPathCase>, protected CentroFixture {};

TEST_P(BadPathTest, RaisesAnError) {
    const QString path = QString::fromUtf8(GetParam().path);
    const QString expected =
        QStringLiteral("La ruta '%1' no es una ruta de nombres de elemento como /centro/materias/dmaterias.").arg(path);
    EXPECT_EQ(errorMessageOf([&] { doc_.selectNodes(path); }), expected);
    EXPECT_EQ(errorMessageOf([&] { doc_.documentElement().selectSingleNode(path); }), expected);
    EXPECT_EQ(errorMessageOf([&] { Element().selectNodes(path); }), expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, BadPathTest,
                         ::testing::Values(BadPathCase{""}, BadPathCase{"/"}, BadPathCase{"//centro"},
                                           BadPathCase{"/centro/"}, BadPathCase{"/centro//materias"},
                                           BadPathCase{"/centro/*"}, BadPathCase{"/centro[1]"},
                                           BadPathCase{"/centro/@nombre"}, BadPathCase{"/centro/.."},
                                           BadPathCase{"/centro/1materias"}));

// ---------------------------------------------------------------------------
// attribute

struct AttributeCase {
    const char* name;
    const char* element;
    const char* attribute;
    std::optional<QString> expected;
};

void PrintTo(const AttributeCase& c, std::ostream* os) { *os << c.name; }

class AttributeTest : public ::testing::TestWithParam<AttributeCase>, protected CentroFixture {};

TEST_P(AttributeTest, ReadsValueAsText) {
    const AttributeCase& c = GetParam();
    ASSERT_TRUE(loaded_);
    const Element e = doc_.selectSingleNode(c.element);
    ASSERT_FALSE(e.isNull());
    EXPECT_EQ(e.attribute(c.attribute), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, AttributeTest,
    ::testing::Values(
        AttributeCase{"plain", "/centro/profesores/profesor", "codigo", QString("P1")},
        AttributeCase{"latin1_text", "/centro", "nombre", QStringLiteral("IES Ñandú")},
        AttributeCase{"absent", "/centro/profesores/profesor", "nombre", std::nullopt},
        AttributeCase{"case_sensitive", "/centro/profesores/profesor", "CODIGO", std::nullopt},
        AttributeCase{"spaces_kept", "/centro", "codigo_interno", QString(" 4100 ")},
        AttributeCase{"prefixed_by_its_prefix", "/centro/x:materias/x:dmaterias", "x:marca", QString("con prefijo")},
        AttributeCase{"prefixed_not_by_local_name", "/centro/x:materias/x:dmaterias", "marca", std::nullopt}));

TEST(AttributeTest, EmptyAndReferences) {
    Document doc;
    ASSERT_TRUE(doc.load(fixture("centro.xml")).ok());
    const Element m2 = doc.selectNodes("/centro/materias/dmaterias").value(1);
    ASSERT_EQ(m2.attribute("codigo"), QString("M2"));
    EXPECT_EQ(m2.attribute("vacio"), QString(""));
    EXPECT_TRUE(m2.attribute("vacio").has_value());
    EXPECT_EQ(m2.attribute("espacios"), QString("  dos  "));
    EXPECT_EQ(m2.attribute("refs"), QStringLiteral("a & b éñ <c> \"d\" 'e'"));
    EXPECT_EQ(m2.attribute("linea"), QStringLiteral("uno\ndos\ttres"));
    EXPECT_EQ(m2.attributeNames(), (QStringList{"codigo", "vacio", "espacios", "refs", "linea"}));
}

TEST(AttributeTest, NullElementReadsNothing) {
    const Element none;
    EXPECT_EQ(none.name(), QString());
    EXPECT_EQ(none.attribute("codigo"), std::nullopt);
    EXPECT_TRUE(none.attributeNames().isEmpty());
    EXPECT_TRUE(none.childElements().isEmpty());
    EXPECT_TRUE(none.selectNodes("/centro").isEmpty());
    EXPECT_TRUE(none.selectSingleNode("/centro").isNull());
}

// ---------------------------------------------------------------------------
// setAttribute, createElement, appendChild, removeChild

TEST(SetAttributeTest, TextAndIntegersRoundTrip) {
    Document doc;
    Element root = doc.createElement("centro");
    doc.appendChild(root);
    struct {
        const char* name;
        QString value;
    } texts[] = {{"vacio", ""},
                 {"marcas", "a & b < c > d \" e ' f"},
                 {"saltos", "uno\ndos\r\ntres\tcuatro"},
                 {"espacios", "  x  "},
                 {"acentos", QStringLiteral("Ñandú ¿qué? €")},
                 {"fuera_del_plano_basico", QString::fromUtf8("\xF0\x9D\x84\x9E")}};
    for (const auto& t : texts) root.setAttribute(t.name, t.value);
    root.setAttribute("dia", qint64(3));
    root.setAttribute("negativo", qint64(-42));
    root.setAttribute("grande", qint64(9007199254740993));

    Document again;
    ASSERT_TRUE(again.loadFromBytes(doc.toBytes()).ok());
    const Element r = again.documentElement();
    for (const auto& t : texts) EXPECT_EQ(r.attribute(t.name), t.value) << t.name;
    EXPECT_EQ(r.attribute("dia"), QString("3"));
    EXPECT_EQ(r.attribute("negativo"), QString("-42"));
    EXPECT_EQ(r.attribute("grande"), QString("9007199254740993"));
}

TEST(SetAttributeTest, ReplacingKeepsThePlace) {
    Document doc;
    ASSERT_TRUE(doc.loadFromBytes("<centro a=\"1\" b=\"2\" c=\"3\"/>").ok());
    Element root = doc.documentElement();
    root.setAttribute("b", QString("dos"));
    EXPECT_EQ(root.attributeNames(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(root.attribute("b"), QString("dos"));
    EXPECT_EQ(doc.toBytes(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<centro a=\"1\" b=\"dos\" c=\"3\"/>\n");
}

TEST(TreeTest, AppendAddsLastChildAndMovesAnElementInTheTree) {
    Document doc;
    ASSERT_TRUE(doc.loadFromBytes("<centro><a codigo=\"1\"/><b codigo=\"2\"/></centro>").ok());
    Element root = doc.documentElement();
    Element c = doc.createElement("c");
    c.setAttribute("codigo", QString("3"));
    root.appendChild(c);
    EXPECT_EQ(codes(root.childElements()), (QStringList{"1", "2", "3"}));
    root.appendChild(doc.selectSingleNode("/centro/a"));  // moved, not copied
    EXPECT_EQ(codes(root.childElements()), (QStringList{"2", "3", "1"}));
    Element b = doc.selectSingleNode("/centro/b");
    b.appendChild(c);
    EXPECT_EQ(codes(root.childElements()), (QStringList{"2", "1"}));
    EXPECT_EQ(codes(doc.selectNodes("/centro/b/c")), (QStringList{"3"}));
}

TEST(TreeTest, RemovingTheRootEmptiesTheDocument) {
    Document doc;
    ASSERT_TRUE(doc.load(fixture("centro.xml")).ok());
    doc.removeChild(doc.documentElement());
    EXPECT_TRUE(doc.isEmpty());
    EXPECT_TRUE(doc.selectNodes("/centro/materias/dmaterias").isEmpty());
    Element root = doc.createElement("centro");
    doc.appendChild(root);
    EXPECT_EQ(doc.documentElement(), root);
    EXPECT_EQ(doc.selectSingleNode("/centro"), root);
}

TEST(TreeTest, ElementsNeverAppendedAreNotWritten) {
    Document doc;
    ASSERT_TRUE(doc.loadFromBytes("<centro/>").ok());
    Element lost = doc.createElement("suelto");
    lost.appendChild(doc.createElement("hijo"));
    EXPECT_TRUE(doc.selectNodes("/suelto").isEmpty());
    // Absolute paths from a loose element still start at the document.
    EXPECT_EQ(lost.selectSingleNode("/centro"), doc.documentElement());
    EXPECT_EQ(doc.toBytes(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<centro/>\n");
}

struct MisuseCase {
    const char* name;
    std::function<void(Document& doc, Document& other)> action;
    QString message;
};

void PrintTo(const MisuseCase& c, std::ostream* os) { *os << c.name; }

class MisuseTest : public ::testing::TestWithParam<MisuseCase> {};

TEST_P(MisuseTest, RaisesAndChangesNothing) {
    Document doc;
    Document other;
    ASSERT_TRUE(doc.loadFromBytes("<centro a=\"1\"><materias/></centro>").ok());
    ASSERT_TRUE(other.loadFromBytes("<otro/>").ok());
    const QByteArray before = doc.toBytes();
    EXPECT_EQ(errorMessageOf([&] { GetParam().action(doc, other); }), GetParam().message);
    EXPECT_EQ(doc.toBytes(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MisuseTest,
    ::testing::Values(
        MisuseCase{"second_root", [](Document& d, Document&) { d.appendChild(d.createElement("centro")); },
                   "No se puede añadir el elemento 'centro' al documento: ya tiene la raíz 'centro'."},
        MisuseCase{"remove_a_grandchild",
                   [](Document& d, Document&) { d.removeChild(d.selectSingleNode("/centro/materias")); },
                   "No se puede quitar el elemento 'materias' del documento: no es su raíz."},
        MisuseCase{"remove_a_loose_element", [](Document& d, Document&) { d.removeChild(d.createElement("x")); },
                   "No se puede quitar el elemento 'x' del documento: no es su raíz."},
        MisuseCase{"remove_null", [](Document& d, Document&) { d.removeChild(Element()); },
                   "No se puede quitar el elemento '' del documento: no es su raíz."},
        MisuseCase{
            "append_into_itself",
            [](Document& d, Document&) { d.selectSingleNode("/centro/materias").appendChild(d.documentElement()); },
            "No se puede añadir el elemento 'centro' dentro de sí mismo."},
        MisuseCase{"element_of_another_document",
                   [](Document& d, Document& o) { d.documentElement().appendChild(o.documentElement()); },
                   "No se puede añadir el elemento 'otro' a 'centro': es de otro documento."},
        MisuseCase{"root_of_another_document", [](Document& d, Document& o) { d.appendChild(o.documentElement()); },
                   "No se puede añadir el elemento 'otro' al documento: es de otro documento."},
        MisuseCase{"append_null", [](Document& d, Document&) { d.documentElement().appendChild(Element()); },
                   "No se puede añadir un hijo a 'centro': el elemento es nulo."},
        MisuseCase{"set_on_null", [](Document&, Document&) { Element().setAttribute("a", QString("1")); },
                   "No se puede dar el atributo 'a': el elemento es nulo."},
        MisuseCase{"element_name_with_space", [](Document& d, Document&) { d.createElement("mi centro"); },
                   "'mi centro' no es un nombre de elemento XML válido."},
        MisuseCase{"element_name_with_prefix", [](Document& d, Document&) { d.createElement("x:centro"); },
                   "'x:centro' no es un nombre de elemento XML válido."},
        MisuseCase{"empty_attribute_name",
                   [](Document& d, Document&) { d.documentElement().setAttribute("", QString("1")); },
                   "'' no es un nombre de atributo XML válido."},
        MisuseCase{
            "control_character",
            [](Document& d, Document&) { d.documentElement().setAttribute("a", QStringLiteral("ab") + QChar(0x1A)); },
            "El valor del atributo 'a' del elemento 'centro' tiene en la posición 3 el carácter "
            "U+001A, que XML no admite."},
        MisuseCase{
            "lone_surrogate",
            [](Document& d, Document&) { d.documentElement().setAttribute("nuevo", QString(QChar(0xD800)) + "x"); },
            "El valor del atributo 'nuevo' del elemento 'centro' tiene en la posición 1 el carácter "
            "U+D800, que XML no admite."},
        MisuseCase{"non_character",
                   [](Document& d, Document&) { d.documentElement().setAttribute("a", QString(QChar(0xFFFF))); },
                   "El valor del atributo 'a' del elemento 'centro' tiene en la posición 1 el carácter "
                   "U+FFFF, que XML no admite."}));

}  // namespace
}  // namespace puente
