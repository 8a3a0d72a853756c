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

#include <QString>

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

}  // namespace puente::xml
