// Reading an exchange document into a libxml2 tree: the file, read as it is
// parsed, the parser's options and what it may not do, and the outcome as a
// LoadResult.
#pragma once

#include "exchange/Document.h"

#include <libxml/tree.h>

#include <QByteArray>
#include <QString>

namespace puente::xml {

class AttributeStore;

// A new tree from the file at `path`, read as it is parsed, or nullptr with
// *result saying why: Missing when no file is there, Unreadable (with the
// system's words) when it is a folder or cannot be read, NotWellFormed with
// the parser's message and place.
xmlDocPtr parseDocumentFile(const QString& path, LoadResult* result, Reading reading, AttributeStore* store);

// The same from `bytes`; `name` is the document's file name or empty.
//
// Both never load an external DTD or an external entity and never touch the
// network; attributes that the internal DTD subset declares with a default
// or #FIXED value are there on every element that lacks them; entity
// references in attribute values come back already replaced by their text.
// Every Reading refuses exactly what Whole refuses (see Document.h for what
// each keeps). ElementsOnly keeps plain attribute values in `store` when it
// is given (see CompactAttributes.h); the store must outlive the tree.
xmlDocPtr parseDocument(const QByteArray& bytes, const QString& name, LoadResult* result, Reading reading,
                        AttributeStore* store);

}  // namespace puente::xml
