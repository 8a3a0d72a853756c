#include "exchange/Serializer.h"

#include "exchange/LibxmlGlue.h"

#include <libxml/parser.h>

namespace puente::xml {

namespace {

// Written when the loaded document declared no encoding (or none was loaded).
constexpr char kDefaultEncoding[] = "UTF-8";

// Whether libxml2 reads back what it writes in `encoding`. It reads a few
// encodings that it cannot write readably (UTF-7, UCS-4 with a byte order
// mark): a one-element document written in it and parsed again tells.
bool readsBack(const char* encoding) {
    xmlDocPtr probe = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    xmlDocSetRootElement(probe, xmlNewDocNode(probe, nullptr, reinterpret_cast<const xmlChar*>("a"), nullptr));
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(probe, &text, &size, encoding, 0);
    xmlFreeDoc(probe);
    if (!text) return false;
    xmlDocPtr again = xmlReadMemory(reinterpret_cast<const char*>(text), size, nullptr, nullptr,
                                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    xmlFree(text);
    const xmlNode* root = again ? xmlDocGetRootElement(again) : nullptr;
    const bool ok = root && xmlStrEqual(root->name, reinterpret_cast<const xmlChar*>("a"));
    xmlFreeDoc(again);
    return ok;
}

}  // namespace

const char* outputEncoding(xmlDocPtr doc) {
    const char* encoding = doc->encoding ? reinterpret_cast<const char*>(doc->encoding) : kDefaultEncoding;
    if (doc->encoding && !readsBack(encoding)) encoding = kDefaultEncoding;
    return encoding;
}

QString encodingNotWritten(const char* encoding) {
    return QStringLiteral("no se puede escribir en la codificación %1").arg(QString::fromUtf8(encoding));
}

bool serialize(xmlDocPtr doc, Written* out, QString* reason) {
    ErrorCollector errors;
    const char* encoding = outputEncoding(doc);
    // format 1 indents only elements whose children are all elements;
    // libxml2 writes any element holding text (line breaks included) as it
    // stands, and so leaves loaded content as it was.
    xmlDocDumpFormatMemoryEnc(doc, &out->text, &out->size, encoding, 1);
    if (!out->text) {
        *reason = encodingNotWritten(encoding);
        if (errors.first().any) *reason += QStringLiteral(" (%1)").arg(errors.first().message);
        return false;
    }
    return true;
}

}  // namespace puente::xml
