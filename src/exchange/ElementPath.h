// Paths of element names ("/centro/materias/dmaterias") and their
// evaluation by a walk over the tree, in document order.
#pragma once

#include <libxml/tree.h>

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

namespace puente::xml {

struct PathStep {
    QByteArray prefix;  // empty: the element must be written without one
    QByteArray local;
};

struct ElementPath {
    bool absolute = false;  // starts at the document node
    std::vector<PathStep> steps;
};

// Raises a puente::Error for anything but '/'-separated element names, with
// or without a leading '/'.
ElementPath parseElementPath(const QString& path);

// The elements that `path` designates from `context` (an element or the
// document node; absolute paths start from its document), in document order;
// at most `limit` of them when limit > 0.
QList<xmlNodePtr> selectElements(xmlNodePtr context, const ElementPath& path, qsizetype limit = 0);

}  // namespace puente::xml
