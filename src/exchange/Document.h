// The exchange document: an XML file read and written through libxml2.
//
// A Document owns its tree; an Element is a non-owning handle on one element
// of a Document and is valid while the Document lives and the element has not
// been removed. Elements made by createElement belong to the Document until
// they are appended (or are freed with it). load() and removeChild() free
// what they replace or remove: Elements on it become invalid. A Document and
// its Elements are for one thread at a time; libxml2's error reporting is
// taken over per thread, so Documents on different threads do not meet.
//
// Loading never touches the network and never loads an external entity or
// an external DTD; entity expansion is bounded. An attribute that the
// document's internal DTD subset declares with a default or #FIXED value
// reads, on an element that lacks it, as that value (as a DOM shows it). load() reports a missing, unreadable or
// not well-formed file as a LoadResult carrying the parser's message, line and
// column, and leaves the document empty.
//
// save() writes the whole document atomically, with everything outside the
// root element (declaration, comments, processing instructions) in place; a
// failed save raises a puente::Error and leaves any earlier file of that name
// as it was. It writes the encoding the loaded document declared, and UTF-8,
// declared, when it declared none. UTF-16 goes out little-endian with a byte
// order mark; a UTF-8 byte order mark is not written back; the few encodings
// that libxml2 reads but cannot write readably (UTF-7) go out as UTF-8. Text
// that the encoding cannot hold is written as character references
// (&#8364;). Loaded content is written with the line breaks it had; an element
// whose children are all elements with no text between them (as the ones
// built with createElement) is written indented, one child per line.
//
// Entity references in attribute values are replaced by their text when the
// document is loaded; a document whose entities would expand beyond
// kMaxEntityExpansion bytes of attribute text in all is refused as not well
// formed, as are documents nested deeper than 256 elements or holding an
// attribute value longer than 10,000,000 bytes (libxml2's own limits).
//
// Paths are absolute paths of element names, "/centro/materias/dmaterias":
// evaluated from the document root whatever node they are asked on, giving
// the matching elements in document order. A path without the leading '/'
// ("materias/dmaterias") is taken from the element it is asked on (from the
// document node when asked on the Document). A step matches an element whose
// name as written in the document equals it: "centro" matches <centro> also
// under a default namespace (xmlns="..."), and "x:centro" matches <x:centro>
// whatever URI x stands for. Anything else (empty steps, "//", "*", "[1]",
// "@a", "..") is not a path here and raises a puente::Error.
//
// Attribute values are read as text: entity and character references
// resolved (&amp; gives &, &#233; gives é), nothing trimmed. Names given to
// createElement and setAttribute are plain XML names without a prefix; values
// set must hold only characters that XML 1.0 allows (no control characters
// other than tab, line feed and carriage return, no lone surrogates), or the
// call raises a puente::Error and changes nothing.
//
// Reading through a null Element gives nothing (empty name, nullopt, empty
// lists); changing through it raises a puente::Error. Misuse of the tree (a
// second root element, appending an element to its own descendant, an element
// of another Document, removing what is not a child of the document) raises a
// puente::Error and changes nothing.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

struct _xmlNode;
struct _xmlDoc;

namespace puente {

namespace xml {
class AttributeStore;
}

// The most attribute text, in UTF-8 bytes, that entity references may expand
// to in one document.
inline constexpr qsizetype kMaxEntityExpansion = 10'000'000;

class Element {
public:
    Element() = default;
    bool isNull() const { return node_ == nullptr; }
    explicit operator bool() const { return node_ != nullptr; }

    QString name() const;  // as written: "centro", or "x:centro" with a prefix

    // The attribute's value (its `text`), or nullopt when the element lacks
    // the attribute. An empty attribute gives an empty text, not nullopt.
    std::optional<QString> attribute(const QString& name) const;
    // The attribute names in document order.
    QStringList attributeNames() const;

    void setAttribute(const QString& name, const QString& value);
    void setAttribute(const QString& name, qint64 value);  // decimal digits
    // Adds child as the last child of this element (moving it if it is
    // already in the tree).
    void appendChild(Element child);
    // The element children, in document order.
    QList<Element> childElements() const;

    QList<Element> selectNodes(const QString& path) const;
    Element selectSingleNode(const QString& path) const;  // the first match, or null

    bool operator==(const Element& other) const { return node_ == other.node_; }

private:
    friend class Document;
    explicit Element(_xmlNode* node) : node_(node) {}
    _xmlNode* node_ = nullptr;
};

// How much of a document load() keeps. Every reading parses the whole file
// and refuses exactly the same documents, with the same message and place.
//   Whole: everything.
//   ElementsOnly: what reading attributes needs: every node outside the root
//     element, and inside it the elements with their attributes, but no
//     text, comments, processing instructions or entity references (fewer
//     nodes, for a large document read and converted once). Saved, such a
//     document writes only what it kept.
//   HeadOnly: every node outside the root element, and the root element
//     with its attributes but without its content.
enum class Reading { Whole, ElementsOnly, HeadOnly };

struct LoadResult {
    enum class Status { Ok, Missing, Unreadable, NotWellFormed };
    Status status = Status::Ok;
    QString message;  // the parser's (or system's) own words; empty when Ok
    int line = 0;     // 1-based, 0 when not known
    int column = 0;   // 1-based, 0 when not known
    bool ok() const { return status == Status::Ok; }
};

class Document {
public:
    Document();
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Replaces the content with the file's, as much of it as `reading`
    // keeps. The file is read as it is parsed, never whole into memory. On
    // failure the document is empty.
    LoadResult load(const QString& path, Reading reading = Reading::Whole);
    // The same from bytes in memory (tests, fuzzing); `name` is the file the
    // bytes came from, if any (the base of relative references, never read).
    LoadResult loadFromBytes(const QByteArray& bytes, const QString& name = QString(),
                             Reading reading = Reading::Whole);

    bool isEmpty() const;      // no root element
    QString encoding() const;  // as declared, e.g. "ISO-8859-1"; empty when none

    QList<Element> selectNodes(const QString& path) const;
    Element selectSingleNode(const QString& path) const;
    Element documentElement() const;

    // Removes a child of the document node (the root element) and frees it.
    void removeChild(Element child);
    // A new element outside the tree.
    Element createElement(const QString& name);
    // Adds child as the document node's last child.
    void appendChild(Element child);

    // Raises a puente::Error naming the file when the document has no root
    // element or the file cannot be written.
    void save(const QString& path) const;
    // What save() would write. Raises a puente::Error if libxml2 cannot
    // write the declared encoding (not seen for an encoding it could read).
    QByteArray toBytes() const;

private:
    friend class Element;
    friend class DocumentStream;
    // Attributes kept beside the tree become libxml2's, for writing.
    void materializeAttributes() const;
    void takeTree(_xmlDoc* parsed);  // a new tree in place of the (empty) one; null keeps it
    void clear();                    // frees everything, leaves an empty document
    void adopted(_xmlNode* node);    // `node` went into a tree: no longer ours to free
    _xmlDoc* doc_ = nullptr;
    QList<_xmlNode*> detached_;                        // created elements not yet appended
    std::unique_ptr<xml::AttributeStore> attributes_;  // ElementsOnly: the attributes kept beside the tree
};

}  // namespace puente
