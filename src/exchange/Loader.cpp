#include "exchange/Loader.h"

#include "exchange/AttributeEntities.h"
#include "exchange/CompactAttributes.h"
#include "exchange/LibxmlGlue.h"
#include "platform/SystemErrors.h"

#include <libxml/parser.h>

#include <QFile>
#include <QFileInfo>

#include <libxml/SAX2.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <string>
#include <vector>
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

// What one parse keeps in its context's _private field (shared with the
// contexts libxml2 makes for the text of entities).
struct ParseState {
    ErrorCollector* errors = nullptr;
    Reading reading = Reading::Whole;
    AttributeStore* store = nullptr;  // ElementsOnly: where plain attributes go
    bool outOfMemory = false;         // the store could not keep a block
    xmlParserCtxtPtr main = nullptr;  // the document's own context
    int depth = 0;                    // elements open, the root being 1
    std::vector<int> lines;           // each open element's line, for the checks
    std::unique_ptr<AttributeEntityCounter> attributeBudget;
    std::set<std::string> seen;      // entities checked for "]]>"
    EntityProblem contentProblem;    // the first, or an empty message
    EntityProblem attributeProblem;  // the first, or an empty message
};

ParseState* stateOf(void* context) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(context);
    return ctxt ? static_cast<ParseState*>(ctxt->_private) : nullptr;
}

// The context's structured errors, passed on to the collector kept in the
// parse state.
void contextError(void* context, xmlErrorPtr error) {
    ParseState* state = stateOf(context);
    ErrorCollector::structuredHandler(state ? state->errors : nullptr, error);
}

// The partial readings: libxml2's own tree builder (SAX2) is called for
// everything outside the root element, for the root element itself and, in
// ElementsOnly, for the elements inside it; the rest of the root's content
// is parsed, and so checked, but not kept. Checked on the way instead of on
// the tree afterwards, for what the tree does not keep: the references in
// content that let "]]>" in, and in HeadOnly the budget of attribute entities
// (see AttributeEntities.h), as the whole tree would be checked, the first
// problem of each kept.
QByteArray joinedName(const xmlChar* prefix, const xmlChar* local) {
    QByteArray name(reinterpret_cast<const char*>(local));
    if (prefix) return QByteArray(reinterpret_cast<const char*>(prefix)) + ':' + name;
    return name;
}

// Whether the event belongs to the root's content in the document itself.
// The text of an entity is parsed in a context of its own, once, and kept
// with the entity's declaration, as a whole reading keeps it.
bool skipped(void* ctx, ParseState* state) { return ctx == state->main && state->depth > 0; }

// Counts the element's attribute entities against the document's budget.
void countAttributeEntities(xmlParserCtxtPtr ctxt, ParseState* state, const xmlChar* localname, const xmlChar* prefix,
                            int nbAttributes, const xmlChar** attributes, int line) {
    if (!state->attributeProblem.message.isEmpty() || !ctxt->myDoc) return;
    if (!state->attributeBudget)
        state->attributeBudget = std::make_unique<AttributeEntityCounter>(ctxt->myDoc, kMaxEntityExpansion);
    for (int i = 0; i < nbAttributes; ++i) {
        const xmlChar* value = attributes[5 * i + 3];
        const xmlChar* end = attributes[5 * i + 4];
        if (!value || !std::memchr(value, '&', size_t(end - value))) continue;
        if (!state->attributeBudget->count(value, end, joinedName(attributes[5 * i + 1], attributes[5 * i]),
                                           joinedName(prefix, localname), line, &state->attributeProblem))
            return;
    }
}

// ElementsOnly: the element made by libxml2's tree builder without its
// attributes, which go to the store instead (see CompactAttributes.h).
void keepElement(xmlParserCtxtPtr ctxt, ParseState* state, const xmlChar* localname, const xmlChar* prefix,
                 const xmlChar* URI, int nbNamespaces, const xmlChar** namespaces, int nbAttributes, int nbDefaulted,
                 const xmlChar** attributes) {
    // Defaulted attributes come last, and count only when the DTD's are
    // asked for, as the tree builder counts them.
    if (nbDefaulted > 0 && (ctxt->loadsubset & XML_COMPLETE_ATTRS) == 0) nbAttributes -= nbDefaulted;
    const int open = ctxt->nodeNr;
    xmlSAX2StartElementNs(ctxt, localname, prefix, URI, nbNamespaces, namespaces, 0, 0, nullptr);
    if (ctxt->nodeNr <= open || !ctxt->node) return;  // not made: libxml2 has said why
    if (!state->store->keep(ctxt->node, ctxt->dict, nbAttributes, attributes)) {
        state->outOfMemory = true;
        xmlStopParser(ctxt);
    }
}

