// Writing a libxml2 tree as bytes: what Document::save() and DocumentStream
// share. Not part of the exchange layer's contract (Document.h is).
#pragma once

#include <libxml/tree.h>

#include <QString>

namespace puente::xml {

// The encoding a document is written in: the one it declared, or UTF-8 when
// it declared none or one that libxml2 would not read back.
const char* outputEncoding(xmlDocPtr doc);

// libxml2's buffer of a written document, freed with the holder.
struct Written {
    xmlChar* text = nullptr;
    int size = 0;
    Written() = default;
    Written(const Written&) = delete;
    Written& operator=(const Written&) = delete;
    ~Written() { xmlFree(text); }
};

// The document as bytes in its output encoding, indented as Document.h
// says; false with *reason when libxml2 cannot write it.
bool serialize(xmlDocPtr doc, Written* out, QString* reason);

// The reason given when libxml2 cannot write `encoding`.
QString encodingNotWritten(const char* encoding);

}  // namespace puente::xml
