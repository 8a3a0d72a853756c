#include "exchange/DocumentStream.h"

#include "common/Messages.h"
#include "exchange/Document.h"
#include "exchange/LibxmlGlue.h"
#include "exchange/Serializer.h"
#include "platform/AtomicFile.h"

#include <libxml/HTMLtree.h>
#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlsave.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace puente {

namespace {

// Bytes gathered before they go through libxml2's encoder.
constexpr size_t kChunk = 64 * 1024;

}  // namespace

// The streamed elements are written by this class in libxml2's own layout
// (xmlsave.c, format 1): a start tag is closed with ">" and a line break at
// its first child, or with "/>" when the element ends without one; each
// element is indented by its depth (xmlTreeIndentString, at most
// xmlIndentTreeOutput's 60 characters) and followed by a line break; attribute
// values are escaped as libxml2 escapes them once the document has an
// encoding: & < > " and tab, line feed and carriage return as references,
// everything else as it is, for the encoder to turn into the output encoding
// (or into a character reference when the encoding cannot hold it). The
// declaration and the nodes outside the root are written as
// xmlDocContentDumpOutput writes them, by libxml2 itself.
//
// A document type that libxml2 takes for XHTML changes its layout; such a
// head is copied and the elements are built in the copy and saved whole.
struct DocumentStream::Private {
    QString path;
    xmlDocPtr head = nullptr;
    const char* encoding = nullptr;
    AtomicFileWriter file;
    QString failure;  // the first writing failure
    xmlOutputBufferPtr out = nullptr;
    std::string chunk;
    struct Open {
        std::string name;
        bool hasChildren = false;
    };
    std::vector<Open> open;
    QString rootName;  // of the streamed root, once started
    bool committed = false;
    std::string indent;  // the indentation of the deepest level
    int indentSize = 2;
    // The XHTML case: the elements built in a copy of the head.
    xmlDocPtr copy = nullptr;
    xmlNodePtr current = nullptr;

    explicit Private(const QString& p) : path(p), file(p) {}

    static int writeCallback(void* context, const char* data, int size) {
        auto* self = static_cast<Private*>(context);
        if (!self->file.write(data, size, &self->failure)) return -1;
        return size;
    }

    void flushChunk() {
        if (chunk.empty() || !out) return;
        xmlOutputBufferWrite(out, int(chunk.size()), chunk.data());
        chunk.clear();
    }
    void put(const char* data, size_t size) {
        chunk.append(data, size);
        if (chunk.size() >= kChunk) flushChunk();
    }
    void put(QByteArrayView text) { put(text.data(), size_t(text.size())); }
    void putIndent(size_t level) {
        if (!xmlIndentTreeOutput) return;
        put(indent.data(), std::min(indent.size(), level * size_t(indentSize)));
    }
    // The value in UTF-8, escaped as libxml2 escapes attribute values.
    void putEscaped(QStringView value) {
        const char16_t* p = reinterpret_cast<const char16_t*>(value.utf16());
        const char16_t* end = p + value.size();
        for (; p < end; ++p) {
            char32_t c = *p;
            if (c < 0x80) {
                switch (c) {
                case '\n': put("&#10;", 5); break;
                case '\r': put("&#13;", 5); break;
                case '\t': put("&#9;", 4); break;
                case '"': put("&quot;", 6); break;
                case '<': put("&lt;", 4); break;
                case '>': put("&gt;", 4); break;
                case '&': put("&amp;", 5); break;
                default: chunk.push_back(char(c));
                }
                continue;
            }
            if (QChar::isHighSurrogate(c) && p + 1 < end && QChar::isLowSurrogate(p[1])) {
                c = QChar::surrogateToUcs4(char16_t(c), p[1]);
                ++p;
            }
            char bytes[4];
            size_t n;
            if (c < 0x800) {
                bytes[0] = char(0xC0 | (c >> 6));
                bytes[1] = char(0x80 | (c & 0x3F));
                n = 2;
            } else if (c < 0x10000) {
                bytes[0] = char(0xE0 | (c >> 12));
                bytes[1] = char(0x80 | ((c >> 6) & 0x3F));
                bytes[2] = char(0x80 | (c & 0x3F));
                n = 3;
            } else {
                bytes[0] = char(0xF0 | (c >> 18));
                bytes[1] = char(0x80 | ((c >> 12) & 0x3F));
                bytes[2] = char(0x80 | ((c >> 6) & 0x3F));
                bytes[3] = char(0x80 | (c & 0x3F));
                n = 4;
            }
            put(bytes, n);
        }
        if (chunk.size() >= kChunk) flushChunk();
    }
    // Raises the first writing failure.
    void check() {
        if (!failure.isEmpty() || (out && out->error != 0)) {
            if (failure.isEmpty()) failure = xml::encodingNotWritten(encoding);
            throw messages::DocumentNotSaved(path, failure);
        }
    }
};

