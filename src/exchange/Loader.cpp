#include "exchange/Loader.h"

#include "exchange/AttributeEntities.h"
#include "exchange/LibxmlGlue.h"
#include "platform/SystemErrors.h"

#include <libxml/parser.h>

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <memory>

namespace puente::xml {

namespace {

// What the parser may do: no network, big line numbers for messages, short
// texts kept inside their node (XML_PARSE_COMPACT, fewer allocations for the
// many short attribute values; such a text must never be changed in place,
// and nothing here does: loaded text is only read, freed or replaced), and
// attributes that the internal DTD subset declares with a default or #FIXED
// value added to the elements that lack them (XML_PARSE_DTDATTR), as any DOM
// shows them. DTDATTR also asks for the external subset and for external
// parameter entities; both are refused below and by the process's entity
// loader, so only the internal subset counts. Left out on purpose:
// XML_PARSE_NOENT (substitutes entities, loads external ones),
// XML_PARSE_DTDLOAD / DTDVALID (read external DTDs), XML_PARSE_XINCLUDE,
// XML_PARSE_HUGE (lifts the depth, text and expansion limits),
// XML_PARSE_RECOVER (would accept a broken document).
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_BIG_LINES | XML_PARSE_COMPACT | XML_PARSE_DTDATTR;

// The parser's own entry points for external entities and the external
// subset refuse too (a second guard besides the options and the process's
// entity loader, see ensureInitialized).
xmlParserInputPtr refuseEntity(void*, const xmlChar*, const xmlChar*) { return nullptr; }
void ignoreExternalSubset(void*, const xmlChar*, const xmlChar*, const xmlChar*) {}

// The context's structured errors, passed on to the collector kept in the
// context's _private field.
void contextError(void* context, xmlErrorPtr error) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(context);
    ErrorCollector::structuredHandler(ctxt ? ctxt->_private : nullptr, error);
}

struct ContextDeleter {
    void operator()(xmlParserCtxtPtr ctxt) const { xmlFreeParserCtxt(ctxt); }
};

LoadResult failure(LoadResult::Status status, QString message, int line = 0, int column = 0) {
    LoadResult r;
    r.status = status;
    r.message = std::move(message);
    r.line = line;
    r.column = column;
    return r;
}

}  // namespace

LoadResult readDocumentFile(const QString& path, QByteArray* bytes) {
    const QFileInfo info(path);
    if (!info.exists())
        return failure(LoadResult::Status::Missing, ErrnoText(ENOENT));
    if (info.isDir())
        return failure(LoadResult::Status::Unreadable, ErrnoText(EISDIR));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(LoadResult::Status::Unreadable, FileErrorText(file));
    if (file.size() > INT_MAX)  // libxml2 takes the length as an int
        return failure(LoadResult::Status::Unreadable, ErrnoText(EFBIG));
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failure(LoadResult::Status::Unreadable, FileErrorText(file));
    return LoadResult{};
}

xmlDocPtr parseDocument(const QByteArray& bytes, const QString& name, LoadResult* result) {
    *result = LoadResult{};
    if (bytes.size() > INT_MAX) {
        *result = failure(LoadResult::Status::Unreadable, ErrnoText(EFBIG));
        return nullptr;
    }
    ErrorCollector errors;
    std::unique_ptr<xmlParserCtxt, ContextDeleter> ctxt(xmlNewParserCtxt());
    if (!ctxt) {
        *result = failure(LoadResult::Status::Unreadable, ErrnoText(ENOMEM));
        return nullptr;
    }
    ctxt->_private = &errors;
    ctxt->sax->serror = &contextError;
    ctxt->sax->resolveEntity = &refuseEntity;
    ctxt->sax->externalSubset = &ignoreExternalSubset;

    const QByteArray url = name.isEmpty() ? QByteArray() : QFile::encodeName(name);
    xmlDocPtr doc = xmlCtxtReadMemory(ctxt.get(), bytes.constData(), int(bytes.size()),
                                      url.isEmpty() ? nullptr : url.constData(), nullptr,
                                      kParseOptions);
    // A namespace error (an undeclared prefix) leaves libxml2's tree usable,
    // but the document is not one that other XML readers accept.
    const bool wellFormed = doc && ctxt->wellFormed && ctxt->nsWellFormed;
    if (!wellFormed) {
        xmlFreeDoc(doc);
        CollectedError e = errors.first();
        if (!e.any) {
            e.message = fromXml(reinterpret_cast<const xmlChar*>(ctxt->lastError.message)).trimmed();
            e.code = ctxt->lastError.code;
            e.line = ctxt->lastError.line;
            e.column = ctxt->lastError.int2;
        }
        if (e.message.isEmpty())
            e.message = QStringLiteral("el analizador XML no dio motivo");
        const auto status = e.code == XML_ERR_NO_MEMORY ? LoadResult::Status::Unreadable
                                                        : LoadResult::Status::NotWellFormed;
        *result = failure(status, e.message, e.line, e.column);
        return nullptr;
    }
    EntityProblem problem;
    if (!checkContentEntities(doc, &problem) ||
        !resolveAttributeEntities(doc, kMaxEntityExpansion, &problem)) {
        xmlFreeDoc(doc);
        *result = failure(LoadResult::Status::NotWellFormed, problem.message, problem.line);
        return nullptr;
    }
    return doc;
}

}  // namespace puente::xml
