// Reading an exchange document into a libxml2 tree: the file's bytes, the
// parser's options and what it may not do, and the outcome as a LoadResult.
#pragma once

#include "exchange/Document.h"

#include <libxml/tree.h>

#include <QByteArray>
#include <QString>

namespace puente::xml {

// The whole file in `bytes`; Missing when no file is at `path`, Unreadable
// (with the system's words) when it is a folder or cannot be read.
LoadResult readDocumentFile(const QString& path, QByteArray* bytes);

// A new tree from `bytes`, or nullptr with *result saying why. `name` is the
// document's file name or empty. Never loads an external DTD or an external
// entity, never touches the network; attributes that the internal DTD subset
// declares with a default or #FIXED value are there on every element that
// lacks them; entity references in attribute values come back already
// replaced by their text.
//
// HeadOnly reads the whole document and refuses it exactly as Whole does,
// but keeps only the head: the nodes outside the root element and the root
// element with its attributes (defaults included), without its content.
enum class Reading { Whole, HeadOnly };
xmlDocPtr parseDocument(const QByteArray& bytes, const QString& name, LoadResult* result,
                        Reading reading = Reading::Whole);

}  // namespace puente::xml
