#include "exchange/Document.h"

#include "common/Messages.h"
#include "exchange/CompactAttributes.h"
#include "exchange/ElementPath.h"
#include "exchange/LibxmlGlue.h"

#include <libxml/tree.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace puente {

namespace {

// Texts shorter than this (zero ending included) fit in the two pointer
// fields that a text node does not use, where libxml2 keeps them too.
constexpr qsizetype kCompactText = qsizetype(2 * sizeof(void*));
static_assert(offsetof(xmlNode, nsDef) == offsetof(xmlNode, properties) + sizeof(void*),
              "a text node's properties and nsDef fields lie side by side");

// A text in UTF-8 with its ending zero: a short ASCII one (every name and
// most values the runs use) converted on the stack, any other through
// QString. Names and values are converted for every attribute read or set.
class Utf8Text {
public:
    explicit Utf8Text(QStringView text) {
        if (text.size() < qsizetype(sizeof inline_) &&
            std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; })) {
            for (qsizetype i = 0; i < text.size(); ++i) inline_[i] = char(text[i].unicode());
            inline_[text.size()] = '\0';
            data_ = inline_;
            size_ = text.size();
        } else {
            heap_ = text.toUtf8();
            data_ = heap_.constData();
            size_ = heap_.size();
        }
    }
    Utf8Text(const Utf8Text&) = delete;
    Utf8Text& operator=(const Utf8Text&) = delete;
    const char* data() const { return data_; }
    qsizetype size() const { return size_; }
    QByteArrayView view() const { return QByteArrayView(data_, size_); }
    const xmlChar* xml() const { return reinterpret_cast<const xmlChar*>(data_); }

private:
    char inline_[64];
    QByteArray heap_;
    const char* data_ = nullptr;
    qsizetype size_ = 0;
};

// Whether a name written with namespace `ns` and local part `local` is
// `wanted` as written ("prefix:local" or "local").
bool hasName(const xmlNs* ns, const xmlChar* local, QByteArrayView wanted) {
    const xmlChar* prefix = ns ? ns->prefix : nullptr;
    if (prefix) {
        const size_t prefixLength = std::strlen(reinterpret_cast<const char*>(prefix));
        if (size_t(wanted.size()) <= prefixLength || wanted[qsizetype(prefixLength)] != ':' ||
            std::memcmp(wanted.data(), prefix, prefixLength) != 0)
            return false;
        wanted = wanted.sliced(qsizetype(prefixLength) + 1);
    }
    const size_t localLength = std::strlen(reinterpret_cast<const char*>(local));
    return size_t(wanted.size()) == localLength && std::memcmp(wanted.data(), local, localLength) == 0;
}

QString valueOf(const xmlAttr* attribute) {
    const xmlNode* child = attribute->children;
    if (child && !child->next && child->content)  // the usual single text node
        return xml::fromXml(child->content);
    QByteArray value;
    for (; child; child = child->next) {
        if ((child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) && child->content)
            value.append(reinterpret_cast<const char*>(child->content));
    }
    return QString::fromUtf8(value);
}

void requireElement(const _xmlNode* node, const QString& operation) {
    if (!node) throw messages::NullElement(operation);
}

void requireName(const Utf8Text& name, const QString& kind) {
    if (xmlValidateNCName(name.xml(), 0) != 0) throw messages::NotAnXmlName(QString::fromUtf8(name.view()), kind);
}

}  // namespace

QString Element::name() const { return node_ ? QString::fromUtf8(xml::qualifiedName(node_)) : QString(); }

std::optional<QString> Element::attribute(const QString& name) const {
    if (!node_) return std::nullopt;
    const Utf8Text utf8Name(name);
    const QByteArrayView wanted = utf8Name.view();
    if (const xml::CompactAttributes* kept = xml::compactAttributes(node_)) {
        for (int i = 0; i < kept->count; ++i) {
            if (kept->items[i].nameView() == wanted) return QString::fromUtf8(kept->items[i].valueView());
        }
        return std::nullopt;
    }
    for (const xmlAttr* a = node_->properties; a; a = a->next) {
        if (hasName(a->ns, a->name, wanted)) return valueOf(a);
    }
    return std::nullopt;
}

