// What the exchange document files share about libxml2: its one-time
// initialisation, the collection of its errors, and the conversion of its
// strings and names. Not part of the exchange layer's contract (Document.h is).
#pragma once

#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace puente::xml {

// Initialises libxml2 once per process; safe to call from any thread.
void ensureInitialized();

// The first error that libxml2 reports while an ErrorCollector is active on
// this thread: message without its trailing line break, and the position of
// the first error that knows one.
struct CollectedError {
    bool any = false;
    int code = 0;
    QString message;
    int line = 0;
    int column = 0;
};

// While alive, libxml2 reports every error and warning of this thread to the
// collector instead of printing it on stderr; the thread's previous handlers
// come back when it ends. Parser contexts report through
// ErrorCollector::structuredHandler with the collector as their user data.
class ErrorCollector {
public:
    ErrorCollector();
    ~ErrorCollector();
    ErrorCollector(const ErrorCollector&) = delete;
    ErrorCollector& operator=(const ErrorCollector&) = delete;

    const CollectedError& first() const { return first_; }

    static void structuredHandler(void* collector, xmlErrorPtr error);

private:
    void take(const xmlError& error);

    CollectedError first_;
    xmlStructuredErrorFunc oldStructured_;
    void* oldStructuredContext_;
    xmlGenericErrorFunc oldGeneric_;
    void* oldGenericContext_;
};

inline QString fromXml(const xmlChar* text) {
    return text ? QString::fromUtf8(reinterpret_cast<const char*>(text)) : QString();
}
inline const xmlChar* asXml(const QByteArray& utf8) { return reinterpret_cast<const xmlChar*>(utf8.constData()); }

// The node's name as written: "prefix:local", or "local" without a prefix.
QByteArray qualifiedName(const xmlNode* node);
QByteArray qualifiedName(const xmlAttr* attribute);

// The position of the first character that XML 1.0 does not allow in text
// (code units), or -1 when there is none; `codePoint` receives it (a lone
// surrogate gives its own value).
qsizetype firstNonXmlChar(QStringView text, char32_t* codePoint);

}  // namespace puente::xml
