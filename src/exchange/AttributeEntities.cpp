#include "exchange/AttributeEntities.h"

#include "exchange/LibxmlGlue.h"

#include <libxml/entities.h>

#include <QByteArray>

#include <cstring>
#include <set>
#include <string>

namespace puente::xml {

namespace {

// Deeper nesting than this is refused; libxml2 has already refused loops.
constexpr int kMaxEntityDepth = 40;

bool isXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// The code point of a character reference body ("#233", "#xE9"); 0 when it
// is not a valid one.
char32_t characterReference(const char* body, size_t length) {
    if (length < 2 || body[0] != '#') return 0;
    const bool hex = body[1] == 'x';
    size_t i = hex ? 2 : 1;
    if (i == length) return 0;
    char32_t value = 0;
    for (; i < length; ++i) {
        const char ch = body[i];
        int digit;
        if (ch >= '0' && ch <= '9')
            digit = ch - '0';
        else if (hex && ch >= 'a' && ch <= 'f')
            digit = ch - 'a' + 10;
        else if (hex && ch >= 'A' && ch <= 'F')
            digit = ch - 'A' + 10;
        else
            return 0;
        value = value * (hex ? 16 : 10) + char32_t(digit);
        if (value > 0x10FFFF) return 0;
    }
    return isXmlChar(value) ? value : 0;
}

}  // namespace

class Expander {
public:
    Expander(xmlDocPtr doc, qsizetype budget) : doc_(doc), budget_(budget) {}

    bool tooMuch() const { return tooMuch_; }
    bool tooDeep() const { return tooDeep_; }

    // Appends the text that the reference &name; stands for in an
    // attribute value.
    bool appendEntity(const xmlChar* name, QByteArray* out, int depth) {
        if (depth > kMaxEntityDepth) {
            tooDeep_ = true;
            return false;
        }
        xmlEntityPtr entity = xmlGetDocEntity(doc_, name);
        if (!entity || !entity->content) return true;  // undeclared or not loaded: no text
        switch (entity->etype) {
        case XML_INTERNAL_PREDEFINED_ENTITY:
            return append(out, reinterpret_cast<const char*>(entity->content),
                          std::strlen(reinterpret_cast<const char*>(entity->content)));
        case XML_INTERNAL_GENERAL_ENTITY:
            return appendReplacementText(reinterpret_cast<const char*>(entity->content), out, depth);
        default: return true;  // external entities are never read
        }
    }

private:
    // The replacement text as stored by libxml2: character references in
    // the declaration already resolved, every '&' left in it starts a
    // reference to resolve now.
    bool appendReplacementText(const char* text, QByteArray* out, int depth) {
        const char* p = text;
        while (*p) {
            if (*p == '&') {
                const char* end = std::strchr(p, ';');
                if (!end) return append(out, p, std::strlen(p));
                const char* body = p + 1;
                const size_t length = size_t(end - body);
                if (length > 0 && body[0] == '#') {
                    if (const char32_t c = characterReference(body, length)) {
                        const QByteArray utf8 = QString::fromUcs4(&c, 1).toUtf8();
                        if (!append(out, utf8.constData(), size_t(utf8.size()))) return false;
                    }
                } else {
                    const QByteArray entityName(body, qsizetype(length));
                    if (!appendEntity(asXml(entityName), out, depth + 1)) return false;
                }
                p = end + 1;
            } else if (*p == '\t' || *p == '\n' || *p == '\r') {
                // Attribute value normalisation: white space from the
                // replacement text becomes a space.
                if (!append(out, " ", 1)) return false;
                ++p;
            } else {
                const char* run = p;
                while (*p && *p != '&' && *p != '\t' && *p != '\n' && *p != '\r') ++p;
                if (!append(out, run, size_t(p - run))) return false;
            }
        }
        return true;
    }

    bool append(QByteArray* out, const char* data, size_t length) {
        if (qsizetype(length) > budget_) {
            tooMuch_ = true;
            return false;
        }
        budget_ -= qsizetype(length);
        out->append(data, qsizetype(length));
        return true;
    }