DocumentStream::DocumentStream(const Document& document, const QString& path) : d_(std::make_unique<Private>(path)) {
    xml::ErrorCollector errors;
    d_->head = document.doc_;
    d_->encoding = xml::outputEncoding(d_->head);
    const xmlDtdPtr dtd = xmlGetIntSubset(d_->head);
    if (dtd && xmlIsXHTML(dtd->SystemID, dtd->ExternalID) == 1) {
        d_->copy = xmlCopyDoc(d_->head, 1);
        if (!d_->copy) throw std::bad_alloc();
        if (xmlNodePtr root = xmlDocGetRootElement(d_->copy)) {
            xmlUnlinkNode(root);
            xmlFreeNode(root);
        }
        return;
    }

    xmlCharEncodingHandlerPtr encoder = xmlFindCharEncodingHandler(d_->encoding);
    if (!encoder) throw messages::DocumentNotSaved(path, xml::encodingNotWritten(d_->encoding));
    if (!d_->file.open(&d_->failure)) {
        xmlCharEncCloseFunc(encoder);
        throw messages::DocumentNotSaved(path, d_->failure);
    }
    d_->out = xmlOutputBufferCreateIO(&Private::writeCallback, nullptr, d_.get(), encoder);
    if (!d_->out) {
        xmlCharEncCloseFunc(encoder);
        throw std::bad_alloc();
    }
    const size_t indentLength = xmlTreeIndentString ? std::strlen(xmlTreeIndentString) : 0;
    if (indentLength > 0) {
        d_->indentSize = int(indentLength);
        for (size_t i = 0; i < 60 / indentLength; ++i) d_->indent += xmlTreeIndentString;
    }

    // The declaration, as xmlDocContentDumpOutput writes it.
    xmlDocPtr head = d_->head;
    d_->put("<?xml version=");
    const QByteArrayView version =
        head->version ? QByteArrayView(reinterpret_cast<const char*>(head->version)) : QByteArrayView("1.0");
    const char quote = version.contains('"') ? '\'' : '"';
    d_->put(&quote, 1);
    d_->put(version);
    d_->put(&quote, 1);
    d_->put(" encoding=\"");
    d_->put(d_->encoding, std::strlen(d_->encoding));
    d_->put("\"");
    if (head->standalone == 0)
        d_->put(" standalone=\"no\"");
    else if (head->standalone == 1)
        d_->put(" standalone=\"yes\"");
    d_->put("?>\n");
    d_->flushChunk();

    // The nodes outside the root, each followed by a line break, the
    // document's encoding being the output one while they are written (as
    // xmlDocContentDumpOutput has it).
    const xmlChar* declared = head->encoding;
    head->encoding = reinterpret_cast<const xmlChar*>(d_->encoding);
    const xmlNodePtr root = xmlDocGetRootElement(head);
    for (xmlNodePtr child = head->children; child; child = child->next) {
        if (child == root) continue;
        xmlNodeDumpOutput(d_->out, head, child, 0, 1, d_->encoding);
        if (child->type != XML_XINCLUDE_START && child->type != XML_XINCLUDE_END)
            xmlOutputBufferWrite(d_->out, 1, "\n");
    }
    head->encoding = declared;
    d_->check();
}

DocumentStream::~DocumentStream() {
    if (d_->out) xmlOutputBufferClose(d_->out);  // the file itself is dropped uncommitted
    xmlFreeDoc(d_->copy);
}

namespace {

void requireName(QByteArrayView name, const char* what) {
    const QByteArray copy = name.toByteArray();
    if (xmlValidateNCName(reinterpret_cast<const xmlChar*>(copy.constData()), 0) != 0)
        throw messages::NotAnXmlName(QString::fromUtf8(copy), QString::fromUtf8(what));
}

}  // namespace

