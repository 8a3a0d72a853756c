#include "exchange/Document.h"

#include "platform/AtomicFile.h"

#include "common/Messages.h"
#include "exchange/ElementPath.h"
#include "exchange/Loader.h"
#include "exchange/LibxmlGlue.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <QDir>

#include <new>

namespace puente {

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
    if (!text)
        return false;
    xmlDocPtr again = xmlReadMemory(reinterpret_cast<const char*>(text), size, nullptr, nullptr,
                                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    xmlFree(text);
    const xmlNode* root = again ? xmlDocGetRootElement(again) : nullptr;
    const bool ok = root && xmlStrEqual(root->name, reinterpret_cast<const xmlChar*>("a"));
    xmlFreeDoc(again);
    return ok;
}

// libxml2's buffer of a written document, freed with the holder.
struct Written {
    xmlChar* text = nullptr;
    int size = 0;
    Written() = default;
    Written(const Written&) = delete;
    Written& operator=(const Written&) = delete;
    ~Written() { xmlFree(text); }
    // The bytes, not copied: valid while the holder lives.
    QByteArray bytes() const { return QByteArray::fromRawData(reinterpret_cast<const char*>(text), size); }
};

// The document as bytes in its declared encoding (UTF-8 when it declared
// none, or one that would not read back); false with *reason when libxml2
// cannot write it.
bool serialize(xmlDocPtr doc, Written* out, QString* reason) {
    xml::ErrorCollector errors;
    const char* encoding = doc->encoding ? reinterpret_cast<const char*>(doc->encoding) : kDefaultEncoding;
    if (doc->encoding && !readsBack(encoding))
        encoding = kDefaultEncoding;
    // format 1 indents only elements whose children are all elements;
    // libxml2 writes any element holding text (line breaks included) as it
    // stands, and so leaves loaded content as it was.
    xmlDocDumpFormatMemoryEnc(doc, &out->text, &out->size, encoding, 1);
    if (!out->text) {
        *reason = QStringLiteral("no se puede escribir en la codificación %1").arg(QString::fromUtf8(encoding));
        if (errors.first().any)
            *reason += QStringLiteral(" (%1)").arg(errors.first().message);
        return false;
    }
    return true;
}

}  // namespace

Document::Document() {
    xml::ensureInitialized();
    clear();
}

Document::~Document() {
    // Created elements first: their names may live in the document's
    // dictionary.
    for (_xmlNode* node : detached_)
        xmlFreeNode(node);
    xmlFreeDoc(doc_);
}

void Document::clear() {
    for (_xmlNode* node : detached_)
        xmlFreeNode(node);
    detached_.clear();
    xmlFreeDoc(doc_);
    doc_ = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    if (!doc_)
        throw std::bad_alloc();
    doc_->_private = this;
}

LoadResult Document::load(const QString& path) {
    clear();
    QByteArray bytes;
    const LoadResult read = xml::readDocumentFile(path, &bytes);
    if (!read.ok())
        return read;
    return loadFromBytes(bytes, path);
}

LoadResult Document::loadFromBytes(const QByteArray& bytes, const QString& name) {
    clear();
    LoadResult result;
    xmlDocPtr parsed = xml::parseDocument(bytes, name, &result);
    if (parsed) {
        xmlFreeDoc(doc_);
        doc_ = parsed;
        doc_->_private = this;
    }
    return result;
}

bool Document::isEmpty() const { return xmlDocGetRootElement(doc_) == nullptr; }

QString Document::encoding() const { return xml::fromXml(doc_->encoding); }

QList<Element> Document::selectNodes(const QString& path) const {
    return Element(reinterpret_cast<xmlNodePtr>(doc_)).selectNodes(path);
}

Element Document::selectSingleNode(const QString& path) const {
    return Element(reinterpret_cast<xmlNodePtr>(doc_)).selectSingleNode(path);
}

Element Document::documentElement() const { return Element(xmlDocGetRootElement(doc_)); }

void Document::removeChild(Element child) {
    if (!child.node_ || child.node_->parent != reinterpret_cast<xmlNodePtr>(doc_)) {
        throw messages::NotTheRoot(child.name());
    }
    xmlUnlinkNode(child.node_);
    xmlFreeNode(child.node_);
}

Element Document::createElement(const QString& name) {
    const QByteArray utf8 = name.toUtf8();
    if (xmlValidateNCName(xml::asXml(utf8), 0) != 0)
        throw messages::NotAnXmlName(name, QStringLiteral("elemento"));
    xmlNodePtr node = xmlNewDocNode(doc_, nullptr, xml::asXml(utf8), nullptr);
    if (!node)
        throw std::bad_alloc();
    detached_.append(node);
    return Element(node);
}

void Document::appendChild(Element child) {
    if (!child.node_)
        throw messages::NullElementForDocument();
    if (child.node_->doc != doc_) {
        throw messages::ElementOfAnotherDocument(child.name(), QString());
    }
    const xmlNodePtr root = xmlDocGetRootElement(doc_);
    if (root && root != child.node_) {
        throw messages::DocumentHasRoot(child.name(), Element(root).name());
    }
    xmlUnlinkNode(child.node_);
    xmlAddChild(reinterpret_cast<xmlNodePtr>(doc_), child.node_);
    adopted(child.node_);
}

void Document::adopted(_xmlNode* node) {
    const qsizetype at = detached_.lastIndexOf(node);
    if (at >= 0)
        detached_.removeAt(at);
}

QByteArray Document::toBytes() const {
    Written written;
    QString reason;
    if (!serialize(doc_, &written, &reason))
        throw messages::DocumentNotWritten(reason);
    return QByteArray(reinterpret_cast<const char*>(written.text), written.size);
}

void Document::save(const QString& path) const {
    if (isEmpty())
        throw messages::DocumentNotSaved(path, QStringLiteral("no tiene elemento raíz"));
    Written written;  // written out from libxml2's own buffer, not copied
    QString reason;
    if (!serialize(doc_, &written, &reason))
        throw messages::DocumentNotSaved(path, reason);
    QString failure;
    if (!WriteFileAtomically(path, written.bytes(), &failure)) throw messages::DocumentNotSaved(path, failure);
}

}  // namespace puente
