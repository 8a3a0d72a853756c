#include "exchange/Document.h"

#include "platform/AtomicFile.h"

#include "common/Error.h"
#include "exchange/ElementPath.h"
#include "exchange/Loader.h"
#include "exchange/XmlSupport.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <QDir>

#include <new>

namespace puente {

namespace {

// Written when the loaded document declared no encoding (or none was loaded).
constexpr char kDefaultEncoding[] = "UTF-8";

QString failedSave(const QString& path, const QString& reason) {
    return QStringLiteral("No se pudo guardar el documento '%1': %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

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

QString LoadResult::describe(const QString& path) const {
    const QString file = QDir::toNativeSeparators(path);
    switch (status) {
    case Status::Ok:
        return QString();
    case Status::Missing:
        return QStringLiteral("No existe el documento '%1'.").arg(file);
    case Status::Unreadable:
        return QStringLiteral("No se pudo leer el documento '%1': %2.").arg(file, message);
    case Status::NotWellFormed:
        break;
    }
    QString position;
    if (line > 0 && column > 0)
        position = QStringLiteral(" (línea %1, columna %2)").arg(line).arg(column);
    else if (line > 0)
        position = QStringLiteral(" (línea %1)").arg(line);
    return QStringLiteral("El documento '%1' no es un XML correcto: %2%3.").arg(file, message, position);
}

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
        throw Error(QStringLiteral("No se puede quitar el elemento '%1' del documento: no es su raíz.")
                        .arg(child.name()));
    }
    xmlUnlinkNode(child.node_);
    xmlFreeNode(child.node_);
}

Element Document::createElement(const QString& name) {
    const QByteArray utf8 = name.toUtf8();
    if (xmlValidateNCName(xml::asXml(utf8), 0) != 0)
        throw Error(QStringLiteral("'%1' no es un nombre de elemento XML válido.").arg(name));
    xmlNodePtr node = xmlNewDocNode(doc_, nullptr, xml::asXml(utf8), nullptr);
    if (!node)
        throw std::bad_alloc();
    detached_.append(node);
    return Element(node);
}

void Document::appendChild(Element child) {
    if (!child.node_)
        throw Error(QStringLiteral("No se puede añadir al documento un elemento nulo."));
    if (child.node_->doc != doc_) {
        throw Error(QStringLiteral("No se puede añadir el elemento '%1' al documento: es de otro documento.")
                        .arg(child.name()));
    }
    const xmlNodePtr root = xmlDocGetRootElement(doc_);
    if (root && root != child.node_) {
        throw Error(QStringLiteral("No se puede añadir el elemento '%1' al documento: ya tiene la raíz '%2'.")
                        .arg(child.name(), Element(root).name()));
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
        throw Error(QStringLiteral("No se pudo escribir el documento: %1.").arg(reason));
    return QByteArray(reinterpret_cast<const char*>(written.text), written.size);
}

void Document::save(const QString& path) const {
    if (isEmpty())
        throw Error(failedSave(path, QStringLiteral("no tiene elemento raíz")));
    Written written;  // written out from libxml2's own buffer, not copied
    QString reason;
    if (!serialize(doc_, &written, &reason))
        throw Error(failedSave(path, reason));
    QString failure;
    if (!WriteFileAtomically(path, written.bytes(), &failure)) throw Error(failedSave(path, failure));
}

}  // namespace puente