QStringList Element::attributeNames() const {
    QStringList names;
    if (!node_) return names;
    if (const xml::CompactAttributes* kept = xml::compactAttributes(node_)) {
        for (int i = 0; i < kept->count; ++i) names.append(QString::fromUtf8(kept->items[i].nameView()));
        return names;
    }
    for (const xmlAttr* a = node_->properties; a; a = a->next) names.append(QString::fromUtf8(xml::qualifiedName(a)));
    return names;
}

void Element::setAttribute(const QString& name, const QString& value) {
    if (!node_)  // the message is made only when it is needed
        requireElement(node_, QStringLiteral("dar el atributo '%1'").arg(name));
    const Utf8Text utf8Name(name);
    requireName(utf8Name, QStringLiteral("atributo"));
    char32_t bad = 0;
    const qsizetype at = xml::firstNonXmlChar(value, &bad);
    if (at >= 0) {
        throw messages::AttributeCharNotXml(name, this->name(), at + 1, bad);
    }
    if (!xml::materialize(node_)) throw std::bad_alloc();
    // The value is stored as plain text: '&' or '<' in it are characters,
    // escaped when the document is written.
    const Utf8Text utf8Value(value);
    if (utf8Value.size() >= kCompactText) {
        if (!xmlSetProp(node_, utf8Name.xml(), utf8Value.xml())) throw std::bad_alloc();
        return;
    }
    // A short value is kept inside its text node, as the parser keeps short
    // texts (XML_PARSE_COMPACT): a result document holds millions of short
    // identifiers, and each would otherwise be a copy of its own to make and
    // to free. libxml2 knows such a text and never frees it on its own.
    xmlAttrPtr attribute = xmlSetProp(node_, utf8Name.xml(), nullptr);  // no children
    xmlNodePtr text = attribute ? xmlNewDocText(node_->doc, nullptr) : nullptr;
    if (!text) throw std::bad_alloc();
    auto* inside = reinterpret_cast<char*>(&text->properties);
    std::memcpy(inside, utf8Value.data(), size_t(utf8Value.size()) + 1);  // with its ending zero
    text->content = reinterpret_cast<xmlChar*>(inside);
    text->parent = reinterpret_cast<xmlNodePtr>(attribute);
    attribute->children = attribute->last = text;
}

void Element::setAttribute(const QString& name, qint64 value) { setAttribute(name, QString::number(value)); }

void Element::appendChild(Element child) {
    requireElement(node_, QStringLiteral("añadir un hijo"));
    if (!child.node_)  // the message is made only when it is needed
        requireElement(child.node_, QStringLiteral("añadir un hijo a '%1'").arg(name()));
    if (child.node_->doc != node_->doc) {
        throw messages::ElementOfAnotherDocument(child.name(), name());
    }
    for (const xmlNode* n = node_; n; n = n->parent) {
        if (n == child.node_) {
            throw messages::ElementInsideItself(child.name());
        }
    }
    xmlUnlinkNode(child.node_);
    xmlAddChild(node_, child.node_);
    if (auto* owner = static_cast<Document*>(node_->doc->_private)) owner->adopted(child.node_);
}

QList<Element> Element::childElements() const {
    QList<Element> children;
    if (!node_) return children;
    for (xmlNodePtr n = node_->children; n; n = n->next) {
        if (n->type == XML_ELEMENT_NODE) children.append(Element(n));
    }
    return children;
}

QList<Element> Element::selectNodes(const QString& path) const {
    const xml::ElementPath parsed = xml::parseElementPath(path);
    QList<Element> found;
    const QList<xmlNodePtr> nodes = xml::selectElements(node_, parsed);
    found.reserve(nodes.size());
    for (xmlNodePtr n : nodes) found.append(Element(n));
    return found;
}

Element Element::selectSingleNode(const QString& path) const {
    const QList<xmlNodePtr> nodes = xml::selectElements(node_, xml::parseElementPath(path), 1);
    return nodes.isEmpty() ? Element() : Element(nodes.first());
}

}  // namespace puente