void partialStartElement(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* URI,
                         int nbNamespaces, const xmlChar** namespaces, int nbAttributes, int nbDefaulted,
                         const xmlChar** attributes) {
    ParseState* state = stateOf(ctx);
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    if (ctx != state->main) {
        xmlSAX2StartElementNs(ctx, localname, prefix, URI, nbNamespaces, namespaces, nbAttributes, nbDefaulted,
                              attributes);
        return;
    }
    const int line = ctxt->input ? ctxt->input->line : 0;  // as SAX2 gives an element its line
    const bool root = state->depth++ == 0;
    if (!root) state->lines.push_back(line);
    if (state->reading == Reading::ElementsOnly && state->store && arePlainText(nbAttributes, attributes)) {
        keepElement(ctxt, state, localname, prefix, URI, nbNamespaces, namespaces, nbAttributes, nbDefaulted,
                    attributes);
    } else if (root || state->reading == Reading::ElementsOnly) {
        xmlSAX2StartElementNs(ctx, localname, prefix, URI, nbNamespaces, namespaces, nbAttributes, nbDefaulted,
                              attributes);
    }
    // Elements kept have their attributes checked on the tree.
    if (state->reading == Reading::HeadOnly)
        countAttributeEntities(ctxt, state, localname, prefix, nbAttributes, attributes, line);
}

void partialEndElement(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* URI) {
    ParseState* state = stateOf(ctx);
    if (ctx != state->main || --state->depth == 0) {
        xmlSAX2EndElementNs(ctx, localname, prefix, URI);
        return;
    }
    if (!state->lines.empty()) state->lines.pop_back();
    if (state->reading == Reading::ElementsOnly) xmlSAX2EndElementNs(ctx, localname, prefix, URI);
}

void partialCharacters(void* ctx, const xmlChar* text, int length) {
    if (!skipped(ctx, stateOf(ctx))) xmlSAX2Characters(ctx, text, length);
}

void partialIgnorableWhitespace(void* ctx, const xmlChar* text, int length) {
    if (!skipped(ctx, stateOf(ctx))) xmlSAX2IgnorableWhitespace(ctx, text, length);
}

void partialCdata(void* ctx, const xmlChar* text, int length) {
    if (!skipped(ctx, stateOf(ctx))) xmlSAX2CDataBlock(ctx, text, length);
}

void partialComment(void* ctx, const xmlChar* text) {
    if (!skipped(ctx, stateOf(ctx))) xmlSAX2Comment(ctx, text);
}

void partialProcessingInstruction(void* ctx, const xmlChar* target, const xmlChar* data) {
    if (!skipped(ctx, stateOf(ctx))) xmlSAX2ProcessingInstruction(ctx, target, data);
}

