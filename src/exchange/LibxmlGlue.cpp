#include "exchange/LibxmlGlue.h"

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <mutex>

namespace puente::xml {

namespace {

// The process's loader for DTDs and external entities: it loads nothing.
// The parser's options already keep it from asking; this holds even if an
// option slipped in that would.
xmlParserInputPtr loadNothing(const char*, const char*, xmlParserCtxtPtr) { return nullptr; }

}  // namespace

void ensureInitialized() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(&loadNothing);
    });
}

namespace {

// libxml2's unstructured messages (a few code paths still print through it)
// are dropped: everything worth reporting also arrives structured.
void dropGenericMessage(void*, const char*, ...) {}

}  // namespace

// libxml2 keeps its handlers per thread, so setting and restoring them here
// touches no other thread's reporting.
ErrorCollector::ErrorCollector()
    : oldStructured_(xmlStructuredError),
      oldStructuredContext_(xmlStructuredErrorContext),
      oldGeneric_(xmlGenericError),
      oldGenericContext_(xmlGenericErrorContext) {
    ensureInitialized();
    xmlSetStructuredErrorFunc(this, &ErrorCollector::structuredHandler);
    xmlSetGenericErrorFunc(nullptr, &dropGenericMessage);
}

ErrorCollector::~ErrorCollector() {
    xmlSetStructuredErrorFunc(oldStructuredContext_, oldStructured_);
    xmlSetGenericErrorFunc(oldGenericContext_, oldGeneric_);
}

void ErrorCollector::structuredHandler(void* collector, xmlErrorPtr error) {
    if (collector && error) static_cast<ErrorCollector*>(collector)->take(*error);
}

void ErrorCollector::take(const xmlError& error) {
    if (error.level < XML_ERR_ERROR) return;  // warnings do not make a document unusable
    if (!first_.any) {
        first_.any = true;
        first_.code = error.code;
        QString message = fromXml(reinterpret_cast<const xmlChar*>(error.message));
        while (!message.isEmpty() && message.back().isSpace()) message.chop(1);
        first_.message = message;
    }
    // Encoding errors arrive without a position; the parser error that
    // follows them at the same place has it.
    if (first_.line == 0 && error.line > 0) {
        first_.line = error.line;
        first_.column = error.domain == XML_FROM_PARSER || error.domain == XML_FROM_NAMESPACE ? error.int2 : 0;
    }
}

namespace {

QByteArray joinName(const xmlNs* ns, const xmlChar* local) {
    QByteArray name(reinterpret_cast<const char*>(local));
    if (ns && ns->prefix) return QByteArray(reinterpret_cast<const char*>(ns->prefix)) + ':' + name;
    return name;
}

}  // namespace

QByteArray qualifiedName(const xmlNode* node) { return joinName(node->ns, node->name); }
QByteArray qualifiedName(const xmlAttr* attribute) { return joinName(attribute->ns, attribute->name); }

qsizetype firstNonXmlChar(QStringView text, char32_t* codePoint) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        char32_t c = u;
        bool allowed;
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            c = QChar::surrogateToUcs4(u, text[i + 1].unicode());
            allowed = true;  // U+10000 to U+10FFFF
            ++i;
        } else if (QChar::isSurrogate(u)) {
            allowed = false;
        } else {
            // Char ::= #x9 | #xA | #xD | [#x20-#xD7FF] | [#xE000-#xFFFD] | ...
            allowed = u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u <= 0xFFFD);
        }
        if (!allowed) {
            if (codePoint) *codePoint = c;
            return i;
        }
    }
    return -1;
}

}  // namespace puente::xml
