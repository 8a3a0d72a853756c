// The attributes of an element read with Reading::ElementsOnly, kept beside
// libxml2's tree instead of in it. Internal to the exchange layer.
//
// libxml2 keeps each attribute as two nodes of its own (the attribute and
// its text), some 240 bytes and two allocations for a value of a few
// characters; an exchange document is mostly attributes, so a large one is
// mostly that. Here an element's attributes are one block: for each, its
// name as written ("a", "p:a") from the document's dictionary and its value
// in UTF-8, copied into memory that the Document owns and frees at once.
//
// The block hangs from the element's _private field. Only values that are
// plain text are kept this way: an element with a value in which the parser
// left a reference (an entity of the DTD, or '&' written as a reference) has
// all its attributes built by libxml2, as a whole reading builds them, so
// that the references are resolved and counted as everywhere else. Whatever
// reads or changes attributes through libxml2 itself (setting one, writing
// the document) first makes the block into libxml2's own attributes
// (materialize), in their order.
#pragma once

#include <libxml/tree.h>

#include <QByteArrayView>

#include <cstddef>
#include <memory>
#include <vector>

namespace puente::xml {

struct CompactAttribute {
    const xmlChar* name;  // as written, zero-ended, in the document's dictionary
    const char* value;    // UTF-8, not zero-ended
    int nameSize;
    int valueSize;
    QByteArrayView nameView() const { return QByteArrayView(reinterpret_cast<const char*>(name), nameSize); }
    QByteArrayView valueView() const { return QByteArrayView(value, valueSize); }
};

struct CompactAttributes {
    int count;
    const CompactAttribute* items;
};

// The element's attributes kept in a block, or null when libxml2 holds them.
inline const CompactAttributes* compactAttributes(const xmlNode* node) {
    return node->type == XML_ELEMENT_NODE ? static_cast<const CompactAttributes*>(node->_private) : nullptr;
}

// Whether the parser's attributes (SAX2's five pointers each: local name,
// prefix, URI, value, value end) are all plain text and may be kept here.
bool arePlainText(int count, const xmlChar** attributes);

// The memory the blocks live in, freed with the Document.
class AttributeStore {
public:
    AttributeStore() = default;
    AttributeStore(const AttributeStore&) = delete;
    AttributeStore& operator=(const AttributeStore&) = delete;

    // Keeps the parser's attributes as `element`'s block; names are looked
    // up in `dict` (the document's). False when memory runs out.
    bool keep(xmlNode* element, xmlDict* dict, int count, const xmlChar** attributes);
    bool empty() const { return chunks_.empty(); }

private:
    void* allocate(size_t size, size_t alignment);
    std::vector<std::unique_ptr<std::byte[]>> chunks_;
    std::byte* next_ = nullptr;
    size_t left_ = 0;
};

// Gives the element's block, if any, to libxml2 as its own attributes, in
// their order, and unhooks it (its memory stays with the store). False when
// memory runs out; the element is then as it was.
bool materialize(xmlNode* element);
// The same for every element of the document.
bool materializeAll(xmlDoc* doc);

}  // namespace puente::xml