void DocumentStream::startElement(QByteArrayView name) {
    requireName(name, "elemento");
    if (d_->open.empty() && !d_->rootName.isEmpty())
        throw messages::DocumentHasRoot(QString::fromUtf8(name), d_->rootName);
    if (d_->committed)
        throw messages::NullElement(
            QStringLiteral("escribir el elemento '%1' tras terminar el documento").arg(QString::fromUtf8(name)));
    if (d_->copy) {
        const QByteArray copy = name.toByteArray();
        xmlNodePtr node = xmlNewDocNode(d_->copy, nullptr, reinterpret_cast<const xmlChar*>(copy.constData()), nullptr);
        if (!node) throw std::bad_alloc();
        if (d_->current)
            xmlAddChild(d_->current, node);
        else
            xmlAddChild(reinterpret_cast<xmlNodePtr>(d_->copy), node);
        d_->current = node;
    } else {
        if (!d_->open.empty() && !d_->open.back().hasChildren) {
            d_->put(">\n");
            d_->open.back().hasChildren = true;
        }
        d_->putIndent(d_->open.size());
        d_->put("<");
        d_->put(name);
    }
    if (d_->open.empty()) d_->rootName = QString::fromUtf8(name);
    d_->open.push_back({std::string(name.data(), size_t(name.size())), false});
}

void DocumentStream::attribute(QByteArrayView name, QStringView value) {
    if (d_->open.empty())
        throw messages::NullElement(QStringLiteral("dar el atributo '%1'").arg(QString::fromUtf8(name)));
    if (d_->open.back().hasChildren)
        throw messages::NullElement(QStringLiteral("dar el atributo '%1' tras un hijo").arg(QString::fromUtf8(name)));
    requireName(name, "atributo");
    char32_t bad = 0;
    const qsizetype at = xml::firstNonXmlChar(value, &bad);
    if (at >= 0)
        throw messages::AttributeCharNotXml(QString::fromUtf8(name), QString::fromStdString(d_->open.back().name),
                                            at + 1, bad);
    if (d_->copy) {
        const QByteArray n = name.toByteArray();
        const QByteArray v = value.toUtf8();
        if (!xmlSetProp(d_->current, reinterpret_cast<const xmlChar*>(n.constData()),
                        reinterpret_cast<const xmlChar*>(v.constData())))
            throw std::bad_alloc();
        return;
    }
    d_->put(" ");
    d_->put(name);
    d_->put("=\"");
    d_->putEscaped(value);
    d_->put("\"");
}

void DocumentStream::attribute(QByteArrayView name, qint64 value) { attribute(name, QString::number(value)); }

void DocumentStream::endElement() {
    if (d_->open.empty()) throw messages::NullElement(QStringLiteral("cerrar un elemento"));
    const Private::Open element = d_->open.back();
    d_->open.pop_back();
    if (d_->copy) {
        d_->current =
            d_->current->parent && d_->current->parent->type == XML_ELEMENT_NODE ? d_->current->parent : nullptr;
        return;
    }
    if (element.hasChildren) {
        d_->putIndent(d_->open.size());
        d_->put("</");
        d_->put(element.name.data(), element.name.size());
        d_->put(">\n");
    } else {
        d_->put("/>\n");
    }
    d_->check();
}

void DocumentStream::commit() {
    if (!d_->open.empty())
        throw messages::NullElement(
            QStringLiteral("terminar el documento con '%1' abierto").arg(QString::fromStdString(d_->open.back().name)));
    if (d_->rootName.isEmpty()) throw messages::DocumentNotSaved(d_->path, QStringLiteral("no tiene elemento raíz"));
    if (d_->committed) return;
    if (d_->copy) {
        xml::Written written;
        QString reason;
        if (!xml::serialize(d_->copy, &written, &reason)) throw messages::DocumentNotSaved(d_->path, reason);
        if (!WriteFileAtomically(
                d_->path, QByteArray::fromRawData(reinterpret_cast<const char*>(written.text), written.size), &reason))
            throw messages::DocumentNotSaved(d_->path, reason);
        d_->committed = true;
        return;
    }
    xml::ErrorCollector errors;
    d_->flushChunk();
    const int closed = xmlOutputBufferClose(d_->out);
    d_->out = nullptr;
    if (closed < 0 && d_->failure.isEmpty()) d_->failure = xml::encodingNotWritten(d_->encoding);
    d_->check();
    if (!d_->file.commit(&d_->failure)) throw messages::DocumentNotSaved(d_->path, d_->failure);
    d_->committed = true;
}

}  // namespace puente
