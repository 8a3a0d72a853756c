#include "exchange/Document.h"

#include "common/Error.h"
#include "exchange/ElementPath.h"
#include "exchange/XmlSupport.h"

#include <libxml/tree.h>

#include <cstring>

namespace puente {

namespace {

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
    if (!node)
        throw Error(QStringLiteral("No se puede %1: el elemento es nulo.").arg(operation));
}

void requireName(const QByteArray& name, const QString& kind) {
    if (xmlValidateNCName(xml::asXml(name), 0) != 0)
        throw Error(QStringLiteral("'%1' no es un nombre de %2 XML válido.").arg(QString::fromUtf8(name), kind));
}

}  // namespace

QString Element::name() const {
    return node_ ? QString::fromUtf8(xml::qualifiedName(node_)) : QString();
}

std::optional<QString> Element::attribute(const QString& name) const {
    if (!node_)
        return std::nullopt;
    const QByteArray wanted = name.toUtf8();
    for (const xmlAttr* a = node_->properties; a; a = a->next) {
        if (hasName(a->ns, a->name, wanted))
            return valueOf(a);
    }
    return std::nullopt;
}

QStringList Element::attributeNames() const {
    QStringList names;
    if (!node_)
        return names;
    for (const xmlAttr* a = node_->properties; a; a = a->next)
        names.append(QString::fromUtf8(xml::qualifiedName(a)));
    return names;
}

void Element::setAttribute(const QString& name, const QString& value) {
    requireElement(node_, QStringLiteral("dar el atributo '%1'").arg(name));
    const QByteArray utf8Name = name.toUtf8();
    requireName(utf8Name, QStringLiteral("atributo"));
    char32_t bad = 0;
    const qsizetype at = xml::firstNonXmlChar(value, &bad);
    if (at >= 0) {
        throw Error(QStringLiteral("El valor del atributo '%1' del elemento '%2' tiene en la posición %3 "
                                   "el carácter U+%4, que XML no admite.")
                        .arg(name, this->name())
                        .arg(at + 1)
                        .arg(QString::number(uint(bad), 16).toUpper().rightJustified(4, u'0')));
    }
    // xmlSetProp stores the value as plain text: '&' or '<' in it are
    // characters, escaped when the document is written.
    if (!xmlSetProp(node_, xml::asXml(utf8Name), xml::asXml(value.toUtf8())))
        throw std::bad_alloc();
}

void Element::setAttribute(const QString& name, qint64 value) {
    setAttribute(name, QString::number(value));
}

void Element::appendChild(Element child) {
    requireElement(node_, QStringLiteral("añadir un hijo"));
    requireElement(child.node_, QStringLiteral("añadir un hijo a '%1'").arg(name()));
    if (child.node_->doc != node_->doc) {
        throw Error(QStringLiteral("No se puede añadir el elemento '%1' a '%2': es de otro documento.")
                        .arg(child.name(), name()));
    }
    for (const xmlNode* n = node_; n; n = n->parent) {
        if (n == child.node_) {
            throw Error(QStringLiteral("No se puede añadir el elemento '%1' dentro de sí mismo.")
                            .arg(child.name()));
        }
    }
    xmlUnlinkNode(child.node_);
    xmlAddChild(node_, child.node_);
    if (auto* owner = static_cast<Document*>(node_->doc->_private))
        owner->adopted(child.node_);
}

QList<Element> Element::childElements() const {
    QList<Element> children;
    if (!node_)
        return children;
    for (xmlNodePtr n = node_->children; n; n = n->next) {
        if (n->type == XML_ELEMENT_NODE)
            children.append(Element(n));
    }
    return children;
}

QList<Element> Element::selectNodes(const QString& path) const {
    const xml::ElementPath parsed = xml::parseElementPath(path);
    QList<Element> found;
    const QList<xmlNodePtr> nodes = xml::selectElements(node_, parsed);
    found.reserve(nodes.size());
    for (xmlNodePtr n : nodes)
        found.append(Element(n));
    return found;
}

Element Element::selectSingleNode(const QString& path) const {
    const QList<xmlNodePtr> nodes = xml::selectElements(node_, xml::parseElementPath(path), 1);
    return nodes.isEmpty() ? Element() : Element(nodes.first());
}

}  // namespace puente
