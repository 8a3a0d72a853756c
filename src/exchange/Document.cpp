#include "exchange/Document.h"

#include "platform/AtomicFile.h"

#include "common/Messages.h"
#include "exchange/CompactAttributes.h"
#include "exchange/ElementPath.h"
#include "exchange/Loader.h"
#include "exchange/LibxmlGlue.h"
#include "exchange/Serializer.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <QDir>

#include <new>

namespace puente {

using xml::serialize;
using xml::Written;

Document::Document() {
    xml::ensureInitialized();
    clear();
}

Document::~Document() {
    // Created elements first: their names may live in the document's
    // dictionary.
    for (_xmlNode* node : detached_) xmlFreeNode(node);
    xmlFreeDoc(doc_);
}

void Document::clear() {
    for (_xmlNode* node : detached_) xmlFreeNode(node);
    detached_.clear();
    xmlFreeDoc(doc_);
    attributes_.reset();
    doc_ = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    if (!doc_) throw std::bad_alloc();
    doc_->_private = this;
}

LoadResult Document::load(const QString& path, Reading reading) {
    clear();
    LoadResult result;
    if (reading == Reading::ElementsOnly) attributes_ = std::make_unique<xml::AttributeStore>();
    takeTree(xml::parseDocumentFile(path, &result, reading, attributes_.get()));
    return result;
}

LoadResult Document::loadFromBytes(const QByteArray& bytes, const QString& name, Reading reading) {
    clear();
    LoadResult result;
    if (reading == Reading::ElementsOnly) attributes_ = std::make_unique<xml::AttributeStore>();
    takeTree(xml::parseDocument(bytes, name, &result, reading, attributes_.get()));
    return result;
}

void Document::takeTree(_xmlDoc* parsed) {
    if (!parsed) {
        attributes_.reset();
        return;
    }
    xmlFreeDoc(doc_);
    doc_ = parsed;
    doc_->_private = this;
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
    if (xmlValidateNCName(xml::asXml(utf8), 0) != 0) throw messages::NotAnXmlName(name, QStringLiteral("elemento"));
    xmlNodePtr node = xmlNewDocNode(doc_, nullptr, xml::asXml(utf8), nullptr);
    if (!node) throw std::bad_alloc();
    detached_.append(node);
    return Element(node);
}

void Document::appendChild(Element child) {
    if (!child.node_) throw messages::NullElementForDocument();
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
    if (at >= 0) detached_.removeAt(at);
}

void Document::materializeAttributes() const {
    if (attributes_ && !attributes_->empty() && !xml::materializeAll(doc_)) throw std::bad_alloc();
}

QByteArray Document::toBytes() const {
    materializeAttributes();
    Written written;
    QString reason;
    if (!serialize(doc_, &written, &reason)) throw messages::DocumentNotWritten(reason);
    return QByteArray(reinterpret_cast<const char*>(written.text), written.size);
}

void Document::save(const QString& path) const {
    if (isEmpty()) throw messages::DocumentNotSaved(path, QStringLiteral("no tiene elemento raíz"));
    materializeAttributes();
    Written written;  // written out from libxml2's own buffer, not copied
    QString reason;
    if (!serialize(doc_, &written, &reason)) throw messages::DocumentNotSaved(path, reason);
    QString failure;
    if (!WriteFileAtomically(path, QByteArray::fromRawData(reinterpret_cast<const char*>(written.text), written.size),
                             &failure))
        throw messages::DocumentNotSaved(path, failure);
}

}  // namespace puente