void partialReference(void* ctx, const xmlChar* name) {
    ParseState* state = stateOf(ctx);
    if (!skipped(ctx, state)) {
        xmlSAX2Reference(ctx, name);
        return;
    }
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    if (!state->contentProblem.message.isEmpty() || !ctxt->myDoc || !ctxt->myDoc->intSubset ||
        !ctxt->myDoc->intSubset->entities)
        return;
    if (contentReferenceHoldsCdataEnd(ctxt->myDoc, name, &state->seen)) {
        state->contentProblem.message = QStringLiteral("Sequence ']]>' not allowed in content");
        // The line of the element holding the reference: the innermost open
        // one, or the root.
        const xmlNode* root = xmlDocGetRootElement(ctxt->myDoc);
        state->contentProblem.line = state->lines.empty() ? (root ? int(xmlGetLineNo(root)) : 0) : state->lines.back();
    }
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

// The file being parsed, read as the parser asks for more.
struct FileInput {
    QFile file;
    QString problem;  // the system's words for a failed read; empty when none
};

int readFileInput(void* context, char* buffer, int length) {
    auto* input = static_cast<FileInput*>(context);
    const qint64 read = input->file.read(buffer, length);
    if (read < 0) {
        input->problem = FileErrorText(input->file);
        return -1;
    }
    return int(read);
}

// One parse with the options and guards above; `read` runs the parser on
// the context with the document's name as its URL (or null).
template <typename Read>
xmlDocPtr parseWith(const QString& name, LoadResult* result, Reading reading, AttributeStore* store, Read read) {
    *result = LoadResult{};
    ErrorCollector errors;
    std::unique_ptr<xmlParserCtxt, ContextDeleter> ctxt(xmlNewParserCtxt());
    if (!ctxt) {
        *result = failure(LoadResult::Status::Unreadable, ErrnoText(ENOMEM));
        return nullptr;
    }
    ParseState state;
    state.errors = &errors;
    state.main = ctxt.get();
    state.reading = reading;
    state.store = store;
    ctxt->_private = &state;
    ctxt->sax->serror = &contextError;
    if (reading != Reading::Whole) {
        ctxt->sax->startElementNs = &partialStartElement;
        ctxt->sax->endElementNs = &partialEndElement;
        ctxt->sax->characters = &partialCharacters;
        ctxt->sax->ignorableWhitespace = &partialIgnorableWhitespace;
        ctxt->sax->cdataBlock = &partialCdata;
        ctxt->sax->comment = &partialComment;
        ctxt->sax->processingInstruction = &partialProcessingInstruction;
        ctxt->sax->reference = &partialReference;
    }
    ctxt->sax->resolveEntity = &refuseEntity;
    ctxt->sax->externalSubset = &ignoreExternalSubset;

    const QByteArray url = name.isEmpty() ? QByteArray() : QFile::encodeName(name);
    xmlDocPtr doc = read(ctxt.get(), url.isEmpty() ? nullptr : url.constData());
    if (state.outOfMemory) {
        xmlFreeDoc(doc);
        *result = failure(LoadResult::Status::Unreadable, ErrnoText(ENOMEM));
        return nullptr;
    }
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
        if (e.message.isEmpty()) e.message = QStringLiteral("el analizador XML no dio motivo");
        const auto status =
            e.code == XML_ERR_NO_MEMORY ? LoadResult::Status::Unreadable : LoadResult::Status::NotWellFormed;
        *result = failure(status, e.message, e.line, e.column);
        return nullptr;
    }
    EntityProblem problem;
    if (reading != Reading::Whole) {
        // The problems met on the way, in the order the whole tree's checks
        // give them; then what the tree kept checked as a whole reading is.
        if (!state.contentProblem.message.isEmpty()) {
            problem = state.contentProblem;
        } else if (!state.attributeProblem.message.isEmpty()) {
            problem = state.attributeProblem;
        }
        if (!problem.message.isEmpty()) {
            xmlFreeDoc(doc);
            *result = failure(LoadResult::Status::NotWellFormed, problem.message, problem.line);
            return nullptr;
        }
    }
    if (!checkContentEntities(doc, &problem) || !resolveAttributeEntities(doc, kMaxEntityExpansion, &problem)) {
        xmlFreeDoc(doc);
        *result = failure(LoadResult::Status::NotWellFormed, problem.message, problem.line);
        return nullptr;
    }
    return doc;
}

}  // namespace

xmlDocPtr parseDocumentFile(const QString& path, LoadResult* result, Reading reading, AttributeStore* store) {
    const QFileInfo info(path);
    if (!info.exists()) {
        *result = failure(LoadResult::Status::Missing, ErrnoText(ENOENT));
        return nullptr;
    }
    if (info.isDir()) {
        *result = failure(LoadResult::Status::Unreadable, ErrnoText(EISDIR));
        return nullptr;
    }
    FileInput input;
    input.file.setFileName(path);
    if (!input.file.open(QIODevice::ReadOnly)) {
        *result = failure(LoadResult::Status::Unreadable, FileErrorText(input.file));
        return nullptr;
    }
    xmlDocPtr doc = parseWith(path, result, reading, store, [&input](xmlParserCtxtPtr ctxt, const char* url) {
        return xmlCtxtReadIO(ctxt, &readFileInput, nullptr, &input, url, nullptr, kParseOptions);
    });
    // A read that failed half-way is the file's fault, not the document's.
    if (!input.problem.isEmpty()) {
        xmlFreeDoc(doc);
        *result = failure(LoadResult::Status::Unreadable, input.problem);
        return nullptr;
    }
    return doc;
}

xmlDocPtr parseDocument(const QByteArray& bytes, const QString& name, LoadResult* result, Reading reading,
                        AttributeStore* store) {
    if (bytes.size() > INT_MAX) {  // libxml2 takes the length as an int
        *result = failure(LoadResult::Status::Unreadable, ErrnoText(EFBIG));
        return nullptr;
    }
    return parseWith(name, result, reading, store, [&bytes](xmlParserCtxtPtr ctxt, const char* url) {
        return xmlCtxtReadMemory(ctxt, bytes.constData(), int(bytes.size()), url, nullptr, kParseOptions);
    });
}

}  // namespace puente::xml
