// Entity references in attribute values, replaced by their text once, when
// the document is loaded.
//
// libxml2 keeps a reference to an internal entity inside an attribute value
// as a node, and expands it again on every read, without any bound: a small
// document with one 50 KB entity named 50,000 times in one attribute asks for
// 2.5 GB of text on each read. Resolving them once, under a budget for the
// whole document, keeps every later read cheap and bounded.
#pragma once

#include <libxml/tree.h>

#include <QByteArray>
#include <QString>

#include <memory>
#include <set>
#include <string>

namespace puente::xml {

struct EntityProblem {
    QString message;  // Spanish, names the attribute and element
    int line = 0;     // the element's line
};

// Replaces, in every attribute of `doc`, each entity reference by its
// replacement text (character references and nested entities resolved,
// white space normalised as XML does for attribute values). References to
// entities that were not loaded (external or undeclared) give no text.
// Returns false with *problem filled, the tree partly resolved, when the
// attributes together would need more than `budget` bytes of text from
// entities, or when entities nest too deep.
bool resolveAttributeEntities(xmlDocPtr doc, qsizetype budget, EntityProblem* problem);

// libxml2 checks an internal entity's text as element content only where the
// entity is named first. When that is inside an attribute value, a later
// reference in content goes through unchecked, and a text holding "]]>"
// (allowed in an attribute value, not in content) is let into the tree: the
// document loads, but written out it no longer does, here or in any other
// XML reader. Returns false with *problem filled when an entity named in
// element content has "]]>" in its text or in the text of an entity it
// names; the message is the one libxml2 gives for the same text when it is
// met in content first.
bool checkContentEntities(xmlDocPtr doc, EntityProblem* problem);

// The same two checks for a document read without keeping its elements, one
// reference or one attribute at a time, in document order.
//
// Whether a reference in element content to the entity `name` lets "]]>"
// in; `seen` is shared by all the references of one document.
bool contentReferenceHoldsCdataEnd(xmlDocPtr doc, const xmlChar* name, std::set<std::string>* seen);

class Expander;

// The budget of resolveAttributeEntities, spent attribute by attribute.
class AttributeEntityCounter {
public:
    AttributeEntityCounter(xmlDocPtr doc, qsizetype budget);
    ~AttributeEntityCounter();
    // Counts the entities of one attribute value as libxml2's parser hands
    // it over (entity references still written "&name;"); false, with
    // *problem filled as resolveAttributeEntities fills it, when the
    // attributes so far would need more than the budget, or nest too deep.
    bool count(const xmlChar* value, const xmlChar* end, const QByteArray& attributeName, const QByteArray& elementName,
               int line, EntityProblem* problem);

private:
    std::unique_ptr<Expander> expander_;
    xmlDocPtr doc_;
    qsizetype budget_;
};

}  // namespace puente::xml