    xmlDocPtr doc_;
    qsizetype budget_;
    bool tooMuch_ = false;
    bool tooDeep_ = false;
};

namespace {

void describeProblem(const Expander& expander, qsizetype budget, const QString& attributeName,
                     const QString& elementName, int line, EntityProblem* problem) {
    problem->message = expander.tooDeep() ? QStringLiteral(
                                                "las entidades del atributo '%1' del elemento '%2' se anidan "
                                                "más de %3 niveles")
                                                .arg(attributeName, elementName)
                                                .arg(kMaxEntityDepth)
                                          : QStringLiteral(
                                                "las entidades de los atributos dan más de %1 bytes de texto "
                                                "(al llegar al atributo '%2' del elemento '%3')")
                                                .arg(budget)
                                                .arg(attributeName, elementName);
    problem->line = line;
}

bool hasEntityReference(const xmlAttr* attribute) {
    for (const xmlNode* child = attribute->children; child; child = child->next) {
        if (child->type == XML_ENTITY_REF_NODE) return true;
    }
    return false;
}

// The next node in document order, not entering entity references (their
// children belong to the entity's declaration).
xmlNodePtr nextNode(xmlNodePtr node, xmlNodePtr top) {
    if (node->type == XML_ELEMENT_NODE && node->children) return node->children;
    while (node != top) {
        if (node->next) return node->next;
        node = node->parent;
    }
    return nullptr;
}

}  // namespace

bool resolveAttributeEntities(xmlDocPtr doc, qsizetype budget, EntityProblem* problem) {
    if (!doc->intSubset || !doc->intSubset->entities) return true;  // no entity declared: nothing to resolve
    Expander expander(doc, budget);
    xmlNodePtr top = reinterpret_cast<xmlNodePtr>(doc);
    for (xmlNodePtr node = doc->children; node; node = nextNode(node, top)) {
        if (node->type != XML_ELEMENT_NODE) continue;
        for (xmlAttrPtr attribute = node->properties; attribute; attribute = attribute->next) {
            if (!hasEntityReference(attribute)) continue;
            QByteArray value;
            bool ok = true;
            for (xmlNodePtr child = attribute->children; child && ok; child = child->next) {
                if (child->type == XML_ENTITY_REF_NODE) {
                    ok = expander.appendEntity(child->name, &value, 1);
                } else if (child->content) {
                    value.append(reinterpret_cast<const char*>(child->content));
                }
            }
            if (!ok) {
                describeProblem(expander, budget, QString::fromUtf8(qualifiedName(attribute)),
                                QString::fromUtf8(qualifiedName(node)), int(xmlGetLineNo(node)), problem);
                return false;
            }
            xmlFreeNodeList(attribute->children);
            xmlNodePtr text = xmlNewDocTextLen(doc, asXml(value), int(value.size()));
            if (text) text->parent = reinterpret_cast<xmlNodePtr>(attribute);
            attribute->children = text;
            attribute->last = text;
        }
    }
    return true;
}

namespace {

// Whether the entity `name`, or one that its text names, holds "]]>".
// `seen` keeps each entity to one look (libxml2 has refused loops already).
bool holdsCdataEnd(xmlDocPtr doc, const xmlChar* name, std::set<std::string>* seen, int depth) {
    if (depth > kMaxEntityDepth || !seen->insert(reinterpret_cast<const char*>(name)).second) return false;
    xmlEntityPtr entity = xmlGetDocEntity(doc, name);
    if (!entity || !entity->content || entity->etype != XML_INTERNAL_GENERAL_ENTITY) return false;
    const char* text = reinterpret_cast<const char*>(entity->content);
    if (std::strstr(text, "]]>")) return true;
    for (const char* p = std::strchr(text, '&'); p; p = std::strchr(p + 1, '&')) {
        const char* end = std::strchr(p, ';');
        if (!end) break;
        if (p[1] != '#' && end > p + 1) {
            const QByteArray inner(p + 1, qsizetype(end - p - 1));
            if (holdsCdataEnd(doc, asXml(inner), seen, depth + 1)) return true;
        }
    }
    return false;
}

}  // namespace

bool contentReferenceHoldsCdataEnd(xmlDocPtr doc, const xmlChar* name, std::set<std::string>* seen) {
    return holdsCdataEnd(doc, name, seen, 1);
}

AttributeEntityCounter::AttributeEntityCounter(xmlDocPtr doc, qsizetype budget)
    : expander_(std::make_unique<Expander>(doc, budget)), doc_(doc), budget_(budget) {}

AttributeEntityCounter::~AttributeEntityCounter() = default;

bool AttributeEntityCounter::count(const xmlChar* value, const xmlChar* end, const QByteArray& attributeName,
                                   const QByteArray& elementName, int line, EntityProblem* problem) {
    if (!doc_->intSubset || !doc_->intSubset->entities) return true;  // as resolveAttributeEntities: nothing to resolve
    const char* p = reinterpret_cast<const char*>(value);
    const char* const stop = reinterpret_cast<const char*>(end);
    QByteArray text;  // the expansion, counted and let go
    while ((p = static_cast<const char*>(std::memchr(p, '&', size_t(stop - p))))) {
        const char* semicolon = static_cast<const char*>(std::memchr(p, ';', size_t(stop - p)));
        if (!semicolon) break;
        // Character references are text; predefined entities have been
        // replaced by the parser already (a '&' among them as "&#38;").
        if (p[1] != '#') {
            const QByteArray name(p + 1, qsizetype(semicolon - p - 1));
            const xmlEntityPtr entity = xmlGetDocEntity(doc_, asXml(name));
            if (!entity || entity->etype != XML_INTERNAL_PREDEFINED_ENTITY) {
                if (!expander_->appendEntity(asXml(name), &text, 1)) {
                    describeProblem(*expander_, budget_, QString::fromUtf8(attributeName),
                                    QString::fromUtf8(elementName), line, problem);
                    return false;
                }
            }
        }
        p = semicolon + 1;
    }
    return true;
}

bool checkContentEntities(xmlDocPtr doc, EntityProblem* problem) {
    if (!doc->intSubset || !doc->intSubset->entities) return true;
    std::set<std::string> seen;
    xmlNodePtr top = reinterpret_cast<xmlNodePtr>(doc);
    for (xmlNodePtr node = doc->children; node; node = nextNode(node, top)) {
        if (node->type != XML_ENTITY_REF_NODE || !holdsCdataEnd(doc, node->name, &seen, 1)) continue;
        problem->message = QStringLiteral("Sequence ']]>' not allowed in content");
        problem->line = node->parent ? int(xmlGetLineNo(node->parent)) : 0;
        return false;
    }
    return true;
}

}  // namespace puente::xml
