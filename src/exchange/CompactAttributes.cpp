#include "exchange/CompactAttributes.h"

#include <libxml/dict.h>

#include <QByteArray>

#include <cstdint>
#include <cstring>
#include <new>

namespace puente::xml {

namespace {

constexpr size_t kChunkBytes = size_t(1) << 20;

}  // namespace

bool arePlainText(int count, const xmlChar** attributes) {
    for (int i = 0; i < count; ++i) {
        const xmlChar* value = attributes[5 * i + 3];
        const xmlChar* end = attributes[5 * i + 4];
        if (value != end && std::memchr(value, '&', size_t(end - value))) return false;
    }
    return true;
}

void* AttributeStore::allocate(size_t size, size_t alignment) {
    const size_t skip = (alignment - reinterpret_cast<uintptr_t>(next_) % alignment) % alignment;
    if (!next_ || skip + size > left_) {
        const size_t bytes = size + alignment > kChunkBytes ? size + alignment : kChunkBytes;
        std::unique_ptr<std::byte[]> chunk(new (std::nothrow) std::byte[bytes]);
        if (!chunk) return nullptr;
        next_ = chunk.get();
        left_ = bytes;
        chunks_.push_back(std::move(chunk));
        return allocate(size, alignment);
    }
    std::byte* at = next_ + skip;
    next_ = at + size;
    left_ -= skip + size;
    return at;
}

bool AttributeStore::keep(xmlNode* element, xmlDict* dict, int count, const xmlChar** attributes) {
    auto* block = static_cast<CompactAttributes*>(allocate(sizeof(CompactAttributes), alignof(CompactAttributes)));
    auto* items = count > 0 ? static_cast<CompactAttribute*>(
                                  allocate(sizeof(CompactAttribute) * size_t(count), alignof(CompactAttribute)))
                            : nullptr;
    if (!block || (count > 0 && !items)) return false;
    for (int i = 0; i < count; ++i) {
        const xmlChar* local = attributes[5 * i];
        const xmlChar* prefix = attributes[5 * i + 1];
        const xmlChar* name = prefix ? xmlDictQLookup(dict, prefix, local) : local;
        const auto* value = reinterpret_cast<const char*>(attributes[5 * i + 3]);
        const size_t size = size_t(reinterpret_cast<const char*>(attributes[5 * i + 4]) - value);
        char* copy = size ? static_cast<char*>(allocate(size, 1)) : nullptr;
        if (!name || (size && !copy)) return false;
        if (size) std::memcpy(copy, value, size);
        items[i] = CompactAttribute{name, copy, int(std::strlen(reinterpret_cast<const char*>(name))), int(size)};
    }
    *block = CompactAttributes{count, items};
    element->_private = block;
    return true;
}

bool materialize(xmlNode* element) {
    const CompactAttributes* block = compactAttributes(element);
    if (!block) return true;
    xmlAttr* first = nullptr;
    for (int i = 0; i < block->count; ++i) {
        const CompactAttribute& a = block->items[i];
        const QByteArray value(a.value, a.valueSize);  // zero-ended
        const char* name = reinterpret_cast<const char*>(a.name);
        const char* colon = std::strchr(name, ':');
        xmlNs* ns = nullptr;
        const xmlChar* local = a.name;
        if (colon) {
            const QByteArray prefix(name, colon - name);
            ns = xmlSearchNs(element->doc, element, reinterpret_cast<const xmlChar*>(prefix.constData()));
            if (ns) local = reinterpret_cast<const xmlChar*>(colon + 1);
        }
        xmlAttr* made = xmlNewNsProp(element, ns, local, reinterpret_cast<const xmlChar*>(value.constData()));
        if (!made) {
            // Back as it was: the attributes made so far go again.
            while (first) {
                xmlAttr* next = first->next;
                xmlRemoveProp(first);
                first = next;
            }
            return false;
        }
        if (!first) first = made;
    }
    element->_private = nullptr;
    return true;
}

bool materializeAll(xmlDoc* doc) {
    xmlNode* node = xmlDocGetRootElement(doc);
    while (node) {
        if (node->type == XML_ELEMENT_NODE && !materialize(node)) return false;
        if (node->type == XML_ELEMENT_NODE && node->children) {
            node = node->children;
            continue;
        }
        while (node && !node->next) {
            node = node->parent;
            if (node && node->type == XML_DOCUMENT_NODE) node = nullptr;
        }
        if (node) node = node->next;
    }
    return true;
}

}  // namespace puente::xml
